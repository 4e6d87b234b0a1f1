// frustum_test.cpp -- points and cells against the view volume
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "world/visibility.h"

namespace {

Level::viewparams view(double heading, double pitch, double eyeoffset = 0.0)
{
    Level::viewparams v;
    v.sinheading = std::sin(heading * 0.017453292);
    v.cosheading = std::cos(heading * 0.017453292);
    v.sinpitch = std::sin(pitch * 0.017453292);
    v.cospitch = std::cos(pitch * 0.017453292);
    v.left = -0.029 + 0.1 * eyeoffset;
    v.right = 0.029 + 0.1 * eyeoffset;
    v.top = 0.029 * 0.75;
    v.bottom = -v.top;
    v.znear = 0.03;
    v.zfar = 90.0;
    return v;
}

TEST(Frustum, CellsAheadAreInsideThoseBehindAndBeyondAreNot)
{
    const Level::viewparams v = view(90.0, 0.0);  // looking along +x
    const double ex = 1.5, ey = 1.52, ez = 1.5;
    EXPECT_TRUE(Level::insidefrustum(v, ex, ey, ez, 5, 1, 1));
    EXPECT_TRUE(Level::insidefrustum(v, ex, ey, ez, 1, 1, 1));   // the eye's own cell
    EXPECT_TRUE(Level::insidefrustum(v, ex, ey, ez, 2, 2, 2));   // diagonal, touching the view
    EXPECT_FALSE(Level::insidefrustum(v, ex, ey, ez, 0, 1, 1));  // behind
    EXPECT_FALSE(Level::insidefrustum(v, ex, ey, ez, 1, 1, 9));  // far to the side
    EXPECT_FALSE(Level::insidefrustum(v, ex, ey, ez, 95, 1, 1)); // beyond the far plane
    EXPECT_TRUE(Level::checkfrustum(v, ex, ey, ez, 3.0, 1.52, 1.5));
    EXPECT_FALSE(Level::checkfrustum(v, ex, ey, ez, 0.5, 1.52, 1.5));
    // Looking down (positive pitch) brings the floor under the eye into view.
    EXPECT_FALSE(Level::insidefrustum(view(90.0, 0.0), ex, ey, ez, 1, -2, 1));
    EXPECT_TRUE(Level::insidefrustum(view(90.0, 55.0), ex, ey, ez, 1, -2, 1));
}

// A refused cell never holds a point of the view volume, over random views.
TEST(Frustum, ARefusedCellHasNoPointInTheView)
{
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    int refused = 0, kept = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const double stereo[3] = {0.0, 0.03, -0.03};
        const Level::viewparams v = view(720.0 * u(gen) - 360.0, 110.0 * u(gen) - 55.0, stereo[trial % 3]);
        const double ex = 10 * u(gen), ey = 10 * u(gen), ez = 10 * u(gen);
        const int x = static_cast<int>(20 * u(gen)) - 5, y = static_cast<int>(20 * u(gen)) - 5,
                  z = static_cast<int>(20 * u(gen)) - 5;
        const bool inside = Level::insidefrustum(v, ex, ey, ez, x, y, z);
        (inside ? kept : refused)++;
        if (inside) continue;
        for (int i = 0; i <= 4; ++i)
            for (int j = 0; j <= 4; ++j)
                for (int k = 0; k <= 4; ++k)
                    ASSERT_FALSE(Level::checkfrustum(v, ex, ey, ez, x + i / 4.0, y + j / 4.0, z + k / 4.0))
                        << "trial " << trial;
    }
    EXPECT_GT(refused, 1000);
    EXPECT_GT(kept, 100);
}

}  // namespace
