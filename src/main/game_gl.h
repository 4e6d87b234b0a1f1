// game_gl.h -- drawing one frame of the running game
#pragma once

#include <functional>

#include "main/game.h"

namespace Game {
// Clears, draws the level (twice through red and blue masks when grey),
// the status panels, then calls swapbuffers.
void render(gamerec& g, int width, int height, const std::function<void()>& swapbuffers, bool lighting,
            bool textured, bool grey);
// The one-time graphics start-up, in order: Tex.setparam, Wall.init,
// Vesk.init, Fixedobj.init, Freeobj.init, Badguy.init.
void init();
}  // namespace Game
