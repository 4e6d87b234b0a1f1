// gameupdate.cpp -- one frame of play, level progression, the fire button, resume and restart
#include "main/game.h"

#include "world/update.h"

namespace Game {

namespace {

// A new game in place: a fresh player at level 0 of the given levels; time stays.
void newgame_from(gamerec& g, std::vector<levelrec> levels)
{
    g.vesk = freshplayer(levels.at(0));
    g.current = 0;
    g.levels = std::move(levels);
}

template <class Newgame>
gameresult play(gamerec& g, double dt, Newgame newgame)
{
    if (!(dt > 0.0)) return gameresult::playing;  // every rate divides by dt
    const outcome r = Level::update(g.levels.at(g.current), g.vesk, dt);
    switch (r) {
    case outcome::teleport:
        if (g.current == static_cast<int>(g.levels.size()) - 1) {
            newgame();
            return gameresult::won;
        }
        g.current = g.current + 1;
        Level::init_vesk(g.levels.at(g.current), g.vesk);
        return gameresult::nextlevel;
    case outcome::caught: return gameresult::caught;  // already back at the level's start
    case outcome::lost: newgame(); return gameresult::lost;
    default: return gameresult::playing;  // charges and bribes were taken by the world update
    }
}

}  // namespace

gameresult step(gamerec& g, double dt)
{
    return play(g, dt, [&g] { newgame_in_place(g); });
}

gameresult step(gamerec& g, double dt, const std::function<std::vector<levelrec>()>& newlevels)
{
    return play(g, dt, [&g, &newlevels] { newgame_from(g, newlevels()); });
}

gameresult update(gamerec& g)
{
    const double t = now();
    const double dt = t - g.time;
    g.time = t;
    return step(g, dt);
}

void pressbutton(gamerec& g, int)
{
    if (Vesk::fire(g.vesk)) Level::dematterize(g.levels.at(g.current), Vesk::dematterhull(g.vesk));
}

void resumeplaying(gamerec& g) { g.time = now(); }

void restart(gamerec& g) { newgame_in_place(g); }

}  // namespace Game
