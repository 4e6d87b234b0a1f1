// wall.h -- the four wall kinds: their textures, materials and the unit face
#pragma once

namespace Wall {
// Loads the four normal then the four grey wall images; a missing one prints
// "Problem loading wall image <path>" and exits with status 0.
void init();
// Draws the unit face (plane x = 0, front towards -x) of a wall kind.
void render(int kind, bool textured, bool grey, double alpha);
void drawwall(bool textured, unsigned long handle);
}  // namespace Wall
