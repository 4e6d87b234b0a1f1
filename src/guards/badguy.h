// badguy.h -- guards: how they follow the scent trail (sim side)
#pragma once

#include <array>
#include <vector>

#include "player/vesk.h"
#include "world/level.h"

namespace Badguy {
// One frame of one guard. scent[3*i + j] is the scent of cell (cx+i-1, cy, cz+j-1).
void update(badguyrec& g, double dt, const std::vector<const box*>& obstacles, const std::array<double, 9>& scent);
// The guard's own box with the code for being caught.
actionpair actionpair(badguyrec& g);
// The process-wide generator of the jump decisions: uniform in [0, 1), never seeded.
double random01();
}  // namespace Badguy
