// view_gl.cpp -- the eye transform, the portrait texture and the status panels in the border strips
#include "player/view.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "render/texhelp.h"

namespace Vesk {

namespace {

texpair portrait;   // written once by init


// A viewport with identity matrices and a flat orthographic range.
void panel(int x, int y, int w, int h, double right, double top)
{
    glViewport(x, y, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, right, 0.0, top, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// The Dematterizer's charge: red to yellow up to the one-shot mark at 7.66,
// yellow to green beyond it.
void chargebar(const veskrec& v, int width, int border, bool grey)
{
    panel(0, 0, width - border, border, 19.0, 1.0);
    if (grey) {
        glShadeModel(GL_FLAT);
        glColor3d(1.0, 1.0, 1.0);
    } else {
        glShadeModel(GL_SMOOTH);
        glColor3d(1.0, 0.0, 0.0);
    }
    glBegin(GL_QUAD_STRIP);
        glVertex2d(0.1, 0.1);
        glVertex2d(0.1, 0.9);
        if (!grey) glColor3d(1.0, 1.0, 0.0);
        if (v.charge >= 0.4) {
            glVertex2d(7.66, 0.1);
            glVertex2d(7.66, 0.9);
            if (!grey) glColor3d(0.0, 1.0, 0.0);
        }
        const double end = 0.1 + 18.9 * v.charge;
        glVertex2d(end, 0.1);
        glVertex2d(end, 0.9);
    glEnd();
    glShadeModel(GL_FLAT);
}

// One portrait per chance left, stacked from the bottom, ten at most.
void chances(const veskrec& v, int width, int height, int border, bool grey)
{
    panel(width - border, border, border, height - border, 1.0, 10.0);
    glEnable(GL_TEXTURE_2D);
    bind2dTexture(grey ? portrait.grey : portrait.normal);
    glColor3d(1.0, 1.0, 1.0);
    glBegin(GL_QUADS);
        for (int i = 1; i <= std::min(v.chances, 10); ++i) {
            glTexCoord2d(0.0, 0.0);
            glVertex2d(0.0, i - 1);
            glTexCoord2d(0.0, 1.0);
            glVertex2d(0.0, i);
            glTexCoord2d(1.0, 1.0);
            glVertex2d(1.0, i);
            glTexCoord2d(1.0, 0.0);
            glVertex2d(1.0, i - 1);
        }
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

// One square per teleporter charge, 3 by 3 from the bottom left, nine at most.
void teleportercharges(const veskrec& v, int width, int border, bool grey)
{
    panel(width - border, 0, border, border, 1.0, 1.0);
    glBegin(GL_QUADS);
        for (int k = 0; k <= std::min(v.charges - 1, 8); ++k) {
            const double x0 = 0.1 + 0.3 * (k % 3), y0 = 0.1 + 0.3 * (k / 3);
            if (grey)
                glColor3d(1.0, 1.0, 1.0);
            else
                glColor3d(1.4 * x0, 1.4 * y0, 1.0);
            glVertex2d(x0, y0);
            glVertex2d(x0 + 0.2, y0);
            glVertex2d(x0 + 0.2, y0 + 0.2);
            glVertex2d(x0, y0 + 0.2);
        }
    glEnd();
}

}  // namespace

void init()
{
    portrait.normal = loadimage("Data/vesk.ppm");
    portrait.grey = loadimage("Data/vesk_grey.ppm");
}

void transform_to_eye(const veskrec& v)
{
    const eyerec eye = get_eye(v);
    glRotated(eye.pitch, 1.0, 0.0, 0.0);
    glRotated(eye.heading, 0.0, 1.0, 0.0);
    glTranslated(-eye.x, -eye.y, -eye.z);
}

void render(const veskrec& v, int width, int height, int border, bool grey)
{
    chargebar(v, width, border, grey);
    chances(v, width, height, border, grey);
    teleportercharges(v, width, border, grey);
}

}  // namespace Vesk
