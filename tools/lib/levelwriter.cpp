// levelwriter.cpp -- encoding level records into level files
#include "levelwriter.h"

#include "world/levelfile.h"  // level_magic

#include <bit>
#include <cstdio>
#include <stdexcept>

namespace Levelwriter {

namespace {

void byte(encoder& e, unsigned v) { e.data.push_back(static_cast<unsigned char>(v)); }
void code(encoder& e, unsigned c)
{
    byte(e, c);
    ++e.codes[c];
}
void be16(encoder& e, std::uint32_t v) { byte(e, (v >> 8) & 0xFF); byte(e, v & 0xFF); }
void be32(encoder& e, std::uint32_t v)
{
    be16(e, v >> 16);
    be16(e, v & 0xFFFF);
}

void rawdouble(encoder& e, double d)
{
    auto v = std::bit_cast<std::uint64_t>(d);
    for (int i = 0; i < 8; ++i) byte(e, (v >> (e.opt.littleendian ? 8 * i : 56 - 8 * i)) & 0xFF);
}

std::uint32_t numbered(encoder& e, std::uint64_t w32, std::uint64_t w64)
{
    e.words32 += w32;
    e.words64 += w64;
    return e.objects++;
}

// Writes one level, remembering what it has stored so it can refer to it again.
struct levelwriter {
    encoder& e;
    const levelrec& L;
    std::unordered_map<const void*, std::uint32_t> stored;          // objects
    std::unordered_map<std::uint64_t, std::uint32_t> storeddoubles;  // by bits
    std::unordered_map<std::uint64_t, std::uint32_t> storedwalls;    // by packed kinds
    std::vector<std::uint32_t> cellnum;

    void dbl(double d)
    {
        if (!e.opt.sharedoubles) {
            put_double(e, d);
            return;
        }
        auto bits = std::bit_cast<std::uint64_t>(d);
        auto it = storeddoubles.find(bits);
        if (it != storeddoubles.end()) put_ref(e, it->second);
        else storeddoubles.emplace(bits, put_double(e, d));
    }

    void boxof(const box& b)
    {
        const double v[6] = {b.x, b.y, b.z, b.hx, b.hy, b.hz};
        put_doubles(e, v, 6);
    }

    // The object itself the first time, a shared reference after that.
    template <class T, class Write>
    void object(const T* o, Write write)
    {
        auto it = stored.find(o);
        if (it != stored.end()) {
            put_ref(e, it->second);
            return;
        }
        stored.emplace(o, static_cast<std::uint32_t>(e.objects));
        write(*o);
    }

    void fixed(const fixedobjrec* o)
    {
        object(o, [&](const fixedobjrec& f) {
            put_block(e, 0, 3);
            put_int(e, f.kind);
            boxof(f.box);
            dbl(f.dm);
        });
    }

    void freeobj(const freeobjrec* o)
    {
        object(o, [&](const freeobjrec& f) {
            put_block(e, 0, 4);
            put_int(e, f.kind);
            boxof(f.box);
            dbl(f.vy);
            dbl(f.dm);
        });
    }

    void guardkind(int kind)
    {
        switch (e.opt.guardkind) {
        case options::kind_integer: put_int(e, kind); break;
        case options::kind_string: put_string(e, "guard" + std::to_string(kind)); break;
        case options::kind_nested: {
            put_block(e, 1, 4);
            put_string(e, "guard");
            put_double(e, kind);
            put_block(e, 0, 2);
            const double pair[2] = {static_cast<double>(kind), 0.5};
            put_doubles(e, pair, 2);
            put_block(e, 0, 0);
            put_string(e, "");
            break;
        }
        }
    }

    void guard(const badguyrec* o)
    {
        object(o, [&](const badguyrec& g) {
            put_block(e, 0, 12);
            guardkind(g.kind);
            boxof(g.box);
            for (double d : {g.phase, g.vx, g.vy, g.vz, g.heading}) dbl(d);
            put_int(e, g.jumped ? 1 : 0);
            for (double d : {g.homex, g.homey, g.homez, g.homeheading}) dbl(d);
        });
    }

    void cellref(const cuberec* c)
    {
        if (c < L.cubes.data() || c >= L.cubes.data() + L.cubes.size())
            throw std::invalid_argument("dmcubes holds a cell that is not in the grid");
        put_ref(e, cellnum[c - L.cubes.data()]);
    }

    // Lists nest in their last field, so a loop writes them at any length.
    template <class T, class Elem>
    void list(const std::vector<T*>& items, Elem elem)
    {
        for (T* item : items) {
            put_block(e, 0, 2);
            elem(item);
        }
        put_int(e, 0);
    }

    void walls(const wallsrec& w)
    {
        if (!w) {
            put_int(e, 0);
            return;
        }
        std::uint64_t packed = 0;
        for (int i = 0; i < 6; ++i) packed |= std::uint64_t{(*w)[i]} << (8 * i);
        if (e.opt.sharewalls) {
            auto it = storedwalls.find(packed);
            if (it != storedwalls.end()) {
                put_ref(e, it->second);
                return;
            }
            storedwalls.emplace(packed, e.objects);
        }
        put_block(e, 0, 1);
        put_block(e, 0, 6);
        for (std::uint8_t k : *w) put_int(e, k);
    }

