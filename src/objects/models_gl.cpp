// models_gl.cpp -- the free objects' models: battery, treasure chest, teleporter cube
#include <GL/gl.h>

#include <cmath>  // sin, cos

#include "objects/freeobj_gl.h"
#include "objects/quadtable_gl.h"
#include "render/texhelp.h"

namespace Freeobj {

namespace {

const double pi = 3.1415926535897;

struct rgb {
    double r, g, b;
};

// Grey variants replace colours for red/blue stereo viewing.
rgb pick(bool grey, rgb plain, rgb greyed) { return grey ? greyed : plain; }

void colour(rgb c, double alpha) { glColor4d(c.r, c.g, c.b, alpha); }

void material(GLenum face, GLenum what, rgb c, double alpha)
{
    const GLfloat v[4] = {GLfloat(c.r), GLfloat(c.g), GLfloat(c.b), GLfloat(alpha)};
    glMaterialfv(face, what, v);
}

void shininess(GLenum face, double s) { glMaterialf(face, GL_SHININESS, GLfloat(s)); }

void starttexture(unsigned long handle)
{
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    bind2dTexture(handle);
}

// Ring point i of n segments; the last point repeats the first exactly.
double ringangle(int i, int n) { return 2.0 * pi * (i % n) / n; }

const rgb white{1.0, 1.0, 1.0};
const rgb metal{0.7, 0.7, 0.7};

// Lid profile of the chest: theta 0 at the back edge, pi at the front.
double lidy(double t) { return 0.03 + 0.07 * std::sin(t); }
double lidz(double t) { return -0.07 * std::cos(t); }

// The chest's lid ends map onto a half disc around (0.54, 0.26) of the image.
void lidendtex(bool textured, double y, double z)
{
    if (textured) glTexCoord2d(0.54 + 2.0 * z, 0.26 + 2.0 * (y - 0.03));
}

}  // namespace

void drawcharge(double alpha, bool textured, bool grey, unsigned long handle)
{
    const int n = 15;
    const double r = 0.05, rt = 0.02;
    const double ybot = -0.075, ytop = 0.06, yterm = 0.075;

    // Bottom disc.
    colour(metal, alpha);
    material(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, metal, alpha);
    material(GL_FRONT, GL_SPECULAR, white, alpha);
    shininess(GL_FRONT, 30.0);
    glBegin(GL_TRIANGLE_FAN);
        glNormal3d(0.0, -1.0, 0.0);
        glVertex3d(0.0, ybot, 0.0);
        for (int i = 0; i <= n; ++i) {
            const double a = ringangle(i, n);
            glVertex3d(r * std::cos(a), ybot, r * std::sin(a));
        }
    glEnd();

    // Body: the only textured part.
    if (textured) starttexture(handle);
    const rgb body = pick(grey, {0.2, 0.2, 1.0}, metal);
    colour(textured ? white : body, alpha);
    material(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, body, alpha);
    material(GL_FRONT, GL_SPECULAR, white, alpha);
    shininess(GL_FRONT, 20.0);
    glBegin(GL_QUAD_STRIP);
        for (int i = 0; i <= n; ++i) {
            const double a = ringangle(i, n), c = std::cos(a), s = std::sin(a);
            glNormal3d(c, 0.0, s);
            if (textured) glTexCoord2d(double(i) / n, 0.0);
            glVertex3d(r * c, ybot, r * s);
            glNormal3d(c, 0.0, s);
            if (textured) glTexCoord2d(double(i) / n, 0.43);
            glVertex3d(r * c, ytop, r * s);
        }
    glEnd();
    if (textured) glDisable(GL_TEXTURE_2D);

    // Top ring, out to the terminal.
    colour(metal, alpha);
    material(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, metal, alpha);
    material(GL_FRONT, GL_SPECULAR, white, alpha);
    shininess(GL_FRONT, 30.0);
    glBegin(GL_QUAD_STRIP);
        glNormal3d(0.0, 1.0, 0.0);
        for (int i = 0; i <= n; ++i) {
            const double a = ringangle(i, n), c = std::cos(a), s = std::sin(a);
            glVertex3d(r * c, ytop, r * s);
            glVertex3d(rt * c, ytop, rt * s);
        }
    glEnd();

    // Terminal: brass, or in grey only a darker colour over the ring's materials.
    if (grey) {
        colour({0.3, 0.3, 0.3}, alpha);
    } else {
        const rgb brass{0.4, 0.3, 0.0};
        colour(brass, alpha);
        material(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, brass, alpha);
        material(GL_FRONT, GL_SPECULAR, {0.8, 0.7, 0.0}, alpha);
    }
    shininess(GL_FRONT, 30.0);
    const double k = 0.7071;  // rim normals lean 45 degrees outwards
    glBegin(GL_QUAD_STRIP);
        for (int i = 0; i <= n; ++i) {
            const double a = ringangle(i, n), c = std::cos(a), s = std::sin(a);
            glNormal3d(c, 0.0, s);
            glVertex3d(rt * c, ytop, rt * s);
            glNormal3d(k * c, k, k * s);
            glVertex3d(rt * c, yterm, rt * s);
        }
    glEnd();
    glBegin(GL_TRIANGLE_FAN);
        glNormal3d(0.0, 1.0, 0.0);
        glVertex3d(0.0, yterm, 0.0);
        for (int i = 0; i <= n; ++i) {
            const double a = -ringangle(i, n), c = std::cos(a), s = std::sin(a);
            glNormal3d(k * c, k, k * s);
            glVertex3d(rt * c, yterm, rt * s);
        }
    glEnd();
}

void drawbribe(double alpha, bool textured, bool grey, unsigned long handle)
{
    const rgb wood = pick(grey, {0.5, 0.2, 0.0}, {0.3, 0.3, 0.3});
    if (textured) {
        glEnable(GL_TEXTURE_2D);
        colour(white, alpha);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        bind2dTexture(handle);
    } else {
        colour(wood, alpha);
    }
    material(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, wood, alpha);
    material(GL_FRONT, GL_SPECULAR, pick(grey, {0.1, 0.1, 0.0}, {0.1, 0.1, 0.1}), alpha);
    shininess(GL_FRONT, 1.0);

    // The box without its top: normal, then four corners of position and texture.
    static const quadface faces[5] = {
        {-1, 0, 0, {{-0.1, -0.1, -0.07, 0.4, 0}, {-0.1, -0.1, 0.07, 0.68, 0}, {-0.1, 0.03, 0.07, 0.68, 0.26}, {-0.1, 0.03, -0.07, 0.4, 0.26}}},
        {1, 0, 0, {{0.1, -0.1, -0.07, 0.4, 0}, {0.1, 0.03, -0.07, 0.4, 0.26}, {0.1, 0.03, 0.07, 0.68, 0.26}, {0.1, -0.1, 0.07, 0.68, 0}}},
        {0, -1, 0, {{-0.1, -0.1, -0.07, 0, 0.26}, {0.1, -0.1, -0.07, 0.4, 0.26}, {0.1, -0.1, 0.07, 0.4, 0.54}, {-0.1, -0.1, 0.07, 0, 0.54}}},
        {0, 0, -1, {{-0.1, -0.1, -0.07, 0, 0}, {-0.1, 0.03, -0.07, 0, 0.26}, {0.1, 0.03, -0.07, 0.4, 0.26}, {0.1, -0.1, -0.07, 0.4, 0}}},
        {0, 0, 1, {{-0.1, -0.1, 0.07, 0, 0}, {0.1, -0.1, 0.07, 0.4, 0}, {0.1, 0.03, 0.07, 0.4, 0.26}, {-0.1, 0.03, 0.07, 0, 0.26}}},
    };
    drawquadtable(faces, textured);

    // Lid ends, each wound so that it faces outwards.
    const int m = 10;
    glBegin(GL_TRIANGLE_FAN);
        glNormal3d(-1.0, 0.0, 0.0);
        lidendtex(textured, 0.03, 0.0);
        glVertex3d(-0.1, 0.03, 0.0);
        for (int k = 0; k <= m; ++k) {
            const double t = pi - pi * k / m;
            lidendtex(textured, lidy(t), lidz(t));
            glVertex3d(-0.1, lidy(t), lidz(t));
        }
    glEnd();
    glBegin(GL_TRIANGLE_FAN);
        glNormal3d(1.0, 0.0, 0.0);
        lidendtex(textured, 0.03, 0.0);
        glVertex3d(0.1, 0.03, 0.0);
        for (int k = 0; k <= m; ++k) {
            const double t = pi * k / m;
            lidendtex(textured, lidy(t), lidz(t));
            glVertex3d(0.1, lidy(t), lidz(t));
        }
    glEnd();

    // Lid surface, from the back edge over the top to the front.
    glBegin(GL_QUAD_STRIP);
        for (int k = 0; k <= m; ++k) {
            const double t = pi * k / m;
            glNormal3d(0.0, std::sin(t), -std::cos(t));
            if (textured) glTexCoord2d(0.4, 0.54 + 0.022 * k);
            glVertex3d(0.1, lidy(t), lidz(t));
            glNormal3d(0.0, std::sin(t), -std::cos(t));
            if (textured) glTexCoord2d(0.0, 0.54 + 0.022 * k);
            glVertex3d(-0.1, lidy(t), lidz(t));
        }
    glEnd();

    if (textured) glDisable(GL_TEXTURE_2D);
}

void drawteleporter(double alpha, bool textured, bool grey, unsigned long handle)
{
    if (textured) {
        glEnable(GL_TEXTURE_2D);
        colour(white, alpha);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        bind2dTexture(handle);
    } else {
        colour(pick(grey, {0.0, 0.0, 0.1}, {0.05, 0.05, 0.05}), alpha);
    }
    // Specular above 1 on purpose: a glossy black outside, a lit inside.
    material(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, {0.0, 0.0, 0.0}, alpha);
    material(GL_FRONT, GL_SPECULAR, pick(grey, {3.0, 3.0, 5.0}, {3.0, 3.0, 3.0}), alpha);
    shininess(GL_FRONT, 10.0);
    material(GL_BACK, GL_AMBIENT_AND_DIFFUSE, pick(grey, {0.4, 0.4, 0.5}, {0.4, 0.4, 0.4}), alpha);
    material(GL_BACK, GL_SPECULAR, pick(grey, {0.8, 0.8, 2.0}, {1.2, 1.2, 1.2}), alpha);
    shininess(GL_BACK, 10.0);

    // Both sides of every face show, so the player sees the inside when in it.
    glDisable(GL_CULL_FACE);
    const double h = 0.445;
    struct face {
        double nx, ny, nz;
        double c[4][3];
    };
    const face faces[6] = {
        {-1, 0, 0, {{-h, -h, -h}, {-h, -h, h}, {-h, h, h}, {-h, h, -h}}},
        {1, 0, 0, {{h, -h, -h}, {h, h, -h}, {h, h, h}, {h, -h, h}}},
        {0, -1, 0, {{-h, -h, -h}, {h, -h, -h}, {h, -h, h}, {-h, -h, h}}},
        {0, 1, 0, {{-h, h, -h}, {-h, h, h}, {h, h, h}, {h, h, -h}}},
        {0, 0, -1, {{-h, -h, -h}, {-h, h, -h}, {h, h, -h}, {h, -h, -h}}},
        {0, 0, 1, {{-h, -h, h}, {h, -h, h}, {h, h, h}, {-h, h, h}}},
    };
    static const double st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
        for (const face& f : faces) {
            glNormal3d(f.nx, f.ny, f.nz);
            for (int i = 0; i < 4; ++i) {
                if (textured) glTexCoord2d(st[i][0], st[i][1]);
                glVertex3d(f.c[i][0], f.c[i][1], f.c[i][2]);
            }
        }
    glEnd();
    glEnable(GL_CULL_FACE);

    if (textured) glDisable(GL_TEXTURE_2D);
}

}  // namespace Freeobj
