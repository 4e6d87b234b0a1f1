// badguy_test.cpp -- one guard's frame: scent heading, turning, support, blocking, jumping, going home
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "fixture.h"
#include "guards/badguy.h"
#include "scenario.h"

namespace {

constexpr double degrees = 0.017453293;

// The guard's walking direction (x, z) for its heading.
std::array<double, 2> walkdir(const badguyrec& g)
{
    return {std::sin(g.heading * degrees), -std::cos(g.heading * degrees)};
}

box cellbox(int x, int y, int z) { return {x + 0.5, y + 0.5, z + 0.5, 0.5, 0.5, 0.5}; }

// Scent that makes the target heading t (degrees): only the corner cells
// (0, +1) and (+1, +1) of the square carry scent, so no own-row terms.
std::array<double, 9> scenttoward(double t)
{
    const double gx = std::sin(t * degrees), gz = -std::cos(t * degrees);
    std::array<double, 9> s{};
    s[8] = (gx + gz) / 2;
    s[2] = (gz - gx) / 2;
    return s;
}

// Replays the sequence of the guards' generator from a fresh copy with the
// same default seed, to tell how many values a call drew.
struct drawcounter {
    std::mt19937 gen;
    std::uniform_real_distribution<double> dist{0.0, 1.0};
    std::vector<double> seq;
    size_t mark = 0;

    size_t indexof(double v, size_t from)
    {
        for (size_t i = from; i < 50'000'000; ++i) {
            while (seq.size() <= i) seq.push_back(dist(gen));
            if (seq[i] == v) return i;
        }
        throw std::runtime_error("value not in the generator's sequence");
    }
    // Draws a marker from the real generator and remembers where it stands.
    void start() { mark = indexof(Badguy::random01(), 0); }
    // The value the next draw will give.
    double next()
    {
        while (seq.size() <= mark + 1) seq.push_back(dist(gen));
        return seq[mark + 1];
    }
    // Values drawn since start(), apart from the markers.
    size_t drawn() { return indexof(Badguy::random01(), mark + 1) - mark - 1; }
};

TEST(BadguyHeading, TargetFollowsTheScentGradient)
{
    const double r = std::sqrt(0.5);
    const struct {
        const char* what;
        double x, z;
        std::array<double, 9> scent;
        double dirx, dirz;
    } cases[] = {
        {"no scent heads toward +z", 2.3, 2.3, {}, 0.0, 1.0},
        {"trail in the +x row", 2.3, 2.3, {0, 0, 0, 0, 0, 0, 1, 0, 1}, 1.0, 0.0},
        {"trail in the -z column", 2.3, 2.3, {1, 0, 0, 0, 0, 0, 1, 0, 0}, 0.0, -1.0},
        {"own row counts toward the nearer x edge", 2.3, 2.5, {0, 0, 0, 2, 0, 0, 0, 0, 0}, 1 / std::sqrt(5.0),
         -2 / std::sqrt(5.0)},
        {"equal negative scent, low x low z", 2.2, 3.2, {-1, -1, -1, -1, -1, -1, -1, -1, -1}, -r, -r},
        {"equal negative scent, high x low z", 2.8, 3.2, {-1, -1, -1, -1, -1, -1, -1, -1, -1}, r, -r},
        {"equal negative scent, low x high z", 2.2, 3.7, {-1, -1, -1, -1, -1, -1, -1, -1, -1}, -r, r},
        {"equal negative scent, high x high z", 2.8, 3.7, {-2, -2, -2, -2, -2, -2, -2, -2, -2}, r, r},
        {"exactly half way counts as the high side", 2.5, 3.5, {-1, -1, -1, -1, -1, -1, -1, -1, -1}, r, r},
        {"raised own cell holds toward the middle", 2.2, 3.2, {0, 0, 0, 0, 4, 0, 0, 0, 0}, r, r},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // dt 1 completes the turn in one frame; nothing around, so the guard falls.
        badguyrec g = Badguy::newbadguy(0, c.x, 1.5, c.z, 0.0);
        Badguy::update(g, 1.0, {&g.box}, c.scent);
        const auto d = walkdir(g);
        EXPECT_NEAR(d[0], c.dirx, 1e-6);
        EXPECT_NEAR(d[1], c.dirz, 1e-6);
    }
}

TEST(BadguyHeading, NoScentIsJustOverHalfATurn)
{
    // atan2(+0, -0) is pi: without the -0.0 the target would be 0 instead.
    badguyrec g = Badguy::newbadguy(0, 2.5, 1.5, 2.5, 90.0);
    Badguy::update(g, 1.0, {&g.box}, {});
    EXPECT_GT(g.heading, 180.0);
    EXPECT_LT(g.heading, 180.0001);
}

TEST(BadguyHeading, TurnsTheShortWayAndKeepsTheSignOfTheRemainder)
{
    const struct {
        double heading, target, dt, expect;
    } cases[] = {
        {-170.0, 170.0, 0.1, -172.0},  // across the wrap: decreasing toward -190
        {170.0, -170.0, 0.1, 172.0},
        {10.0, 50.0, 0.25, 20.0},      // plain turn by a share dt of the difference
        {350.0, 160.0, 0.5, 75.0},     // 435 wraps to 75
        {-350.0, -160.0, 0.5, -75.0},  // -435 keeps its sign: -75, not 285
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "heading " << c.heading << " target " << c.target);
        badguyrec g = Badguy::newbadguy(0, 2.5, 1.5, 2.5, c.heading);
        Badguy::update(g, c.dt, {&g.box}, scenttoward(c.target));
        EXPECT_NEAR(g.heading, c.expect, 1e-5);
    }
}

