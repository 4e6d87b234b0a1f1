// badguy_gl.cpp -- the guard figure: four parts of tubes in sixteen display lists, posed per frame
#include "guards/badguy_gl.h"

#include <GL/gl.h>

#include <cmath>  // sin, cos, fabs
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "guards/tube.h"
#include "guards/tube_gl.h"
#include "render/texhelp.h"

namespace Badguy {

namespace {

struct material {
    GLfloat colour[3];
    GLfloat specular[4];
    GLfloat shininess;
    GLfloat greycolour[3];
    GLfloat greyspecular[4];
};

const material body{{0.4f, 0.45f, 0.2f}, {0.1f, 0.1f, 0.0f, 1.0f}, 1.0f, {0.4f, 0.4f, 0.4f}, {0.1f, 0.1f, 0.1f, 1.0f}};
const material neck{{0.8f, 0.1f, 0.2f}, {1.0f, 0.0f, 0.0f, 1.0f}, 10.0f, {0.2f, 0.2f, 0.2f}, {0.8f, 0.8f, 0.8f, 1.0f}};
const material spike{{0.8f, 0.8f, 0.8f}, {1.0f, 1.0f, 1.0f, 1.0f}, 20.0f, {0.8f, 0.8f, 0.8f}, {1.0f, 1.0f, 1.0f, 1.0f}};
const material limb{{0.25f, 0.2f, 0.0f}, {0.1f, 0.1f, 0.0f, 1.0f}, 1.0f, {0.25f, 0.25f, 0.25f}, {0.1f, 0.1f, 0.1f, 1.0f}};
const material staff{{0.15f, 0.1f, 0.0f}, {0.5f, 0.5f, 0.0f, 1.0f}, 10.0f, {0.1f, 0.1f, 0.1f}, {0.5f, 0.5f, 0.5f, 1.0f}};

void usematerial(const material& m, bool grey)
{
    const GLfloat* c = grey ? m.greycolour : m.colour;
    const GLfloat ad[4] = {c[0], c[1], c[2], 1.0f};
    glColor3f(c[0], c[1], c[2]);
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, ad);
    glMaterialfv(GL_FRONT, GL_SPECULAR, grey ? m.greyspecular : m.specular);
    glMaterialf(GL_FRONT, GL_SHININESS, m.shininess);
}

// Modulate with white so the image shows its own colours under the lighting.
void starttexture(unsigned long texture)
{
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    bind2dTexture(texture);
    glColor3d(1.0, 1.0, 1.0);
}

void side(const tubearrays& t, int n, bool textured) { textured ? drawopentubetex(t, n) : drawopentube(t, n); }
void firstcap(const tubearrays& t, int n, bool textured) { textured ? drawfirstcaptex(t, n) : drawfirstcap(t, n); }
void lastcap(const tubearrays& t, int n, bool textured) { textured ? drawlastcaptex(t, n) : drawlastcap(t, n); }

// An untextured tube with both caps in the current material.
void plaintube(const std::vector<vec3>& path, const std::vector<double>& radii, int n)
{
    const tubearrays t = maketube(path, radii, n, 0.0, 1.0, 1.0, 0.0);
    side(t, n, false);
    firstcap(t, n, false);
    lastcap(t, n, false);
}

// The rim spikes of torso and head: five points around angle theta.
void rimspike(double theta, const double ys[5])
{
    const double c = std::cos(theta), s = std::sin(theta);
    const double rad[5] = {0.18, 0.185, 0.19, 0.195, 0.2};
    std::vector<vec3> path;
    for (int i = 0; i < 5; ++i) path.push_back({rad[i] * c - 0.017, ys[i], rad[i] * s});
    plaintube(path, {0.0, 0.013, 0.01, 0.005, 0.0}, 7);
}

// Points and ring radii of a tube whose ends are apexes (their radius unused).
struct tubedef {
    std::vector<vec3> path;
    std::vector<double> radii;
};

const tubedef torsotube{
    {{-0.03, -0.4, 0.0}, {-0.012, -0.385, 0.0}, {0.02, -0.34, 0.0}, {0.075, -0.23, 0.0}, {0.1, -0.15, 0.0},
     {0.11, -0.08, 0.0}, {0.105, -0.02, 0.0}, {0.09, 0.04, 0.0}, {0.065, 0.1, 0.0}, {-0.005, 0.2, 0.0},
     {-0.017, 0.23, 0.0}, {-0.025, 0.235, 0.0}},
    {0.0, 0.06, 0.1, 0.13, 0.16, 0.175, 0.175, 0.185, 0.185, 0.19, 0.195, 0.0}};

const tubedef headtube{
    {{-0.001, -0.01, 0.0}, {0.0, 0.0, 0.0}, {0.01, 0.14, 0.0}, {0.03, 0.2, 0.0}, {0.05, 0.22, 0.0}},
    {0.0, 0.2, 0.19, 0.1, 0.0}};

const tubedef armtube{
    {{-0.16, 0.165, -0.203}, {-0.155, 0.16, -0.202}, {0.1051, 0.15, -0.201}, {0.13, 0.151, -0.2},
     {0.131, 0.152, 0.0}, {0.13, 0.151, 0.203}, {0.1051, 0.125, 0.202}, {-0.12, -0.049, 0.201},
     {-0.125, -0.05, 0.2}},
    {0.0, 0.02, 0.023, 0.02, 0.025, 0.02, 0.023, 0.02, 0.0}};

const tubedef stafftube{
    {{-0.1513, -0.10251, 0.331}, {-0.15125, -0.1025, 0.33}, {-0.199375, 0.18625, -0.275}, {-0.20375, 0.2125, -0.33}},
    {0.0, 0.015, 0.015, 0.0}};

const tubedef legtube{
    {{0.035, -0.49, -0.158}, {0.035, -0.47, -0.16}, {0.01, -0.4, -0.17}, {0.0351, -0.35, -0.161},
     {0.041, -0.32, -0.101}, {0.04, -0.321, 0.1}, {0.035, -0.351, 0.16}, {0.01, -0.4, 0.17},
     {0.035, -0.47, 0.16}, {0.035, -0.49, 0.158}},
    {0.0, 0.035, 0.04, 0.04, 0.05, 0.05, 0.04, 0.04, 0.035, 0.0}};

// The +z foot; the -z foot is the same with z negated.
const tubedef toes[3] = {
    {{{-0.15, -0.499, 0.23}, {-0.1, -0.474, 0.2}, {-0.05, -0.459, 0.17}, {0.0, -0.449, 0.15}, {0.1, -0.449, 0.15}},
     {0.0, 0.025, 0.04, 0.05, 0.0}},
    {{{-0.15, -0.499, 0.07}, {-0.1, -0.474, 0.1}, {-0.05, -0.459, 0.13}, {0.0, -0.449, 0.15}, {0.1, -0.449, 0.15}},
     {0.0, 0.025, 0.04, 0.05, 0.0}},
    {{{0.15, -0.499, 0.15}, {0.08, -0.459, 0.1501}, {0.0, -0.449, 0.1502}, {-0.01, -0.449, 0.1503}},
     {0.0, 0.04, 0.05, 0.0}},
};

// A claw: a ten-point arc about the staff, thickest a third of the way along.
void claw(double x0, double y0, double ysign, double z0, double zsign)
{
    std::vector<vec3> path;
    std::vector<double> radii;
    for (int i = 0; i < 10; ++i) {
        const double phi = 5.2 * i / 10;
        path.push_back({x0 + 0.04 * std::cos(phi), y0 + ysign * 0.04 * std::sin(phi), z0 + zsign * 0.01 * phi});
        radii.push_back(0.01 + 0.02 * std::fabs(std::sin(1.2 * phi)));
    }
    plaintube(path, radii, 7);
}

void bodytube(const tubedef& d, int n, double s1, double t_end, double t_start, bool textured)
{
    const tubearrays t = maketube(d.path, d.radii, n, 0.0, s1, t_end, t_start);
    side(t, n, textured);
    firstcap(t, n, textured);
    lastcap(t, n, textured);
}

GLuint bases[4] = {0, 0, 0, 0};


}  // namespace

