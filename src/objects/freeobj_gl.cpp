// freeobj_gl.cpp -- free objects' drawing (stub until it lands)
#include "objects/freeobj_gl.h"

namespace Freeobj {
void init() {}
void render(const freeobjrec&, bool, bool) {}
void drawcharge(double, bool, bool, unsigned long) {}
void drawbribe(double, bool, bool, unsigned long) {}
void drawteleporter(double, bool, bool, unsigned long) {}
}  // namespace Freeobj
