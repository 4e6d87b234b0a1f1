// scenario_test.cpp -- behaviours that only show over many frames, at a fixed and at a ragged dt
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>

#include "fixture.h"
#include "player/collision.h"
#include "scenario.h"
#include "world/update.h"

namespace {

using scenario::key;

// A room read back through the level file encoding, the player's start set.
levelrec level_from(levelrec l, double x, double y, double z, double heading)
{
    l.startx = x, l.starty = y, l.startz = z, l.startheading = heading;
    return scenario::roundtrip(l);
}

std::vector<levelrec> one(levelrec l)
{
    std::vector<levelrec> v;
    v.push_back(std::move(l));
    return v;
}

bool inmatter(levelrec& level, const veskrec& v)
{
    Level::cubelistrec around = Level::cubelist(level, v.box);
    for (const box* b : around.obstacles)
        if (Collision::incollision(v.box, *b)) return true;
    return false;
}

double bottom(const veskrec& v) { return v.box.y - v.box.hy; }

class Scenario : public ::testing::TestWithParam<scenario::timing> {};

std::string timingname(const ::testing::TestParamInfo<scenario::timing>& p)
{
    return p.param.ragged ? "ragged" + std::to_string(p.param.seed) : "fixed11ms";
}

INSTANTIATE_TEST_SUITE_P(Timings, Scenario,
                         ::testing::Values(scenario::timing::fixed(0.011), scenario::timing::varied(7),
                                           scenario::timing::varied(2024)),
                         timingname);

TEST_P(Scenario, WalkIntoAWallStopShortAndSlide)
{
    // Heading 60 walks toward +x and a little toward -z: stopped by the wall
    // at x = 6, the player slides along it to the corner at z = 1.
    auto dungeon = [] { return one(level_from(fixture::room(7, 4, 9), 2.5, 1.306, 6.5, 60)); };
    scenario::runner r = scenario::start(dungeon, GetParam());
    r.inputs = {scenario::press(0, key::up)};
    int contact = -1;
    double zcontact = 0;
    scenario::run(r, 400, [&](scenario::runner& r, gameresult res) {
        const veskrec& v = r.game.vesk;
        EXPECT_EQ(res, gameresult::playing);
        EXPECT_FALSE(inmatter(r.game.levels[0], v)) << "frame " << r.frame;
        EXPECT_LE(v.box.x + v.box.hx, 6.0);
        if (contact < 0 && v.box.x + v.box.hx > 5.99) contact = r.frame, zcontact = v.box.z;
        return false;
    });
    ASSERT_GE(contact, 0) << "never reached the wall";
    const veskrec& v = r.game.vesk;
    EXPECT_GT(v.box.x + v.box.hx, 5.99);
    EXPECT_GT(zcontact - v.box.z, 1.0) << "slid along the wall";
    EXPECT_GE(v.box.z - v.box.hz, 1.0);
    EXPECT_LT(v.box.z - v.box.hz, 1.01) << "ends in the corner";
    EXPECT_EQ(v.chances, 5);
}

TEST_P(Scenario, StandingOnAStep)
{
    auto dungeon = [] {
        levelrec l = fixture::room(5, 4, 5);
        fixture::put_fixed(l, step, 2.5, 1.25, 2.5);  // top at 1.5
        return one(level_from(std::move(l), 2.5, 2.2, 2.5, 0));
    };
    scenario::runner r = scenario::start(dungeon, GetParam());
    scenario::run(r, 10000, [](scenario::runner& r, gameresult) { return r.elapsed >= 1.5; });
    const double rest = bottom(r.game.vesk);
    EXPECT_GE(rest, 1.5);
    EXPECT_LT(rest, 1.51);
    scenario::run(r, 10000, [](scenario::runner& r, gameresult) { return r.elapsed >= 3.0; });
    EXPECT_EQ(bottom(r.game.vesk), rest) << "stays on the step";
    EXPECT_EQ(r.game.vesk.vy, 0.0);
}

TEST_P(Scenario, JumpAndLanding)
{
    auto dungeon = [] { return one(level_from(fixture::room(5, 5, 5), 2.5, 1.306, 2.5, 0)); };
    scenario::runner r = scenario::start(dungeon, GetParam());
    r.inputs = {scenario::press(5, key::jump), scenario::release(7, key::jump)};
    scenario::run(r, 5);
    const double ground = bottom(r.game.vesk);
    double top = ground, tpress = r.elapsed, tland = -1;
    scenario::run(r, 10000, [&](scenario::runner& r, gameresult) {
        const veskrec& v = r.game.vesk;
        top = std::max(top, bottom(v));
        if (tland < 0 && top > ground + 0.3 && bottom(v) < ground + 0.01 && v.vy == 0.0) tland = r.elapsed;
        return r.elapsed - tpress > 3.0;
    });
    // 2.4^2 / (2 * 5) = 0.576 for a smooth flight; frames of up to 0.1 s
    // cut the arc a little short or long.
    EXPECT_GT(top - ground, 0.45);
    EXPECT_LT(top - ground, 0.75);
    ASSERT_GT(tland, 0) << "never landed";
    EXPECT_GT(tland - tpress, 0.7);
    EXPECT_LT(tland - tpress, 1.3);
    EXPECT_GE(bottom(r.game.vesk), 1.0);
    EXPECT_LT(bottom(r.game.vesk), ground + 0.01);
}

TEST_P(Scenario, PitUnderThePlayerThenMatterSwingsBack)
{
    // A floor of solid inner cells (layer 1) over the shell: a shot straight
    // down opens the cell under the player, who drops into it; when the cell
    // turns solid again 5 s later it catches the player inside.
    auto dungeon = [] {
        std::vector<std::vector<std::string>> layers = {
            {"#####", "#####", "#####", "#####", "#####"},
            {"#####", "#####", "#####", "#####", "#####"},
            {"#####", "#...#", "#...#", "#...#", "#####"},
            {"#####", "#...#", "#...#", "#...#", "#####"},
            {"#####", "#####", "#####", "#####", "#####"},
        };
        return one(level_from(fixture::make(layers), 2.5, 2.306, 2.5, 90));
    };
    scenario::runner r = scenario::start(dungeon, GetParam());
    r.inputs = {scenario::pointer(0, 0, -800), scenario::shoot(1)};
    scenario::run(r, 1);
    EXPECT_EQ(r.game.vesk.pitch, 55.0);
    const double tshot = r.elapsed;
    levelrec& l = r.game.levels[0];
    bool inpit = false;
    scenario::run(r, 100000, [&](scenario::runner& r, gameresult res) {
        const veskrec& v = r.game.vesk;
        if (res == gameresult::playing) {
            EXPECT_FALSE(inmatter(l, v)) << "frame " << r.frame;
            if (bottom(v) < 1.01) inpit = true;
        }
        return res != gameresult::playing || r.elapsed - tshot > 6.0;
    });
    EXPECT_TRUE(inpit) << "fell into the opened cell";
    ASSERT_EQ(r.events.size(), 1u);
    EXPECT_EQ(r.events[0].second, gameresult::caught);
    EXPECT_GE(r.elapsed - tshot, 5.0 - 1e-9) << "matter is out for 5 s";
    EXPECT_LT(r.elapsed - tshot - r.lastdt, 5.0 + 1e-9) << "and catches in the frame it returns";
    EXPECT_EQ(r.game.vesk.chances, 4);
    EXPECT_EQ(r.game.vesk.box.y, 2.306) << "back at the start, on the solid floor again";
    EXPECT_TRUE(l.dmcubes.empty());
    scenario::run(r, 50);
    EXPECT_EQ(r.events.size(), 1u) << "standing on the floor again";
}

TEST_P(Scenario, NineChargesThenATeleporter)
{
    auto dungeon = [] {
        levelrec l0 = fixture::room(5, 4, 9);
        // Nine charges at the player's feet, at distinct places so that each
        // pick-up takes one of them.
        for (int i = 0; i < 9; ++i)
            fixture::put_free(l0, charge_kind, 2.5 + 0.06 * (i % 3 - 1), 1.075, 6.5 + 0.06 * (i / 3 - 1));
        fixture::put_free(l0, teleporter_kind, 2.5, 1.48, 1.5);
        std::vector<levelrec> levels;
        levels.push_back(level_from(std::move(l0), 2.5, 1.306, 6.5, 0));
        levels.push_back(level_from(fixture::room(5, 4, 5), 1.5, 1.306, 1.5, 45));
        return levels;
    };
    scenario::runner r = scenario::start(dungeon, GetParam());
    r.inputs = {scenario::press(20, key::up)};
    scenario::run(r, 20);
    EXPECT_EQ(r.game.vesk.charges, 9);
    ASSERT_EQ(r.game.levels[0].freeobjs.size(), 1u);
    EXPECT_EQ(r.game.levels[0].freeobjs[0]->kind, teleporter_kind);
    scenario::run(r, 2000, [](scenario::runner&, gameresult res) { return res != gameresult::playing; });
    ASSERT_EQ(r.events.size(), 1u);
    EXPECT_EQ(r.events[0].second, gameresult::nextlevel);
    EXPECT_EQ(r.game.current, 1);
    const veskrec& v = r.game.vesk;
    EXPECT_EQ(v.charges, 0);
    EXPECT_EQ(v.chances, 5);
    EXPECT_EQ(v.box.x, 1.5);
    EXPECT_EQ(v.box.z, 1.5);
    EXPECT_EQ(v.heading, 45.0);
    EXPECT_EQ(v.movestate, movestate::forward) << "keys stay down across levels";
    EXPECT_EQ(r.game.levels[0].freeobjs.size(), 1u) << "the teleporter stays";
}

TEST_P(Scenario, LastChanceLostGivesAFreshGame)
{
    int made = 0;
    auto dungeon = [&made] {
        ++made;
        // A corridor one cell wide and high: the guard can neither step
        // aside nor jump, so the two must meet.
        levelrec l = fixture::room(3, 3, 9);
        fixture::put_guard(l, 1.5, 1.5, 2.5, 0);
        return one(level_from(std::move(l), 1.5, 1.306, 6.5, 0));
    };
    scenario::runner r = scenario::start(dungeon, GetParam());
    r.game.vesk.chances = 2;
    r.game.vesk.charge = 0.3;
    r.inputs = {scenario::press(0, key::up)};
    scenario::run(r, 20000, [](scenario::runner&, gameresult res) { return res == gameresult::lost; });
    ASSERT_EQ(r.events.size(), 2u);
    EXPECT_EQ(r.events[0].second, gameresult::caught);
    EXPECT_EQ(r.events[1].second, gameresult::lost);
    EXPECT_EQ(made, 2);
    const gamerec& g = r.game;
    EXPECT_EQ(g.current, 0);
    EXPECT_EQ(g.vesk.chances, 5);
    EXPECT_EQ(g.vesk.charge, 1.0);
    EXPECT_EQ(g.vesk.movestate, movestate::still);
    EXPECT_EQ(g.vesk.box.z, 6.5);
    const badguyrec& guard = *g.levels[0].badguys.at(0);
    EXPECT_EQ(guard.box.z, guard.homez) << "the new game's levels are fresh";
    EXPECT_EQ(g.levels[0].clock, 0.0);
}

// A minute of random keys, pointer motion and shots on a busy level: nothing
// throws and the level's bookkeeping stays whole after every frame.
void expect_whole(levelrec& l, const veskrec& v, int frame)
{
    std::set<const void*> seen;
    for (int z = 0; z < l.zsize; ++z)
        for (int y = 0; y < l.ysize; ++y)
            for (int x = 0; x < l.xsize; ++x) {
                cuberec& c = Level::getcube(l, x, y, z);
                for (freeobjrec* o : c.freeobjs) {
                    ASSERT_TRUE(seen.insert(o).second) << "frame " << frame << ": object filed twice";
                    ASSERT_EQ(&Level::getcube(l, int(o->box.x), int(o->box.y), int(o->box.z)), &c) << "frame " << frame;
                    ASSERT_NE(std::find(l.freeobjs.begin(), l.freeobjs.end(), o), l.freeobjs.end());
                }
                for (badguyrec* g : c.badguys) {
                    ASSERT_TRUE(seen.insert(g).second) << "frame " << frame << ": guard filed twice";
                    ASSERT_EQ(&Level::getcube(l, int(g->box.x), int(g->box.y), int(g->box.z)), &c) << "frame " << frame;
                }
                ASSERT_EQ(c.dm > 0.0, std::count(l.dmcubes.begin(), l.dmcubes.end(), &c) == 1) << "frame " << frame;
            }
    ASSERT_EQ(seen.size(), l.freeobjs.size() + l.badguys.size()) << "frame " << frame;
    for (const auto& f : l.fixedstore)
        ASSERT_EQ(f->dm > 0.0, std::count(l.dmfixed.begin(), l.dmfixed.end(), f.get()) == 1) << "frame " << frame;
    for (const freeobjrec* o : l.dmfree) ASSERT_GT(o->dm, 0.0) << "frame " << frame;
    const std::vector<std::uint8_t> flags = l.cellflags;
    Level::touchall(l);
    ASSERT_EQ(flags, l.cellflags) << "frame " << frame;
    ASSERT_GT(v.box.x - v.box.hx, 1.0);
    ASSERT_LT(v.box.x + v.box.hx, l.xsize - 1.0);
    ASSERT_GT(v.box.y - v.box.hy, 1.0 - 1e-9);
    ASSERT_LT(v.box.z + v.box.hz, l.zsize - 1.0);
    ASSERT_GT(v.box.z - v.box.hz, 1.0);
    ASSERT_GE(v.charge, 0.0);
    ASSERT_LE(v.charge, 1.0);
}

TEST_P(Scenario, AMinuteOfRandomInput)
{
    auto dungeon = [] {
        std::vector<std::vector<std::string>> layers = {
            {"#########", "#########", "#########", "#########", "#########", "#########", "#########"},
            {"#########", "#.......#", "#..B....#", "#.......#", "#....T..#", "#.......#", "#########"},
            {"#########", "#.......#", "#..B....#", "#.......#", "#.......#", "#.......#", "#########"},
            {"#########", "#.......#", "#.......#", "#.......#", "#.......#", "#.......#", "#########"},
            {"#########", "#########", "#########", "#########", "#########", "#########", "#########"},
        };
        levelrec l = fixture::make(layers);
        fixture::put_guard(l, 6.5, 1.5, 4.5, 0);
        fixture::put_guard(l, 1.5, 1.5, 5.5, 90);
        for (int i = 0; i < 5; ++i) fixture::put_free(l, charge_kind, 1.5 + i, 1.075, 1.5);
        fixture::put_free(l, bribe_kind, 6.5, 1.1, 1.5);
        fixture::put_free(l, teleporter_kind, 6.5, 1.48, 5.5);
        fixture::put_free(l, charge_kind, 4.5, 3.5, 3.5);  // up in the air: falls
        fixture::put_fixed(l, step, 2.5, 1.25, 4.5);
        fixture::put_fixed(l, barsxy, 4.5, 1.5, 3.0);
        fixture::put_fixed(l, barszy, 5.0, 2.5, 2.5);
        return one(level_from(std::move(l), 4.5, 1.306, 2.5, 0));
    };
    scenario::runner r = scenario::start(dungeon, GetParam());
    std::mt19937 pick(GetParam().seed * 31 + 5);
    const key keys[] = {key::up, key::down, key::left, key::right, key::jump};
    for (int f = 0; f < 6000; ++f) {
        switch (pick() % 6) {
        case 0: r.inputs.push_back(scenario::press(f, keys[pick() % 5])); break;
        case 1: r.inputs.push_back(scenario::release(f, keys[pick() % 5])); break;
        case 2: r.inputs.push_back(scenario::pointer(f, int(pick() % 81) - 40, int(pick() % 81) - 40)); break;
        case 3:
            if (pick() % 8 == 0) r.inputs.push_back(scenario::shoot(f));
            break;
        default: break;
        }
    }
    int frames = 0;
    scenario::run(r, 60000, [&](scenario::runner& r, gameresult) {
        expect_whole(r.game.levels[r.game.current], r.game.vesk, r.frame);
        ++frames;
        return ::testing::Test::HasFatalFailure() || r.elapsed >= 60.0;
    });
    EXPECT_FALSE(::testing::Test::HasFatalFailure());
    EXPECT_GE(r.elapsed, 60.0);
    RecordProperty("events", static_cast<int>(r.events.size()));
}

}  // namespace