void drawtorso(bool textured, bool grey, unsigned long texture)
{
    usematerial(body, grey);
    if (textured) starttexture(texture);
    const tubearrays t = maketube(torsotube.path, torsotube.radii, 15, 0.0, 1.0, 0.6, 0.0);
    side(t, 15, textured);
    firstcap(t, 15, textured);
    if (textured) glDisable(GL_TEXTURE_2D);
    usematerial(neck, grey);
    lastcap(t, 15, false);

    // Outward and upward from the front rim of the torso's top.
    usematerial(spike, grey);
    for (int k = 0; k <= 5; ++k) {
        const double theta = 2.3561945 + k * 1.5707963 / 5;
        const double c = std::cos(theta);
        const double ys[5] = {0.23 + 0.1 * c, 0.24 + 0.1 * c, 0.265 + 0.1 * c, 0.27 + 0.1 * c, 0.272 + 0.1 * c};
        rimspike(theta, ys);
    }
}

void drawupperhead(bool textured, bool grey, unsigned long texture)
{
    usematerial(body, grey);
    if (textured) starttexture(texture);
    const tubearrays t = maketube(headtube.path, headtube.radii, 15, 0.0, 1.0, 1.0, 0.6);
    side(t, 15, textured);
    lastcap(t, 15, textured);
    if (textured) glDisable(GL_TEXTURE_2D);
    usematerial(neck, grey);
    firstcap(t, 15, false);

    // Outward and downward from the head's lower front rim.
    usematerial(spike, grey);
    const double ys[5] = {0.03, 0.02, 0.015, -0.005, -0.008};
    for (int k = 0; k <= 4; ++k) rimspike(2.3561945 + (k + 0.5) * 1.5707963 / 5, ys);
}

