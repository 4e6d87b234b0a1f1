// gameupdate.cpp -- one frame of play and level progression (stub until it lands)
#include "main/game.h"

namespace Game {
gameresult update(gamerec& g)
{
    g.time = now();
    return gameresult::playing;
}
void pressbutton(gamerec&, int) {}
void resumeplaying(gamerec& g) { g.time = now(); }
void restart(gamerec& g) { newgame_in_place(g); }
}  // namespace Game
