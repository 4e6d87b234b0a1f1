// freeobj_test.cpp -- free objects falling, resting and the pairs they hand the player
#include "objects/freeobj.h"

#include <gtest/gtest.h>

#include <vector>

#include "fixture.h"
#include "scenario.h"

namespace {

// A solid unit cube whose top face is at y = 1.0, under x and z in 1..2.
const box cube{1.5, 0.5, 1.5, 0.5, 0.5, 0.5};

// A charge whose bottom is `above` over the cube's top (negative: sunk in),
// its centre at x (z stays over the cube).
freeobjrec chargeat(double x, double above)
{
    return Freeobj::newfree(charge_kind, x, 1.0 + above + 0.075, 1.5);
}

struct supportcase {
    const char* what;
    double x;      // object's centre x
    double above;  // its bottom over the cube's top
    bool supported;
    double dy;  // expected move when it falls (dt 0.1 from rest asks for -0.05)
};

TEST(FreeobjUpdate, SupportByRestingOrOverlap)
{
    const supportcase cases[] = {
        {"resting 0.005 above the top", 1.5, 0.005, true, 0.0},
        {"resting 0.005 below the top", 1.5, -0.005, true, 0.0},
        {"sunk 0.2 deep: only the open overlap holds it", 1.5, -0.2, true, 0.0},
        {"0.02 above: falls, stopped at nine tenths of the gap", 1.5, 0.02, false, -0.018},
        {"0.005 above but beside the cube", 2.06, 0.005, false, -0.05},
    };
    for (const supportcase& c : cases) {
        SCOPED_TRACE(c.what);
        freeobjrec o = chargeat(c.x, c.above);
        o.vy = c.supported ? -1.0 : 0.0;
        const double y0 = o.box.y;
        Freeobj::update(o, 0.1, {&o.box, &cube});
        if (c.supported) {
            EXPECT_EQ(o.vy, 0.0);
            EXPECT_EQ(o.box.y, y0);
        } else {
            EXPECT_DOUBLE_EQ(o.vy, -0.5);
            EXPECT_NEAR(o.box.y - y0, c.dy, 1e-9);
        }
        EXPECT_EQ(o.box.x, c.x);
        EXPECT_EQ(o.box.z, 1.5);
    }
}

TEST(FreeobjUpdate, GravityByKindAndTheHalfUnitBound)
{
    struct fallcase {
        const char* what;
        int kind;
        double dt, vy0, vy, dy;
    } cases[] = {
        {"bribe from rest", bribe_kind, 0.1, 0.0, -0.5, -0.05},
        {"bribe fast, short frame: bound -0.5/dt", bribe_kind, 0.01, -60.0, -50.0, -0.5},
        {"charge from rest", charge_kind, 0.1, 0.0, -0.5, -0.05},
        {"teleporter at a fifth", teleporter_kind, 0.1, 0.0, -0.1, -0.01},
        {"teleporter at its bound", teleporter_kind, 0.5, -0.9, -1.0, -0.5},
    };
    for (const fallcase& c : cases) {
        SCOPED_TRACE(c.what);
        freeobjrec o = Freeobj::newfree(c.kind, 2.5, 3.5, 2.5);
        o.vy = c.vy0;
        Freeobj::update(o, c.dt, {});
        EXPECT_DOUBLE_EQ(o.vy, c.vy);
        EXPECT_NEAR(o.box.y - 3.5, c.dy, 1e-12);
    }
}

TEST(FreeobjUpdate, OwnBoxIsSkippedByAddressNotByValue)
{
    // Only its own box: unsupported, and nothing holds back the fall.
    freeobjrec o = chargeat(1.5, 0.3);
    const double y0 = o.box.y;
    Freeobj::update(o, 0.1, {&o.box});
    EXPECT_DOUBLE_EQ(o.vy, -0.5);
    EXPECT_NEAR(o.box.y - y0, -0.05, 1e-12);

    // A distinct box with the same fields overlaps it and holds it.
    freeobjrec p = chargeat(1.5, 0.3);
    const box twin = p.box;
    p.vy = -1.0;
    Freeobj::update(p, 0.1, {&p.box, &twin});
    EXPECT_EQ(p.vy, 0.0);
    EXPECT_EQ(p.box.y, y0);
}

TEST(FreeobjUpdate, DematterizedObjectHangsAndKeepsItsVelocity)
{
    for (double dm : {0.5, 1.0, 1e-9}) {
        SCOPED_TRACE(dm);
        freeobjrec o = chargeat(1.5, 0.3);
        o.dm = dm;
        o.vy = -0.3;
        const double y0 = o.box.y;
        Freeobj::update(o, 0.1, {&o.box});
        EXPECT_EQ(o.vy, -0.3);
        EXPECT_EQ(o.box.y, y0);
    }
}

TEST(FreeobjUpdate, FallsOntoACubeAndComesToRest)
{
    freeobjrec o = chargeat(1.5, 0.6);
    for (int i = 0; i < 150; ++i) {
        Freeobj::update(o, 0.02, {&o.box, &cube});
        ASSERT_GT(o.box.y - o.box.hy, 1.0) << "sank into the cube at frame " << i;
    }
    EXPECT_EQ(o.vy, 0.0);
    EXPECT_LT(o.box.y - o.box.hy, 1.01);
}

TEST(FreeobjActionpair, OwnBoxAndTheKindsCode)
{
    const std::pair<int, outcome> cases[] = {
        {charge_kind, outcome::charge}, {bribe_kind, outcome::bribe}, {teleporter_kind, outcome::teleport}};
    for (const auto& [kind, code] : cases) {
        SCOPED_TRACE(kind);
        freeobjrec o = Freeobj::newfree(kind, 2.5, 1.5, 2.5);
        const ::actionpair p = Freeobj::actionpair(o);
        EXPECT_EQ(p.box, &o.box);
        EXPECT_EQ(p.code, code);
    }
}

// A charge lies on a pillar; the pillar is shot away, the charge drops to the
// floor inside the opened cell, and the player walks in and takes it there.
TEST(FreeobjScenario, ChargeFallsWhenItsPillarGoesAndIsPickedUpBelow)
{
    auto dungeon = [] {
        const std::vector<std::string> shell(7, "######"),
            inside = {"######", "#....#", "#....#", "#....#", "#....#", "#....#", "######"};
        std::vector<std::string> pillar = inside;
        pillar[2] = "#.#..#";  // the solid cell (2, 1, 2)
        levelrec l = fixture::make({shell, pillar, inside, inside, shell});
        fixture::put_free(l, charge_kind, 2.5, 2.0 + 0.005 + 0.075, 2.5);
        // Facing -z from in front of the pillar: the shot's centre is in its cell.
        l.startx = 2.5, l.starty = 1.306, l.startz = 3.5, l.startheading = 0.0;
        std::vector<levelrec> v;
        v.push_back(scenario::roundtrip(l));
        return v;
    };
    for (const scenario::timing& t : {scenario::timing::fixed(0.011), scenario::timing::varied(7)}) {
        SCOPED_TRACE(t.ragged ? "ragged frames" : "11 ms frames");
        scenario::runner r = scenario::start(dungeon, t);
        levelrec& level = r.game.levels[0];
        ASSERT_EQ(level.freeobjs.size(), 1u);
        const freeobjrec* charge = level.freeobjs[0];
        cuberec &pillar = Level::getcube(level, 2, 1, 2), &above = Level::getcube(level, 2, 2, 2);

        // Resting on the pillar, it stays put.
        const double y0 = charge->box.y;
        scenario::run(r, 20);
        EXPECT_EQ(charge->box.y, y0);
        EXPECT_EQ(charge->vy, 0.0);

        r.inputs = {scenario::shoot(r.frame)};
        scenario::run(r, 1);
        EXPECT_GT(pillar.dm, 0.9);
        EXPECT_EQ(charge->dm, 0.0) << "the shot opens the pillar, not the charge above it";
        const double shot = r.elapsed;
        scenario::run(r, 10000, [&](scenario::runner& r, gameresult) {
            return (charge->vy == 0.0 && charge->box.y < 1.5) || r.elapsed - shot > 2.0;
        });
        const double landed = charge->box.y - charge->box.hy;
        EXPECT_GE(landed, 1.0);
        EXPECT_LT(landed, 1.01) << "rests on the floor under the pillar";
        EXPECT_GT(pillar.dm, 0.0) << "landed while the pillar is still open";
        EXPECT_EQ(pillar.freeobjs, std::vector<freeobjrec*>{level.freeobjs.at(0)});
        EXPECT_TRUE(above.freeobjs.empty());
        EXPECT_EQ(r.game.vesk.charges, 0);

        // Walk in before the pillar comes back.
        r.inputs.push_back(scenario::press(r.frame, scenario::key::up));
        scenario::run(r, 10000, [&](scenario::runner& r, gameresult) {
            return r.game.vesk.charges > 0 || r.elapsed - shot > 4.5;
        });
        EXPECT_EQ(r.game.vesk.charges, 1);
        EXPECT_TRUE(level.freeobjs.empty());
        EXPECT_TRUE(pillar.freeobjs.empty());
        EXPECT_TRUE(r.events.empty()) << "nothing but playing frames";
    }
}

}  // namespace
