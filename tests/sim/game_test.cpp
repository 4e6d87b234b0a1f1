// game_test.cpp -- one frame of play and level progression, the fire button, resume and restart
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "fixture.h"
#include "levelwriter.h"
#include "main/game.h"
#include "world/update.h"

namespace {

// Level n: a small room, its start a little different on every level.
levelrec makelevel(int n)
{
    levelrec l = fixture::room(6, 4, 6);
    l.startx = 2.5;
    l.starty = 1.306;
    l.startz = 2.5 + 0.25 * n;
    l.startheading = 10.0 * n;
    return l;
}

std::vector<levelrec> dungeon(int count)
{
    std::vector<levelrec> levels;
    for (int i = 0; i < count; ++i) levels.push_back(makelevel(i));
    return levels;
}

enum class touching { teleporter, guard, charge, bribe };

TEST(Gamestep, Progression)
{
    struct row {
        const char* what;
        int levels, current;
        touching what_touched;
        int charges, chances;
        gameresult expect;
        int current_after, chances_after, charges_after;
        bool newgame;
    } rows[] = {
        {"teleport out of level 1 of 3", 3, 1, touching::teleporter, 9, 3, gameresult::nextlevel, 2, 3, 0, false},
        {"teleport out of the only level", 1, 0, touching::teleporter, 9, 3, gameresult::won, 0, 5, 0, true},
        {"teleport out of the last of 3", 3, 2, touching::teleporter, 11, 2, gameresult::won, 0, 5, 0, true},
        {"teleporter with 8 charges", 3, 1, touching::teleporter, 8, 3, gameresult::playing, 1, 3, 8, false},
        {"caught with 2 chances", 3, 1, touching::guard, 4, 2, gameresult::caught, 1, 1, 4, false},
        {"caught with the last chance", 3, 1, touching::guard, 4, 1, gameresult::lost, 0, 5, 0, true},
        {"charge", 2, 1, touching::charge, 4, 2, gameresult::playing, 1, 2, 5, false},
        {"bribe", 2, 1, touching::bribe, 4, 2, gameresult::playing, 1, 3, 4, false},
    };
    for (const row& r : rows) {
        gamerec g;
        g.levels = dungeon(r.levels);
        g.current = r.current;
        g.time = 123.0;
        levelrec& here = g.levels[r.current];
        g.vesk = Game::freshplayer(here);
        g.vesk.box.x = 3.5;  // away from the start, on the same floor
        g.vesk.vx = 0.2;
        g.vesk.charges = r.charges;
        g.vesk.chances = r.chances;
        g.vesk.charge = 0.5;
        g.vesk.pitch = 12.0;
        const double pz = g.vesk.box.z;
        switch (r.what_touched) {
        case touching::teleporter: fixture::put_free(here, teleporter_kind, 3.5, 1.48, pz); break;
        case touching::guard: fixture::put_guard(here, 3.5, 1.5, pz, 0); break;
        case touching::charge: fixture::put_free(here, charge_kind, 3.5, 1.075, pz); break;
        case touching::bribe: fixture::put_free(here, bribe_kind, 3.5, 1.1, pz); break;
        }
        int loads = 0;
        auto fresh = [&loads] {
            ++loads;
            return dungeon(2);
        };
        EXPECT_EQ(Game::step(g, 0.011, fresh), r.expect) << r.what;
        EXPECT_EQ(loads, r.newgame ? 1 : 0) << r.what;
        EXPECT_EQ(g.current, r.current_after) << r.what;
        EXPECT_EQ(g.vesk.chances, r.chances_after) << r.what;
        EXPECT_EQ(g.vesk.charges, r.charges_after) << r.what;
        EXPECT_EQ(g.time, 123.0) << r.what;
        const levelrec& now = g.levels[g.current];
        if (r.newgame) {
            EXPECT_EQ(g.levels.size(), 2u) << r.what;
            EXPECT_EQ(now.clock, 0.0) << r.what << ": levels freshly made";
            EXPECT_EQ(g.vesk.charge, 1.0) << r.what;
            EXPECT_EQ(g.vesk.pitch, 0.0) << r.what;
        } else {
            EXPECT_EQ(g.levels.size(), static_cast<size_t>(r.levels)) << r.what;
            EXPECT_NEAR(g.vesk.charge, 0.5 + 0.07 * 0.011, 1e-12) << r.what << ": charge carries over";
            EXPECT_EQ(g.vesk.pitch, 12.0) << r.what;
        }
        const bool atstart = r.newgame || r.expect == gameresult::nextlevel || r.expect == gameresult::caught;
        if (atstart) {
            EXPECT_EQ(g.vesk.box.x, now.startx) << r.what;
            EXPECT_EQ(g.vesk.box.y, now.starty) << r.what;
            EXPECT_EQ(g.vesk.box.z, now.startz) << r.what;
            EXPECT_EQ(g.vesk.heading, now.startheading) << r.what;
            EXPECT_EQ(g.vesk.vx, 0.0) << r.what;
        } else {
            EXPECT_GT(g.vesk.box.x, 3.5) << r.what << ": still walking where it was";
        }
    }
}

TEST(Gamestep, TheLevelLeftBehindKeepsItsState)
{
    gamerec g;
    g.levels = dungeon(2);
    g.vesk = Game::freshplayer(g.levels[0]);
    g.vesk.charges = 9;
    fixture::put_free(g.levels[0], teleporter_kind, 2.5, 1.48, 2.5);
    EXPECT_EQ(Game::step(g, 0.05, [] { return dungeon(2); }), gameresult::nextlevel);
    EXPECT_DOUBLE_EQ(g.levels[0].clock, 0.05);
    EXPECT_EQ(g.levels[1].clock, 0.0);
    EXPECT_EQ(Game::step(g, 0.05, [] { return dungeon(2); }), gameresult::playing);
    EXPECT_DOUBLE_EQ(g.levels[0].clock, 0.05);
    EXPECT_DOUBLE_EQ(g.levels[1].clock, 0.05);
}

TEST(Gamestep, NoTimeNoFrame)
{
    // The time of day can step back; a frame without positive dt changes nothing.
    for (double dt : {0.0, -0.5}) {
        gamerec g;
        g.levels = dungeon(1);
        g.vesk = Game::freshplayer(g.levels[0]);
        Vesk::startfwd(g.vesk);
        const veskrec before = g.vesk;
        EXPECT_EQ(Game::step(g, dt, [] { return dungeon(1); }), gameresult::playing);
        EXPECT_EQ(g.levels[0].clock, 0.0);
        EXPECT_EQ(g.vesk.box.z, before.box.z);
        EXPECT_EQ(g.vesk.vz, before.vz);
    }
}

TEST(Gameupdate, MeasuresTheTimeOfDay)
{
    gamerec g;
    g.levels = dungeon(1);
    g.vesk = Game::freshplayer(g.levels[0]);
    const double before = Game::now();
    g.time = before - 0.25;
    EXPECT_EQ(Game::update(g), gameresult::playing);
    const double after = Game::now();
    EXPECT_GE(g.time, before);
    EXPECT_LE(g.time, after);
    EXPECT_GE(g.levels[0].clock, 0.25);
    EXPECT_LE(g.levels[0].clock, 0.25 + (after - before) + 1e-6);

    Game::resumeplaying(g);
    EXPECT_GE(g.time, after);
    EXPECT_LE(g.time, Game::now());
}

TEST(Pressbutton, ChargeAndShots)
{
    struct row {
        double charge;
        int presses;
        double charge_after;
        int shots;
    } rows[] = {{0.39, 1, 0.39, 0}, {0.4, 1, 0.0, 1}, {1.0, 2, 0.2, 2}, {1.0, 3, 0.2, 2}};
    for (const row& r : rows) {
        gamerec g;
        g.levels = dungeon(2);
        g.current = 1;
        g.vesk = Game::freshplayer(g.levels[1]);
        g.vesk.charge = r.charge;
        g.vesk.heading = 90;  // at the cell (3, 1, 2) ahead, then at (2, 1, 2) from further back
        for (int i = 0; i < r.presses; ++i) {
            Game::pressbutton(g);
            g.vesk.heading = 0;
            g.vesk.box.z = 3.2;
        }
        EXPECT_NEAR(g.vesk.charge, r.charge_after, 1e-12) << r.charge << " x" << r.presses;
        EXPECT_EQ(g.levels[1].dmcubes.size(), static_cast<size_t>(r.shots)) << r.charge << " x" << r.presses;
        EXPECT_TRUE(g.levels[0].dmcubes.empty()) << "only the current level";
        if (r.shots > 0) {
            EXPECT_EQ(g.levels[1].dmcubes.back(), &Level::getcube(g.levels[1], 3, 1, 2));
        }
        if (r.shots > 1) {
            EXPECT_EQ(g.levels[1].dmcubes.front(), &Level::getcube(g.levels[1], 2, 1, 2));
        }
    }
}

TEST(Pressbutton, ShotIntoTheFarCorner)
{
    // Up against the far walls, looking up into the corner: the shot box
    // reaches past the grid. The hit cell stays inside and nothing throws.
    gamerec g;
    g.levels.push_back(fixture::room(5, 3, 5));
    levelrec& l = g.levels[0];
    l.startx = 3.91, l.starty = 1.3, l.startz = 3.91, l.startheading = 135;
    g.vesk = Game::freshplayer(l);
    g.vesk.pitch = -55;
    ASSERT_NO_THROW(Game::pressbutton(g));
    ASSERT_EQ(l.dmcubes.size(), 1u);
    EXPECT_EQ(l.dmcubes[0], &Level::getcube(l, 3, 1, 3));
    EXPECT_EQ(Game::step(g, 0.011, [] { return dungeon(1); }), gameresult::playing);
}

// A dungeon written to a scratch directory with the level writer; the test
// runs inside it and goes back where it was afterwards.
class Ondisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        old = std::filesystem::current_path();
        char tmpl[] = "/tmp/vesk-game-test-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        std::filesystem::create_directory(dir / "Data");
        for (int i = 0; i < 3; ++i) Levelwriter::write_level((dir / ("level" + std::to_string(i))).string(), makelevel(i));
        std::filesystem::current_path(dir);
    }
    void TearDown() override
    {
        std::filesystem::current_path(old);
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path old, dir;
};