    void cell(const cuberec& c)
    {
        cellnum.push_back(e.objects);
        put_block(e, 0, 6);
        walls(c.walls);
        list(c.fixedobjs, [&](const fixedobjrec* o) { fixed(o); });
        list(c.freeobjs, [&](const freeobjrec* o) { freeobj(o); });
        list(c.badguys, [&](const badguyrec* o) { guard(o); });
        dbl(c.dm);
        dbl(c.scent);
    }

    void level()
    {
        put_block(e, 0, 14);
        dbl(L.clock);
        put_int(e, L.xsize);
        put_int(e, L.ysize);
        put_int(e, L.zsize);
        put_block(e, 0, static_cast<std::uint32_t>(L.cubes.size()));
        cellnum.reserve(L.cubes.size());
        for (const cuberec& c : L.cubes) cell(c);
        list(L.dmcubes, [&](const cuberec* c) { cellref(c); });
        list(L.dmfixed, [&](const fixedobjrec* o) { fixed(o); });
        list(L.dmfree, [&](const freeobjrec* o) { freeobj(o); });
        list(L.freeobjs, [&](const freeobjrec* o) { freeobj(o); });
        list(L.badguys, [&](const badguyrec* o) { guard(o); });
        for (double d : {L.startx, L.starty, L.startz, L.startheading}) dbl(d);
    }
};

}  // namespace

void put_int(encoder& e, std::int32_t v)
{
    int bits = e.opt.intbits;
    if (bits == 0 && v >= 0 && v < 64) code(e, 0x40 + v);
    else if (bits <= 8 && v >= -128 && v <= 127) code(e, 0x00), byte(e, v & 0xFF);
    else if (bits <= 16 && v >= -32768 && v <= 32767) code(e, 0x01), be16(e, v & 0xFFFF);
    else code(e, 0x02), be32(e, static_cast<std::uint32_t>(v));
}

std::int64_t put_block(encoder& e, int tag, std::uint32_t size)
{
    if (!e.opt.longblocks && size < 8 && tag < 16) code(e, 0x80 | (size << 4) | tag);
    else code(e, 0x08), be32(e, (size << 10) | static_cast<std::uint32_t>(tag & 0xFF));
    if (size == 0) return -1;
    return numbered(e, 1 + std::uint64_t{size}, 1 + std::uint64_t{size});
}

std::uint32_t put_double(encoder& e, double v)
{
    code(e, e.opt.littleendian ? 0x0C : 0x0B);
    rawdouble(e, v);
    return numbered(e, 3, 2);
}

std::uint32_t put_doubles(encoder& e, const double* v, std::size_t n)
{
    if (!e.opt.longarrays && n < 256) code(e, e.opt.littleendian ? 0x0E : 0x0D), byte(e, static_cast<unsigned>(n));
    else code(e, e.opt.littleendian ? 0x07 : 0x0F), be32(e, static_cast<std::uint32_t>(n));
    for (std::size_t i = 0; i < n; ++i) rawdouble(e, v[i]);
    return numbered(e, 1 + 2 * std::uint64_t{n}, 1 + std::uint64_t{n});
}

std::uint32_t put_string(encoder& e, const std::string& s)
{
    int bits = e.opt.stringbits;
    if (bits == 0 && s.size() < 32) code(e, 0x20 + static_cast<unsigned>(s.size()));
    else if (bits <= 8 && s.size() < 256) code(e, 0x09), byte(e, static_cast<unsigned>(s.size()));
    else code(e, 0x0A), be32(e, static_cast<std::uint32_t>(s.size()));
    e.data.insert(e.data.end(), s.begin(), s.end());
    return numbered(e, 1 + (s.size() + 4) / 4, 1 + (s.size() + 8) / 8);
}

void put_ref(encoder& e, std::uint32_t object)
{
    std::uint32_t d = e.objects - object;
    int bits = e.opt.refbits;
    if (bits <= 8 && d < 256) code(e, 0x04), byte(e, d);
    else if (bits <= 16 && d < 65536) code(e, 0x05), be16(e, d);
    else code(e, 0x06), be32(e, d);
}

std::vector<unsigned char> finish(const encoder& e)
{
    encoder h;
    be32(h, Level::level_magic);
    be32(h, static_cast<std::uint32_t>(e.data.size()));
    be32(h, e.objects);
    be32(h, static_cast<std::uint32_t>(e.words32));
    be32(h, static_cast<std::uint32_t>(e.words64));
    h.data.insert(h.data.end(), e.data.begin(), e.data.end());
    return std::move(h.data);
}

void encode(encoder& e, const levelrec& level)
{
    levelwriter w{e, level, {}, {}, {}, {}};
    w.level();
}

std::vector<unsigned char> encode_level(const levelrec& level, const options& opt)
{
    encoder e;
    e.opt = opt;
    encode(e, level);
    return finish(e);
}

void write_level(const std::string& path, const levelrec& level, const options& opt)
{
    std::vector<unsigned char> bytes = encode_level(level, opt);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) throw std::runtime_error("cannot write " + path);
}

}  // namespace Levelwriter
