// leveldecode_reader.h -- the item reader under the level decoder: codes, numbering, references
#pragma once

#include <sys/mman.h>  // madvise

#include <bit>
#include <cstdint>
#include <cstdio>  // snprintf
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "world/levelfile.h"

namespace Level::decode {

// Big arrays that are filled once, front to back: asking for huge pages spares
// most of the page faults, which are what reading a big level costs most.
inline void hugepages(const void* p, std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t huge = std::uintptr_t{2} << 20;
    if (bytes < 2 * huge) return;
    std::uintptr_t a = (reinterpret_cast<std::uintptr_t>(p) + huge - 1) & ~(huge - 1);
    std::uintptr_t e = (reinterpret_cast<std::uintptr_t>(p) + bytes) & ~(huge - 1);
    if (e > a) ::madvise(reinterpret_cast<void*>(a), e - a, MADV_HUGEPAGE);
#else
    (void)p, (void)bytes;
#endif
}

// What a numbered object turned out to be, with the meaning of its value. An
// object is `pending` from its code byte until it is complete, so a typed
// reference can never close a cycle.
enum objkind : std::uint8_t {
    k_pending,
    k_double,     // value: offset of its 8 bytes in the data, most significant first
    k_double_le,  // the same, least significant first
    k_doubles,    // an array of doubles that is not six long
    k_box,        // an array of six doubles; value: offset of the first
    k_box_le,
    k_string,
    k_other,      // a block read as an untyped value (a guard's kind)
    k_cube,       // value: cell index
    k_walls,      // a solid `walls`; value: the six wall kinds, two bits each
    k_wallkinds,  // the array of six wall kinds; value as k_walls
    k_guard,      // value: index in guardstore
    k_free,       // value: index in freestore
    k_fixed,      // value: index in fixedstore
    k_cubelist,   // list nodes; value: index in reader::nodes
    k_fixedlist,
    k_freelist,
    k_guardlist,
};

constexpr std::uint32_t nil = 0xFFFFFFFFu;

enum itemtype : std::uint8_t { t_int, t_block, t_empty, t_double, t_doubles, t_string, t_ref };

// One item as its code announced it. Blocks come back with their fields unread.
struct item {
    itemtype type;
    std::uint8_t tag;     // blocks
    std::uint32_t size;   // blocks: fields; arrays of doubles: elements
    std::uint32_t num;    // object number (numbered items, and the target of a reference)
    std::int32_t ival;    // integers
};

struct listnode {
    std::uint32_t elem;  // the element's value (store or cell index)
    std::uint32_t next;  // the node of the rest of the list, or nil
    std::uint32_t obj;   // this node's object number
};

struct reader {
    const unsigned char* base = nullptr;  // start of the file, for offsets in messages
    const unsigned char* data = nullptr;  // start of the data
    const unsigned char* p = nullptr;
    const unsigned char* end = nullptr;
    std::uint64_t words = 0;  // size in 32-bit words, summed as objects are numbered
    // The object table, sized by the header's count (which the caller has
    // bounded by the data length): a kind and a 32-bit value per object.
    std::uint32_t maxobjs = 0, count = 0;
    std::unique_ptr<std::uint8_t[]> kinds;
    std::unique_ptr<std::uint32_t[]> vals;
    std::vector<listnode> nodes;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> stack;  // untyped values: (object, fields left)

    void start(const unsigned char* file, std::size_t size, std::uint32_t objects)
    {
        base = file;
        data = p = file + 20;
        end = file + size;
        maxobjs = objects;
        kinds.reset(new std::uint8_t[objects ? objects : 1]);
        vals.reset(new std::uint32_t[objects ? objects : 1]);
        hugepages(vals.get(), std::size_t{objects} * 4);
    }

    [[noreturn]] void fail(const std::string& what) const
    {
        throw readerror("byte " + std::to_string(p - base) + ": " + what);
    }

    void need(std::size_t n) const
    {
        if (static_cast<std::size_t>(end - p) < n) fail("the data ends inside an item");
    }

    objkind kind(std::uint32_t n) const { return static_cast<objkind>(kinds[n]); }
    void set(std::uint32_t n, objkind k, std::uint32_t v)
    {
        kinds[n] = k;
        vals[n] = v;
    }

    static double dblat(const unsigned char* q, bool little)
    {
        std::uint64_t v = 0;
        if (little)
            for (int i = 7; i >= 0; --i) v = (v << 8) | q[i];
        else
            for (int i = 0; i < 8; ++i) v = (v << 8) | q[i];
        return std::bit_cast<double>(v);
    }
    // The value of a k_double or k_double_le object.
    double dbl(std::uint32_t n) const { return dblat(data + vals[n], kind(n) == k_double_le); }
    // The box of a k_box or k_box_le object.
    box boxof(std::uint32_t n) const
    {
        const unsigned char* q = data + vals[n];
        bool le = kind(n) == k_box_le;
        return {dblat(q, le), dblat(q + 8, le), dblat(q + 16, le), dblat(q + 24, le), dblat(q + 32, le), dblat(q + 40, le)};
    }

    std::uint32_t u8() { return *p++; }
    std::uint32_t u16()
    {
        std::uint32_t v = (std::uint32_t{p[0]} << 8) | p[1];
        p += 2;
        return v;
    }
    std::uint32_t u32()
    {
        std::uint32_t v = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
        p += 4;
        return v;
    }
    std::uint32_t offset() const { return static_cast<std::uint32_t>(p - data); }

    std::uint32_t number(objkind k, std::uint32_t v, std::uint64_t w)
    {
        if (count >= maxobjs) fail("more objects than the header's count of " + std::to_string(maxobjs));
        words += w;
        set(count, k, v);
        return count++;
    }

    item ref(std::uint32_t d)
    {
        if (d == 0 || d > count)
            fail("shared reference " + std::to_string(d) + " back, but only " + std::to_string(count) +
                 " objects are numbered");
        return {t_ref, 0, 0, count - d, 0};
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
        std::uint32_t n = number(little ? k_double_le : k_double, offset(), 3);
        p += 8;
        return {t_double, 0, 0, n, 0};
    }

    item doubles(std::uint32_t n, bool little)
    {
        need(std::uint64_t{n} * 8);
        objkind k = n != 6 ? k_doubles : little ? k_box_le : k_box;
        std::uint32_t num = number(k, offset(), 1 + 2 * std::uint64_t{n});
        p += std::size_t{n} * 8;
        return {t_doubles, 0, n, num, 0};
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
    // every block in it becomes k_other, everything else what its code says.
    void skipfields(const item& top)
    {
        stack.clear();
        stack.emplace_back(top.num, top.size);
        while (!stack.empty()) {
            if (stack.back().second == 0) {
                kinds[stack.back().first] = k_other;
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
