// autoplayer.h -- a player made of code: plans on the level grid, steers by heading, presses only what a player can
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "scenario.h"

namespace Autoplay {

// The whole dungeon, freshly made, for every new game.
using dungeonfn = std::function<std::vector<levelrec>()>;
// From built level files level0, level1, ... in dir, read by the game's reader.
dungeonfn fromfiles(const std::string& dir);
// From the level sources (*.lvl, in name order) in dir, through the level encoding.
dungeonfn fromsources(const std::string& dir);

struct levelreport {
    int level = 0;
    double gametime = 0.0;  // seconds of game time spent on the level
    int frames = 0;
    int chanceslost = 0;
    int shots = 0;          // shots that fired
    int replans = 0;
    bool done = false;      // teleported out
};

struct runreport {
    std::vector<levelreport> levels;
    bool won = false;
    std::string failure;  // names the level and why, when not won
};

// Plays from level 0 until the dungeon is won, a game is lost, or a level takes
// more than `limit` seconds of game time. `log`, when given, receives progress lines.
runreport play(const dungeonfn& dungeon, scenario::timing times, double limit,
               const std::function<void(const std::string&)>& log = {});

}  // namespace Autoplay
