// render_gl.h -- drawing a level from the player's eye
#pragma once

#include "player/vesk.h"
#include "world/level.h"

namespace Level {
void render(levelrec& level, const veskrec& player, int width, int height, int border, bool lighting,
            bool textured, bool grey, double eyeoffset);
void drawcube(const levelrec& level, bool textured, bool grey, int x, int y, int z);
}  // namespace Level
