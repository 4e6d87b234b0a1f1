// badguy_gl.h -- the guard figure: tubes, the sixteen display lists, drawing a guard
#pragma once

#include "world/level.h"

namespace Badguy {
// Loads "Data/guard.ppm" and "Data/guard_grey.ppm" and compiles the figure's lists.
void init();
void render(const badguyrec& g, bool textured, bool grey);
}  // namespace Badguy
