// texhelp_gl.cpp -- uploading PPM images as mipmapped textures, binding and deleting them
#include <GL/gl.h>
#include <GL/glu.h>  // gluBuild2DMipmaps

#include "render/texhelp.h"

#include <cstdio>
#include <cstdlib>

unsigned long loadPPMTexture(const std::string& path)
{
    int width = 0, height = 0;
    std::unique_ptr<unsigned char[]> pixels = readPPM(path, width, height);
    if (!pixels) return 0;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // PPM rows are packed with no padding; GL's default expects 4-byte rows.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // GLU scales any size to powers of two; its result is not examined.
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.get());
    return name;
}

unsigned long loadimage(const std::string& path)
{
    const unsigned long handle = loadPPMTexture(path);
    if (handle == 0) {
        std::fprintf(stderr, "Problem loading image %s\n", path.c_str());
        std::exit(0);
    }
    return handle;
}

void bind2dTexture(unsigned long handle) { glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(handle)); }

void deleteOneTexture(unsigned long handle)
{
    GLuint name = static_cast<GLuint>(handle);
    glDeleteTextures(1, &name);
}
