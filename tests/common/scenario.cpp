// scenario.cpp -- a headless runner: a dungeon in memory, inputs on a frame timeline, the game's own frame step
#include "scenario.h"

#include "levelwriter.h"
#include "player/vesk.h"
#include "world/levelfile.h"

namespace scenario {

void apply(gamerec& g, const input& in)
{
    veskrec& v = g.vesk;
    switch (in.kind) {
    case input::press:
        switch (in.key) {
        case key::up: Vesk::startfwd(v); break;
        case key::down: Vesk::startback(v); break;
        case key::left: Vesk::startleft(v); break;
        case key::right: Vesk::startright(v); break;
        case key::jump: Vesk::startjump(v); break;
        }
        break;
    case input::release:
        switch (in.key) {
        case key::up: Vesk::endfwd(v); break;
        case key::down: Vesk::endback(v); break;
        case key::left: Vesk::endleft(v); break;
        case key::right: Vesk::endright(v); break;
        case key::jump: Vesk::endjump(v); break;
        }
        break;
    case input::pointer: Vesk::movemouse(v, in.dx, in.dy); break;
    case input::shoot: Game::pressbutton(g); break;
    }
}

runner start(std::function<std::vector<levelrec>()> dungeon, timing t)
{
    runner r;
    r.dungeon = std::move(dungeon);
    r.times = t;
    r.rng.seed(t.seed);
    r.game.levels = r.dungeon();
    r.game.vesk = Game::freshplayer(r.game.levels.at(0));
    r.game.current = 0;
    return r;
}

gameresult step(runner& r)
{
    for (const input& in : r.inputs)
        if (in.frame == r.frame) apply(r.game, in);
    double dt = r.times.dt;
    if (r.times.ragged) dt = std::uniform_real_distribution<double>(r.times.lo, r.times.hi)(r.rng);
    const gameresult res = Game::step(r.game, dt, r.dungeon);
    if (res != gameresult::playing) r.events.emplace_back(r.frame, res);
    r.frame = r.frame + 1;
    r.elapsed = r.elapsed + dt;
    r.lastdt = dt;
    return res;
}

int run(runner& r, int frames, const std::function<bool(runner&, gameresult)>& until)
{
    for (int i = 0; i < frames; ++i) {
        const gameresult res = step(r);
        if (until && until(r, res)) return i + 1;
    }
    return frames;
}

levelrec roundtrip(const levelrec& level)
{
    const std::vector<unsigned char> bytes = Levelwriter::encode_level(level);
    return Level::decode_level(bytes.data(), bytes.size());
}

}  // namespace scenario
