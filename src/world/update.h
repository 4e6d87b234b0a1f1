// update.h -- the Dematterizer and the per-frame update of everything on a level
#pragma once

#include <vector>

#include "player/vesk.h"
#include "world/level.h"

namespace Level {

// The cells around a box (decreasing x, then y, then z) and the boxes that
// block there (fixed objects' boxes first, then new unit boxes of impermeable
// cells). The unit boxes are owned by the result; fixed objects' boxes are the
// objects' own.
struct cubelistrec {
    cubelistrec() = default;
    cubelistrec(cubelistrec&&) = default;  // moving keeps the unit boxes where they are
    cubelistrec& operator=(cubelistrec&&) = default;
    cubelistrec(const cubelistrec&) = delete;  // a copy's obstacles would point into the original
    cubelistrec& operator=(const cubelistrec&) = delete;

    std::vector<cuberec*> cells;
    std::vector<const box*> obstacles;
    std::vector<box> cellboxes;  // storage for the unit boxes
};
cubelistrec cubelist(levelrec& level, const box& b);

void updatedm(levelrec& level, veskrec& player, double dt);
void movefreeobj(levelrec& level, double dt);
void movebadguys(levelrec& level, veskrec& player, double dt);
outcome movevesk(levelrec& level, veskrec& player, double dt);
// Puts the player at the level's start: position, heading, zero velocity.
void init_vesk(const levelrec& level, veskrec& player);
outcome update(levelrec& level, veskrec& player, double dt);
void dematterize(levelrec& level, const box& shot);

}  // namespace Level
