// tex_gl.cpp -- texture parameters set once at start-up
#include "render/tex.h"

#include <GL/gl.h>

namespace Tex {

// At start-up no texture is bound, so these land on the default texture
// object only; the image textures keep GL's initial parameters.
void setparam()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
}

}  // namespace Tex
