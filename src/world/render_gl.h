// render_gl.h -- drawing a level from the player's eye
#pragma once

#include "player/vesk.h"
#include "world/level.h"

namespace Level {

// The sections of a frame, in the order they end.
enum framesection : int {
    section_setup,        // clearing, viewport, lights, fog, matrices
    section_visibility,   // the visibility search
    section_opaque,       // the opaque pass
    section_translucent,  // the translucent pass
    section_overlay,      // state reset and the dark overlay inside matter
    section_panels,       // the status panels (Game::render)
};
// Profiling hook for the frame benchmark (bench/framebench_tk.cpp): when set,
// called as each section of a frame ends. The game never sets it, so a frame
// pays one test of a null pointer per section and draws exactly the same.
extern void (*frameprobe)(framesection section);

void render(levelrec& level, const veskrec& player, int width, int height, int border, bool lighting,
            bool textured, bool grey, double eyeoffset);
void drawcube(const levelrec& level, bool textured, bool grey, int x, int y, int z);
// The faces of a cube selected by mask (bit i: face i of the walls array).
constexpr unsigned allfaces = 63u;
void drawfaces(const levelrec& level, bool textured, bool grey, int x, int y, int z, unsigned mask);
// The faces of cell (x, y, z) whose front can face an eye at (ex, ey, ez).
unsigned facingfaces(double ex, double ey, double ez, int x, int y, int z);
}  // namespace Level
