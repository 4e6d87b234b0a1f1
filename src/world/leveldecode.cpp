// leveldecode.cpp -- a level file's bytes, read straight into a level record and checked
//
// One pass, led by the shape of the level record: every field is read as the kind
// it must be, so a file of another shape fails at the first wrong item. Only a
// guard's kind is an untyped value; the item reader walks it with its own stack.
#include <cmath>      // isfinite

#include "world/leveldecode_reader.h"

namespace Level {

namespace {

using namespace decode;

// Six wall kinds of 0..3, two bits each.
std::uint32_t packwalls(const std::array<std::uint8_t, 6>& w)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 6; ++i) v |= std::uint32_t{w[i]} << (2 * i);
    return v;
}

std::array<std::uint8_t, 6> unpackwalls(std::uint32_t v)
{
    std::array<std::uint8_t, 6> w;
    for (int i = 0; i < 6; ++i) w[i] = static_cast<std::uint8_t>((v >> (2 * i)) & 3);
    return w;
}

std::string num(double d)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", d);
    return buf;
}

std::string describe(const reader& r, const item& it)
{
    static const char* const kinds[] = {"an unfinished object", "a double", "a double", "an array of doubles",
                                        "an array of doubles", "an array of doubles", "a string", "a block", "a cell",
                                        "solid walls", "wall kinds", "a guard", "a free object", "a fixed object",
                                        "a list of cells", "a list of fixed objects", "a list of free objects",
                                        "a list of guards"};
    switch (it.type) {
    case t_int: return "the integer " + std::to_string(it.ival);
    case t_block: return "a block of tag " + std::to_string(it.tag) + " with " + std::to_string(it.size) + " fields";
    case t_empty: return "an empty block of tag " + std::to_string(it.tag);
    case t_double: return "a double";
    case t_doubles: return "an array of " + std::to_string(it.size) + " doubles";
    case t_string: return "a string";
    case t_ref: return std::string("a shared reference to ") + kinds[r.kind(it.num)];
    }
    return "an item";
}

struct levelreader {
    reader r;
    levelrec L;
    // Where we are, for messages: the cell being read (or -1) and the record in it.
    std::int64_t curcell = -1;
    const char* curobj = nullptr;

    // Per object: the cell it is filed in (-1: none) and the lists it is in.
    std::vector<std::int32_t> guardcell, freecell, fixedcell;
    std::vector<std::uint8_t> guardlisted, freelisted, freeindm, fixedindm, cubeindm;
    // How many things have dm above 0; each dematterized list must hold exactly these.
    std::size_t dmcells = 0, dmfixedwant = 0, dmfreewant = 0;
    std::size_t dmfixedgot = 0, dmfreegot = 0, listedguards = 0, listedfree = 0;

    std::string cellname(std::int64_t i) const
    {
        std::int64_t xs = L.xsize, ys = L.ysize;
        return "cell (" + std::to_string(i % xs) + ", " + std::to_string(i / xs % ys) + ", " +
               std::to_string(i / xs / ys) + ")";
    }

    [[noreturn]] void fail(const std::string& what) const
    {
        std::string where;
        if (curcell >= 0) where = cellname(curcell) + ", ";
        if (curobj) where += std::string(curobj) + ", ";
        r.fail(where + what);
    }

    [[noreturn]] void wrong(const item& it, const char* field, const char* expected) const
    {
        fail(std::string(field) + ": expected " + expected + ", found " + describe(r, it));
    }

    // A fatal fault found after the reading, where no byte offset helps.
    [[noreturn]] static void bad(const std::string& what) { throw readerror(what); }

    std::int32_t getint(const char* field)
    {
        item it = r.next();
        if (it.type != t_int) wrong(it, field, "an integer");
        return it.ival;
    }

    std::int32_t getint(const char* field, std::int32_t lo, std::int32_t hi)
    {
        std::int32_t v = getint(field);
        if (v < lo || v > hi)
            fail(std::string(field) + " is " + std::to_string(v) + ", outside " + std::to_string(lo) + ".." +
                 std::to_string(hi));
        return v;
    }

    double getdouble(const char* field)
    {
        item it = r.next();
        if (!((it.type == t_double || it.type == t_ref) && (r.kind(it.num) == k_double || r.kind(it.num) == k_double_le)))
            wrong(it, field, "a double");
        double d = r.dbl(it.num);
        if (!std::isfinite(d)) fail(std::string(field) + " is " + num(d));
        return d;
    }