TEST(BadguyHome, OverlapSendsTheGuardHomeKeepingPhaseAndJumped)
{
    const box away{2.6, 1.5, 2.5, 0.4, 0.499, 0.4};
    ASSERT_EQ(away.x + away.hx, 3.5 - 0.5);
    const struct {
        const char* what;
        box other;
        bool home;
    } cases[] = {
        {"an equal box that is not its own", away, true},
        {"matter back in its cell", cellbox(2, 1, 2), true},
        {"a wall face touching its side", {3.5, 1.5, 2.5, 0.5, 0.5, 0.5}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        badguyrec g = Badguy::newbadguy(0, 2.5, 1.5, 2.5, 45.0);
        g.box = away;
        g.heading = 200.0;
        g.vx = 1.0, g.vy = -2.0, g.vz = 0.5;
        g.phase = 3.25;
        g.jumped = true;
        const box floor = cellbox(2, 0, 2), other = c.other;
        Badguy::update(g, 0.011, {&g.box, &floor, &other}, {});
        if (c.home) {
            EXPECT_EQ(g.box.x, 2.5);
            EXPECT_EQ(g.box.y, 1.5);
            EXPECT_EQ(g.box.z, 2.5);
            EXPECT_EQ(g.heading, 45.0);
            EXPECT_EQ(g.vx, 0.0);
            EXPECT_EQ(g.vy, 0.0);
            EXPECT_EQ(g.vz, 0.0);
            EXPECT_EQ(g.phase, 3.25);
            EXPECT_TRUE(g.jumped);
        } else {
            // On the floor and free: it walks on and its clock runs.
            EXPECT_NE(g.box.z, 2.5);
            EXPECT_EQ(g.phase, 3.25 + 0.011);
            EXPECT_FALSE(g.jumped);
        }
    }
}

TEST(BadguySupport, OnlyATopStrictlyWithinAHundredthBelowTheBottomHolds)
{
    // Half height 0.5 here so the bottom (1.0) and the tops are exact doubles.
    ASSERT_EQ(0.99 + 0.01, 1.0);
    const struct {
        const char* what;
        box floor;
        bool supported;
    } cases[] = {
        {"top at the bottom", {2.5, 0.5, 2.5, 0.5, 0.5, 0.5}, true},
        {"top half a hundredth below", {2.5, 0.995, 2.5, 0.5, 0.0, 0.5}, true},
        {"top exactly a hundredth below", {2.5, 0.99, 2.5, 0.5, 0.0, 0.5}, false},
        {"top two hundredths below", {2.5, 0.98, 2.5, 0.5, 0.0, 0.5}, false},
        {"top at the bottom but only touching along x", {3.4, 0.5, 2.5, 0.5, 0.5, 0.5}, false},
    };
    ASSERT_EQ(3.4 - 0.5, 2.5 + 0.4);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        badguyrec g = Badguy::newbadguy(0, 2.5, 1.5, 2.5, 180.0);
        g.box.hy = 0.5;
        const box floor = c.floor;
        Badguy::update(g, 0.02, {&g.box, &floor}, {});
        // The walking clock runs only on support; gravity only without.
        EXPECT_EQ(g.phase, c.supported ? 0.02 : 0.0);
        if (c.supported)
            EXPECT_EQ(g.vy, 0.0);
        else
            EXPECT_LT(g.vy, 0.0);
    }
}

