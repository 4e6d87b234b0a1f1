// collision.cpp -- box tests shared by everything that moves
#include "player/collision.h"

#include <algorithm>  // min
#include <cmath>      // fabs
#include <cstdio>     // the one diagnostic line

namespace Collision {

namespace {

// Extents of a box on one axis (0 x, 1 y, 2 z).
double centre(const box& b, int axis) { return axis == 0 ? b.x : axis == 1 ? b.y : b.z; }
double half(const box& b, int axis) { return axis == 0 ? b.hx : axis == 1 ? b.hy : b.hz; }

bool strictoverlap(const box& a, const box& b, int axis)
{
    return centre(a, axis) + half(a, axis) > centre(b, axis) - half(b, axis) &&
           centre(b, axis) + half(b, axis) > centre(a, axis) - half(a, axis);
}

relation axisrelation(const box& a, double d, const box& b, int axis)
{
    const double ac = centre(a, axis), ah = half(a, axis);
    const double bc = centre(b, axis), bh = half(b, axis);
    if (ac + ah > bc - bh + 0.001 && bc + bh > ac - ah + 0.001) return {relation::overlap, 0.0};
    if (ac > bc) {
        double g = (ac - ah) - (bc + bh);
        if (d < -g) return {relation::blocked, g};
        return {relation::clear, 0.0};
    }
    double g = (bc - bh) - (ac + ah);
    if (d > g) return {relation::blocked, g};
    return {relation::clear, 0.0};
}

}  // namespace

bool incollision(const box& a, const box& b)
{
    return &a != &b && strictoverlap(a, b, 0) && strictoverlap(a, b, 1) && strictoverlap(a, b, 2);
}

double topcollision(const box& a, const box& b, double dy)
{
    if (&a != &b && strictoverlap(a, b, 0) && strictoverlap(a, b, 2) && a.y - a.hy + dy > b.y + b.hy)
        return (a.y - a.hy) - (b.y + b.hy + dy);
    return 1.0;
}

std::array<relation, 3> findrelation(const box& a, double dx, double dy, double dz, const box& b)
{
    if (&a == &b) return {};
    return {axisrelation(a, dx, b, 0), axisrelation(a, dy, b, 1), axisrelation(a, dz, b, 2)};
}

std::array<double, 3> deflect(const box& a, double dx, double dy, double dz, const std::vector<const box*>& obstacles)
{
    const double d[3] = {dx, dy, dz};
    double m[3] = {std::fabs(dx), std::fabs(dy), std::fabs(dz)};
    // Contacts blocked on several axes at once: which axis gives way depends on
    // all the single-axis limits, so they wait for the second pass. Front = element 0.
    std::vector<std::array<relation, 3>> deferred;

    // True when every blocked axis of r could still be reached with the current magnitudes.
    auto reachable = [&m](const std::array<relation, 3>& r) {
        for (int i = 0; i < 3; ++i)
            if (r[i].kind == relation::blocked && r[i].gap > m[i]) return false;
        return true;
    };

    for (const box* b : obstacles) {
        std::array<relation, 3> r = findrelation(a, dx, dy, dz, *b);
        int nblocked = 0, nclear = 0, axis = -1;
        for (int i = 0; i < 3; ++i) {
            if (r[i].kind == relation::clear) ++nclear;
            if (r[i].kind == relation::blocked) ++nblocked, axis = i;
        }
        if (nclear > 0 || nblocked == 0) continue;
        if (nblocked == 1) {
            m[axis] = std::min(m[axis], 0.9 * r[axis].gap);
            continue;
        }
        if (reachable(r)) deferred.insert(deferred.begin(), r);
    }

    for (const std::array<relation, 3>& r : deferred) {
        int nblocked = 0, widest = -1;
        for (int i = 0; i < 3; ++i) {
            if (r[i].kind != relation::blocked) continue;
            ++nblocked;
            if (widest < 0 || r[i].gap > r[widest].gap) widest = i;  // ties keep the earlier axis
        }
        if (nblocked < 2) {
            std::fputs("Weird unsatisfied case\n", stderr);
            continue;
        }
        if (!reachable(r)) continue;
        m[widest] = std::min(m[widest], 0.9 * r[widest].gap);
    }

    std::array<double, 3> out;
    for (int i = 0; i < 3; ++i) {
        if (m[i] < 0.001) m[i] = 0.0;
        out[i] = d[i] > 0.0 ? m[i] : -m[i];
    }
    return out;
}

}  // namespace Collision
