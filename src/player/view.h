// view.h -- the player's eye transform, portrait texture and status panels (GL side)
#pragma once

#include "player/vesk.h"

namespace Vesk {
// Loads the portrait pair "Data/vesk.ppm" and "Data/vesk_grey.ppm"; exit 0 on failure.
void init();
// Multiplies the current matrix by pitch about x, heading about y, minus the eye.
void transform_to_eye(const veskrec& v);
// Charge bar, chances column and teleporter-charge panel in the border strips.
void render(const veskrec& v, int width, int height, int border, bool grey);
}  // namespace Vesk
