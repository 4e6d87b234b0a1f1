// quadtable_gl.h -- a box's faces as a table: normal, then four corners with texture coordinates
#pragma once

#include <GL/gl.h>

#include <cstddef>

struct quadcorner {
    double x, y, z, s, t;
};
struct quadface {
    double nx, ny, nz;
    quadcorner c[4];
};

// One group of quadrilaterals; texture coordinates only when textured.
template <std::size_t N> void drawquadtable(const quadface (&faces)[N], bool textured)
{
    glBegin(GL_QUADS);
        for (const quadface& f : faces) {
            glNormal3d(f.nx, f.ny, f.nz);
            for (const quadcorner& c : f.c) {
                if (textured) glTexCoord2d(c.s, c.t);
                glVertex3d(c.x, c.y, c.z);
            }
        }
    glEnd();
}
