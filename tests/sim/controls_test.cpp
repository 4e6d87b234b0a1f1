// controls_test.cpp -- the player's key, pointer and fire operations
#include <gtest/gtest.h>

#include "player/vesk.h"

namespace {

using keyop = void (*)(veskrec&);

TEST(Controls, EveryStateAndKeyEvent)
{
    const keyop ops[8] = {Vesk::startfwd, Vesk::startback, Vesk::startleft, Vesk::startright,
                          Vesk::endfwd,   Vesk::endback,   Vesk::endleft,   Vesk::endright};
    const int expect[9][8] = {
        {1, 5, 7, 3, 0, 0, 0, 0}, {1, 5, 8, 2, 0, 1, 1, 1}, {2, 4, 8, 2, 3, 2, 2, 1},
        {2, 4, 7, 3, 3, 3, 3, 0}, {2, 4, 6, 4, 4, 3, 4, 5}, {1, 5, 6, 4, 5, 0, 5, 5},
        {8, 6, 6, 4, 6, 7, 5, 6}, {8, 6, 7, 3, 7, 7, 0, 7}, {8, 6, 8, 2, 7, 8, 1, 8},
    };
    for (int s = 0; s < 9; ++s)
        for (int e = 0; e < 8; ++e) {
            veskrec v;
            v.movestate = static_cast<movestate>(s);
            ops[e](v);
            EXPECT_EQ(static_cast<int>(v.movestate), expect[s][e]) << "state " << s << " event " << e;
        }
}

TEST(Controls, LaterPressWins)
{
    veskrec v;
    Vesk::startfwd(v);
    Vesk::startback(v);
    EXPECT_EQ(v.movestate, movestate::back);
    Vesk::endfwd(v);
    EXPECT_EQ(v.movestate, movestate::back);
    Vesk::endback(v);
    EXPECT_EQ(v.movestate, movestate::still);

    Vesk::startfwd(v);
    Vesk::startright(v);
    Vesk::endfwd(v);
    EXPECT_EQ(v.movestate, movestate::right);

    Vesk::startjump(v);
    EXPECT_TRUE(v.jumping);
    Vesk::endjump(v);
    EXPECT_FALSE(v.jumping);
}

TEST(Controls, MouseTurnsAndClampsPitch)
{
    veskrec v;
    Vesk::movemouse(v, 10, 0);
    EXPECT_DOUBLE_EQ(v.heading, 1.5);
    Vesk::movemouse(v, 0, 20);  // pointer down raises the view
    EXPECT_DOUBLE_EQ(v.pitch, -1.5);
    Vesk::movemouse(v, 0, -10000);
    EXPECT_EQ(v.pitch, 55.0);
    Vesk::movemouse(v, 0, 10000);
    EXPECT_EQ(v.pitch, -55.0);
    for (int i = 0; i < 1000; ++i) Vesk::movemouse(v, 100, 0);
    EXPECT_DOUBLE_EQ(v.heading, 1.5 + 1000 * 15.0);  // never wrapped
}

TEST(Controls, FireSpendsChargeWhenThereIsEnough)
{
    veskrec v;
    v.charge = 0.4;
    EXPECT_TRUE(Vesk::fire(v));
    EXPECT_DOUBLE_EQ(v.charge, 0.0);
    v.charge = 0.39;
    EXPECT_FALSE(Vesk::fire(v));
    EXPECT_EQ(v.charge, 0.39);
    v.charge = 1.0;
    EXPECT_TRUE(Vesk::fire(v));
    EXPECT_TRUE(Vesk::fire(v));
    EXPECT_FALSE(Vesk::fire(v));
    EXPECT_NEAR(v.charge, 0.2, 1e-12);
}

}  // namespace
