// render_gl.cpp -- drawing a level from the player's eye: lights, fog, projection, the two passes
#include "world/render_gl.h"

#include <GL/gl.h>

#include <cmath>  // sin, cos
#include <type_traits>

#include "guards/badguy_gl.h"
#include "objects/fixedobj_gl.h"
#include "objects/freeobj_gl.h"
#include "render/wall.h"
#include "world/visibility.h"

namespace Level {

namespace {

constexpr double degrees = 0.017453292;
// Depth beyond which the fog leaves nothing but black (see render).
constexpr double fogreach = 17.0;

// Where the unit wall face (plane x = 0, front towards -x) goes for each face
// of a cell, from the cell's lower corner: translate, then turn about an axis.
struct facetransform {
    double tx, ty, tz;
    double angle, ax, ay, az;
};
constexpr facetransform faces[6] = {
    {1.0, 0.5, 0.5, 180.0, 0.0, 1.0, 0.0},   // +x
    {0.0, 0.5, 0.5, 0.0, 0.0, 0.0, 0.0},     // -x: the face as it is
    {0.5, 1.0, 0.5, 270.0, 0.0, 0.0, 1.0},   // top
    {0.5, 0.0, 0.5, 90.0, 0.0, 0.0, 1.0},    // bottom
    {0.5, 0.5, 1.0, 90.0, 0.0, 1.0, 0.0},    // +z
    {0.5, 0.5, 0.0, 270.0, 0.0, 1.0, 0.0},   // -z
};

// The search's storage, kept from frame to frame so that a frame allocates nothing.
visscratch& scratch()
{
    static visscratch s;
    return s;
}

// Cubes get only the faces that can face the eye: culling, which both passes
// have on, would discard the others after the software renderer had set up
// their materials and textures.
void draw(const levelrec& level, const drawitem& item, bool textured, bool grey, bool translucent, double ex,
          double ey, double ez)
{
    std::visit(
        [&](auto v) {
            using T = decltype(v);
            if constexpr (std::is_same_v<T, cubeitem>)
                drawfaces(level, textured, grey, v.x, v.y, v.z, facingfaces(ex, ey, ez, v.x, v.y, v.z));
            else if constexpr (std::is_same_v<T, const fixedobjrec*>)
                Fixedobj::render(*v, textured, grey);
            else if constexpr (std::is_same_v<T, const freeobjrec*>)
                Freeobj::render(*v, textured, grey);
            else if (!translucent)   // guards are never translucent
                Badguy::render(*v, textured, grey);
        },
        item);
}

void lights()
{
    const GLfloat model[4] = {0.1f, 0.1f, 0.1f, 1.0f};
    const GLfloat ambient[4] = {0.9f, 0.9f, 0.9f, 1.0f};
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glEnable(GL_LIGHTING);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, model);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glEnable(GL_LIGHT0);
}

}  // namespace

void (*frameprobe)(framesection) = nullptr;

