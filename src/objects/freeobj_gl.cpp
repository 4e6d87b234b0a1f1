// freeobj_gl.cpp -- free objects' textures, display lists and drawing at their place
#include "objects/freeobj_gl.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>  // exit
#include <string>

#include "render/texhelp.h"

namespace Freeobj {

namespace {

// Indexed by kind: charge, bribe, teleporter.
texpair images[3];
// First list of each run of three (one list per kind); 0 before init.
GLuint plainlists = 0, texturedlists = 0, greylists = 0, texturedgreylists = 0;

using modelfn = void (*)(double, bool, bool, unsigned long);
const modelfn models[3] = {drawcharge, drawbribe, drawteleporter};


GLuint listset(bool textured, bool grey)
{
    if (grey) return textured ? texturedgreylists : greylists;
    return textured ? texturedlists : plainlists;
}

int kindindex(int kind) { return (kind >= 0 && kind <= 2) ? kind : 0; }

}  // namespace

void init()
{
    const char* names[3] = {"charge", "bribe", "teleporter"};
    for (int k = 0; k < 3; ++k) {
        const std::string base = std::string("Data/") + names[k];
        images[k].normal = loadimage(base + ".ppm");
        images[k].grey = loadimage(base + "_grey.ppm");
    }

    plainlists = glGenLists(3);
    texturedlists = glGenLists(3);
    greylists = glGenLists(3);
    texturedgreylists = glGenLists(3);

    for (int k = 0; k < 3; ++k) {
        const struct {
            GLuint list;
            bool textured, grey;
            unsigned long handle;
        } sets[4] = {
            {plainlists, false, false, 0},
            {texturedlists, true, false, images[k].normal},
            {greylists, false, true, 0},
            {texturedgreylists, true, true, images[k].grey},
        };
        for (const auto& s : sets) {
            glNewList(s.list + k, GL_COMPILE);
                models[k](1.0, s.textured, s.grey, s.handle);
            glEndList();
        }
    }
}

void render(const freeobjrec& o, bool textured, bool grey)
{
    const int k = kindindex(o.kind);
    glPushMatrix();
        glTranslated(o.box.x, o.box.y, o.box.z);
        if (o.dm > 0.0) {
            // Fading in: its alpha changes every frame, so no display list.
            models[k](1.0 - o.dm, textured, grey, grey ? images[k].grey : images[k].normal);
        } else {
            glCallList(listset(textured, grey) + k);
        }
    glPopMatrix();
}

}  // namespace Freeobj