void drawarms(bool, bool grey, unsigned long)
{
    usematerial(limb, grey);
    plaintube(armtube.path, armtube.radii, 7);
    claw(-0.16, -0.049, 1.0, 0.2, -1.0);
    claw(-0.16, -0.0495, 1.0, 0.2, 1.0);
    claw(-0.195, 0.165, -1.0, -0.2, -1.0);
    claw(-0.195, 0.16, -1.0, -0.2, 1.0);

    usematerial(staff, grey);
    plaintube(stafftube.path, stafftube.radii, 6);
}

void drawlegs(bool textured, bool grey, unsigned long texture)
{
    usematerial(body, grey);
    if (textured) starttexture(texture);
    bodytube(legtube, 9, 1.0, 1.0, 0.6, textured);
    for (double zsign : {1.0, -1.0}) {
        for (const tubedef& toe : toes) {
            tubedef d = toe;
            for (vec3& p : d.path) p[2] *= zsign;
            bodytube(d, 9, 0.5, 1.0, 0.6, textured);
        }
    }
    if (textured) glDisable(GL_TEXTURE_2D);
}

void init()
{
    for (GLuint& b : bases) b = glGenLists(4);
    const unsigned long normal = loadimage("Data/guard.ppm");
    const unsigned long grey = loadimage("Data/guard_grey.ppm");

    using part = void (*)(bool, bool, unsigned long);
    const part parts[4] = {drawtorso, drawupperhead, drawarms, drawlegs};
    const bool textured[4] = {false, true, false, true};
    const bool greyflag[4] = {false, false, true, true};
    const unsigned long handle[4] = {0, normal, 0, grey};
    for (int p = 0; p < 4; ++p) {
        for (int v = 0; v < 4; ++v) {
            glNewList(bases[v] + p, GL_COMPILE);
                parts[p](textured[v], greyflag[v], handle[v]);
            glEndList();
        }
    }
}

void render(const badguyrec& g, bool textured, bool grey)
{
    const GLuint base = bases[(grey ? 2 : 0) + (textured ? 1 : 0)];
    const double p = g.phase;
    const double stride = std::sin(6.5 * p);

    glPushMatrix();
        glTranslated(g.box.x, g.box.y, g.box.z);
        // The figure's front is -x; this turns it to (sin h, 0, -cos h).
        glRotated(-g.heading - 90.0, 0.0, 1.0, 0.0);

        glPushMatrix();
            glTranslated(0.0, 0.05 * std::fabs(stride), 0.0);
            glCallList(base + 0);
            glTranslated(-0.025, 0.235, 0.0);
            glRotated(11.0 + 10.0 * std::sin(2.78 * p), 0.0, 0.0, 1.0);
            glCallList(base + 1);
        glPopMatrix();

        glPushMatrix();
            glTranslated(0.0, 0.03 * std::fabs(stride), 0.0);
            glRotated(15.0 * stride, 0.0, 1.0, 0.0);
            glCallList(base + 2);
        glPopMatrix();

        glPushMatrix();
            glRotated(27.0 * std::sin(6.5 * (p + 0.5)), 0.0, 1.0, 0.0);
            glRotated(5.0 * std::cos(6.5 * (p + 0.5)), 1.0, 0.0, 0.0);
            glCallList(base + 3);
        glPopMatrix();
    glPopMatrix();
}

}  // namespace Badguy
