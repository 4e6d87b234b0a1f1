// motion.cpp -- the player's per-frame motion and the box a Dematterizer shot opens
#include <algorithm>  // min, max, clamp
#include <cmath>      // sin, cos

#include "player/collision.h"
#include "player/vesk.h"

namespace Vesk {

namespace {

constexpr double deg = 0.017453293;

// Which contact code wins when several boxes touch the player in one frame.
int priority(outcome code)
{
    switch (code) {
    case outcome::charge: return 4;
    case outcome::teleport: return 3;
    case outcome::bribe: return 2;
    case outcome::caught: return 1;
    default: return 0;
    }
}

// A capture: one chance less, and the game is lost at none.
outcome losechance(veskrec& v)
{
    v.chances = std::max(0, v.chances - 1);
    return v.chances == 0 ? outcome::lost : outcome::caught;
}

// Adds the walking velocity of the movement state, step per unit of speed.
void walk(veskrec& v, double step)
{
    const double S = std::sin(v.heading * deg), C = std::cos(v.heading * deg);
    double ax = 0.0, az = 0.0;
    switch (v.movestate) {
    case movestate::still: break;
    case movestate::forward: ax = S * step; az = -C * step; break;
    case movestate::forwardright: ax = (S + C) * 0.65 * step; az = (S - C) * 0.65 * step; break;
    case movestate::right: ax = C * 0.75 * step; az = S * 0.75 * step; break;
    case movestate::backright: ax = (C - S) * 0.45 * step; az = (C + S) * 0.45 * step; break;
    case movestate::back: ax = -S * 0.5 * step; az = C * 0.5 * step; break;
    case movestate::backleft: ax = -(C + S) * 0.45 * step; az = (C - S) * 0.45 * step; break;
    case movestate::left: ax = -C * 0.75 * step; az = -S * 0.75 * step; break;
    case movestate::forwardleft: ax = (S - C) * 0.65 * step; az = -(S + C) * 0.65 * step; break;
    }
    v.vx = v.vx + ax;
    v.vz = v.vz + az;
}

}  // namespace

outcome update(veskrec& v, double dt, const std::vector<const box*>& boxes, const std::vector<actionpair>& contacts)
{
    v.charge = std::min(v.charge + 0.07 * dt, 1.0);

    double s = 1.0;
    for (const box* b : boxes) s = std::min(s, Collision::topcollision(v.box, *b, 0.01));
    const bool standing = s < 0.0;

    // On the ground the walk sets the speed almost outright (friction 0.01/dt
    // leaves next to nothing of the last frame); in the air it only steers.
    const double step = standing ? 100.0 * dt : dt;
    const double friction = standing ? 0.01 / dt : 0.99;
    walk(v, step);
    v.vx = v.vx * friction;
    v.vz = v.vz * friction;

    if (standing) {
        v.vy = v.jumping ? 2.4 : 0.0;
        if (s < -0.005) v.box.y = v.box.y + 0.005;
    } else {
        v.vy = v.vy - 5.0 * dt;
    }

    const double limit = 0.5 / dt;
    v.vx = std::clamp(v.vx, -limit, limit);
    v.vy = std::clamp(v.vy, -limit, limit);
    v.vz = std::clamp(v.vz, -limit, limit);

    // Matter that swung back into reality around the player.
    for (const box* b : boxes)
        if (Collision::incollision(v.box, *b)) return losechance(v);

    const auto r = Collision::deflect(v.box, v.vx * dt, v.vy * dt, v.vz * dt, boxes);
    v.vx = r[0] / dt;
    v.vz = r[2] / dt;
    // Below about 70 frames a second the first frames of a fall ask for less
    // than deflect's 0.001 cut-off; taking the zero back as the new vy would
    // hang the player in the air for good (at a jump's top, over a pit). Such
    // a fall keeps its speed until it is big enough to make a step.
    const bool tooslow = !standing && r[1] == 0.0 && std::fabs(v.vy * dt) < 0.001;
    if (!tooslow) v.vy = r[1] / dt;
    v.box.x = v.box.x + r[0];
    v.box.y = v.box.y + r[1];
    v.box.z = v.box.z + r[2];

    outcome code = outcome::nothing;
    for (const actionpair& p : contacts)
        if (Collision::incollision(v.box, *p.box) && priority(p.code) > priority(code)) code = p.code;

    switch (code) {
    case outcome::teleport:
        if (v.charges >= 9) {
            v.charges = 0;
            return outcome::teleport;
        }
        return outcome::nothing;
    case outcome::caught: return losechance(v);
    case outcome::charge: v.charges = v.charges + 1; return outcome::charge;
    case outcome::bribe: v.chances = v.chances + 1; return outcome::bribe;
    default: return outcome::nothing;
    }
}

box dematterhull(const veskrec& v)
{
    const double h = v.heading * deg, p = v.pitch * deg;
    return {v.box.x + 0.6 * std::cos(p) * std::sin(h), v.box.y - 0.6 * std::sin(p),
            v.box.z - 0.6 * std::cos(p) * std::cos(h), 0.4, 0.4, 0.4};
}

}  // namespace Vesk
