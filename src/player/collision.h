// collision.h -- box tests shared by everything that moves
#pragma once

#include <array>
#include <vector>

#include "world/level.h"

namespace Collision {

// One axis of findrelation's answer.
struct relation {
    enum kind_t { clear, overlap, blocked } kind = clear;
    double gap = 0.0;  // for blocked
};

// Strict overlap on all three axes; a box never collides with itself (address).
bool incollision(const box& a, const box& b);
// How far a's bottom (lifted by dy) is above b's top, when they overlap in x and z; else 1.0.
double topcollision(const box& a, const box& b, double dy);
std::array<relation, 3> findrelation(const box& a, double dx, double dy, double dz, const box& b);
// The part of (dx, dy, dz) that a may move among the obstacles.
std::array<double, 3> deflect(const box& a, double dx, double dy, double dz, const std::vector<const box*>& obstacles);

}  // namespace Collision
