// reach_test.cpp -- what Vesk can reach: jumps, steps, cliffs, headroom, the Dematterizer
#include <gtest/gtest.h>

#include "levelsource.h"
#include "reach.h"

namespace {

levelrec build(const std::string& text) { return Levelsource::compile(Levelsource::parse(text, "t.lvl")); }

// A corridor along x at z = 1 (7 x 6 x 3): Vesk at x = 1 on the floor of
// layer 1; two charges at x = 4, 5 lie on whatever `layer1` and `layer2` make.
std::string corridor(const char* layer1, const char* layer2, const char* layer3, const std::string& extra = "")
{
    return std::string("size 7 6 3\n") + "layer 1\n#######\n" + layer1 + "\n#######\n" + "layer 2\n#######\n" + layer2 +
           "\n#######\n" + "layer 3\n#######\n" + layer3 + "\n#######\n" + "layer 4\n#######\n#.....#\n#######\n" + extra;
}

TEST(Reach, JumpsStepsCliffsAndTheDematterizer)
{
    struct ledge {
        const char* name;
        std::string text;
        int withdm, without;  // charges reached
    };
    const ledge cases[] = {
        // Charges on the floor he stands on.
        {"level floor", corridor("#@..cc#", "#.....#", "#.....#"), 2, 2},
        // A ledge a whole cube up: no jump reaches it, but shooting the cells
        // under the charges drops them to him.
        {"cliff of one", corridor("#@..###", "#...cc#", "#.....#"), 2, 0},
        // A step halfway: jump onto it, then onto the ledge.
        {"cliff with a step", corridor("#@.s###", "#...cc#", "#.....#"), 2, 2},
        // The same with a low ceiling where he must jump from: no room to jump
        // unless he shoots the ceiling away.
        {"step under a low ceiling", corridor("#@.s###", "#.#.cc#", "#.....#"), 2, 0},
        // Two cubes up: beyond every jump, Dematterizer or not.
        {"cliff of two", corridor("#@..###", "#...###", "#...cc#"), 0, 0},
        // A charge down a pit under a grating: shoot the grating and drop in.
        // Charges down a pit: he drops in; under a grating only by shooting it.
        {"open pit", corridor("####cc#", "#@....#", "#.....#"), 2, 2},
        {"covered pit", corridor("####..#", "#@....#", "#.....#", "charge 4 1 1\ncharge 5 1 1\nbars xz 4 1 1\nbars xz 5 1 1\n"),
         2, 0},
    };
    for (const ledge& c : cases) {
        SCOPED_TRACE(c.name);
        levelrec l = build(c.text);
        Reach::result with = Reach::reach(l, true), without = Reach::reach(l, false);
        EXPECT_EQ(with.charges, 2);
        EXPECT_EQ(with.reachedcharges, c.withdm);
        EXPECT_EQ(without.reachedcharges, c.without);
        EXPECT_EQ(with.reached.size() + with.missed.size(), 2u);
    }
}

TEST(Reach, FallsAnyHeightButTheOuterShellNeverOpens)
{
    // Vesk starts on a high ledge (layer 3) and drops to the floor; the charge
    // under the floor, in the outermost layer's reach, stays out of reach.
    std::string text = "size 5 6 3\n"
                       "layer 1\n#####\n#..c#\n#####\n"
                       "layer 2\n#####\n##..#\n#####\n"
                       "layer 3\n#####\n#@..#\n#####\n"
                       "layer 4\n#####\n#...#\n#####\n";
    levelrec l = build(text);
    Reach::result r = Reach::reach(l, false);
    EXPECT_EQ(r.reachedcharges, 1);
    // In a 3-wide level only the middle cell is inner: with the Dematterizer he
    // may tunnel down to layer 1 but never through the shell at x = 0.
    levelrec thin = build("size 4 4 3\nlayer 1\n####\n#@c#\n####\nlayer 2\n####\n#..#\n####\n");
    EXPECT_EQ(Reach::reach(thin, true).reachedcharges, 1);
}

TEST(Reach, ProblemsNameTheLevelAndWhatIsOutOfReach)
{
    // Nine charges on the floor, three more and the teleporter two cubes up.
    std::string text = "size 14 6 3\n"
                       "layer 1\n##############\n#@ccccccccc###\n##############\n"
                       "layer 2\n##############\n#..........###\n##############\n"
                       "layer 3\n##############\n#..........cct\n##############\n"
                       "layer 4\n##############\n#............#\n##############\n";
    // the teleporter cell is on the outside: make it open one cell in
    text.replace(text.find("cct\n"), 4, "ct#\n");
    levelrec l = build(text);
    std::vector<std::string> p = Reach::problems(l, "level4");
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].rfind("level4: no teleporter can be reached", 0), 0u) << p[0];
    EXPECT_NE(p[0].find("teleporter at (12.50, 3.48, 1.50) in cell (12, 3, 1)"), std::string::npos) << p[0];

    // Take two charges off the floor: now the charges fall short as well.
    text.replace(text.find("#@ccccccccc"), 11, "#@..ccccccc");
    p = Reach::problems(build(text), "level4");
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].rfind("level4: only 7 of 8 charges can be reached from the start, 9 are needed; out of reach: charge at (11.50, 3.08, 1.50) in cell (11, 3, 1)", 0), 0u) << p[0];

    // A level with everything in reach has no problems.
    EXPECT_TRUE(Reach::problems(build("size 14 4 3\nlayer 1\n##############\n#@ccccccccct.#\n##############\n"), "level0").empty());
}

}  // namespace