    box getbox()
    {
        item it = r.next();
        if (!((it.type == t_doubles || it.type == t_ref) && (r.kind(it.num) == k_box || r.kind(it.num) == k_box_le)))
            wrong(it, "box", "an array of 6 doubles");
        const box b = r.boxof(it.num);
        if (!std::isfinite(b.x) || !std::isfinite(b.y) || !std::isfinite(b.z))
            fail("box centre (" + num(b.x) + ", " + num(b.y) + ", " + num(b.z) + ") is not finite");
        if (!(std::isfinite(b.hx) && std::isfinite(b.hy) && std::isfinite(b.hz) && b.hx >= 0 && b.hy >= 0 &&
              b.hz >= 0))
            fail("box half extents (" + num(b.hx) + ", " + num(b.hy) + ", " + num(b.hz) + ") are not finite and >= 0");
        return b;
    }

    // The start of a record: a block of tag 0 with `size` fields. Returns its object number.
    std::uint32_t record(const item& it, std::uint32_t size, const char* what)
    {
        if (it.type != t_block || it.tag != 0 || it.size != size) {
            std::string want = "a block of tag 0 with " + std::to_string(size) + " fields";
            wrong(it, what, want.c_str());
        }
        return it.num;
    }

    // --- the stored objects: a new record, or a shared reference to one read before ---

    std::uint32_t fixedobj()
    {
        item it = r.next();
        if (it.type == t_ref && r.kind(it.num) == k_fixed) return r.vals[it.num];
        std::uint32_t n = record(it, 3, "fixed object");
        const char* outer = curobj;
        curobj = "fixed object";
        fixedobjrec o;
        o.kind = getint("kind", 0, 3);
        o.box = getbox();
        o.dm = getdouble("dm");
        curobj = outer;
        Level::addfixed(L, o);
        fixedcell.push_back(-1);
        fixedindm.push_back(0);
        if (o.dm > 0.0) ++dmfixedwant;
        auto k = static_cast<std::uint32_t>(L.fixedstore.size() - 1);
        r.set(n, k_fixed, k);
        return k;
    }

    std::uint32_t freeobj()
    {
        item it = r.next();
        if (it.type == t_ref && r.kind(it.num) == k_free) return r.vals[it.num];
        std::uint32_t n = record(it, 4, "free object");
        const char* outer = curobj;
        curobj = "free object";
        freeobjrec o;
        o.kind = getint("kind", 0, 2);
        o.box = getbox();
        o.vy = getdouble("vy");
        o.dm = getdouble("dm");
        curobj = outer;
        Level::addfree(L, o);
        freecell.push_back(-1);
        freelisted.push_back(0);
        freeindm.push_back(0);
        if (o.dm > 0.0) ++dmfreewant;
        auto k = static_cast<std::uint32_t>(L.freestore.size() - 1);
        r.set(n, k_free, k);
        return k;
    }

    std::uint32_t guard()
    {
        item it = r.next();
        if (it.type == t_ref && r.kind(it.num) == k_guard) return r.vals[it.num];
        std::uint32_t n = record(it, 12, "guard");
        const char* outer = curobj;
        curobj = "guard";
        badguyrec g;
        item kind = r.next();  // any value; the game never reads it
        if (kind.type == t_int) g.kind = kind.ival;
        else if (kind.type == t_block) r.skipfields(kind);
        g.box = getbox();
        g.phase = getdouble("phase");
        g.vx = getdouble("vx");
        g.vy = getdouble("vy");
        g.vz = getdouble("vz");
        g.heading = getdouble("heading");
        g.jumped = getint("jumped", 0, 1) != 0;
        g.homex = getdouble("homex");
        g.homey = getdouble("homey");
        g.homez = getdouble("homez");
        g.homeheading = getdouble("homeheading");
        curobj = outer;
        Level::addguard(L, g);
        guardcell.push_back(-1);
        guardlisted.push_back(0);
        auto k = static_cast<std::uint32_t>(L.guardstore.size() - 1);
        r.set(n, k_guard, k);
        return k;
    }

    std::uint32_t gridcell()
    {
        item it = r.next();
        if (it.type != t_ref || r.kind(it.num) != k_cube) wrong(it, "dematterized cell", "a shared reference to a cell");
        return r.vals[it.num];
    }

