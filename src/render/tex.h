// tex.h -- texture parameters set once at start-up
#pragma once

namespace Tex {
// Sets the four parameters on GL_TEXTURE_2D while no texture object is bound.
void setparam();
}