TEST(BadguyMotion, FallingSpeedGrowsByGravityUpToHalfACubePerFrame)
{
    badguyrec g = Badguy::newbadguy(0, 2.5, 5.5, 2.5, 90.0);
    const std::array<double, 9> none{};
    Badguy::update(g, 0.1, {&g.box}, scenttoward(90.0));
    // -0.5 attempted, then 0.999 of it kept.
    EXPECT_NEAR(g.vy, -0.4995, 1e-12);
    EXPECT_NEAR(g.box.y, 5.5 - 0.999 * 0.05, 1e-12);
    // In the air the drive is only dt, damped by 0.99.
    EXPECT_NEAR(g.vx, 0.999 * 0.1 * 0.99, 1e-9);
    EXPECT_NEAR(g.vz, 0.0, 1e-9);

    g = Badguy::newbadguy(0, 2.5, 5.5, 2.5, 0.0);
    g.vy = -100.0;
    Badguy::update(g, 0.1, {&g.box}, none);
    EXPECT_NEAR(g.box.y, 5.5 - 0.999 * 0.5, 1e-12);
    EXPECT_NEAR(g.vy, -4.995, 1e-12);
}

TEST(BadguyMotion, AFallTooSmallForOneStepIsNotLostAtTheGamesFramePace)
{
    // At 11 ms frames gravity asks for 0.0006 in the first frame: below the
    // 0.001 cut-off. The guard must still come down, not hang in the air.
    badguyrec g = Badguy::newbadguy(0, 2.5, 3.5, 2.5, 0.0);
    const box floor{2.5, 1.5, 2.5, 50.0, 0.5, 50.0};  // top at 2.0, wide enough for the air drift
    const std::array<double, 9> none{};
    for (int i = 0; i < 200; ++i) Badguy::update(g, 0.011, {&g.box, &floor}, none);
    EXPECT_LT(g.box.y - g.box.hy, 2.01);
    EXPECT_GE(g.box.y - g.box.hy, 2.0);
}

