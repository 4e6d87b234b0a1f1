// leveldecode_reader.h -- the item reader under the level decoder: codes, numbering, references
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>  // snprintf
#include <string>
#include <utility>
#include <vector>

#include "world/levelfile.h"

namespace Level::decode {

// What a numbered object turned out to be. An object is `pending` from its code
// byte until it is complete, so a typed reference can never close a cycle.
enum objkind : std::uint8_t {
    k_pending,
    k_double,     // v: the bits
    k_doubles,    // an array of doubles that is not six long
    k_box,        // an array of six doubles; v: index in reader::boxes
    k_string,
    k_other,      // a block read as an untyped value (a guard's kind)
    k_cube,       // v: cell index
    k_walls,      // a solid `walls`; v: packed wall kinds
    k_wallkinds,  // the array of six wall kinds; v: packed
    k_guard,      // v: index in guardstore
    k_free,       // v: index in freestore
    k_fixed,      // v: index in fixedstore
    k_cubelist,   // list nodes; v: the element as above, next: the tail node
    k_fixedlist,
    k_freelist,
    k_guardlist,
};

constexpr std::uint32_t nil = 0xFFFFFFFFu;

struct objent {
    std::uint64_t v;
    std::uint32_t next;
    objkind kind;
};

enum itemtype : std::uint8_t { t_int, t_block, t_empty, t_double, t_doubles, t_string, t_ref };

// One item as its code announced it. Blocks come back with their fields unread.
struct item {
    itemtype type;
    std::uint8_t tag;     // blocks
    std::uint32_t size;   // blocks: fields; arrays of doubles: elements
    std::uint32_t num;    // object number (numbered items, and the target of a reference)
    std::int32_t ival;    // integers
};

struct reader {
    const unsigned char* base = nullptr;  // start of the file, for offsets in messages
    const unsigned char* p = nullptr;
    const unsigned char* end = nullptr;
    std::uint32_t maxobjs = 0;            // the header's object count
    std::uint64_t words = 0;    // size in 32-bit words, summed as objects are numbered
    std::vector<objent> objs;
    std::vector<box> boxes;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> stack;  // untyped values: (object, fields left)

    [[noreturn]] void fail(const std::string& what) const
    {
        throw readerror("byte " + std::to_string(p - base) + ": " + what);
    }

    void need(std::size_t n) const
    {
        if (static_cast<std::size_t>(end - p) < n) fail("the data ends inside an item");
    }

    std::uint32_t u8() { return *p++; }
    std::uint32_t u16() { std::uint32_t v = (std::uint32_t{p[0]} << 8) | p[1]; p += 2; return v; }
    std::uint32_t u32()
    {
        std::uint32_t v = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
        p += 4;
        return v;
    }
    double dbl(bool little)
    {
        std::uint64_t v = 0;
        if (little)
            for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
        else
            for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
        p += 8;
        return std::bit_cast<double>(v);
    }

    std::uint32_t number(objkind kind, std::uint64_t v, std::uint64_t w)
    {
        if (objs.size() >= maxobjs) fail("more objects than the header's count of " + std::to_string(maxobjs));
        words += w;
        objs.push_back({v, nil, kind});
        return static_cast<std::uint32_t>(objs.size() - 1);
    }

    item ref(std::uint32_t d)
    {
        if (d == 0 || d > objs.size())
            fail("shared reference " + std::to_string(d) + " back, but only " + std::to_string(objs.size()) +
                 " objects are numbered");
        return {t_ref, 0, 0, static_cast<std::uint32_t>(objs.size() - d), 0};
    }

    item block(std::uint32_t tag, std::uint32_t size)
    {
        if (size == 0) return {t_empty, static_cast<std::uint8_t>(tag), 0, 0, 0};
        return {t_block, static_cast<std::uint8_t>(tag), size, number(k_pending, 0, 1 + std::uint64_t{size}), 0};
    }

    item string(std::uint32_t len)
    {
        need(len);
        p += len;
        return {t_string, 0, len, number(k_string, 0, 1 + (std::uint64_t{len} + 4) / 4), 0};
    }

    item dbl1(bool little)
    {
        need(8);
        return {t_double, 0, 0, number(k_double, std::bit_cast<std::uint64_t>(dbl(little)), 3), 0};
    }

    item doubles(std::uint32_t n, bool little)
    {
        need(std::uint64_t{n} * 8);
        if (n == 6) {
            box b;
            b.x = dbl(little);
            b.y = dbl(little);
            b.z = dbl(little);
            b.hx = dbl(little);
            b.hy = dbl(little);
            b.hz = dbl(little);
            boxes.push_back(b);
            return {t_doubles, 0, n, number(k_box, boxes.size() - 1, 13), 0};
        }
        p += std::size_t{n} * 8;
        return {t_doubles, 0, n, number(k_doubles, 0, 1 + 2 * std::uint64_t{n}), 0};
    }

    // Reads one code and what it announces (not the fields of a block).
    item next()
    {
        if (p == end) fail("the data ends before the value does");
        std::uint32_t c = *p++;
        if (c >= 0x80) return block(c & 0x0F, (c >> 4) & 0x07);
        if (c >= 0x40) return {t_int, 0, 0, 0, static_cast<std::int32_t>(c - 0x40)};
        if (c >= 0x20) return string(c - 0x20);
        switch (c) {
        case 0x00: need(1); return {t_int, 0, 0, 0, static_cast<std::int8_t>(u8())};
        case 0x01: need(2); return {t_int, 0, 0, 0, static_cast<std::int16_t>(u16())};
        case 0x02: {
            need(4);
            auto v = static_cast<std::int32_t>(u32());
            if (v < -(1 << 30) || v > (1 << 30) - 1) fail("32-bit integer " + std::to_string(v) + " does not fit 31 bits");
            return {t_int, 0, 0, 0, v};
        }
        case 0x04: need(1); return ref(u8());
        case 0x05: need(2); return ref(u16());
        case 0x06: need(4); return ref(u32());
        case 0x07: need(4); return doubles(u32(), true);
        case 0x08: {
            need(4);
            std::uint32_t w = u32();
            return block(w & 0xFF, w >> 10);
        }
        case 0x09: need(1); return string(u8());
        case 0x0A: need(4); return string(u32());
        case 0x0B: return dbl1(false);
        case 0x0C: return dbl1(true);
        case 0x0D: need(1); return doubles(u8(), false);
        case 0x0E: need(1); return doubles(u8(), true);
        case 0x0F: need(4); return doubles(u32(), false);
        default: break;
        }
        --p;
        if (c == 0x03) fail("64-bit integer (code 0x03)");
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(c));
        fail(std::string(c <= 0x12 ? "code pointer or custom block" : "ill-formed code") + " (code " + hex + ")");
    }

    // Reads the fields of an untyped block, however deep, with an explicit stack;
    // every object in it becomes k_other (blocks) or what its code says.
    void skipfields(const item& top)
    {
        stack.clear();
        stack.emplace_back(top.num, top.size);
        while (!stack.empty()) {
            if (stack.back().second == 0) {
                objs[stack.back().first].kind = k_other;
                stack.pop_back();
                continue;
            }
            --stack.back().second;
            item it = next();
            if (it.type == t_block) stack.emplace_back(it.num, it.size);
        }
    }
};

}  // namespace Level::decode