    // A list: integer 0, or a block (element, rest). A shared reference stands
    // for the rest of a list read before, which is walked again; nodes become
    // complete only when the whole list is, so no list can run into itself.
    template <class Elem, class Take>
    void list(objkind kind, const char* what, Elem elem, Take take)
    {
        std::uint32_t first = nil, prev = nil, tail = nil;
        for (;;) {
            item it = r.next();
            if (it.type == t_int && it.ival == 0) break;
            if (it.type == t_ref && r.kind(it.num) == kind) {
                tail = r.vals[it.num];
                for (std::uint32_t n = tail; n != nil; n = r.nodes[n].next) take(r.nodes[n].elem);
                break;
            }
            if (it.type != t_block || it.tag != 0 || it.size != 2) wrong(it, what, "a list");
            auto node = static_cast<std::uint32_t>(r.nodes.size());
            r.nodes.push_back({nil, nil, it.num});
            r.vals[it.num] = node;
            (prev == nil ? first : r.nodes[prev].next) = node;
            prev = node;
            std::uint32_t e = elem();
            r.nodes[node].elem = e;
            take(e);
        }
        if (prev == nil) return;
        r.nodes[prev].next = tail;
        for (std::uint32_t n = first; n != tail; n = r.nodes[n].next) r.kinds[r.nodes[n].obj] = kind;
    }

    // Cell index of a guard's or free object's centre, truncated toward zero, or
    // -1 when the centre is not in the inner space (the outer layer is solid rock
    // that nothing may stand in, and the cell ranges around things must stay inside).
    std::int64_t centrecell(const box& b) const
    {
        auto inside = [](double v, int size) { return v >= 1.0 && v < size - 1.0; };
        if (!inside(b.x, L.xsize) || !inside(b.y, L.ysize) || !inside(b.z, L.zsize)) return -1;
        return static_cast<std::int64_t>(b.x) +
               std::int64_t{L.xsize} * (static_cast<std::int64_t>(b.y) + std::int64_t{L.ysize} * static_cast<std::int64_t>(b.z));
    }

    void filehere(std::int32_t& filed, const box& b, std::int64_t cell, const char* what)
    {
        if (filed >= 0) fail(std::string(what) + " at " + where(b) + " is filed again (first in " + cellname(filed) + ")");
        std::int64_t c = centrecell(b);
        if (c < 0) fail(std::string(what) + " at " + where(b) + ": its centre is not in the inner space of the grid");
        if (c != cell) fail(std::string(what) + " at " + where(b) + " is filed here, but its centre is in " + cellname(c));
        filed = static_cast<std::int32_t>(cell);
    }

    static std::string where(const box& b) { return "(" + num(b.x) + ", " + num(b.y) + ", " + num(b.z) + ")"; }

    void walls(wallsrec& w)
    {
        item it = r.next();
        if (it.type == t_int) {
            if (it.ival != 0) fail("walls: expected 0 (open) or a solid block, found the integer " + std::to_string(it.ival));
            return;
        }
        if (it.type == t_ref && r.kind(it.num) == k_walls) {
            w = unpackwalls(r.vals[it.num]);
            return;
        }
        std::uint32_t n = record(it, 1, "walls");
        std::uint32_t packed;
        item a = r.next();
        if (a.type == t_ref && r.kind(a.num) == k_wallkinds) {
            packed = r.vals[a.num];
        } else {
            record(a, 6, "wall kinds");
            std::array<std::uint8_t, 6> w;
            for (auto& k : w) k = static_cast<std::uint8_t>(getint("wall kind", 0, 3));
            packed = packwalls(w);
            r.set(a.num, k_wallkinds, packed);
        }
        r.set(n, k_walls, packed);
        w = unpackwalls(packed);
    }

    void cell(std::int64_t i)
    {
        curcell = i;
        item it = r.next();
        std::uint32_t n = record(it, 6, "cell");
        cuberec& c = L.cubes.emplace_back();
        walls(c.walls);
        list(k_fixedlist, "fixed objects", [&] { return fixedobj(); }, [&](std::uint64_t k) {
            fixedobjrec* o = L.fixedstore[k].get();
            if (fixedcell[k] >= 0) fail("fixed object at " + where(o->box) + " is filed again (first in " + cellname(fixedcell[k]) + ")");
            fixedcell[k] = static_cast<std::int32_t>(i);
            c.fixedobjs.push_back(o);
        });
        list(k_freelist, "free objects", [&] { return freeobj(); }, [&](std::uint64_t k) {
            freeobjrec* o = L.freestore[k].get();
            filehere(freecell[k], o->box, i, "free object");
            c.freeobjs.push_back(o);
        });
        list(k_guardlist, "guards", [&] { return guard(); }, [&](std::uint64_t k) {
            badguyrec* g = L.guardstore[k].get();
            filehere(guardcell[k], g->box, i, "guard");
            c.badguys.push_back(g);
        });
        c.dm = getdouble("dm");
        c.scent = getdouble("scent");
        if (c.dm > 0.0) ++dmcells;
        r.set(n, k_cube, static_cast<std::uint32_t>(i));
    }