TEST(BadguyMotion, WalkingSpeedSettlesWithTheFrameTime)
{
    for (double dt : {0.011, 1.0 / 30}) {
        SCOPED_TRACE(testing::Message() << "dt " << dt);
        const box floor{2.5, 0.5, 50.0, 2.0, 0.5, 60.0};
        badguyrec g = Badguy::newbadguy(0, 2.5, 1.5, 2.5, 180.0);
        for (int i = 0; i < 299; ++i) Badguy::update(g, dt, {&g.box, &floor}, {});
        const double z = g.box.z;
        Badguy::update(g, dt, {&g.box, &floor}, {});
        // Position and kept velocity both take 0.999 of the permitted move.
        EXPECT_NEAR(g.box.z - z, g.vz * dt, 1e-12);
        // v = 0.999 (v + 50 dt) 0.008 / dt at rest: near 0.4 / (1 - 0.008 / dt).
        const double settled = 0.999 * 0.4 / (1.0 - 0.999 * 0.008 / dt);
        EXPECT_NEAR(g.vz, settled, 1e-6);
        EXPECT_NEAR(g.vx, 0.0, 1e-6);
        EXPECT_NEAR(g.phase, 300 * dt, 1e-9);
        EXPECT_FALSE(g.jumped);
    }
}

// A guard on the floor of cell (2, 0, 2), heading 0 (toward -z) with a target
// of exactly 0, and a wall one hundredth ahead of it.
struct blockedfixture {
    box floor = cellbox(2, 0, 2);
    box wall = cellbox(2, 1, 1);
    std::array<double, 9> scent{1, 0, 0, 0, 0, 0, 1, 0, 0};  // gx 0, gz -2: target 0
    badguyrec g = Badguy::newbadguy(0, 2.5, 1.5, 2.41, 0.0);
};

TEST(BadguyBlocked, JumpsOrTurnsAndDrawsOnlyWhenBlockedAndNotJumped)
{
    const struct {
        const char* what;
        bool floor, wall, jumped, still;
        double dt;
        size_t draws;
    } cases[] = {
        {"blocked, not jumped", true, true, false, false, 0.1, 1},
        {"blocked, jumped last frame", true, true, true, false, 0.1, 0},
        {"walking freely", true, false, true, false, 0.1, 0},
        {"in the air against the wall", false, true, true, false, 0.1, 0},
        {"standing still against the wall", true, true, true, true, 0.1, 0},
        {"blocked with dt 1", true, true, false, false, 1.0, 1},
        {"blocked with dt 2", true, true, false, false, 2.0, 1},
    };
    drawcounter draws;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        blockedfixture f;
        f.g.jumped = c.jumped;
        // A velocity that the drive cancels exactly: no attempted move at all.
        if (c.still) f.g.vz = 50.0 * c.dt;
        std::vector<const box*> obstacles{&f.g.box};
        if (c.floor) obstacles.push_back(&f.floor);
        if (c.wall) obstacles.push_back(&f.wall);

        draws.start();
        const double r = draws.next();
        Badguy::update(f.g, c.dt, obstacles, f.scent);
        EXPECT_EQ(draws.drawn(), c.draws);

        const bool blocked = c.floor && c.wall && !c.still;
        const bool jumps = blocked && !c.jumped && c.dt >= r;
        if (c.dt >= 1.0) {
            EXPECT_TRUE(jumps);
        }
        if (jumps) {
            EXPECT_EQ(f.g.vy, 2.4);
            EXPECT_EQ(f.g.heading, 0.0);
        } else if (blocked) {
            EXPECT_DOUBLE_EQ(f.g.heading, 60.0 * c.dt);
        } else {
            EXPECT_EQ(f.g.heading, 0.0);
            EXPECT_NE(f.g.vy, 2.4);
        }
        EXPECT_EQ(f.g.jumped, blocked && (c.jumped || jumps));
        // Never into the wall: its face is at z = 2.
        if (c.wall) {
            EXPECT_GT(f.g.box.z - f.g.box.hz, 2.0);
        }
    }
}

TEST(Badguy, ActionPairIsTheGuardsOwnBoxWithTheCaughtCode)
{
    badguyrec g = Badguy::newbadguy(0, 2.5, 1.5, 2.5, 0.0);
    const actionpair p = Badguy::actionpair(g);
    EXPECT_EQ(p.box, &g.box);
    EXPECT_EQ(p.code, outcome::caught);
}

