// game.h -- the game-state record and the functions that drive a running game
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "player/vesk.h"
#include "world/level.h"

struct gamerec {
    double time = 0.0;   // time of day of the last frame or resume, seconds
    veskrec vesk;
    int current = 0;     // index in levels
    std::vector<levelrec> levels;
};

enum class gameresult : int { playing = 0, won = 1, lost = 2, caught = 3, nextlevel = 4 };

namespace Game {

// Chooses the dungeon (first argument, else "Dungeon"), checks that <dir>/level0
// and <dir>/Data exist and enters it; otherwise the four lines and exit 1.
// args are the command-line arguments after the program name.
void find_dungeon(const std::vector<std::string>& args);
// find_dungeon, all levels, a fresh player at level 0's start. Start-up only.
gamerec load_newgame(const std::vector<std::string>& args);
// A fresh player placed at a level's start.
veskrec freshplayer(const levelrec& level);
// Reads the levels again and puts a new game into g; time is kept.
void newgame_in_place(gamerec& g);

// The time of day in seconds, microsecond resolution.
double now();

gameresult update(gamerec& g);
// One frame of dt seconds: all of update but the clock reading. A frame with
// no positive dt does nothing (the clock was set back). After a win or a loss
// the new game's levels come from newlevels when given, else from the files.
gameresult step(gamerec& g, double dt);
gameresult step(gamerec& g, double dt, const std::function<std::vector<levelrec>()>& newlevels);
void pressbutton(gamerec& g, int ignored = 0);
void resumeplaying(gamerec& g);
void restart(gamerec& g);

}  // namespace Game