TEST_F(Ondisk, RestartReadsTheLevelsAgain)
{
    gamerec g;
    g.levels = dungeon(1);
    g.current = 0;
    g.time = 55.5;
    g.vesk.chances = 1;
    g.vesk.charge = 0.1;
    Game::restart(g);
    ASSERT_EQ(g.levels.size(), 3u);
    EXPECT_EQ(g.current, 0);
    EXPECT_EQ(g.time, 55.5);
    EXPECT_EQ(g.vesk.chances, 5);
    EXPECT_EQ(g.vesk.charge, 1.0);
    EXPECT_EQ(g.vesk.box.z, g.levels[0].startz);
    EXPECT_EQ(g.levels[2].startheading, 20.0);
}

TEST_F(Ondisk, LossWithoutALoaderReadsTheFiles)
{
    gamerec g;
    g.levels = dungeon(2);
    g.current = 1;
    g.vesk = Game::freshplayer(g.levels[1]);
    g.vesk.chances = 1;
    fixture::put_guard(g.levels[1], g.vesk.box.x, 1.5, g.vesk.box.z, 0);
    EXPECT_EQ(Game::step(g, 0.011), gameresult::lost);
    EXPECT_EQ(g.levels.size(), 3u);
    EXPECT_EQ(g.current, 0);
    EXPECT_EQ(g.vesk.chances, 5);
}

}  // namespace
