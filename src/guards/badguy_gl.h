// badguy_gl.h -- the guard figure: tubes, the sixteen display lists, drawing a guard
#pragma once

#include "world/level.h"

namespace Badguy {

// Reserves four blocks of four lists (one block per variant: plain, textured,
// grey, grey textured), loads "Data/guard.ppm" and "Data/guard_grey.ppm" (exit 0
// with "Problem loading image ..." when one fails) and compiles torso, upper
// head, arms and legs into them. Needs a current GL context; call once.
void init();
// One guard at its box centre, facing its heading, posed from its phase.
// Leaves the modelview matrix as it found it. Needs init.
void render(const badguyrec& g, bool textured, bool grey);

// The four parts in model space (the figure faces -x, origin at the box
// centre); only init calls them, while compiling. texture is 0 when untextured.
void drawtorso(bool textured, bool grey, unsigned long texture);
void drawupperhead(bool textured, bool grey, unsigned long texture);
void drawarms(bool textured, bool grey, unsigned long texture);
void drawlegs(bool textured, bool grey, unsigned long texture);

}  // namespace Badguy
