// fixedobj_gl.cpp -- bars and steps drawing (stub until it lands)
#include "objects/fixedobj_gl.h"

namespace Fixedobj {
void init() {}
void render(const fixedobjrec&, bool, bool) {}
void drawbarsxy(double, bool, bool, unsigned long) {}
void drawstep(double, bool, bool, unsigned long) {}
void drawybar(double, double, int) {}
void drawybartex(double, double, int) {}
void drawxbar(double, double, int) {}
void drawxbartex(double, double, int) {}
}  // namespace Fixedobj
