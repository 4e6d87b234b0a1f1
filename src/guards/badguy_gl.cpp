// badguy_gl.cpp -- the guard figure (stub until it lands)
#include "guards/badguy_gl.h"

namespace Badguy {
void init() {}
void render(const badguyrec&, bool, bool) {}
}  // namespace Badguy
