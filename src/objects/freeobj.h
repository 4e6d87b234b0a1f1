// freeobj.h -- charges, bribes and teleporters: falling and their contact codes (sim side)
#pragma once

#include <vector>

#include "player/vesk.h"
#include "world/level.h"

namespace Freeobj {
void update(freeobjrec& o, double dt, const std::vector<const box*>& obstacles);
actionpair actionpair(freeobjrec& o);
}  // namespace Freeobj
