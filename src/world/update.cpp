// update.cpp -- dematterizing and the per-frame world update
#include "world/update.h"

namespace Level {

void init_vesk(const levelrec& level, veskrec& player)
{
    player.box.x = level.startx;
    player.box.y = level.starty;
    player.box.z = level.startz;
    player.heading = level.startheading;
    player.vx = player.vy = player.vz = 0.0;
}

}  // namespace Level
