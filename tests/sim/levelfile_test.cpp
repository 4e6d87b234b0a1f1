// levelfile_test.cpp -- level files: every code and sharing form read back, every malformed form refused
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "dungeontool.h"
#include "fixture.h"
#include "levelwriter.h"
#include "world/levelfile.h"

namespace {

using bytes = std::vector<unsigned char>;
namespace W = Levelwriter;

levelrec decode(const bytes& b) { return Level::decode_level(b.data(), b.size()); }

// The reader's message for bytes it must refuse ("" when it accepts them).
std::string refusal(const bytes& b)
{
    try {
        decode(b);
    } catch (const Level::readerror& e) {
        return e.what();
    }
    return "";
}

// 6 x 5 x 5 with every wall kind, mixed faces, a dematterized pillar, one of each
// object, objects sharing a cell, and something in every dematterized list.
levelrec richlevel()
{
    levelrec l = fixture::make({
        {"######", "#BBTS#", "#TTSS#", "#BSTB#", "######"},
        {"######", "#....#", "#....#", "#...B#", "######"},
        {"######", "#....#", "#....#", "#....#", "######"},
        {"######", "#....#", "#....#", "#....#", "######"},
        {"TTTTTT", "TTTTTT", "TTTTTT", "TTTTTT", "TTTTTT"},
    });
    l.clock = 12.5;
    Level::getcube(l, 0, 2, 2).walls = std::array<std::uint8_t, 6>{0, 1, 2, 3, 0, 1};
    cuberec& pillar = Level::getcube(l, 4, 1, 3);
    pillar.dm = 0.5;
    l.dmcubes.push_back(&pillar);
    Level::getcube(l, 2, 2, 2).scent = 3.25;
    Level::getcube(l, 1, 1, 1).scent = -1.5;

    fixture::put_guard(l, 2.5, 1.499, 2.5, 90.0)->phase = 0.75;
    badguyrec* g2 = fixture::put_guard(l, 3.5, 1.499, 1.5, 180.0);
    g2->vx = -0.5;
    g2->jumped = true;
    g2->kind = 7;
    fixture::put_free(l, charge_kind, 3.5, 1.075, 1.5);
    freeobjrec* bribe = fixture::put_free(l, bribe_kind, 3.5, 1.1, 3.5);
    bribe->dm = 0.7;
    bribe->vy = -0.25;
    l.dmfree.push_back(bribe);
    fixture::put_free(l, teleporter_kind, 2.5, 1.48, 3.5);
    fixture::put_free(l, charge_kind, 2.5, 2.075, 3.5);  // shares the teleporter's cell
    fixture::put_fixed(l, barsxy, 1.5, 1.5, 3.5);
    fixedobjrec* st = fixture::put_fixed(l, step, 1.5, 1.25, 3.5);
    st->dm = 0.3;
    l.dmfixed.push_back(st);
    fixture::put_fixed(l, barsxz, 2.5, 3.0, 1.5);
    l.startx = 1.5;
    l.starty = 1.3;
    l.startz = 1.5;
    l.startheading = 45.0;
    Level::touchall(l);
    return l;
}

void expect_box(const box& a, const box& b)
{
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
    EXPECT_EQ(a.z, b.z);
    EXPECT_EQ(a.hx, b.hx);
    EXPECT_EQ(a.hy, b.hy);
    EXPECT_EQ(a.hz, b.hz);
}

// The decoded level equals the written one, lists in the same order, and every
// object that the written level shares between lists is one object after decoding.
void expect_same(const levelrec& a, const levelrec& b)
{
    EXPECT_EQ(a.clock, b.clock);
    ASSERT_EQ(a.xsize, b.xsize);
    ASSERT_EQ(a.ysize, b.ysize);
    ASSERT_EQ(a.zsize, b.zsize);
    ASSERT_EQ(a.cubes.size(), b.cubes.size());
    std::map<const void*, const void*> same;  // object of a -> object of b
    auto pair = [&](const void* x, const void* y) {
        auto [it, fresh] = same.emplace(x, y);
        EXPECT_EQ(it->second, y) << "an object shared in the written level is two objects after reading";
    };
    for (std::size_t i = 0; i < a.cubes.size(); ++i) {
        const cuberec &ca = a.cubes[i], &cb = b.cubes[i];
        EXPECT_EQ(ca.walls, cb.walls) << "cell " << i;
        EXPECT_EQ(ca.dm, cb.dm) << "cell " << i;
        EXPECT_EQ(ca.scent, cb.scent) << "cell " << i;
        ASSERT_EQ(ca.fixedobjs.size(), cb.fixedobjs.size()) << "cell " << i;
        ASSERT_EQ(ca.freeobjs.size(), cb.freeobjs.size()) << "cell " << i;
        ASSERT_EQ(ca.badguys.size(), cb.badguys.size()) << "cell " << i;
        for (std::size_t k = 0; k < ca.fixedobjs.size(); ++k) {
            const fixedobjrec &x = *ca.fixedobjs[k], &y = *cb.fixedobjs[k];
            EXPECT_EQ(x.kind, y.kind);
            expect_box(x.box, y.box);
            EXPECT_EQ(x.dm, y.dm);
            pair(&x, &y);
        }
        for (std::size_t k = 0; k < ca.freeobjs.size(); ++k) {
            const freeobjrec &x = *ca.freeobjs[k], &y = *cb.freeobjs[k];
            EXPECT_EQ(x.kind, y.kind);
            expect_box(x.box, y.box);
            EXPECT_EQ(x.vy, y.vy);
            EXPECT_EQ(x.dm, y.dm);
            pair(&x, &y);
        }
        for (std::size_t k = 0; k < ca.badguys.size(); ++k) {
            const badguyrec &x = *ca.badguys[k], &y = *cb.badguys[k];
            expect_box(x.box, y.box);
            EXPECT_EQ(x.phase, y.phase);
            EXPECT_EQ(x.vx, y.vx);
            EXPECT_EQ(x.vy, y.vy);
            EXPECT_EQ(x.vz, y.vz);
            EXPECT_EQ(x.heading, y.heading);
            EXPECT_EQ(x.jumped, y.jumped);
            EXPECT_EQ(x.homex, y.homex);
            EXPECT_EQ(x.homey, y.homey);
            EXPECT_EQ(x.homez, y.homez);
            EXPECT_EQ(x.homeheading, y.homeheading);
            pair(&x, &y);
        }
        EXPECT_EQ(a.cellflags[i], b.cellflags[i]) << "cell " << i;
    }
    auto samelist = [&](const auto& la, const auto& lb, const char* what) {
        SCOPED_TRACE(what);
        ASSERT_EQ(la.size(), lb.size());
        for (std::size_t k = 0; k < la.size(); ++k) {
            ASSERT_TRUE(same.count(la[k])) << "element " << k << " is in no cell";
            EXPECT_EQ(same[la[k]], lb[k]) << "element " << k;
        }
    };
    samelist(a.dmfixed, b.dmfixed, "dmfixed");
    samelist(a.dmfree, b.dmfree, "dmfree");
    samelist(a.freeobjs, b.freeobjs, "freeobjs");
    samelist(a.badguys, b.badguys, "badguys");
    ASSERT_EQ(a.dmcubes.size(), b.dmcubes.size());
    for (std::size_t k = 0; k < a.dmcubes.size(); ++k)
        EXPECT_EQ(b.dmcubes[k], &b.cubes[Level::indexof(a, a.dmcubes[k])]);
    EXPECT_EQ(a.startx, b.startx);
    EXPECT_EQ(a.starty, b.starty);
    EXPECT_EQ(a.startz, b.startz);
    EXPECT_EQ(a.startheading, b.startheading);
    EXPECT_EQ(b.guardstore.size(), a.guardstore.size());
    EXPECT_EQ(b.freestore.size(), a.freestore.size());
    EXPECT_EQ(b.fixedstore.size(), a.fixedstore.size());
}

struct formcase {
    const char* what;
    W::options opt;
};

W::options with(std::function<void(W::options&)> set)
{
    W::options o;
    set(o);
    return o;
}

TEST(LevelFile, EveryCodeFormReadsBack)
{
    const formcase forms[] = {
        {"shortest forms", {}},
        {"little-endian doubles", with([](auto& o) { o.littleendian = true; })},
        {"8-bit integers", with([](auto& o) { o.intbits = 8; })},
        {"16-bit integers", with([](auto& o) { o.intbits = 16; })},
        {"32-bit integers", with([](auto& o) { o.intbits = 32; })},
        {"16-bit references", with([](auto& o) { o.refbits = 16; })},
        {"32-bit references", with([](auto& o) { o.refbits = 32; })},
        {"blocks with header words", with([](auto& o) { o.longblocks = true; })},
        {"32-bit counts, big-endian", with([](auto& o) { o.longarrays = true; })},
        {"32-bit counts, little-endian", with([](auto& o) { o.longarrays = o.littleendian = true; })},
        {"shared doubles", with([](auto& o) { o.sharedoubles = true; })},
        {"shared doubles, 32-bit references", with([](auto& o) { o.sharedoubles = true, o.refbits = 32; })},
        {"walls written per cell", with([](auto& o) { o.sharewalls = false; })},
        {"string kinds", with([](auto& o) { o.guardkind = W::options::kind_string; })},
        {"8-bit string kinds", with([](auto& o) { o.guardkind = W::options::kind_string, o.stringbits = 8; })},
        {"32-bit string kinds", with([](auto& o) { o.guardkind = W::options::kind_string, o.stringbits = 32; })},
        {"nested kinds", with([](auto& o) { o.guardkind = W::options::kind_nested, o.sharedoubles = true; })},
    };
    const levelrec l = richlevel();
    std::array<std::uint32_t, 256> seen{};
    for (const formcase& f : forms) {
        SCOPED_TRACE(f.what);
        W::encoder e;
        e.opt = f.opt;
        W::encode(e, l);
        for (int c = 0; c < 256; ++c) seen[c] += e.codes[c];
        levelrec back = decode(W::finish(e));
        expect_same(l, back);
        // The game never reads a guard's kind: an integer is kept, anything else is 0.
        int want = f.opt.guardkind == W::options::kind_integer ? 7 : 0;
        EXPECT_EQ(back.badguys[0]->kind, want);
    }
    // Together the forms hold every code of the encoding but the rejected ones.
    for (int c = 0; c < 0x10; ++c)
        if (c != 0x03) {
            EXPECT_GT(seen[c], 0u) << "code " << c << " never written";
        }
    // Small codes: integers, strings, an empty block, blocks of 1 to 4 and 6
    // fields, and a block of tag 1.
    for (int c : {0x40, 0x41, 0x43, 0x47, 0x20, 0x25, 0x26, 0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xE0, 0xC1})
        EXPECT_GT(seen[c], 0u) << "code " << c;
}

TEST(LevelFile, OneObjectThroughEveryList)
{
    levelrec back = decode(W::encode_level(richlevel()));
    freeobjrec* bribe = back.dmfree.at(0);
    EXPECT_EQ(bribe->kind, bribe_kind);
    cuberec& cell = Level::getcube(back, 3, 1, 3);
    ASSERT_EQ(cell.freeobjs.size(), 1u);
    EXPECT_EQ(cell.freeobjs[0], bribe);
    EXPECT_NE(std::find(back.freeobjs.begin(), back.freeobjs.end(), bribe), back.freeobjs.end());
    // Moving it through the cell's list is seen through the level's lists.
    cell.freeobjs[0]->box.y = 2.0;
    EXPECT_EQ(back.dmfree[0]->box.y, 2.0);

    fixedobjrec* st = back.dmfixed.at(0);
    cuberec& stcell = Level::getcube(back, 1, 1, 3);
    EXPECT_EQ(stcell.fixedobjs.size(), 2u);
    EXPECT_NE(std::find(stcell.fixedobjs.begin(), stcell.fixedobjs.end(), st), stcell.fixedobjs.end());
    EXPECT_EQ(back.dmcubes.at(0), &Level::getcube(back, 4, 1, 3));
    // The cells' flags are filled: solid, dematterized, holding things.
    EXPECT_EQ(back.cellflags[Level::cellindex(back, 4, 1, 3)], Level::cell_solid | Level::cell_dm);
    EXPECT_EQ(back.cellflags[Level::cellindex(back, 2, 1, 2)], Level::cell_stuff);
    EXPECT_EQ(back.cellflags[Level::cellindex(back, 1, 2, 1)], 0);
}

// --- values written item by item, for the shapes the level writer never makes ---

// Writes the smallest sound level, 3 x 3 x 3 of stone round an open centre with
// the start in it. `hook(e, n)` may write part n itself and return true: 0 is the
// level block's header, 1..14 its fields, 20 the centre cell's header, 21..26 its fields.
using hook = std::function<bool(W::encoder&, int)>;

void stonecell(W::encoder& e)
{
    W::put_block(e, 0, 6);
    W::put_block(e, 0, 1);
    W::put_block(e, 0, 6);
    for (int k = 0; k < 6; ++k) W::put_int(e, 0);
    for (int k = 0; k < 3; ++k) W::put_int(e, 0);
    W::put_double(e, 0.0);
    W::put_double(e, 0.0);
}

bytes tiny(const hook& h = nullptr)
{
    W::encoder e;
    auto part = [&](int n, auto dflt) {
        if (!h || !h(e, n)) dflt();
    };
    part(0, [&] { W::put_block(e, 0, 14); });
    part(1, [&] { W::put_double(e, 0.0); });
    part(2, [&] { W::put_int(e, 3); });
    part(3, [&] { W::put_int(e, 3); });
    part(4, [&] { W::put_int(e, 3); });
    part(5, [&] {
        W::put_block(e, 0, 27);
        for (int i = 0; i < 27; ++i) {
            if (i != 13) {
                stonecell(e);
                continue;
            }
            part(20, [&] { W::put_block(e, 0, 6); });
            part(21, [&] { W::put_int(e, 0); });
            part(22, [&] { W::put_int(e, 0); });
            part(23, [&] { W::put_int(e, 0); });
            part(24, [&] { W::put_int(e, 0); });
            part(25, [&] { W::put_double(e, 0.0); });
            part(26, [&] { W::put_double(e, 0.0); });
        }
    });
    for (int n = 6; n <= 10; ++n) part(n, [&] { W::put_int(e, 0); });
    for (int n = 11; n <= 13; ++n) part(n, [&] { W::put_double(e, 1.5); });
    part(14, [&] { W::put_double(e, 0.0); });
    return W::finish(e);
}

// A hook that writes part `n` with `write`.
hook at(int n, std::function<void(W::encoder&)> write)
{
    return [n, write](W::encoder& e, int m) {
        if (m != n) return false;
        write(e);
        return true;
    };
}

void raw(W::encoder& e, std::initializer_list<int> b)
{
    for (int v : b) e.data.push_back(static_cast<unsigned char>(v));
}

void freeobject(W::encoder& e, int kind, std::initializer_list<double> b)
{
    W::put_block(e, 0, 4);
    W::put_int(e, kind);
    std::vector<double> v(b);
    W::put_doubles(e, v.data(), v.size());
    W::put_double(e, 0.0);
    W::put_double(e, 0.0);
}

void guardrecord(W::encoder& e, std::function<void(W::encoder&, int)> field)
{
    W::put_block(e, 0, 12);
    for (int f = 1; f <= 12; ++f) field(e, f);
}

// A guard in the centre cell and in the level's list, written field by field;
// `change(e, f)` may write field f itself.
hook guardwith(std::function<bool(W::encoder&, int)> change)
{
    auto num = std::make_shared<std::uint32_t>(0);
    return [num, change](W::encoder& e, int n) {
        if (n == 10) {
            W::put_block(e, 0, 2);
            W::put_ref(e, *num);
            W::put_int(e, 0);
            return true;
        }
        if (n != 24) return false;
        W::put_block(e, 0, 2);
        *num = e.objects;
        guardrecord(e, [&](W::encoder& e, int f) {
            if (change && change(e, f)) return;
            if (f == 1) W::put_int(e, 0);
            else if (f == 2) {
                const double b[6] = {1.5, 1.499, 1.5, 0.4, 0.499, 0.4};
                W::put_doubles(e, b, 6);
            } else if (f == 8) W::put_int(e, 0);
            else W::put_double(e, 0.0);
        });
        W::put_int(e, 0);
        return true;
    };
}

TEST(LevelFile, TinyLevelIsSound)
{
    bytes b = tiny();
    // The open centre cell as small codes: 0xE0, four times 0x40, then two doubles.
    const unsigned char open[] = {0xE0, 0x40, 0x40, 0x40, 0x40, 0x0B};
    EXPECT_NE(std::search(b.begin(), b.end(), std::begin(open), std::end(open)), b.end());
    levelrec l = decode(b);
    EXPECT_EQ(l.cubes.size(), 27u);
    EXPECT_FALSE(l.cubes[13].walls);
    EXPECT_TRUE(l.cubes[0].walls);
    EXPECT_EQ(l.startx, 1.5);
}

TEST(LevelFile, SharedReferencesToAnyNumberedItem)
{
    // The level's guard list is the very list node of the centre cell.
    std::uint32_t node = 0;
    hook h = [&](W::encoder& e, int n) {
        if (n == 24) {
            node = e.objects;
            return guardwith(nullptr)(e, 24);
        }
        if (n == 10) {
            W::put_ref(e, node);
            return true;
        }
        return false;
    };
    levelrec l = decode(tiny(h));
    ASSERT_EQ(l.badguys.size(), 1u);
    EXPECT_EQ(l.badguys[0], l.cubes[13].badguys.at(0));

    // A double shared between records, and into and out of a guard's kind
    // (an untyped value, read as kind 0): the level's clock is the guard's
    // heading, and the guard's phase is a double stored inside its kind.
    std::uint32_t clock = 0, inkind = 0, guardnum = 0;
    h = [&](W::encoder& e, int n) {
        if (n == 1) {
            clock = W::put_double(e, 2.5);
            return true;
        }
        if (n == 24) {
            guardnum = e.objects + 1;  // after its list node
            return guardwith([&](W::encoder& e, int f) {
                if (f == 1) {
                    W::put_block(e, 3, 3);
                    W::put_string(e, "pacing");
                    W::put_ref(e, clock);
                    inkind = W::put_double(e, 0.125);
                    return true;
                }
                if (f == 3) return W::put_ref(e, inkind), true;
                if (f == 7) return W::put_ref(e, clock), true;
                return false;
            })(e, 24);
        }
        if (n == 10) {
            W::put_block(e, 0, 2);
            W::put_ref(e, guardnum);
            W::put_int(e, 0);
            return true;
        }
        return false;
    };
    l = decode(tiny(h));
    EXPECT_EQ(l.clock, 2.5);
    ASSERT_EQ(l.badguys.size(), 1u);
    EXPECT_EQ(l.badguys[0], l.cubes[13].badguys.at(0));
    EXPECT_EQ(l.badguys[0]->heading, 2.5);
    EXPECT_EQ(l.badguys[0]->phase, 0.125);
    EXPECT_EQ(l.badguys[0]->kind, 0);
}

struct shapecase {
    const char* what;
    hook change;
    const char* message;  // part of the reader's message
};

TEST(LevelFile, MalformedShapesRefused)
{
    const double nan = std::nan("");
    const shapecase cases[] = {
        {"level of 13 fields", at(0, [](auto& e) { W::put_block(e, 0, 13); }), "level: expected a block of tag 0 with 14"},
        {"level of tag 1", at(0, [](auto& e) { W::put_block(e, 1, 14); }), "found a block of tag 1"},
        {"level as an integer", at(0, [](auto& e) { W::put_int(e, 5); }), "level: expected a block"},
        {"clock as an integer", at(1, [](auto& e) { W::put_int(e, 0); }), "clock: expected a double, found the integer 0"},
        {"clock shares the level", at(1, [](auto& e) { W::put_ref(e, 0); }), "a shared reference to an unfinished"},
        {"clock infinite", at(1, [](auto& e) { W::put_double(e, INFINITY); }), "clock is inf"},
        {"xsize as a double", at(2, [](auto& e) { W::put_double(e, 3.0); }), "xsize: expected an integer"},
        {"xsize 2", at(2, [](auto& e) { W::put_int(e, 2); }), "xsize is 2, outside 3.."},
        {"xsize 4 for 27 cells", at(2, [](auto& e) { W::put_int(e, 4); }), "4 x 3 x 3 cells, found a block of tag 0 with 27"},
        {"zsize huge, product overflowing", at(4, [](auto& e) { raw(e, {0x02, 0x3F, 0xFF, 0xFF, 0xFF}); }), "cells, found"},
        {"32-bit integer of 2^30", at(2, [](auto& e) { raw(e, {0x02, 0x40, 0, 0, 0}); }), "does not fit 31 bits"},
        {"32-bit integer below -2^30", at(2, [](auto& e) { raw(e, {0x02, 0xBF, 0xFF, 0xFF, 0xFF}); }), "does not fit 31 bits"},
        {"cells of tag 1", at(5, [](auto& e) { W::put_block(e, 1, 27); }), "cubes: expected"},
        {"cell of 5 fields", at(20, [](auto& e) { W::put_block(e, 0, 5); }), "cell (1, 1, 1), cell: expected a block of tag 0 with 6"},
        {"cell shared twice in the grid", at(20, [](auto& e) { W::put_ref(e, e.objects - 5); }), "cell: expected a block of tag 0 with 6 fields, found a shared reference to a cell"},
        {"walls 1", at(21, [](auto& e) { W::put_int(e, 1); }), "walls: expected 0 (open)"},
        {"walls of tag 2", at(21, [](auto& e) { W::put_block(e, 2, 1); }), "walls: expected a block of tag 0 with 1"},
        {"five wall kinds", at(21, [](auto& e) {
             W::put_block(e, 0, 1), W::put_block(e, 0, 5);
             for (int k = 0; k < 5; ++k) W::put_int(e, 0);
         }), "wall kinds: expected a block of tag 0 with 6"},
        {"wall kind as a double", at(21, [](auto& e) {
             W::put_block(e, 0, 1), W::put_block(e, 0, 6), W::put_double(e, 0.0);
         }), "wall kind: expected an integer"},
        {"wall kind 4", at(21, [](auto& e) {
             W::put_block(e, 0, 1), W::put_block(e, 0, 6);
             for (int k = 0; k < 6; ++k) W::put_int(e, k == 5 ? 4 : 0);
         }), "wall kind is 4, outside 0..3"},
        {"walls sharing a double", at(21, [](auto& e) { W::put_ref(e, e.objects - 2); }), "walls: expected a block of tag 0 with 1 fields, found a shared reference to a double"},
        {"list of tag 1", at(22, [](auto& e) { W::put_block(e, 1, 2); }), "fixed objects: expected a list, found a block of tag 1"},
        {"list node of 3 fields", at(23, [](auto& e) { W::put_block(e, 0, 3); }), "free objects: expected a list"},
        {"list ending in 1", at(23, [](auto& e) { W::put_int(e, 1); }), "expected a list, found the integer 1"},
        {"list running into itself", at(23, [](auto& e) {
             std::uint32_t node = static_cast<std::uint32_t>(W::put_block(e, 0, 2));
             freeobject(e, 0, {1.5, 1.075, 1.5, 0.05, 0.075, 0.05});
             W::put_ref(e, node);
         }), "expected a list, found a shared reference to an unfinished object"},
        {"free object of kind 3", at(23, [](auto& e) {
             W::put_block(e, 0, 2), freeobject(e, 3, {1.5, 1.075, 1.5, 0.05, 0.075, 0.05}), W::put_int(e, 0);
         }), "kind is 3, outside 0..2"},
        {"box of 5 doubles", at(23, [](auto& e) {
             W::put_block(e, 0, 2), freeobject(e, 0, {1.5, 1.075, 1.5, 0.05, 0.075}), W::put_int(e, 0);
         }), "box: expected an array of 6 doubles, found an array of 5"},
        {"box centre NaN", at(23, [&](auto& e) {
             W::put_block(e, 0, 2), freeobject(e, 0, {1.5, nan, 1.5, 0.05, 0.075, 0.05}), W::put_int(e, 0);
         }), "box centre (1.5, nan, 1.5) is not finite"},
        {"box half extent negative", at(23, [](auto& e) {
             W::put_block(e, 0, 2), freeobject(e, 0, {1.5, 1.075, 1.5, -0.05, 0.075, 0.05}), W::put_int(e, 0);
         }), "half extents"},
        {"guard of 11 fields", at(24, [](auto& e) { W::put_block(e, 0, 2), W::put_block(e, 0, 11); }), "guard: expected a block of tag 0 with 12"},
        {"guard jumped 2", guardwith([](auto& e, int f) { return f == 8 && (W::put_int(e, 2), true); }), "jumped is 2"},
        {"guard heading a string", guardwith([](auto& e, int f) { return f == 7 && (W::put_string(e, "north"), true); }), "guard, heading: expected a double, found a string"},
        {"guard box a double", guardwith([](auto& e, int f) { return f == 2 && (W::put_double(e, 1.0), true); }), "box: expected an array"},
        {"dm as a string", at(25, [](auto& e) { W::put_string(e, "x"); }), "dm: expected a double, found a string"},
        {"dm NaN", at(25, [&](auto& e) { W::put_double(e, nan); }), "dm is nan"},
        {"scent as a 64-bit integer", at(26, [](auto& e) { raw(e, {0x03, 0, 0, 0, 0, 0, 0, 0, 0}); }), "64-bit integer (code 0x03)"},
        {"dmcubes sharing a double", at(6, [](auto& e) { W::put_block(e, 0, 2), W::put_ref(e, e.objects - 2); }), "dematterized cell: expected a shared reference to a cell, found a shared reference to a double"},
        {"dmcubes holding a new cell", at(6, [](auto& e) { W::put_block(e, 0, 2), stonecell(e); }), "dematterized cell: expected"},
        {"reference before the first object", at(6, [](auto& e) { W::put_block(e, 0, 2), raw(e, {0x05, 0x7F, 0xFF}); }), "shared reference 32767 back"},
        {"reference of distance 0", at(6, [](auto& e) { W::put_block(e, 0, 2), raw(e, {0x04, 0}); }), "shared reference 0 back"},
        {"free object only in the level's list", at(9, [](auto& e) {
             W::put_block(e, 0, 2), freeobject(e, 0, {1.5, 1.075, 1.5, 0.05, 0.075, 0.05}), W::put_int(e, 0);
         }), "in freeobjs is in no cell"},
        {"guard only in the level's list", at(10, [](auto& e) {
             W::put_block(e, 0, 2);
             guardrecord(e, [](W::encoder& e, int f) {
                 const double b[6] = {1.5, 1.499, 1.5, 0.4, 0.499, 0.4};
                 if (f == 2) W::put_doubles(e, b, 6);
                 else if (f == 1 || f == 8) W::put_int(e, 0);
                 else W::put_double(e, 0.0);
             });
             W::put_int(e, 0);
         }), "in badguys is in no cell"},
        {"start as an integer", at(11, [](auto& e) { W::put_int(e, 1); }), "startx: expected a double"},
    };
    for (const shapecase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NE(refusal(tiny(c.change)).find(c.message), std::string::npos) << refusal(tiny(c.change));
    }
}

TEST(LevelFile, RejectedCodes)
{
    for (int code = 0x10; code <= 0x1F; ++code) {
        SCOPED_TRACE(code);
        std::string why = refusal(tiny(at(25, [code](auto& e) { raw(e, {code, 0, 0, 0, 0, 0, 0, 0, 0}); })));
        EXPECT_NE(why.find(code <= 0x12 ? "code pointer or custom block" : "ill-formed code"), std::string::npos) << why;
    }
}

struct headercase {
    const char* what;
    std::function<void(bytes&)> change;
    const char* message;
};

void setword(bytes& b, int at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

std::uint32_t word(const bytes& b, int at)
{
    return (std::uint32_t{b[at]} << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

TEST(LevelFile, HeaderMustAgreeWithTheData)
{
    const headercase cases[] = {
        {"empty file", [](bytes& b) { b.clear(); }, "fewer than the 20-byte header"},
        {"cut inside the header", [](bytes& b) { b.resize(19); }, "fewer than the 20-byte header"},
        {"magic changed", [](bytes& b) { b[3] ^= 1; }, "wrong magic number"},
        {"a trailing byte", [](bytes& b) { b.push_back(0x40); }, "announces"},
        {"a missing byte", [](bytes& b) { b.pop_back(); }, "announces"},
        {"trailing byte announced", [](bytes& b) { b.push_back(0x40), setword(b, 4, word(b, 4) + 1); }, "1 bytes after the value"},
        {"short data announced", [](bytes& b) { b.pop_back(), setword(b, 4, word(b, 4) - 1); }, "the data ends inside an item"},
        {"one object too many counted", [](bytes& b) { setword(b, 8, word(b, 8) + 1); }, "the header counts"},
        {"one object too few counted", [](bytes& b) { setword(b, 8, word(b, 8) - 1); }, "more objects than the header's count"},
        {"size one word off", [](bytes& b) { setword(b, 12, word(b, 12) + 1); }, "the header's size is"},
        {"billions of objects", [](bytes& b) { setword(b, 8, 0xFFFFFFFFu); }, "claims 4294967295 objects"},
    };
    const bytes good = W::encode_level(richlevel());
    ASSERT_EQ(refusal(good), "");
    for (const headercase& c : cases) {
        SCOPED_TRACE(c.what);
        bytes b = good;
        c.change(b);
        EXPECT_NE(refusal(b).find(c.message), std::string::npos) << refusal(b);
    }
    // The 64-bit size is not read.
    bytes b = good;
    setword(b, 16, 12345);
    EXPECT_EQ(refusal(b), "");
}

struct levelcase {
    const char* what;
    std::function<void(levelrec&)> change;
    const char* message;
};

// The guard put first, at (2.5, 1.499, 2.5); lists grow at the front.
badguyrec* guard0(levelrec& l) { return l.badguys.back(); }
template <class T> void drop(std::vector<T*>& list, T* item) { list.erase(std::find(list.begin(), list.end(), item)); }

TEST(LevelFile, BrokenLevelsRefused)
{
    const levelcase cases[] = {
        {"a size below 3", [](levelrec& l) { l.xsize = 2; }, "xsize is 2"},
        {"cells fewer than the sizes", [](levelrec& l) { l.cubes.pop_back(); }, "6 x 5 x 5 cells, found a block of tag 0 with 149"},
        {"wall kind 4", [](levelrec& l) { (*Level::getcube(l, 1, 0, 1).walls)[2] = 4; }, "cell (1, 0, 1), wall kind is 4"},
        {"outer cell open", [](levelrec& l) { Level::getcube(l, 5, 2, 2).walls.reset(); }, "outer cell (5, 2, 2) is not solid"},
        {"outer cell dematterized", [](levelrec& l) {
             Level::getcube(l, 0, 2, 2).dm = 0.5, l.dmcubes.push_back(&Level::getcube(l, 0, 2, 2));
         }, "outer cell (0, 2, 2) is not solid (dematterized)"},
        {"guard filed beside its centre", [](levelrec& l) { guard0(l)->box.x = 3.5; }, "guard at (3.5, 1.499, 2.5) is filed here, but its centre is in cell (3, 1, 2)"},
        {"guard in the outer layer", [](levelrec& l) { guard0(l)->box.x = 0.9; }, "its centre is not in the inner space"},
        {"guard at a negative position", [](levelrec& l) { guard0(l)->box.x = -0.5; }, "its centre is not in the inner space"},
        {"guard filed twice", [](levelrec& l) { Level::getcube(l, 2, 1, 3).badguys.push_back(guard0(l)); }, "is filed again"},
        {"guard not in the level's list", [](levelrec& l) { drop(l.badguys, guard0(l)); }, "is in a cell but not in the level's list"},
        {"guard in no cell", [](levelrec& l) { drop(Level::getcube(l, 2, 1, 2).badguys, guard0(l)); }, "in badguys is in no cell"},
        {"guard twice in the level's list", [](levelrec& l) { l.badguys.push_back(guard0(l)); }, "is in badguys twice"},
        {"guard heading infinite", [](levelrec& l) { guard0(l)->homeheading = -INFINITY; }, "homeheading is -inf"},
        {"free object filed beside its centre", [](levelrec& l) { l.freeobjs[0]->box.z = 2.5; }, "but its centre is in cell (2, 2, 2)"},
        {"free object twice in the level's list", [](levelrec& l) { l.freeobjs.push_back(l.freeobjs[1]); }, "is in freeobjs twice"},
        {"free object not in the level's list", [](levelrec& l) { l.freeobjs.pop_back(); }, "free object at (3.5, 1.075, 1.5) is in a cell but not"},
        {"free object with infinite half extent", [](levelrec& l) { l.freeobjs[0]->box.hy = INFINITY; }, "half extents"},
        {"fixed object in two cells", [](levelrec& l) { Level::getcube(l, 2, 2, 2).fixedobjs.push_back(l.dmfixed[0]); }, "fixed object at (1.5, 1.25, 3.5) is filed again"},
        {"fixed object only in dmfixed", [](levelrec& l) { drop(Level::getcube(l, 1, 1, 3).fixedobjs, l.dmfixed[0]); }, "in dmfixed is in no cell"},
        {"dematterized fixed object not in dmfixed", [](levelrec& l) { l.dmfixed.clear(); }, "has dm above 0 but is not in dmfixed"},
        {"fixed object in dmfixed with dm 0", [](levelrec& l) { l.dmfixed[0]->dm = 0.0; }, "is in dmfixed but its dm is 0"},
        {"fixed object twice in dmfixed", [](levelrec& l) { l.dmfixed.push_back(l.dmfixed[0]); }, "is in dmfixed twice"},
        {"dematterized cell not in dmcubes", [](levelrec& l) { l.dmcubes.clear(); }, "cell (4, 1, 3) has dm 0.5 but is not in dmcubes"},
        {"cell in dmcubes with dm 0", [](levelrec& l) { l.dmcubes[0]->dm = 0.0; }, "cell (4, 1, 3) is in dmcubes but its dm is 0"},
        {"cell twice in dmcubes", [](levelrec& l) { l.dmcubes.push_back(l.dmcubes[0]); }, "is in dmcubes twice"},
        {"dematterized free object not in dmfree", [](levelrec& l) { l.dmfree.clear(); }, "has dm above 0 but is not in dmfree"},
        {"free object in dmfree with dm 0", [](levelrec& l) { l.dmfree.push_back(l.freeobjs[0]); }, "is in dmfree but its dm is 0"},
        {"start left of the grid", [](levelrec& l) { l.startx = -0.5; }, "start position (-0.5, 1.3, 1.5) is outside the grid"},
        {"start past the grid", [](levelrec& l) { l.startz = 5.0; }, "is outside the grid"},
        {"start NaN", [](levelrec& l) { l.starty = std::nan(""); }, "starty is nan"},
        {"start in solid matter", [](levelrec& l) { l.startx = 4.5, l.startz = 3.5, l.starty = 1.5, l.dmcubes[0]->dm = 0.0, l.dmcubes.clear(); }, "inside solid matter"},
    };
    for (const levelcase& c : cases) {
        SCOPED_TRACE(c.what);
        levelrec l = richlevel();
        c.change(l);
        bytes b = W::encode_level(l);
        EXPECT_NE(refusal(b).find(c.message), std::string::npos) << refusal(b);
    }
    // A dematterized solid cell is no obstacle to starting in it.
    levelrec l = richlevel();
    l.startx = 4.5, l.starty = 1.5, l.startz = 3.5;
    EXPECT_EQ(refusal(W::encode_level(l)), "");
}

TEST(LevelFile, HostileInputsRefusedCheaply)
{
    // 100 bytes claiming 2^32 - 1 objects and a size to match: refused before any table is made.
    bytes b(100, 0x40);
    setword(b, 0, Level::level_magic);
    setword(b, 4, 80);
    setword(b, 8, 0xFFFFFFFFu);
    setword(b, 12, 0xFFFFFFFFu);
    EXPECT_NE(refusal(b).find("claims"), std::string::npos);

    // Cells claimed by the millions in a short file.
    std::string why = refusal(tiny(at(5, [](auto& e) { raw(e, {0x08, 0xFF, 0xFF, 0xFC, 0x00}); })));
    EXPECT_NE(why.find("cells, found"), std::string::npos) << why;
    why = refusal(tiny([](W::encoder& e, int n) {
        if (n == 2 || n == 3) return W::put_int(e, 1000), true;
        if (n == 4) return W::put_int(e, 4), true;
        if (n == 5) return raw(e, {0x08, 0xF4, 0x24, 0x00, 0x00}), true;  // 4,000,000 fields
        return false;
    }));
    EXPECT_NE(why.find("4000000 cells cannot fit"), std::string::npos) << why;
}

TEST(LevelFile, MillionDeepNesting)
{
    constexpr int deep = 1000000;
    // As a guard's kind, where any value is allowed: read, with its own stack.
    hook nest = guardwith([](W::encoder& e, int f) {
        if (f != 1) return false;
        for (int i = 0; i < deep; ++i) W::put_block(e, 0, 1);
        W::put_int(e, 0);
        return true;
    });
    levelrec l = decode(tiny(nest));
    ASSERT_EQ(l.badguys.size(), 1u);
    EXPECT_EQ(l.badguys[0]->kind, 0);

    // Cut off inside the nest, with the header made to agree.
    std::size_t cutat = 0;
    hook cut = guardwith([&](W::encoder& e, int f) {
        if (f != 1) return false;
        for (int i = 0; i < deep; ++i) W::put_block(e, 0, 1);
        cutat = e.data.size();
        return true;
    });
    bytes b = tiny(cut);
    b.resize(20 + cutat);
    setword(b, 4, static_cast<std::uint32_t>(cutat));
    EXPECT_NE(refusal(b).find("the data ends before the value does"), std::string::npos) << refusal(b);

    // Where a record is due, the first wrong block ends it.
    W::encoder e;
    for (int i = 0; i < deep; ++i) W::put_block(e, 0, 1);
    W::put_int(e, 0);
    EXPECT_NE(refusal(W::finish(e)).find("level: expected a block of tag 0 with 14 fields"), std::string::npos);
}

TEST(LevelFile, HalfAMillionCells)
{
    levelrec l = fixture::room(100, 50, 100);
    for (int z = 10; z < 90; z += 7) Level::getcube(l, 50, 1, z).walls = std::array<std::uint8_t, 6>{3, 2, 1, 0, 3, 2};
    fixture::put_guard(l, 98.5, 48.5, 98.5, 0.0);
    fixture::put_free(l, teleporter_kind, 1.5, 1.48, 1.5);
    l.startx = l.starty = l.startz = 2.5;
    Level::touchall(l);
    for (bool share : {false, true}) {
        W::options o;
        o.sharedoubles = share;
        levelrec back = decode(W::encode_level(l, o));
        EXPECT_EQ(back.cubes.size(), 500000u);
        expect_same(l, back);
    }
}

// --- the files themselves: load_level, the dungeon, the game's messages ---

struct tempdir {
    std::string path;
    tempdir()
    {
        char name[] = "/tmp/vesklevelsXXXXXX";
        path = ::mkdtemp(name);
    }
    ~tempdir() { std::system(("rm -rf " + path).c_str()); }
    std::string file(const std::string& name) const { return path + "/" + name; }
};

void writebytes(const std::string& path, const bytes& b)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
}

std::string realdir(const std::string& p)
{
    char buf[PATH_MAX];
    return ::realpath(p.c_str(), buf);
}

TEST(LevelFile, LoadLevelFailures)
{
    tempdir d;
    EXPECT_THROW(Level::load_level(d.file("nothing")), Level::readerror);
    EXPECT_THROW(Level::load_level(d.path), Level::readerror);  // a directory
    bytes good = W::encode_level(richlevel());
    writebytes(d.file("good"), good);
    EXPECT_EQ(Level::load_level(d.file("good")).cubes.size(), 150u);
    good.resize(good.size() - 1);
    writebytes(d.file("short"), good);
    EXPECT_THROW(Level::load_level(d.file("short")), Level::readerror);
}

TEST(LevelFile, DungeonStopsAtTheFirstGap)
{
    tempdir d;
    for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12}) writebytes(d.file("level" + std::to_string(i)), tiny());
    writebytes(d.file("level12"), {1, 2, 3});  // past the gap: never opened
    // Level 10 differs from the rest so that reading it shows.
    writebytes(d.file("level10"), tiny(at(1, [](auto& e) { W::put_double(e, 10.0); })));
    char old[PATH_MAX];
    ASSERT_TRUE(::getcwd(old, sizeof old));
    ASSERT_EQ(::chdir(d.path.c_str()), 0);
    int n = Level::numlevels();
    std::vector<levelrec> levels = Level::load_newgame();
    ASSERT_EQ(::chdir(old), 0);
    EXPECT_EQ(n, 11);
    ASSERT_EQ(levels.size(), 11u);
    EXPECT_EQ(levels[10].clock, 10.0);
    EXPECT_EQ(levels[9].clock, 0.0);
}

TEST(LevelFileDeathTest, GameMessages)
{
    tempdir d;
    const std::string dir = realdir(d.path);
    auto newgame = [&] {
        if (::chdir(dir.c_str()) == 0) Level::load_newgame();
    };
    EXPECT_EXIT(newgame(), testing::ExitedWithCode(1),
                "^Couldn't find levels in dungeon directory\n\\(I'm looking for 'level0' in " + dir + "\\)\n$");
    writebytes(d.file("level0"), tiny());
    bytes bad = tiny();
    bad[0] ^= 0x80;
    writebytes(d.file("level1"), bad);
    writebytes(d.file("level2"), tiny());
    EXPECT_EXIT(newgame(), testing::ExitedWithCode(1),
                "^Problem reading level1 in " + dir + "\n$");
    writebytes(d.file("level1"), tiny());
    bytes cut = tiny();
    cut.resize(cut.size() - 3);
    writebytes(d.file("level2"), cut);
    EXPECT_EXIT(newgame(), testing::ExitedWithCode(1),
                "^Problem reading level2 in " + dir + "\n$");
    ::unlink(d.file("level2").c_str());
    ::mkdir(d.file("level2").c_str(), 0755);  // a directory in its place
    EXPECT_EXIT(newgame(), testing::ExitedWithCode(1),
                "^Problem reading level2 in " + dir + "\n$");
}

// --- vesk-dungeon dump: the level as one JSON object ---

TEST(VeskDungeonDump, OneJsonObjectInListAndCellOrder)
{
    levelrec l = fixture::room(5, 4, 5);
    l.clock = 2.25;
    l.startx = 1.5, l.starty = 1.3, l.startz = 2.5, l.startheading = 270.0;
    fixture::put_guard(l, 2.5, 1.499, 1.5, 90.0);
    fixture::put_guard(l, 3.5, 1.499, 3.5, 180.0)->heading = 200.0;  // walking off its home heading
    fixture::put_free(l, charge_kind, 1.5, 1.075, 3.5);
    fixture::put_free(l, teleporter_kind, 3.5, 1.48, 1.5);
    // Put in another order than the cells': fixed objects come out by cell, then list order.
    fixture::put_fixed(l, step, 3.5, 1.25, 3.5);
    fixture::put_fixed(l, barsxy, 1.5, 1.5, 1.5);
    fixture::put_fixed(l, barsxz, 1.5, 1.975, 1.5);
    tempdir d;
    W::write_level(d.file("level0"), l);

    testing::internal::CaptureStdout();
    int status = dungeontool::cmd_dump({d.file("level0")});
    std::fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, R"({
  "size": [5, 4, 5],
  "start": [1.5, 1.3, 2.5],
  "heading": 270,
  "clock": 2.25,
  "solid": 82,
  "guards": [
    {"box": [3.5, 1.499, 3.5, 0.4, 0.499, 0.4], "cell": [3, 1, 3], "heading": 200, "home": [3.5, 1.499, 3.5, 180]},
    {"box": [2.5, 1.499, 1.5, 0.4, 0.499, 0.4], "cell": [2, 1, 1], "heading": 90, "home": [2.5, 1.499, 1.5, 90]}
  ],
  "free": [
    {"kind": 2, "box": [3.5, 1.48, 1.5, 0.48, 0.48, 0.48], "cell": [3, 1, 1]},
    {"kind": 0, "box": [1.5, 1.075, 3.5, 0.05, 0.075, 0.05], "cell": [1, 1, 3]}
  ],
  "fixed": [
    {"kind": 2, "box": [1.5, 1.975, 1.5, 0.5, 0.025, 0.5], "cell": [1, 1, 1]},
    {"kind": 0, "box": [1.5, 1.5, 1.5, 0.5, 0.5, 0.025], "cell": [1, 1, 1]},
    {"kind": 3, "box": [3.5, 1.25, 3.5, 0.5, 0.25, 0.5], "cell": [3, 1, 3]}
  ]
}
)");
}

}  // namespace