    void cells()
    {
        item it = r.next();
        // Sizes are at least 3 and the block size fits 22 bits, so nothing below overflows.
        std::uint64_t want = std::uint64_t{static_cast<std::uint32_t>(L.xsize)} * static_cast<std::uint32_t>(L.ysize);
        if (it.type != t_block || it.tag != 0 || want > it.size || want * static_cast<std::uint32_t>(L.zsize) != it.size) {
            fail("cubes: expected a block of tag 0 with " + std::to_string(L.xsize) + " x " + std::to_string(L.ysize) +
                 " x " + std::to_string(L.zsize) + " cells, found " + describe(r, it));
        }
        // Each cell takes at least 9 bytes (code, walls, three lists, two shared doubles).
        if (it.size > static_cast<std::size_t>(r.end - r.p) / 9)
            fail(std::to_string(it.size) + " cells cannot fit in the " + std::to_string(r.end - r.p) + " bytes left");
        L.cubes.reserve(it.size);
        decode::hugepages(L.cubes.data(), it.size * sizeof(cuberec));
        for (std::int64_t i = 0; i < std::int64_t{it.size}; ++i) cell(i);
        curcell = -1;
        r.kinds[it.num] = k_other;
    }

    // The rules the game relies on that the single pass cannot see at once.
    void rules()
    {
        const int xs = L.xsize, ys = L.ysize, zs = L.zsize;
        for (int z = 0; z < zs; ++z)
            for (int y = 0; y < ys; ++y) {
                bool whole = y == 0 || z == 0 || y == ys - 1 || z == zs - 1;
                for (int x = 0; x < xs; x += (whole || x == xs - 1) ? 1 : xs - 1) {
                    const cuberec& c = L.cubes[x + std::int64_t{xs} * (y + std::int64_t{ys} * z)];
                    if (!c.walls || c.dm > 0.0)
                        bad("outer cell (" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(z) +
                            ") is not solid" + (c.walls ? " (dematterized)" : ""));
                }
            }
        if (cubeindm.size() < L.cubes.size()) cubeindm.resize(L.cubes.size());
        if (L.dmcubes.size() != dmcells || dmfixedgot != dmfixedwant || dmfreegot != dmfreewant) {
            for (std::size_t i = 0; i < L.cubes.size(); ++i)
                if ((L.cubes[i].dm > 0.0) != (cubeindm[i] != 0))
                    bad(cellname(i) + " has dm " + num(L.cubes[i].dm) + " but is " + (cubeindm[i] ? "" : "not ") +
                        "in dmcubes");
            for (std::size_t k = 0; k < L.fixedstore.size(); ++k)
                if (!fixedindm[k] && L.fixedstore[k]->dm > 0.0)
                    bad("fixed object at " + where(L.fixedstore[k]->box) + " has dm above 0 but is not in dmfixed");
            for (std::size_t k = 0; k < L.freestore.size(); ++k)
                if (!freeindm[k] && L.freestore[k]->dm > 0.0)
                    bad("free object at " + where(L.freestore[k]->box) + " has dm above 0 but is not in dmfree");
        }
        for (std::size_t k = 0; k < L.fixedstore.size(); ++k)
            if (fixedcell[k] < 0) bad("fixed object at " + where(L.fixedstore[k]->box) + " is in no cell");
        if (listedfree != L.freestore.size())
            for (std::size_t k = 0; k < L.freestore.size(); ++k)
                if (!freelisted[k])
                    bad("free object at " + where(L.freestore[k]->box) + " is in a cell but not in the level's list");
        if (listedguards != L.guardstore.size())
            for (std::size_t k = 0; k < L.guardstore.size(); ++k)
                if (!guardlisted[k])
                    bad("guard at " + where(L.guardstore[k]->box) + " is in a cell but not in the level's list");

        double s[3] = {L.startx, L.starty, L.startz};
        int size[3] = {xs, ys, zs};
        for (int a = 0; a < 3; ++a)
            if (!(s[a] >= 0.0 && s[a] < size[a]))
                bad("start position (" + num(s[0]) + ", " + num(s[1]) + ", " + num(s[2]) + ") is outside the grid");
        if (!Level::permeable(L, static_cast<int>(s[0]), static_cast<int>(s[1]), static_cast<int>(s[2])))
            bad("start position (" + num(s[0]) + ", " + num(s[1]) + ", " + num(s[2]) + ") is inside solid matter");
    }

