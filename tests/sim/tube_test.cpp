// tube_test.cpp -- tube arrays: sizes, ring frames, closing entries and texture coordinates
#include <gtest/gtest.h>

#include <cmath>

#include "guards/tube.h"

namespace {

using Badguy::vec3;

double dot(const vec3& a, const vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double length(const vec3& a) { return std::sqrt(dot(a, a)); }
vec3 sub(const vec3& a, const vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

// A bent path with a segment in a z plane, one climbing in z and one along y.
const std::vector<vec3> bent{{0, -1, 0}, {0, 0, 0}, {0.5, 0.5, 0.0}, {0.5, 0.7, 0.6}, {0.5, 1.5, 0.6}, {0.4, 1.6, 0.6}};
const std::vector<double> bentradii{9.0, 0.2, 0.3, 0.25, 0.1, 9.0};

TEST(Tube, NormdiffIsTheUnitVectorFromBToA)
{
    const vec3 d = Badguy::normdiff({1.0, 2.0, 3.0}, {4.0, 6.0, 3.0});
    EXPECT_DOUBLE_EQ(d[0], -0.6);
    EXPECT_DOUBLE_EQ(d[1], -0.8);
    EXPECT_DOUBLE_EQ(d[2], 0.0);
}

TEST(Tube, OrthodiffGivesARightHandedOrthonormalFrame)
{
    const struct {
        vec3 a, b;
    } cases[] = {
        {{1, 0, 0}, {0, 0, 0}},          // along x, dz = 0
        {{0, -1, 0}, {0, 0, 0}},         // along -y, dz = 0
        {{0.3, 0.4, 0.0}, {0, 0, 0}},    // oblique in a z plane
        {{1, 2, 3}, {0, 0, 0}},          // general
        {{-0.2, 0.1, -0.7}, {0, 0, 0}},  // general, negative z
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "a = (" << c.a[0] << ", " << c.a[1] << ", " << c.a[2] << ")");
        const vec3 d = Badguy::normdiff(c.a, c.b);
        const auto [u, w] = Badguy::orthodiff(c.a, c.b);
        EXPECT_NEAR(length(u), 1.0, 1e-12);
        EXPECT_NEAR(length(w), 1.0, 1e-12);
        EXPECT_NEAR(dot(u, d), 0.0, 1e-12);
        EXPECT_NEAR(dot(w, d), 0.0, 1e-12);
        EXPECT_NEAR(dot(u, w), 0.0, 1e-12);
        // w = d x u, so u x w = d.
        const vec3 uxw{u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(uxw[i], d[i], 1e-12);
        if (d[2] == 0.0) {
            EXPECT_EQ(u, (vec3{0.0, 0.0, 1.0}));
        } else {
            EXPECT_EQ(u[2], 0.0);
        }
    }
}

TEST(Tube, ArraySizesFollowRingsAndSides)
{
    const struct {
        int points, n;
    } cases[] = {{3, 15}, {4, 7}, {12, 15}, {5, 6}, {10, 9}};
    for (const auto& c : cases) {
        std::vector<vec3> path;
        for (int i = 0; i < c.points; ++i) path.push_back({0.1 * i, 0.3 * i, 0.0});
        const std::vector<double> radii(c.points, 0.1);
        const auto t = Badguy::maketube(path, radii, c.n, 0.0, 1.0, 1.0, 0.0);
        const size_t m = static_cast<size_t>((c.points - 2) * (c.n + 1) + 2);
        EXPECT_EQ(t.v.size(), m) << c.points << " points, n = " << c.n;
        EXPECT_EQ(t.n.size(), m);
        EXPECT_EQ(t.t.size(), m);
        EXPECT_EQ(t.v.front(), path.front());
        EXPECT_EQ(t.v.back(), path.back());
    }
}

TEST(Tube, RingsStandSquareToTheArrivingSegmentAtTheirRadius)
{
    const int n = 7;
    const auto t = Badguy::maketube(bent, bentradii, n, 0.0, 1.0, 1.0, 0.0);
    for (int r = 1; r <= 4; ++r) {
        const vec3 arriving = Badguy::normdiff(bent[r - 1], bent[r]);
        for (int j = 0; j <= n; ++j) {
            const int k = (r - 1) * (n + 1) + 1 + j;
            SCOPED_TRACE(testing::Message() << "ring " << r << " entry " << j);
            EXPECT_NEAR(length(t.n[k]), 1.0, 1e-12);
            EXPECT_NEAR(dot(t.n[k], arriving), 0.0, 1e-12);
            const vec3 radial = sub(t.v[k], bent[r]);
            EXPECT_NEAR(length(radial), bentradii[r], 1e-12);
            EXPECT_NEAR(dot(radial, t.n[k]), bentradii[r], 1e-12);
        }
    }
    // The apex normals point out of the tube along its end segments.
    EXPECT_EQ(t.n.front(), Badguy::normdiff(bent[0], bent[1]));
    EXPECT_EQ(t.n.back(), Badguy::normdiff(bent[5], bent[4]));
}

TEST(Tube, FirstVertexOfARingInAZPlaneLiesOnPlusZ)
{
    // Every segment lies in z = 0.2.
    const std::vector<vec3> flat{{0, 0, 0.2}, {1, 0, 0.2}, {1, 1, 0.2}, {2, 1, 0.2}};
    const auto t = Badguy::maketube(flat, {0.0, 0.3, 0.1, 0.0}, 5, 0.0, 1.0, 1.0, 0.0);
    const vec3 first1 = t.v[1], first2 = t.v[7];
    EXPECT_DOUBLE_EQ(first1[0], 1.0);
    EXPECT_DOUBLE_EQ(first1[1], 0.0);
    EXPECT_DOUBLE_EQ(first1[2], 0.5);
    EXPECT_DOUBLE_EQ(first2[0], 1.0);
    EXPECT_DOUBLE_EQ(first2[1], 1.0);
    EXPECT_DOUBLE_EQ(first2[2], 0.3);
    EXPECT_EQ(t.n[1], (vec3{0.0, 0.0, 1.0}));
}

TEST(Tube, ClosingEntryRepeatsTheFirstWithSAtTheEndOfItsRange)
{
    const int n = 6;
    const auto t = Badguy::maketube(bent, bentradii, n, 0.25, 0.75, 0.9, 0.1);
    for (int r = 1; r <= 4; ++r) {
        const int first = (r - 1) * (n + 1) + 1, closing = r * (n + 1);
        SCOPED_TRACE(testing::Message() << "ring " << r);
        EXPECT_EQ(t.v[closing], t.v[first]);
        EXPECT_EQ(t.n[closing], t.n[first]);
        EXPECT_DOUBLE_EQ(t.t[first][0], 0.25);
        EXPECT_DOUBLE_EQ(t.t[closing][0], 0.75);
        // s steps evenly around; t is the ring's share of the way along the path.
        const double tr = 0.1 + 0.8 * r / 5;
        for (int j = 0; j <= n; ++j) {
            EXPECT_DOUBLE_EQ(t.t[first + j][0], 0.25 + 0.5 * j / n);
            EXPECT_DOUBLE_EQ(t.t[first + j][1], tr);
        }
        EXPECT_NE(t.v[first], t.v[first + 1]);
    }
}

TEST(Tube, ApexTextureTakesTheEndValueBeforeTheStartValue)
{
    const auto t = Badguy::maketube(bent, bentradii, 5, 0.0, 0.5, 1.0, 0.6);
    EXPECT_DOUBLE_EQ(t.t.front()[0], 0.25);
    EXPECT_DOUBLE_EQ(t.t.front()[1], 0.6);
    EXPECT_DOUBLE_EQ(t.t.back()[0], 0.25);
    EXPECT_DOUBLE_EQ(t.t.back()[1], 1.0);
    // t rises along the path from the start apex.
    EXPECT_LT(t.t[1][1], t.t[t.t.size() - 2][1]);
}

TEST(Tube, EqualRangesGiveOneTextureCoordinateEverywhere)
{
    const auto t = Badguy::maketube(bent, bentradii, 9, 0.4, 0.4, 0.7, 0.7);
    for (const auto& tc : t.t) {
        EXPECT_DOUBLE_EQ(tc[0], 0.4);
        EXPECT_DOUBLE_EQ(tc[1], 0.7);
    }
}

TEST(Tube, UnusedRadiiAreIgnored)
{
    std::vector<double> other = bentradii;
    other.front() = -5.0;
    other.back() = 100.0;
    const auto a = Badguy::maketube(bent, bentradii, 5, 0.0, 1.0, 1.0, 0.0);
    const auto b = Badguy::maketube(bent, other, 5, 0.0, 1.0, 1.0, 0.0);
    EXPECT_EQ(a.v, b.v);
    // L - 1 entries are enough.
    const auto c = Badguy::maketube(bent, std::vector<double>(bentradii.begin(), bentradii.end() - 1), 5, 0.0, 1.0,
                                    1.0, 0.0);
    EXPECT_EQ(a.v, c.v);
}

}  // namespace
