// freeobj_gl.h -- free objects' textures, display lists and drawing
#pragma once

#include "world/level.h"

namespace Freeobj {
void init();
void render(const freeobjrec& o, bool textured, bool grey);
void drawcharge(double alpha, bool textured, bool grey, unsigned long handle);
void drawbribe(double alpha, bool textured, bool grey, unsigned long handle);
void drawteleporter(double alpha, bool textured, bool grey, unsigned long handle);
}  // namespace Freeobj
