// frame_test.cpp -- one frame: clear, the level once or as a red/blue pair, the panels, the swap
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixture.h"
#include "glrecord.h"
#include "main/game_gl.h"

namespace {

gamerec game()
{
    gamerec g;
    g.levels.push_back(fixture::room(5, 4, 5));
    g.levels.push_back(fixture::room(8, 4, 8));
    g.current = 1;
    // Inside level 1 only: drawing level 0 from here would throw.
    g.vesk = Vesk::newvesk();
    g.vesk.box.x = 5.5;
    g.vesk.box.y = 1.3;
    g.vesk.box.z = 5.5;
    return g;
}

// Positions in the log of calls with this name (and these arguments, if given).
std::vector<std::size_t> where(const std::string& name, const std::vector<double>& args = {})
{
    std::vector<std::size_t> out;
    const auto& log = glrec::log();
    for (std::size_t i = 0; i < log.size(); ++i)
        if (log[i].name == name && (args.empty() || log[i].args == args)) out.push_back(i);
    return out;
}

void render(gamerec& g, int width, bool grey)
{
    glrec::clear();
    Game::render(g, width, 600, [] { glrec::log().push_back({"swap", {}}); }, true, true, grey);
}

// Mono: cleared to opaque black, the current level drawn once with no eye
// offset, the panels, then the swap, last. The colour mask is left alone.
TEST(Frame, MonoDrawsTheLevelOnceThenPanelsThenSwaps)
{
    gamerec g = game();
    render(g, 800, false);
    const auto& log = glrec::log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0].name, "glClearColor");
    EXPECT_EQ(log[0].args, (std::vector<double>{0, 0, 0, 1}));
    EXPECT_EQ(log[1].name, "glClear");
    EXPECT_EQ(log[1].args[0], GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    EXPECT_EQ(where("glClear").size(), 1u);
    EXPECT_EQ(where("glColorMask").size(), 0u);
    auto frustum = glrec::calls("glFrustum");
    ASSERT_EQ(frustum.size(), 1u);
    EXPECT_NEAR(frustum[0].args[0], -0.029, 1e-12);
    EXPECT_EQ(where("glViewport", {0, 40, 760, 560}).size(), 1u);
    EXPECT_EQ(where("glViewport", {0, 0, 760, 40}).size(), 1u);   // the charge bar, after the level
    EXPECT_GT(where("glViewport", {0, 0, 760, 40})[0], where("glFrustum")[0]);
    EXPECT_EQ(where("swap").size(), 1u);
    EXPECT_EQ(log.back().name, "swap");
}

// Stereo: red from the left (offset 0.03), depth cleared, blue from the right
// (offset -0.03), then the mask back to red, green and blue for the panels,
// which are drawn once.
TEST(Frame, StereoDrawsRedThenBlueThenPanelsOnce)
{
    gamerec g = game();
    render(g, 800, true);
    const auto masks = where("glColorMask");
    ASSERT_EQ(masks.size(), 3u);
    const auto& log = glrec::log();
    EXPECT_EQ(log[masks[0]].args, (std::vector<double>{1, 0, 0, 0}));
    EXPECT_EQ(log[masks[1]].args, (std::vector<double>{0, 0, 1, 0}));
    EXPECT_EQ(log[masks[2]].args, (std::vector<double>{1, 1, 1, 0}));

    const auto frustums = where("glFrustum");
    ASSERT_EQ(frustums.size(), 2u);
    EXPECT_NEAR(log[frustums[0]].args[0], -0.026, 1e-12);
    EXPECT_NEAR(log[frustums[1]].args[0], -0.032, 1e-12);
    const auto depthonly = where("glClear", {GL_DEPTH_BUFFER_BIT});
    ASSERT_EQ(depthonly.size(), 1u);
    EXPECT_LT(masks[0], frustums[0]);
    EXPECT_LT(frustums[0], depthonly[0]);
    EXPECT_LT(depthonly[0], masks[1]);
    EXPECT_LT(masks[1], frustums[1]);
    EXPECT_LT(frustums[1], masks[2]);

    const auto bar = where("glViewport", {0, 0, 760, 40});
    ASSERT_EQ(bar.size(), 1u);
    EXPECT_GT(bar[0], masks[2]);
    // Grey panels: the bar is white.
    EXPECT_EQ(where("glColor3d", {1, 0, 0}).size(), 0u);
    EXPECT_EQ(log.back().name, "swap");
}

// The strips are width / 20 wide, in whole pixels.
TEST(Frame, BorderIsAWentiethOfTheWidth)
{
    const std::pair<int, double> rows[] = {{800, 40}, {799, 39}, {640, 32}};
    for (auto [width, border] : rows) {
        gamerec g = game();
        render(g, width, false);
        EXPECT_EQ(where("glViewport", {0, border, width - border, 600 - border}).size(), 1u) << width;
        EXPECT_EQ(where("glViewport", {width - border, 0, border, border}).size(), 1u) << width;
    }
}

}  // namespace
