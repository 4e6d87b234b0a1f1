// wall_gl.cpp -- the four wall kinds: their textures, materials and the unit face
#include "render/wall.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "render/texhelp.h"

namespace Wall {

namespace {

constexpr int nkinds = 4;
const char* const imagenames[nkinds] = {"stone", "blocks", "tiles", "slimepuddle"};

struct material {
    float shininess;
    float diffuse[3], diffusegrey[3];    // ambient and diffuse
    float specular[3], speculargrey[3];
};

const material materials[nkinds] = {
    {1.0f, {0.45f, 0.4f, 0.4f}, {0.45f, 0.45f, 0.45f}, {0.1f, 0.1f, 0.0f}, {0.1f, 0.1f, 0.1f}},
    {3.0f, {0.65f, 0.6f, 0.5f}, {0.65f, 0.65f, 0.65f}, {0.2f, 0.1f, 0.0f}, {0.1f, 0.1f, 0.1f}},
    {3.0f, {0.85f, 0.8f, 0.75f}, {0.8f, 0.8f, 0.8f}, {1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f}},
    {5.0f, {0.8f, 0.85f, 0.75f}, {0.85f, 0.85f, 0.85f}, {1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f}},
};

unsigned long normaltex[nkinds] = {0, 0, 0, 0};
unsigned long greytex[nkinds] = {0, 0, 0, 0};

// The unit face in the plane x = 0; seen from -x the corners run
// counter-clockwise, and each normal leans towards its own corner.
struct corner {
    double x, y, z, nx, ny, nz, s, t;
};
const corner face[4] = {
    {0.0, 0.5, 0.5, 0.95, 0.22079402, 0.22079402, 1.0, 1.0},
    {0.0, 0.5, -0.5, 0.95, 0.22079402, -0.22079402, 0.0, 1.0},
    {0.0, -0.5, -0.5, 0.95, -0.22079402, -0.22079402, 0.0, 0.0},
    {0.0, -0.5, 0.5, 0.95, -0.22079402, 0.22079402, 1.0, 0.0},
};

void loadall(unsigned long (&handles)[nkinds], const char* suffix)
{
    for (int kind = 0; kind < nkinds; ++kind) {
        std::string path = std::string("Data/") + imagenames[kind] + suffix + ".ppm";
        handles[kind] = loadPPMTexture(path);
        if (handles[kind] == 0) {
            std::fprintf(stderr, "Problem loading wall image %s\n", path.c_str());
            std::exit(0);
        }
    }
}

void withalpha(const float (&rgb)[3], double alpha, float (&out)[4])
{
    out[0] = rgb[0];
    out[1] = rgb[1];
    out[2] = rgb[2];
    out[3] = static_cast<float>(alpha);
}

}  // namespace

void init()
{
    loadall(normaltex, "");
    loadall(greytex, "_grey");
}

void render(int kind, bool textured, bool grey, double alpha)
{
    // Level data never hold another kind; such a face has no look, so draw nothing.
    if (kind < 0 || kind >= nkinds) return;
    const material& m = materials[kind];
    float diffuse[4], specular[4];
    withalpha(grey ? m.diffusegrey : m.diffuse, alpha, diffuse);
    withalpha(grey ? m.speculargrey : m.specular, alpha, specular);

    // The colour shows when lighting is off; a texture carries its own colours.
    if (textured)
        glColor4f(1.0f, 1.0f, 1.0f, static_cast<float>(alpha));
    else
        glColor4fv(diffuse);
    glMaterialf(GL_FRONT, GL_SHININESS, m.shininess);
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    drawwall(textured, grey ? greytex[kind] : normaltex[kind]);
}

void drawwall(bool textured, unsigned long handle)
{
    if (textured) {
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        bind2dTexture(handle);
    }
    glBegin(GL_QUADS);
        for (const corner& c : face) {
            glNormal3d(c.nx, c.ny, c.nz);
            if (textured) glTexCoord2d(c.s, c.t);
            glVertex3d(c.x, c.y, c.z);
        }
    glEnd();
    if (textured) glDisable(GL_TEXTURE_2D);
}

}  // namespace Wall
