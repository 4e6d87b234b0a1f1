// scenario.h -- a headless runner: a dungeon in memory, inputs on a frame timeline, the game's own frame step
//
// Use:
//   scenario::runner r = scenario::start(dungeon, scenario::timing::fixed(0.011));
//   r.inputs = {scenario::press(0, scenario::key::up), scenario::release(40, scenario::key::up)};
//   scenario::run(r, 200);                       // 200 frames
//   scenario::run(r, 500, [](scenario::runner& r, gameresult res) {
//       return res == gameresult::caught;        // stop after the frame that returns caught
//   });
//
// Every frame: the inputs whose `frame` equals the number of frames stepped so
// far are applied in list order (key presses and releases through Vesk::startfwd
// and friends, pointer motion through Vesk::movemouse, shots through
// Game::pressbutton), a dt is drawn, and Game::step runs the frame exactly as
// the game's timer tick does. A win or a loss puts a new game in place with
// fresh levels from `dungeon`, as the game does with the files.
#pragma once

#include <functional>
#include <random>
#include <utility>
#include <vector>

#include "main/game.h"

namespace scenario {

// The frame times: one fixed dt, or a ragged dt drawn uniformly from
// [lo, hi] by a generator with the given seed (same seed, same frames).
struct timing {
    double dt = 0.011;
    bool ragged = false;
    unsigned seed = 1;
    double lo = 0.001, hi = 0.1;

    static timing fixed(double dt) { return {dt, false, 1, 0.001, 0.1}; }
    static timing varied(unsigned seed, double lo = 0.001, double hi = 0.1) { return {0.0, true, seed, lo, hi}; }
};

enum class key { up, down, left, right, jump };

// One input, applied just before frame `frame` (counted from 0) is stepped.
struct input {
    enum kind_t { press, release, pointer, shoot } kind;
    int frame;
    scenario::key key = key::up;  // press, release
    int dx = 0, dy = 0;           // pointer, in pixels (x right, y down)
};
inline input press(int frame, key k) { return {input::press, frame, k}; }
inline input release(int frame, key k) { return {input::release, frame, k}; }
inline input pointer(int frame, int dx, int dy) { return {input::pointer, frame, key::up, dx, dy}; }
inline input shoot(int frame) { return {input::shoot, frame}; }

// Applies one input to a game as the window's bindings do.
void apply(gamerec& g, const input& in);

struct runner {
    gamerec game;
    std::function<std::vector<levelrec>()> dungeon;  // fresh levels for every new game
    timing times;
    std::mt19937 rng;
    std::vector<input> inputs;                      // any order; matched by frame
    int frame = 0;                                  // frames stepped so far
    double elapsed = 0.0;                           // sum of their dt
    double lastdt = 0.0;                            // dt of the last frame
    std::vector<std::pair<int, gameresult>> events; // (frame, result) of every frame not `playing`
};

// A game on a fresh copy of the dungeon: fresh player at level 0's start.
runner start(std::function<std::vector<levelrec>()> dungeon, timing t);
// One frame: inputs of this frame, a dt, Game::step. Returns the frame's result.
gameresult step(runner& r);
// Steps up to `frames` frames; stops early after a frame for which `until`
// (when given) returns true. Returns the number of frames stepped.
int run(runner& r, int frames, const std::function<bool(runner&, gameresult)>& until = {});

// A level as the game would read it from a file: encoded with the level
// writer and decoded with the game's reader (which checks its invariants).
levelrec roundtrip(const levelrec& level);

}  // namespace scenario
