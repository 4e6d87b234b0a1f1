// fixedobj_gl.cpp -- bars and steps: textures, display lists, models and drawing at their place
#include "objects/fixedobj_gl.h"

#include <GL/gl.h>

#include <cmath>    // sin, cos
#include <cstdio>
#include <cstdlib>  // exit
#include <string>

#include "objects/quadtable_gl.h"
#include "render/texhelp.h"

namespace Fixedobj {

namespace {

const double pi = 3.1415926535897;

texpair bars, stepimage;
// First list of each run of two: the bar grid, then the step. 0 before init.
GLuint plainlists = 0, texturedlists = 0, greylists = 0, texturedgreylists = 0;

struct rgb {
    double r, g, b;
};

rgb pick(bool grey, rgb plain, rgb greyed) { return grey ? greyed : plain; }

void colour(rgb c, double alpha) { glColor4d(c.r, c.g, c.b, alpha); }

void material(GLenum what, rgb c, double fourth)
{
    const GLfloat v[4] = {GLfloat(c.r), GLfloat(c.g), GLfloat(c.b), GLfloat(fourth)};
    glMaterialfv(GL_FRONT, what, v);
}

void starttexture(unsigned long handle)
{
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    bind2dTexture(handle);
}

double ringangle(int i, int n) { return 2.0 * pi * (i % n) / n; }


GLuint listset(bool textured, bool grey)
{
    if (grey) return textured ? texturedgreylists : greylists;
    return textured ? texturedlists : plainlists;
}

// A bar along y, textured or not: the two variants differ only in the side.
void ybar(double x0, double r, int n, bool textured)
{
    glBegin(GL_TRIANGLE_FAN);
        glNormal3d(0.0, -1.0, 0.0);
        glVertex3d(x0, -0.5, 0.0);
        for (int i = 0; i <= n; ++i) {
            const double a = ringangle(i, n);
            glVertex3d(x0 + r * std::cos(a), -0.5, r * std::sin(a));
        }
    glEnd();
    if (textured) glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUAD_STRIP);
        for (int i = 0; i <= n; ++i) {
            const double b = -ringangle(i, n), c = std::cos(b), s = std::sin(b);
            const double u = 6.3 * r * i / n;  // about one unit of image per unit of girth
            glNormal3d(c, 0.0, s);
            if (textured) glTexCoord2d(u, 1.0);
            glVertex3d(x0 + r * c, 0.5, r * s);
            glNormal3d(c, 0.0, s);
            if (textured) glTexCoord2d(u, 0.0);
            glVertex3d(x0 + r * c, -0.5, r * s);
        }
    glEnd();
    if (textured) glDisable(GL_TEXTURE_2D);
    glBegin(GL_TRIANGLE_FAN);
        glNormal3d(0.0, 1.0, 0.0);
        glVertex3d(x0, 0.5, 0.0);
        for (int i = 0; i <= n; ++i) {
            const double b = -ringangle(i, n);
            glVertex3d(x0 + r * std::cos(b), 0.5, r * std::sin(b));
        }
    glEnd();
}

void xbar(double y0, double r, int n, bool textured)
{
    glBegin(GL_TRIANGLE_FAN);
        glNormal3d(-1.0, 0.0, 0.0);
        glVertex3d(-0.5, y0, 0.0);
        for (int i = 0; i <= n; ++i) {
            const double a = ringangle(i, n);
            glVertex3d(-0.5, y0 + r * std::cos(a), -r * std::sin(a));
        }
    glEnd();
    if (textured) glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUAD_STRIP);
        for (int i = 0; i <= n; ++i) {
            const double a = ringangle(i, n), c = std::cos(a), s = std::sin(a);
            const double u = 6.3 * r * i / n;
            glNormal3d(0.0, c, -s);
            if (textured) glTexCoord2d(u, 1.0);
            glVertex3d(-0.5, y0 + r * c, -r * s);
            glNormal3d(0.0, c, -s);
            if (textured) glTexCoord2d(u, 0.0);
            glVertex3d(0.5, y0 + r * c, -r * s);
        }
    glEnd();
    if (textured) glDisable(GL_TEXTURE_2D);
    glBegin(GL_TRIANGLE_FAN);
        glNormal3d(1.0, 0.0, 0.0);
        glVertex3d(0.5, y0, 0.0);
        for (int i = 0; i <= n; ++i) {
            const double a = ringangle(i, n);
            glVertex3d(0.5, y0 + r * std::cos(a), r * std::sin(a));
        }
    glEnd();
}

}  // namespace

void drawybar(double x, double r, int n) { ybar(x, r, n, false); }
void drawybartex(double x, double r, int n) { ybar(x, r, n, true); }
void drawxbar(double y, double r, int n) { xbar(y, r, n, false); }
void drawxbartex(double y, double r, int n) { xbar(y, r, n, true); }

