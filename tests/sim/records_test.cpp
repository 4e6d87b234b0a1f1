// records_test.cpp -- the records' defaults, constructors and grid primitives
#include <gtest/gtest.h>

#include "main/game.h"
#include "world/level.h"

namespace {

levelrec grid(int xs, int ys, int zs)
{
    levelrec l;
    l.xsize = xs;
    l.ysize = ys;
    l.zsize = zs;
    l.cubes.resize(static_cast<size_t>(xs) * ys * zs);
    Level::touchall(l);
    return l;
}

TEST(Grid, IndexIsXFastestThenYThenZ)
{
    levelrec l = grid(4, 3, 2);
    EXPECT_EQ(Level::cellindex(l, 1, 2, 1), 21);
    EXPECT_EQ(&Level::getcube(l, 1, 2, 1), &l.cubes[21]);
    // Only the index is checked: x = xsize names the next row's first cell.
    EXPECT_EQ(&Level::getcube(l, 4, 0, 0), &Level::getcube(l, 0, 1, 0));
    EXPECT_THROW(Level::getcube(l, 0, 0, 2), std::out_of_range);
    EXPECT_THROW(Level::getcube(l, -1, 0, 0), std::out_of_range);
}

TEST(Grid, Permeability)
{
    levelrec l = grid(3, 3, 3);
    cuberec solid;
    solid.walls = std::array<std::uint8_t, 6>{0, 1, 2, 3, 0, 1};
    Level::setcube(l, 1, 1, 1, solid);
    EXPECT_FALSE(Level::permeable(l, 1, 1, 1));
    EXPECT_EQ(l.cellflags[Level::cellindex(l, 1, 1, 1)], Level::cell_solid);
    solid.dm = 0.3;
    Level::setcube(l, 1, 1, 1, solid);
    EXPECT_TRUE(Level::permeable(l, 1, 1, 1));
    EXPECT_TRUE(Level::permeable(l, 0, 0, 0));
    l.cubes[0].dm = 0.7;
    EXPECT_TRUE(Level::permeable(l, 0, 0, 0));
}

TEST(Constructors, Defaults)
{
    freeobjrec c = Freeobj::newfree(0, 2.5, 1.075, 3.5);
    EXPECT_EQ(c.kind, 0);
    EXPECT_DOUBLE_EQ(c.box.hx, 0.05);
    EXPECT_DOUBLE_EQ(c.box.hy, 0.075);
    EXPECT_DOUBLE_EQ(c.box.hz, 0.05);
    EXPECT_DOUBLE_EQ(c.box.y, 1.075);
    EXPECT_EQ(c.vy, 0.0);
    EXPECT_EQ(c.dm, 0.0);
    EXPECT_DOUBLE_EQ(Freeobj::newfree(1, 0, 0, 0).box.hz, 0.07);
    EXPECT_DOUBLE_EQ(Freeobj::newfree(2, 0, 0, 0).box.hy, 0.48);

    fixedobjrec b = Fixedobj::newfixed(barsxz, 2.5, 1.0, 3.5);
    EXPECT_DOUBLE_EQ(b.box.hx, 0.5);
    EXPECT_DOUBLE_EQ(b.box.hy, 0.025);
    EXPECT_DOUBLE_EQ(b.box.hz, 0.5);
    EXPECT_DOUBLE_EQ(Fixedobj::newfixed(step, 0, 0, 0).box.hy, 0.25);
    EXPECT_DOUBLE_EQ(Fixedobj::newfixed(barszy, 0, 0, 0).box.hx, 0.025);

    badguyrec g = Badguy::newbadguy(7, 1.5, 1.5, 2.5, 33.0);
    EXPECT_EQ(g.heading, g.homeheading);
    EXPECT_EQ(g.box.x, g.homex);
    EXPECT_EQ(g.box.y, g.homey);
    EXPECT_EQ(g.box.z, g.homez);
    EXPECT_DOUBLE_EQ(g.box.hy, 0.499);
    EXPECT_FALSE(g.jumped);
}

TEST(Constructors, FreshPlayer)
{
    levelrec l = grid(3, 3, 3);
    l.startx = 1.5;
    l.starty = 1.3;
    l.startz = 1.5;
    l.startheading = 90.0;
    veskrec v = Game::freshplayer(l);
    EXPECT_EQ(v.chances, 5);
    EXPECT_EQ(v.charge, 1.0);
    EXPECT_EQ(v.charges, 0);
    EXPECT_EQ(v.box.x, 1.5);
    EXPECT_EQ(v.box.y, 1.3);
    EXPECT_EQ(v.heading, 90.0);
    EXPECT_DOUBLE_EQ(v.box.hy, 0.3);
    EXPECT_EQ(v.movestate, movestate::still);
    EXPECT_EQ(v.sensitivity, 0.15);
}

}  // namespace
