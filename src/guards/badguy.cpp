// badguy.cpp -- guard behaviour: following the scent trail, jumping or turning when blocked
#include "guards/badguy.h"

#include <algorithm>
#include <cmath>  // atan2, fmod, floor, sin, cos
#include <random>

#include "player/collision.h"

namespace Badguy {

namespace {

// +0.5 while the coordinate is in the lower half of its cell, else -0.5: the
// own row (column) then pushes toward the nearer edge when its scent is low.
double halfside(double c) { return c - std::floor(c) < 0.5 ? 0.5 : -0.5; }

double clampaxis(double v, double limit) { return std::clamp(v, -limit, limit); }

}  // namespace

double random01()
{
    // One generator for the whole process, never seeded: every run jumps alike.
    static std::mt19937 gen;
    static std::uniform_real_distribution<double> dist(0.0, 1.0);
    return dist(gen);
}

::actionpair actionpair(badguyrec& g) { return {&g.box, outcome::caught}; }

void update(badguyrec& g, double dt, const std::vector<const box*>& obstacles, const std::array<double, 9>& s)
{
    box& b = g.box;

    // Matter swung back into the guard's space: start over at home.
    for (const box* o : obstacles) {
        if (Collision::incollision(b, *o)) {
            g.vx = g.vy = g.vz = 0.0;
            b.x = g.homex;
            b.y = g.homey;
            b.z = g.homez;
            g.heading = g.homeheading;
            return;
        }
    }

    // Uphill along the scent: rows step along x, columns along z.
    const double sx = halfside(b.x);
    const double sz = halfside(b.z);
    const double gx = (s[6] + s[7] + s[8]) - (s[0] + s[1] + s[2]) + sx * (s[3] + s[4] + s[5]);
    const double gz = (s[2] + s[5] + s[8]) - (s[0] + s[3] + s[6]) + sz * (s[1] + s[4] + s[7]);
    // Unary minus on purpose: with no gradient atan2(+0, -0) is pi, so the guard heads just over 180.
    const double t = std::atan2(gx, -gz) * 57.29578;

    if (std::fabs(g.heading - t) < 180.0)
        g.heading = g.heading + (t - g.heading) * dt;
    else if (t < g.heading)
        g.heading = g.heading + (t + 360.0 - g.heading) * dt;
    else if (t > g.heading)
        g.heading = g.heading + (t - 360.0 - g.heading) * dt;
    g.heading = std::fmod(g.heading, 360.0);

    double top = 1.0;
    for (const box* o : obstacles) top = std::min(top, Collision::topcollision(b, *o, 0.01));
    const bool supported = top < 0.0;

    const double f = supported ? 0.008 / dt : 0.99;
    const double a = supported ? 50.0 * dt : dt;
    const double r = g.heading * 0.017453293;
    g.vx = (g.vx + a * std::sin(r)) * f;
    g.vz = (g.vz - a * std::cos(r)) * f;
    if (!supported) g.vy = g.vy - 5.0 * dt;

    const double cap = 0.5 / dt;
    g.vx = clampaxis(g.vx, cap);
    g.vy = clampaxis(g.vy, cap);
    g.vz = clampaxis(g.vz, cap);

    const double dx = g.vx * dt, dy = g.vy * dt, dz = g.vz * dt;
    const auto [px, py, pz] = Collision::deflect(b, dx, dy, dz, obstacles);
    g.vx = 0.999 * px / dt;
    // Below about 70 frames a second the first frames of a fall ask for less than
    // deflect's 0.001 cut-off; taking that zero back as vy would hang the guard in
    // the air for good (at a jump's top, off a ledge). Such a fall keeps its speed.
    const bool tooslow = !supported && py == 0.0 && std::fabs(dy) < 0.001;
    if (!tooslow) g.vy = 0.999 * py / dt;
    g.vz = 0.999 * pz / dt;

    if (supported) g.phase += dt;

    const bool blocked = supported && std::fabs(px) + std::fabs(pz) < 0.3 * (std::fabs(dx) + std::fabs(dz));
    if (blocked) {
        // The draw happens only here, so the sequence of jump decisions is reproducible.
        if (!g.jumped && dt >= random01()) {
            g.vy = 2.4;
            g.jumped = true;
        } else {
            g.heading = std::fmod(g.heading + 60.0 * dt, 360.0);
        }
    } else {
        g.jumped = false;
    }

    b.x += 0.999 * px;
    b.y += 0.999 * py;
    b.z += 0.999 * pz;
}

}  // namespace Badguy