void drawbarsxy(double alpha, bool textured, bool grey, unsigned long handle)
{
    if (textured) {
        starttexture(handle);
        colour({1.0, 1.0, 1.0}, alpha);
    } else {
        colour(pick(grey, {0.7, 0.6, 0.1}, {0.6, 0.6, 0.6}), alpha);
    }
    material(GL_AMBIENT_AND_DIFFUSE, pick(grey, {0.5, 0.4, 0.1}, {0.5, 0.5, 0.5}), alpha);
    material(GL_SPECULAR, pick(grey, {0.9, 0.8, 0.3}, {0.9, 0.9, 0.9}), alpha);
    glMaterialf(GL_FRONT, GL_SHININESS, 20.0f);

    const double at[4] = {-0.375, -0.125, 0.125, 0.375};
    for (double x : at) textured ? drawybartex(x, 0.025, 9) : drawybar(x, 0.025, 9);
    for (double y : at) textured ? drawxbartex(y, 0.025, 9) : drawxbar(y, 0.025, 9);

    if (textured) glDisable(GL_TEXTURE_2D);
}

void drawstep(double alpha, bool textured, bool grey, unsigned long handle)
{
    if (textured) {
        starttexture(handle);
        colour({1.0, 1.0, 1.0}, alpha);
    } else {
        colour(pick(grey, {0.5, 0.45, 0.3}, {0.45, 0.45, 0.45}), alpha);
    }
    material(GL_AMBIENT_AND_DIFFUSE, pick(grey, {0.5, 0.45, 0.3}, {0.45, 0.45, 0.45}), alpha);
    // The step's highlight never fades with it.
    material(GL_SPECULAR, pick(grey, {0.1, 0.1, 0.0}, {0.1, 0.1, 0.1}), 1.0);
    glMaterialf(GL_FRONT, GL_SHININESS, 1.0f);

    // Sides show the lower half of the image, top and bottom all of it.
    static const quadface faces[6] = {
        {-1, 0, 0, {{-0.5, -0.25, -0.5, 0, 0}, {-0.5, -0.25, 0.5, 1, 0}, {-0.5, 0.25, 0.5, 1, 0.5}, {-0.5, 0.25, -0.5, 0, 0.5}}},
        {1, 0, 0, {{0.5, -0.25, -0.5, 0, 0}, {0.5, 0.25, -0.5, 0, 0.5}, {0.5, 0.25, 0.5, 1, 0.5}, {0.5, -0.25, 0.5, 1, 0}}},
        {0, -1, 0, {{-0.5, -0.25, -0.5, 0, 0}, {0.5, -0.25, -0.5, 1, 0}, {0.5, -0.25, 0.5, 1, 1}, {-0.5, -0.25, 0.5, 0, 1}}},
        {0, 1, 0, {{-0.5, 0.25, -0.5, 0, 0}, {-0.5, 0.25, 0.5, 0, 1}, {0.5, 0.25, 0.5, 1, 1}, {0.5, 0.25, -0.5, 1, 0}}},
        {0, 0, -1, {{-0.5, -0.25, -0.5, 0, 0}, {-0.5, 0.25, -0.5, 0, 0.5}, {0.5, 0.25, -0.5, 1, 0.5}, {0.5, -0.25, -0.5, 1, 0}}},
        {0, 0, 1, {{-0.5, -0.25, 0.5, 0, 0}, {0.5, -0.25, 0.5, 1, 0}, {0.5, 0.25, 0.5, 1, 0.5}, {-0.5, 0.25, 0.5, 0, 0.5}}},
    };
    drawquadtable(faces, textured);

    if (textured) glDisable(GL_TEXTURE_2D);
}

void init()
{
    bars.normal = loadimage("Data/bars.ppm");
    bars.grey = loadimage("Data/bars_grey.ppm");
    stepimage.normal = loadimage("Data/step.ppm");
    stepimage.grey = loadimage("Data/step_grey.ppm");

    plainlists = glGenLists(2);
    texturedlists = glGenLists(2);
    greylists = glGenLists(2);
    texturedgreylists = glGenLists(2);

    struct variant {
        GLuint list;
        bool textured, grey;
    };
    const variant sets[4] = {
        {plainlists, false, false},
        {texturedlists, true, false},
        {greylists, false, true},
        {texturedgreylists, true, true},
    };
    for (const variant& s : sets) {
        glNewList(s.list, GL_COMPILE);
            drawbarsxy(1.0, s.textured, s.grey, s.textured ? (s.grey ? bars.grey : bars.normal) : 0);
        glEndList();
    }
    for (const variant& s : sets) {
        glNewList(s.list + 1, GL_COMPILE);
            drawstep(1.0, s.textured, s.grey, s.textured ? (s.grey ? stepimage.grey : stepimage.normal) : 0);
        glEndList();
    }
}

void render(const fixedobjrec& o, bool textured, bool grey)
{
    const bool isstep = o.kind == step;
    glPushMatrix();
        glTranslated(o.box.x, o.box.y, o.box.z);
        if (o.kind == barszy) glRotated(90.0, 0.0, 1.0, 0.0);
        if (o.kind == barsxz) glRotated(90.0, 1.0, 0.0, 0.0);
        if (o.dm > 0.0) {
            const texpair& img = isstep ? stepimage : bars;
            const unsigned long handle = grey ? img.grey : img.normal;
            if (isstep)
                drawstep(1.0 - o.dm, textured, grey, handle);
            else
                drawbarsxy(1.0 - o.dm, textured, grey, handle);
        } else {
            glCallList(listset(textured, grey) + (isstep ? 1 : 0));
        }
    glPopMatrix();
}

}  // namespace Fixedobj
