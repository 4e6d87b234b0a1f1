// wall_gl.cpp -- wall faces (stub until it lands)
#include "render/wall.h"

namespace Wall {
void init() {}
void render(int, bool, bool, double) {}
void drawwall(bool, unsigned long) {}
}  // namespace Wall
