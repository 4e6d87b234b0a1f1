// freeobj.cpp -- charges, bribes and teleporters: falling, and the code they touch the player with
#include "objects/freeobj.h"

#include <algorithm>  // max

#include "player/collision.h"

namespace Freeobj {

namespace {

// Teleporters are heavy-looking but drift down slowly, so a shot under one
// gives the player time to see it sink.
double gravity(int kind) { return kind == teleporter_kind ? 1.0 : 5.0; }

bool supported(const freeobjrec& o, const std::vector<const box*>& obstacles)
{
    for (const box* b : obstacles) {
        if (b == &o.box) continue;
        // Lying on something counts as well as being inside it: an object
        // settles a little above a top face, never exactly on it.
        if (Collision::incollision(o.box, *b) || Collision::topcollision(o.box, *b, 0.01) < 0.0) return true;
    }
    return false;
}

}  // namespace

void update(freeobjrec& o, double dt, const std::vector<const box*>& obstacles)
{
    if (o.dm > 0.0) return;  // out of reality: hangs, keeping its vy
    if (supported(o, obstacles)) {
        o.vy = 0.0;
        return;
    }
    // At most half a unit per frame, so a long frame cannot drop an object
    // through a floor.
    o.vy = std::max(o.vy - gravity(o.kind) * dt, -0.5 / dt);
    const auto d = Collision::deflect(o.box, 0.0, dt * o.vy, 0.0, obstacles);
    o.box.y += d[1];
}

::actionpair actionpair(freeobjrec& o)
{
    static const outcome codes[3] = {outcome::charge, outcome::bribe, outcome::teleport};
    return {&o.box, codes[(o.kind >= 0 && o.kind <= 2) ? o.kind : 0]};
}

}  // namespace Freeobj
