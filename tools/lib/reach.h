// reach.h -- can a level be finished? Where Vesk can get to from the start
#pragma once

#include <string>
#include <vector>

#include "world/level.h"

namespace Reach {

// Vesk's reach as level design counts on it: he walks, falls any height, and
// jumps onto anything at most 0.55 above his feet (a jump rises 0.576, so a
// step of 0.5 but never a whole cube) with room above him; his box is 0.6 high.
// With the Dematterizer he also passes through inner cells, bars and steps
// (shooting them) and drops through a floor of them; the outermost cells
// never open.
struct result {
    int charges = 0, teleporters = 0;                // on the level
    std::vector<const freeobjrec*> reached, missed;  // charges and teleporters, in the level's list order
    int reachedcharges = 0, reachedteleporters = 0;
};
result reach(const levelrec& level, bool dematterizer = true);

// The problems with a level, one line each, each beginning with `name`: fewer
// than nine charges or no teleporter within reach, naming what is out of reach.
std::vector<std::string> problems(const levelrec& level, const std::string& name);

}  // namespace Reach
