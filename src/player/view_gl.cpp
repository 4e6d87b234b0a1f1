// view_gl.cpp -- the eye transform and the status panels (stub until it lands)
#include "player/view.h"

namespace Vesk {
void init() {}
void transform_to_eye(const veskrec&) {}
void render(const veskrec&, int, int, int, bool) {}
}  // namespace Vesk