    void level()
    {
        record(r.next(), 14, "level");
        L.clock = getdouble("clock");
        L.xsize = getint("xsize", 3, (1 << 30) - 1);
        L.ysize = getint("ysize", 3, (1 << 30) - 1);
        L.zsize = getint("zsize", 3, (1 << 30) - 1);
        cells();
        list(k_cubelist, "dmcubes", [&] { return gridcell(); }, [&](std::uint64_t i) {
            if (cubeindm.empty()) cubeindm.resize(L.cubes.size());
            if (cubeindm[i]) fail(cellname(i) + " is in dmcubes twice");
            if (!(L.cubes[i].dm > 0.0)) fail(cellname(i) + " is in dmcubes but its dm is " + num(L.cubes[i].dm));
            cubeindm[i] = 1;
            L.dmcubes.push_back(&L.cubes[i]);
        });
        list(k_fixedlist, "dmfixed", [&] { return fixedobj(); }, [&](std::uint64_t k) {
            fixedobjrec* o = L.fixedstore[k].get();
            if (fixedcell[k] < 0) fail("fixed object at " + where(o->box) + " in dmfixed is in no cell");
            if (fixedindm[k]) fail("fixed object at " + where(o->box) + " is in dmfixed twice");
            if (!(o->dm > 0.0)) fail("fixed object at " + where(o->box) + " is in dmfixed but its dm is " + num(o->dm));
            fixedindm[k] = 1;
            ++dmfixedgot;
            L.dmfixed.push_back(o);
        });
        list(k_freelist, "dmfree", [&] { return freeobj(); }, [&](std::uint64_t k) {
            freeobjrec* o = L.freestore[k].get();
            if (freecell[k] < 0) fail("free object at " + where(o->box) + " in dmfree is in no cell");
            if (freeindm[k]) fail("free object at " + where(o->box) + " is in dmfree twice");
            if (!(o->dm > 0.0)) fail("free object at " + where(o->box) + " is in dmfree but its dm is " + num(o->dm));
            freeindm[k] = 1;
            ++dmfreegot;
            L.dmfree.push_back(o);
        });
        list(k_freelist, "freeobjs", [&] { return freeobj(); }, [&](std::uint64_t k) {
            freeobjrec* o = L.freestore[k].get();
            if (freecell[k] < 0) fail("free object at " + where(o->box) + " in freeobjs is in no cell");
            if (freelisted[k]) fail("free object at " + where(o->box) + " is in freeobjs twice");
            freelisted[k] = 1;
            ++listedfree;
            L.freeobjs.push_back(o);
        });
        list(k_guardlist, "badguys", [&] { return guard(); }, [&](std::uint64_t k) {
            badguyrec* g = L.guardstore[k].get();
            if (guardcell[k] < 0) fail("guard at " + where(g->box) + " in badguys is in no cell");
            if (guardlisted[k]) fail("guard at " + where(g->box) + " is in badguys twice");
            guardlisted[k] = 1;
            ++listedguards;
            L.badguys.push_back(g);
        });
        L.startx = getdouble("startx");
        L.starty = getdouble("starty");
        L.startz = getdouble("startz");
        L.startheading = getdouble("startheading");
    }
};

std::uint32_t be32(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

levelrec decode_level(const unsigned char* data, std::size_t size)
{
    if (size < 20) throw readerror("the file has " + std::to_string(size) + " bytes, fewer than the 20-byte header");
    if (be32(data) != level_magic) throw readerror("wrong magic number");
    std::uint32_t length = be32(data + 4), objects = be32(data + 8), words = be32(data + 12);
    if (length != size - 20)
        throw readerror("the header announces " + std::to_string(length) + " data bytes, the file holds " +
                        std::to_string(size - 20));
    // Every numbered object takes at least one byte, which bounds the table.
    if (objects > length)
        throw readerror("the header claims " + std::to_string(objects) + " objects in " + std::to_string(length) +
                        " data bytes");

    levelreader lr;
    lr.r.start(data, size, objects);
    lr.level();
    if (lr.r.p != lr.r.end) lr.r.fail(std::to_string(lr.r.end - lr.r.p) + " bytes after the value");
    if (lr.r.count != objects)
        throw readerror("the header counts " + std::to_string(objects) + " objects, the data numbers " +
                        std::to_string(lr.r.count));
    if (lr.r.words != words)
        throw readerror("the header's size is " + std::to_string(words) + " words, the data needs " +
                        std::to_string(lr.r.words));
    lr.rules();
    Level::touchall(lr.L);
    return std::move(lr.L);
}

}  // namespace Level