void render(levelrec& level, const veskrec& player, int width, int height, int border, bool lighting, bool textured,
            bool grey, double eyeoffset)
{
    glViewport(0, border, width - border, height - border);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    if (lighting) lights();
    glFogi(GL_FOG_MODE, GL_EXP);
    glFogf(GL_FOG_DENSITY, 0.4f);
    glEnable(GL_FOG);
    glShadeModel(GL_SMOOTH);

    // The eye, moved sideways for a stereo view: positive to the player's left.
    const Vesk::eyerec eye = Vesk::get_eye(player);
    const double h = eye.heading * degrees, p = eye.pitch * degrees;
    const double ex = eye.x - std::cos(h) * eyeoffset;
    const double ey = eye.y;
    const double ez = eye.z - std::sin(h) * eyeoffset;

    // The ratio is the whole drawing area's, not the viewport's.
    viewparams view;
    view.left = -0.029 + 0.1 * eyeoffset;
    view.right = 0.029 + 0.1 * eyeoffset;
    view.top = 0.029 * height / width;
    view.bottom = -view.top;
    view.znear = 0.03;
    view.zfar = 90.0;
    view.sinheading = std::sin(h);
    view.cosheading = std::cos(h);
    view.sinpitch = std::sin(p);
    view.cospitch = std::cos(p);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(view.left, view.right, view.bottom, view.top, view.znear, view.zfar);

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotated(eye.pitch, 1.0, 0.0, 0.0);
    if (lighting) {
        // Placed after the pitch but before the heading: the light always
        // comes from behind, level, whichever way the player looks.
        const GLfloat behind[4] = {0.0f, 0.0f, 1.0f, 0.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, behind);
    }
    glRotated(eye.heading, 0.0, 1.0, 0.0);
    glTranslated(-ex, -ey, -ez);

    if (frameprobe) frameprobe(section_setup);
    visscratch& s = scratch();
    sortcubes(level, ex, ey, ez, view, s);
    if (frameprobe) frameprobe(section_visibility);

    // Cubes wholly outside the view volume show nothing: skipping them spares
    // the software renderer most of the walls behind and beside the player.
    // The same holds beyond the fog's reach: past a depth of 17 the exponential
    // fog (density 0.4) leaves e^-6.8 * 255 = 0.28 of a colour step, so a cube
    // there is drawn pure black on the black clear colour, and so is all behind it.
    viewparams cull = view;
    cull.zfar = fogreach;
    const auto shown = [&](const drawitem& item) {
        const cubeitem* c = std::get_if<cubeitem>(&item);
        return !c || insidefrustum(cull, ex, ey, ez, c->x, c->y, c->z);
    };
    for (const drawitem& item : s.opaque)
        if (shown(item)) draw(level, item, textured, grey, false, ex, ey, ez);
    if (frameprobe) frameprobe(section_opaque);

    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (const drawitem& item : s.translucent)
        if (shown(item)) draw(level, item, textured, grey, true, ex, ey, ez);
    if (frameprobe) frameprobe(section_translucent);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    if (lighting) {
        glDisable(GL_LIGHT0);
        glDisable(GL_LIGHTING);
    }
    glDisable(GL_FOG);

    // Inside returning matter the view goes dark: alpha 1 - dm over it all.
    const cuberec& here = getcube(level, static_cast<int>(ex), static_cast<int>(ey), static_cast<int>(ez));
    if (here.walls && here.dm > 0.0) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
        glColor4d(0.0, 0.0, 0.0, 1.0 - here.dm);
        glBegin(GL_QUADS);
            glVertex2d(0.0, 0.0);
            glVertex2d(1.0, 0.0);
            glVertex2d(1.0, 1.0);
            glVertex2d(0.0, 1.0);
        glEnd();
        glMatrixMode(GL_MODELVIEW);
    }

    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    if (frameprobe) frameprobe(section_overlay);
}

void drawcube(const levelrec& level, bool textured, bool grey, int x, int y, int z)
{
    drawfaces(level, textured, grey, x, y, z, allfaces);
}

void drawfaces(const levelrec& level, bool textured, bool grey, int x, int y, int z, unsigned mask)
{
    const cuberec& c = getcube(level, x, y, z);
    if (!c.walls) return;
    const double alpha = 1.0 - c.dm;
    glPushMatrix();
        glTranslated(x, y, z);
        for (int i = 0; i < 6; ++i) {
            if (!(mask & (1u << i))) continue;
            const facetransform& f = faces[i];
            glPushMatrix();
                glTranslated(f.tx, f.ty, f.tz);
                if (f.angle != 0.0) glRotated(f.angle, f.ax, f.ay, f.az);
                Wall::render((*c.walls)[i], textured, grey, alpha);
            glPopMatrix();
        }
    glPopMatrix();
}

unsigned facingfaces(double ex, double ey, double ez, int x, int y, int z)
{
    // A face turns its front to the eye only when the eye is beyond its plane.
    // A millionth of slack keeps faces seen almost edge-on: those cost nothing.
    constexpr double e = 1e-6;
    unsigned m = 0;
    if (ex > x + 1 - e) m |= 1u;
    if (ex < x + e) m |= 2u;
    if (ey > y + 1 - e) m |= 4u;
    if (ey < y + e) m |= 8u;
    if (ez > z + 1 - e) m |= 16u;
    if (ez < z + e) m |= 32u;
    return m;
}

}  // namespace Level
