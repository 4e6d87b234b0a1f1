// fixedobj_gl.h -- bars and steps: textures, display lists and drawing
#pragma once

#include "world/level.h"

namespace Fixedobj {
void init();
void render(const fixedobjrec& o, bool textured, bool grey);
void drawbarsxy(double alpha, bool textured, bool grey, unsigned long handle);
void drawstep(double alpha, bool textured, bool grey, unsigned long handle);
void drawybar(double x, double r, int n);
void drawybartex(double x, double r, int n);
void drawxbar(double y, double r, int n);
void drawxbartex(double y, double r, int n);
}  // namespace Fixedobj
