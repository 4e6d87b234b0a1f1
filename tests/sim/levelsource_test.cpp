// levelsource_test.cpp -- level sources: parsing, resting objects, and the errors' places
#include <gtest/gtest.h>

#include <algorithm>

#include "levelsource.h"

namespace {

// A 5 x 4 x 5 level with a cube of mixed faces, a covered pit and an open pit,
// a step, and objects both in the grid and on lines of their own.
const char* const small = R"(title Test room ; a comment
size 5 4 5
heading 90
cube P stone stone tiles blocks slimepuddle stone
layer 0 fill #
layer 1
#####
#PBT#
#P=##
##.##
#####
layer 2
  #####   ; rows may be indented
  #@c>#
  #s.b#
  #.c.#
  #####
layer 3 fill B
charge 1 2 2      ; on the step
teleporter 2 2 2  ; on the grating over the pit
)";

template <class T> bool contains(const std::vector<T*>& v, const T* x) { return std::find(v.begin(), v.end(), x) != v.end(); }

TEST(Levelsource, SmallLevelCompilesWithObjectsAtRest)
{
    Levelsource::source src = Levelsource::parse(small, "small.lvl");
    EXPECT_EQ(src.title, "Test room");
    levelrec l = Levelsource::compile(src);
    ASSERT_EQ(l.xsize, 5);
    ASSERT_EQ(l.ysize, 4);
    ASSERT_EQ(l.zsize, 5);

    using K = std::array<std::uint8_t, 6>;
    EXPECT_EQ(Level::getcube(l, 1, 1, 1).walls, (K{0, 0, 2, 1, 3, 0}));
    EXPECT_EQ(Level::getcube(l, 2, 1, 1).walls, (K{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(Level::getcube(l, 3, 3, 2).walls, (K{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(Level::getcube(l, 0, 0, 0).walls, (K{0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(Level::getcube(l, 2, 1, 3).walls);

    EXPECT_DOUBLE_EQ(l.startx, 1.5);
    EXPECT_NEAR(l.starty, 2.3, 0.002);
    EXPECT_GT(l.starty, 2.3);  // never inside the floor
    EXPECT_DOUBLE_EQ(l.startz, 1.5);
    EXPECT_DOUBLE_EQ(l.startheading, 90.0);

    // Free objects in the order written: the grid first, then the lines.
    struct want {
        int kind;
        double x, y, z;
        int cx, cy, cz;
    };
    const want free[] = {
        {charge_kind, 2.5, 2.075, 1.5, 2, 2, 1},      // on the floor
        {bribe_kind, 3.5, 2.1, 2.5, 3, 2, 2},         // on the floor
        {charge_kind, 2.5, 1.075, 3.5, 2, 1, 3},      // fell into the open pit
        {charge_kind, 1.5, 2.575, 2.5, 1, 2, 2},      // on the step's top
        {teleporter_kind, 2.5, 2.48, 2.5, 2, 2, 2},   // on the grating, flush with the floor
    };
    ASSERT_EQ(l.freeobjs.size(), std::size(free));
    for (size_t i = 0; i < std::size(free); ++i) {
        SCOPED_TRACE(i);
        const freeobjrec* o = l.freeobjs[i];
        freeobjrec made = Freeobj::newfree(free[i].kind, free[i].x, free[i].y, free[i].z);
        EXPECT_EQ(o->kind, free[i].kind);
        EXPECT_DOUBLE_EQ(o->box.x, made.box.x);
        EXPECT_NEAR(o->box.y, made.box.y, 1e-12);
        EXPECT_DOUBLE_EQ(o->box.z, made.box.z);
        EXPECT_EQ(o->box.hy, made.box.hy);
        EXPECT_TRUE(contains(Level::getcube(l, free[i].cx, free[i].cy, free[i].cz).freeobjs, o));
    }
    size_t filed = 0;
    for (const cuberec& c : l.cubes) filed += c.freeobjs.size();
    EXPECT_EQ(filed, l.freeobjs.size());

    ASSERT_EQ(l.badguys.size(), 1u);
    const badguyrec* g = l.badguys[0];
    EXPECT_DOUBLE_EQ(g->box.x, 3.5);
    EXPECT_GT(g->box.y - g->box.hy, 2.0);  // a hair above the floor
    EXPECT_LT(g->box.y - g->box.hy, 2.001);
    EXPECT_EQ(g->heading, 90.0);
    EXPECT_EQ(g->homeheading, 90.0);
    EXPECT_EQ(g->homey, g->box.y);
    EXPECT_TRUE(contains(Level::getcube(l, 3, 2, 1).badguys, g));

    const cuberec& stepcell = Level::getcube(l, 1, 2, 2);
    ASSERT_EQ(stepcell.fixedobjs.size(), 1u);
    EXPECT_EQ(stepcell.fixedobjs[0]->kind, step);
    EXPECT_DOUBLE_EQ(stepcell.fixedobjs[0]->box.y, 2.25);
    const cuberec& pit = Level::getcube(l, 2, 1, 2);
    ASSERT_EQ(pit.fixedobjs.size(), 1u);
    EXPECT_EQ(pit.fixedobjs[0]->kind, barsxz);
    EXPECT_DOUBLE_EQ(pit.fixedobjs[0]->box.y + pit.fixedobjs[0]->box.hy, 2.0);
    EXPECT_EQ(l.cellflags.size(), l.cubes.size());
}

TEST(Levelsource, ErrorsNameFileLineAndColumn)
{
    const std::string room = "size 3 3 3\nlayer 1\n###\n#@#\n###\n";
    struct bad {
        std::string text;
        const char* where;
        const char* says;
    };
    const bad cases[] = {
        {"size 3 3 3\nlayer 1\n###\n#x#\n###\n", "t.lvl:4:2:", "unknown cell character 'x'"},
        {"size 3 3 3\nlayer 1\n###\n#@.\n###\n", "t.lvl:4:3:", "on the outside"},
        {"size 3 3 3\nlayer 1\n###\n#@##\n###\n", "t.lvl:4:1:", "row of 4 cells"},
        {"size 3 3 3\nlayer 1\n###\n#@#\n", "t.lvl:4:1:", "ends after 2 of 3 rows"},
        {"size 3 3 3\n", "t.lvl:1:1:", "no start"},
        {"size 4 3 3\nlayer 1\n####\n#@@#\n####\n", "t.lvl:4:3:", "a second start"},
        {room + "charge 0 1 1\n", "t.lvl:6:8:", "solid cell (0, 1, 1)"},
        {room + "bribe 1 5 1\n", "t.lvl:6:9:", "outside the level"},
        {room + "bars xx 1 1 1\n", "t.lvl:6:6:", "bars are xy, zy or xz"},
        {room + "step 1 1 1\nguard 1 1 1 0\n", "t.lvl:7:7:", "no room for the guard"},
        {room + "layer 1 fill #\n", "t.lvl:6:7:", "layer 1 again"},
        {"size 3 3 3\nwall 2\n", "t.lvl:2:1:", "unknown word 'wall'"},
        {"size 2 3 3\n", "t.lvl:1:6:", "3 to 200"},
        {"layer 1\n", "t.lvl:1:1:", "'size' must come first"},
        {"size 3 3 3\ncube K marble\n", "t.lvl:2:8:", "unknown wall kind 'marble'"},
        {"size 3 3 3\ncube c stone\n", "t.lvl:2:6:", "already means something else"},
        {"size 3 3 3\nheading east\n", "t.lvl:2:9:", "expected a number"},
    };
    for (const bad& b : cases) {
        SCOPED_TRACE(b.text);
        try {
            Levelsource::compile(Levelsource::parse(b.text, "t.lvl"));
            ADD_FAILURE() << "accepted";
        } catch (const Levelsource::error& e) {
            std::string msg = e.what();
            EXPECT_EQ(msg.rfind(b.where, 0), 0u) << msg;
            EXPECT_NE(msg.find(b.says), std::string::npos) << msg;
        }
    }
}

TEST(Levelsource, GuardsNeverOverlapAndObjectsStack)
{
    // Two guards in one cell would send each other home every frame.
    const std::string room = "size 3 3 3\nlayer 1\n###\n#@#\n###\n";
    EXPECT_THROW(Levelsource::compile(Levelsource::parse(room + "guard 1 1 1 0\nguard 1 1 1 90\n", "t.lvl")),
                 Levelsource::error);
    // A charge dropped onto a bribe rests on the bribe's top.
    levelrec l = Levelsource::compile(Levelsource::parse(room + "bribe 1 1 1\ncharge 1 1 1\n", "t.lvl"));
    ASSERT_EQ(l.freeobjs.size(), 2u);
    EXPECT_NEAR(l.freeobjs[1]->box.y, 1.2 + 0.075, 1e-12);
}

}  // namespace
