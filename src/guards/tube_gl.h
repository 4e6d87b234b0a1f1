// tube_gl.h -- drawing a tube's side and caps in immediate mode
#pragma once

#include "guards/tube.h"

namespace Badguy {

// Each vertex goes out as normal, (texture variants only) texture coordinate,
// vertex. No other GL state is touched: colour, material and texturing are the
// caller's. n is the number of sides the tube was made with.

// One triangle strip between each pair of neighbouring rings.
void drawopentube(const tubearrays& tube, int n);
void drawopentubetex(const tubearrays& tube, int n);
// A fan from the start apex over the first ring.
void drawfirstcap(const tubearrays& tube, int n);
void drawfirstcaptex(const tubearrays& tube, int n);
// A fan from the end apex over the last ring, taken backwards so it faces out.
void drawlastcap(const tubearrays& tube, int n);
void drawlastcaptex(const tubearrays& tube, int n);

}  // namespace Badguy