TEST(Badguy, RandomDrawsAreUniformInTheHalfOpenUnitInterval)
{
    double lo = 1.0, hi = 0.0, sum = 0.0;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        const double r = Badguy::random01();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        lo = std::min(lo, r);
        hi = std::max(hi, r);
        sum += r;
    }
    EXPECT_LT(lo, 0.001);
    EXPECT_GT(hi, 0.999);
    EXPECT_NEAR(sum / n, 0.5, 0.01);
}

}  // namespace

// ---- A guard on a level, over many frames --------------------------------

namespace {

// An L-shaped corridor one cell wide: along +x at z = 1 from x = 1 to 7, then
// along +z at x = 7 down to z = 6. The player starts at its west end facing
// +x with a guard one cell behind.
levelrec cornerlevel()
{
    const std::string solid = "#########";
    const std::vector<std::string> walk{
        "#########",
        "#.......#",
        "#######.#",
        "#######.#",
        "#######.#",
        "#######.#",
        "#######.#",
        "#########",
    };
    levelrec l = fixture::make({std::vector<std::string>(8, solid), walk, std::vector<std::string>(8, solid)});
    l.startx = 2.5, l.starty = 1.31, l.startz = 1.5, l.startheading = 90.0;
    fixture::put_guard(l, 1.5, 1.5, 1.5, 90.0);
    return scenario::roundtrip(l);
}

std::vector<levelrec> cornerdungeon()
{
    std::vector<levelrec> d;
    d.push_back(cornerlevel());
    return d;
}

TEST(BadguyScenario, FollowsTheTrailRoundTheCornerAndCatchesAPlayerStandingStill)
{
    const struct {
        const char* what;
        scenario::timing times;
    } cases[] = {{"dt 0.011", scenario::timing::fixed(0.011)}, {"ragged dt", scenario::timing::varied(7)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        scenario::runner r = scenario::start(cornerdungeon, c.times);
        const veskrec& v = r.game.vesk;
        const badguyrec& g = *r.game.levels[0].badguys.at(0);

        // Walk east to the corner, then sidestep south (right of heading 90) to the end.
        r.inputs = {scenario::press(0, scenario::key::up)};
        scenario::run(r, 2000, [](const scenario::runner& s, gameresult) { return s.game.vesk.box.x > 7.4; });
        ASSERT_GT(v.box.x, 7.4) << "the player never reached the corner";
        r.inputs = {scenario::release(r.frame, scenario::key::up), scenario::press(r.frame, scenario::key::right)};
        scenario::run(r, 2000, [](const scenario::runner& s, gameresult) { return s.game.vesk.box.z > 5.5; });
        ASSERT_GT(v.box.z, 5.5) << "the player never reached the end";
        r.inputs = {scenario::release(r.frame, scenario::key::right)};
        ASSERT_TRUE(r.events.empty()) << "caught on the way";

        // Then stand still and wait; track where the guard goes.
        double maxx = 0.0, maxz = 0.0;
        bool roundcorner = false;
        scenario::run(r, 200000, [&](const scenario::runner& s, gameresult res) {
            maxx = std::max(maxx, g.box.x);
            maxz = std::max(maxz, g.box.z);
            roundcorner = roundcorner || (g.box.x > 6.5 && g.box.z > 3.0);
            return res == gameresult::caught || s.elapsed > 120.0;
        });
        ASSERT_EQ(r.events.size(), 1u) << "not caught within two minutes; the guard got to x " << maxx << ", z "
                                       << maxz;
        EXPECT_EQ(r.events[0].second, gameresult::caught);
        EXPECT_TRUE(roundcorner);
        // Caught where the player stood, and the player is back at the start with a chance less.
        EXPECT_GT(g.box.z, 4.5);
        EXPECT_EQ(v.box.x, 2.5);
        EXPECT_EQ(v.box.z, 1.5);
        EXPECT_EQ(v.chances, 4);
    }
}

}  // namespace
