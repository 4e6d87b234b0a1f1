// collision_test.cpp -- box overlap, standing height, per-axis relations and deflection
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player/collision.h"

namespace {

using Collision::relation;

// A cube of half extent 0.5 whose near faces are gx, gz beyond the faces of
// the mover (half extent 0.1 at the origin), overlapping it on y.
box corner(double gx, double gz) { return {0.1 + gx + 0.5, 0.0, 0.1 + gz + 0.5, 0.5, 0.5, 0.5}; }

TEST(Collision, Incollision)
{
    const box a{0, 0, 0, 0.5, 0.5, 0.5};
    struct row {
        const char* what;
        box b;
        bool expect;
    } rows[] = {
        {"overlapping", {0.9, 0.2, -0.3, 0.5, 0.5, 0.5}, true},
        {"touching faces on x", {1.0, 0, 0, 0.5, 0.5, 0.5}, false},
        {"touching faces on z", {0, 0, -1.0, 0.5, 0.5, 0.5}, false},
        {"apart on y only", {0, 1.2, 0, 0.5, 0.5, 0.5}, false},
        {"equal but distinct", a, true},
        {"inside", {0.1, 0.1, 0.1, 0.01, 0.01, 0.01}, true},
    };
    for (const row& r : rows) {
        EXPECT_EQ(Collision::incollision(a, r.b), r.expect) << r.what;
        EXPECT_EQ(Collision::incollision(r.b, a), r.expect) << r.what << " (swapped)";
    }
    EXPECT_FALSE(Collision::incollision(a, a)) << "a box never collides with itself";
}

TEST(Collision, Topcollision)
{
    const box floor{2.5, 0.5, 2.5, 0.5, 0.5, 0.5};  // top at 1.0
    struct row {
        const char* what;
        box a;
        double dy, expect;
    } rows[] = {
        {"resting exactly", {2.5, 1.3, 2.5, 0.08, 0.3, 0.08}, 0.01, -0.01},
        {"raised by 0.5", {2.5, 1.8, 2.5, 0.08, 0.3, 0.08}, 0.01, 0.49},
        {"within the tolerance", {2.5, 1.305, 2.5, 0.08, 0.3, 0.08}, 0.01, -0.005},
        {"beside, no x overlap", {3.08, 1.3, 2.5, 0.08, 0.3, 0.08}, 0.01, 1.0},
        {"beside, no z overlap", {2.5, 1.3, 1.9, 0.08, 0.3, 0.08}, 0.01, 1.0},
        {"sunk deeper than dy", {2.5, 1.28, 2.5, 0.08, 0.3, 0.08}, 0.01, 1.0},
        {"below the floor", {2.5, -0.5, 2.5, 0.08, 0.3, 0.08}, 0.01, 1.0},
        {"dy 0, raised", {2.5, 1.4, 2.5, 0.08, 0.3, 0.08}, 0.0, 0.1},
    };
    for (const row& r : rows) EXPECT_NEAR(Collision::topcollision(r.a, floor, r.dy), r.expect, 1e-12) << r.what;
    const box self{2.5, 1.3, 2.5, 0.5, 0.5, 0.5};
    EXPECT_EQ(Collision::topcollision(self, self, 0.01), 1.0);
}

TEST(Collision, FindrelationPerAxis)
{
    // Mover of half extent 0.125 at x = 0; obstacle of half extent 0.5 with its
    // near face at `face` (negative: the obstacle is on the low side).
    auto obstacle = [](double face) {
        return face > 0 ? box{face + 0.5, 0, 0, 0.5, 0.5, 0.5} : box{face - 0.5, 0, 0, 0.5, 0.5, 0.5};
    };
    // Dyadic sizes so that "exactly the gap" is exact.
    struct row {
        const char* what;
        double face, dx;
        relation::kind_t kind;
        double gap;
    } rows[] = {
        {"high side, moving in past the gap", 0.375, 0.5, relation::blocked, 0.25},
        {"high side, moving exactly the gap", 0.375, 0.25, relation::clear, 0},
        {"high side, moving away", 0.375, -0.5, relation::clear, 0},
        {"low side, moving in past the gap", -0.375, -0.5, relation::blocked, 0.25},
        {"low side, moving exactly the gap", -0.375, -0.25, relation::clear, 0},
        {"low side, moving away", -0.375, 0.5, relation::clear, 0},
        {"touching, not moving", 0.125, 0.0, relation::clear, 0},
        {"touching, moving in", 0.125, 0.01, relation::blocked, 0.0},
        {"overlap by 1/64", 0.109375, 0.0, relation::overlap, 0},
        {"overlap by 0.0005 is not overlap", 0.1245, 0.0, relation::blocked, -0.0005},
        {"overlap by 0.0005, moving away", 0.1245, -0.1, relation::clear, 0},
    };
    const box a{0, 0, 0, 0.125, 0.125, 0.125};
    for (const row& r : rows) {
        box b = obstacle(r.face);
        auto rel = Collision::findrelation(a, r.dx, 0.0, 0.0, b);
        EXPECT_EQ(rel[0].kind, r.kind) << r.what;
        if (r.kind == relation::blocked) {
            EXPECT_NEAR(rel[0].gap, r.gap, 1e-12) << r.what;
        }
        EXPECT_EQ(rel[1].kind, relation::overlap) << r.what;
        EXPECT_EQ(rel[2].kind, relation::overlap) << r.what;
    }
    // The same relations on y and z, read from their own fields.
    box by{0, 0.875, 0, 0.5, 0.5, 0.5}, bz{0, 0, -0.875, 0.5, 0.5, 0.5};
    auto ry = Collision::findrelation(a, 0, 0.5, 0, by);
    EXPECT_EQ(ry[1].kind, relation::blocked);
    EXPECT_EQ(ry[1].gap, 0.25);
    EXPECT_EQ(Collision::findrelation(a, 0, 0.25, 0, by)[1].kind, relation::clear);
    auto rz = Collision::findrelation(a, 0, 0, -0.5, bz);
    EXPECT_EQ(rz[2].kind, relation::blocked);
    EXPECT_EQ(rz[2].gap, 0.25);
    EXPECT_EQ(Collision::findrelation(a, 0, 0, 0.5, bz)[2].kind, relation::clear);
    // Its own box is clear on every axis, even when overlapping.
    auto self = Collision::findrelation(a, 1, 1, 1, a);
    for (const relation& r : self) EXPECT_EQ(r.kind, relation::clear);
}

TEST(Collision, Deflect)
{
    const box a{0, 0, 0, 0.1, 0.1, 0.1};
    struct row {
        std::string what;
        double dx, dy, dz;
        std::vector<box> obstacles;
        bool withself;
        double ex, ey, ez;
    } rows[] = {
        {"nothing in the way", 0.3, -0.2, 0.1, {}, false, 0.3, -0.2, 0.1},
        {"wall ahead on x: 0.9 of the gap", 0.5, 0, 0, {{0.8, 0, 0, 0.5, 0.5, 0.5}}, false, 0.18, 0, 0},
        {"moving away from it", -0.5, 0, 0, {{0.8, 0, 0, 0.5, 0.5, 0.5}}, false, -0.5, 0, 0},
        {"floor below, falling", 0, -0.5, 0, {{0, -0.7, 0, 0.5, 0.5, 0.5}}, false, 0, -0.09, 0},
        {"touching, sliding along the face", 0.3, 0, 0.25, {{0.6, 0, 0, 0.5, 0.5, 0.5}}, false, 0, 0, 0.25},
        {"self in the list is ignored", 0.5, 0, 0, {{0.8, 0, 0, 0.5, 0.5, 0.5}}, true, 0.18, 0, 0},
        {"already inside: not held back", 0.5, 0.2, 0, {{0.05, 0, 0, 0.5, 0.5, 0.5}}, false, 0.5, 0.2, 0},
        {"request under 0.001 is cut", 0.0005, -0.0009, 0.002, {}, false, 0, 0, 0.002},
        {"gap shrinks below the cut-off", 0.5, 0, 0, {{0.6009, 0, 0, 0.5, 0.5, 0.5}}, false, 0, 0, 0},
        {"sunk by less than the tolerance", 0.1, 0, 0, {{0.5995, 0, 0, 0.5, 0.5, 0.5}}, false, 0, 0, 0},
        {"corner: only the wider gap shortens", 0.5, 0, 0.5, {corner(0.1, 0.3)}, false, 0.5, 0, 0.27},
        {"corner, negative directions", -0.5, 0, -0.5,
         {{-0.7, 0, -0.9, 0.5, 0.5, 0.5}}, false, -0.5, 0, -0.27},
        {"corner tie goes to x", 0.5, 0, 0.5, {corner(0.2, 0.2)}, false, 0.18, 0, 0.5},
        {"corner beyond a wall's stop (wall first)", 0.5, 0, 0.5,
         {{0.7, 0, 0, 0.5, 0.5, 0.5}, corner(0.3, 0.05)}, false, 0.09, 0, 0.5},
        {"corner beyond a wall's stop (corner first)", 0.5, 0, 0.5,
         {corner(0.3, 0.05), {0.7, 0, 0, 0.5, 0.5, 0.5}}, false, 0.09, 0, 0.5},
        {"corner out of reach of the whole move", 0.2, 0, 0.5, {corner(0.3, 0.1)}, false, 0.2, 0, 0.5},
        // Two corners: the one listed last is settled first and makes the other unreachable.
        {"deferred corners, last listed first (A, B)", 0.5, 0, 0.5,
         {corner(0.1, 0.3), corner(0.2, 0.28)}, false, 0.5, 0, 0.252},
        {"deferred corners, last listed first (B, A)", 0.5, 0, 0.5,
         {corner(0.2, 0.28), corner(0.1, 0.3)}, false, 0.5, 0, 0.27},
        {"three blocked axes: widest gap (y)", 0.5, 0.5, 0.5,
         {{0.1 + 0.1 + 0.5, 0.1 + 0.4 + 0.5, 0.1 + 0.2 + 0.5, 0.5, 0.5, 0.5}}, false, 0.5, 0.36, 0.5},
        {"distinct equal box is an obstacle", 0.3, 0, 0, {{0, 0, 0, 0.1, 0.1, 0.1}}, false, 0.3, 0, 0},
    };
    for (const row& r : rows) {
        std::vector<const box*> list;
        for (const box& b : r.obstacles) list.push_back(&b);
        if (r.withself) list.insert(list.begin() + list.size() / 2, &a);
        auto d = Collision::deflect(a, r.dx, r.dy, r.dz, list);
        EXPECT_NEAR(d[0], r.ex, 1e-12) << r.what;
        EXPECT_NEAR(d[1], r.ey, 1e-12) << r.what;
        EXPECT_NEAR(d[2], r.ez, 1e-12) << r.what;
    }
}

TEST(Collision, DeflectZeroRequestStaysZero)
{
    // Boxes sunk into each other by less than the tolerance count as blocked
    // even for a zero move; the zero must not turn into a step.
    const box a{0, 0, 0, 0.1, 0.1, 0.1};
    const box b{0.5995, 0, 0, 0.5, 0.5, 0.5};
    auto d = Collision::deflect(a, 0.0, 0.0, 0.0, {&b});
    EXPECT_EQ(d[0], 0.0);
    EXPECT_EQ(d[1], 0.0);
    EXPECT_EQ(d[2], 0.0);
}

}  // namespace
