// render_test.cpp -- drawing a level: cube faces on their sides, the two passes, projection, darkening
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "fixture.h"
#include "glrecord.h"
#include "world/render_gl.h"
#include "world/visibility.h"

namespace {

using vec = std::array<double, 3>;
using mat = std::array<double, 16>;   // row-major

mat identity() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

mat mul(const mat& a, const mat& b)
{
    mat m{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 4; ++k) m[r * 4 + c] += a[r * 4 + k] * b[k * 4 + c];
    return m;
}

mat rotation(double degrees, double x, double y, double z)
{
    const double len = std::sqrt(x * x + y * y + z * z);
    x /= len, y /= len, z /= len;
    const double a = degrees * std::numbers::pi / 180.0, c = std::cos(a), s = std::sin(a), t = 1 - c;
    return {c + x * x * t,     x * y * t - z * s, x * z * t + y * s, 0,
            y * x * t + z * s, c + y * y * t,     y * z * t - x * s, 0,
            z * x * t - y * s, z * y * t + x * s, c + z * z * t,     0,
            0,                 0,                 0,                 1};
}

vec apply(const mat& m, const vec& p)
{
    vec out{};
    for (int r = 0; r < 3; ++r) out[r] = m[r * 4] * p[0] + m[r * 4 + 1] * p[1] + m[r * 4 + 2] * p[2] + m[r * 4 + 3];
    return out;
}

// A quadrilateral as it lands in the coordinates the model-view started from,
// with the front material's ambient-and-diffuse colour it was drawn in.
struct quad {
    std::vector<vec> corners;
    std::array<double, 4> diffuse{};
    std::size_t at = 0;   // position of its glBegin in the log
};

// The inverse of a rotation followed by a translation.
mat rigidinverse(const mat& m)
{
    mat r = identity();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r[i * 4 + j] = m[j * 4 + i];
    for (int i = 0; i < 3; ++i) r[i * 4 + 3] = -(r[i * 4] * m[3] + r[i * 4 + 1] * m[7] + r[i * 4 + 2] * m[11]);
    return r;
}

// Replays the model-view and collects every GL_QUADS group of 3D vertices, in
// world coordinates: the view set up before the first glPushMatrix (the first
// cube's) is undone.
std::vector<quad> quads(const std::vector<glcall>& log)
{
    std::vector<mat> stack{identity()};
    bool pushed = false;
    mat toworld = identity();
    bool modelview = true;
    std::array<double, 4> diffuse{};
    std::vector<quad> out;
    bool open = false;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const glcall& c = log[i];
        const auto& a = c.args;
        if (c.name == "glMatrixMode") modelview = a[0] == GL_MODELVIEW;
        if (!modelview && c.name != "glBegin" && c.name != "glVertex3d" && c.name != "glEnd" &&
            c.name != "glMaterialfv")
            continue;
        if (c.name == "glLoadIdentity") stack.back() = identity();
        else if (c.name == "glPushMatrix") {
            if (!pushed) toworld = rigidinverse(stack.back());
            pushed = true;
            stack.push_back(stack.back());
        }
        else if (c.name == "glPopMatrix") stack.pop_back();
        else if (c.name == "glTranslated") {
            mat t = identity();
            t[3] = a[0], t[7] = a[1], t[11] = a[2];
            stack.back() = mul(stack.back(), t);
        } else if (c.name == "glRotated") {
            stack.back() = mul(stack.back(), rotation(a[0], a[1], a[2], a[3]));
        } else if (c.name == "glMaterialfv" && a[1] == GL_AMBIENT_AND_DIFFUSE) {
            diffuse = {a[2], a[3], a[4], a[5]};
        } else if (c.name == "glBegin") {
            open = a[0] == GL_QUADS;
            if (open) out.push_back({{}, diffuse, i});
        } else if (c.name == "glEnd") {
            open = false;
        } else if (c.name == "glVertex3d" && open) {
            out.back().corners.push_back(apply(mul(toworld, stack.back()), {a[0], a[1], a[2]}));
        }
    }
    std::erase_if(out, [](const quad& q) { return q.corners.empty(); });   // flat 2D quads
    return out;
}

vec sub(const vec& a, const vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
vec cross(const vec& a, const vec& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The cell a quad is a face of, and which face (index as in the walls array),
// from where it lies and which way its counter-clockwise front looks.
struct faceof {
    int x, y, z, face;
};
faceof identify(const quad& q)
{
    const vec n = cross(sub(q.corners[1], q.corners[0]), sub(q.corners[2], q.corners[0]));
    int axis = 0;
    for (int k = 1; k < 3; ++k)
        if (std::fabs(n[k]) > std::fabs(n[axis])) axis = k;
    const bool plus = n[axis] > 0;
    vec lo = q.corners[0];
    for (const vec& c : q.corners)
        for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], c[k]);
    int cell[3] = {static_cast<int>(std::lround(lo[0])), static_cast<int>(std::lround(lo[1])),
                   static_cast<int>(std::lround(lo[2]))};
    if (plus) cell[axis] -= 1;   // the + face lies on the far plane of its cell
    return {cell[0], cell[1], cell[2], axis * 2 + (plus ? 0 : 1)};
}

const double plaindiffuse[4][3] = {{0.45, 0.4, 0.4}, {0.65, 0.6, 0.5}, {0.85, 0.8, 0.75}, {0.8, 0.85, 0.75}};

// Each of the six faces lands on its own side of the cube, a unit square
// exactly on the cell's plane, with its front (counter-clockwise side) turned
// outward, in the order of the walls array and with that face's wall kind.
TEST(Drawcube, SixFacesOnTheirSidesFrontOutward)
{
    levelrec l = fixture::room(5, 5, 5);
    cuberec& c = Level::getcube(l, 2, 1, 3);
    c.walls = std::array<std::uint8_t, 6>{3, 0, 1, 2, 0, 3};
    c.dm = 0.25;
    Level::touchall(l);

    glrec::clear();
    Level::drawcube(l, false, false, 2, 1, 3);
    const std::vector<quad> q = quads(glrec::log());
    ASSERT_EQ(q.size(), 6u);
    EXPECT_EQ(glrec::count("glPushMatrix"), glrec::count("glPopMatrix"));
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE("face " + std::to_string(i));
        ASSERT_EQ(q[i].corners.size(), 4u);
        const faceof f = identify(q[i]);
        EXPECT_EQ(f.face, i);
        EXPECT_EQ(f.x, 2);
        EXPECT_EQ(f.y, 1);
        EXPECT_EQ(f.z, 3);
        // A unit square on the plane: every corner on it, every corner a corner of the cell.
        const int axis = i / 2;
        const double plane = (axis == 0 ? 2 : axis == 1 ? 1 : 3) + (i % 2 == 0 ? 1.0 : 0.0);
        for (const vec& p : q[i].corners) {
            EXPECT_NEAR(p[axis], plane, 1e-9);
            for (int k = 0; k < 3; ++k) EXPECT_NEAR(p[k], std::round(p[k]), 1e-9);
        }
        const int kind = (*c.walls)[i];
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(q[i].diffuse[k], plaindiffuse[kind][k], 1e-6);
        EXPECT_NEAR(q[i].diffuse[3], 0.75, 1e-6);   // alpha is 1 - dm
    }

    glrec::clear();
    Level::drawcube(l, false, false, 2, 2, 2);   // an open cell
    EXPECT_TRUE(glrec::log().empty());
}

struct frame {
    levelrec level;
    veskrec player;
};

// A corridor along +x at y = 1, z = 1, the player at its west end looking
// east (heading 90) at a dematterized cube (dm 0.6) halfway along.
frame corridor()
{
    frame f{fixture::make({{"#######", "#######", "#######"},
                           {"#######", "#......", "#######"},
                           {"#######", "#######", "#######"}}),
            Vesk::newvesk()};
    // The far end is open to the grid's edge on purpose: the search does not care.
    cuberec& c = Level::getcube(f.level, 4, 1, 1);
    c.walls = std::array<std::uint8_t, 6>{1, 1, 1, 1, 1, 1};
    c.dm = 0.6;
    Level::touchall(f.level);
    f.player.box.x = 1.5;
    f.player.box.y = 1.3;
    f.player.box.z = 1.5;
    f.player.heading = 90.0;
    return f;
}

std::size_t firstcall(const std::string& name, const std::vector<double>& args, std::size_t from = 0)
{
    const auto& log = glrec::log();
    for (std::size_t i = from; i < log.size(); ++i)
        if (log[i].name == name && (args.empty() || log[i].args == args)) return i;
    return log.size();
}

// Opaque things first, near to far; then, without depth writes and with
// blending, the translucent ones far to near: here the dematterized cube,
// drawn with alpha 1 - 0.6.
TEST(LevelRender, OpaquePassThenTranslucentPassWithoutDepthWrites)
{
    frame f = corridor();
    glrec::clear();
    Level::render(f.level, f.player, 800, 600, 40, true, false, false, 0.0);
    const std::vector<quad> q = quads(glrec::log());
    auto [opaque, translucent] = Level::sortcubes(f.level, 1.5, 1.52, 1.5, Level::viewparams{});

    // The drawn cubes are the lists' cubes in the lists' order, less those
    // wholly outside the view volume (here: behind the player), each with
    // exactly the faces whose front can face the eye.
    const double ex = 1.5, ey = 1.52, ez = 1.5;
    std::vector<Level::cubeitem> drawn;
    std::vector<unsigned> drawnfaces;
    for (const quad& one : q) {
        const faceof fo = identify(one);
        const Level::cubeitem c{fo.x, fo.y, fo.z};
        if (drawn.empty() || !(drawn.back() == c)) {
            drawn.push_back(c);
            drawnfaces.push_back(0);
        }
        drawnfaces.back() |= 1u << fo.face;
    }
    Level::viewparams view;
    view.sinheading = std::sin(90.0 * 0.017453292);
    view.cosheading = std::cos(90.0 * 0.017453292);
    view.left = -0.029;
    view.right = 0.029;
    view.top = 0.029 * 600 / 800;
    view.bottom = -view.top;
    view.znear = 0.03;
    view.zfar = 90.0;
    std::vector<Level::cubeitem> listed, shown;
    std::vector<unsigned> shownfaces;
    std::size_t faces = 0;
    const auto take = [&](const std::vector<Level::drawitem>& list) {
        for (const Level::drawitem& d : list) {
            const Level::cubeitem c = std::get<Level::cubeitem>(d);
            listed.push_back(c);
            if (!Level::insidefrustum(view, ex, ey, ez, c.x, c.y, c.z)) continue;
            // A face is seen from the eye when the eye is beyond its plane.
            const unsigned m = (ex > c.x + 1 ? 1u : 0u) | (ex < c.x ? 2u : 0u) | (ey > c.y + 1 ? 4u : 0u) |
                               (ey < c.y ? 8u : 0u) | (ez > c.z + 1 ? 16u : 0u) | (ez < c.z ? 32u : 0u);
            if (m == 0) continue;
            shown.push_back(c);
            shownfaces.push_back(m);
            faces += static_cast<std::size_t>(__builtin_popcount(m));
        }
    };
    take(opaque);
    const std::size_t opaqueshown = faces;   // quads of the opaque pass
    take(translucent);
    ASSERT_EQ(q.size(), faces);
    EXPECT_EQ(drawn, shown);
    EXPECT_EQ(drawnfaces, shownfaces);
    EXPECT_LT(shown.size(), listed.size());
    EXPECT_LT(q.size(), 3 * shown.size());   // never the six faces of a cube
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), Level::cubeitem{0, 1, 1}), 0);  // behind the eye
    ASSERT_EQ(translucent.size(), 1u);
    EXPECT_EQ(std::get<Level::cubeitem>(translucent[0]), (Level::cubeitem{4, 1, 1}));

    const std::size_t depthoff = firstcall("glDepthMask", {GL_FALSE});
    const std::size_t blend = firstcall("glEnable", {GL_BLEND});
    const std::size_t func = firstcall("glBlendFunc", {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA});
    const std::size_t firstclear = q[opaqueshown].at;
    EXPECT_GT(depthoff, q[opaqueshown - 1].at);
    EXPECT_LT(depthoff, firstclear);
    EXPECT_LT(blend, firstclear);
    EXPECT_LT(func, firstclear);
    for (std::size_t i = 0; i < q.size(); ++i) EXPECT_NEAR(q[i].diffuse[3], i < opaqueshown ? 1.0 : 0.4, 1e-6);
    // No darkening in an open cell.
    EXPECT_EQ(glrec::count("glOrtho"), 0);

    // What is left: depth writes back on, blending, depth test, culling, lights and fog off.
    const auto& log = glrec::log();
    EXPECT_GT(firstcall("glDepthMask", {GL_TRUE}, depthoff), firstclear);
    for (GLenum cap : {GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING, GL_LIGHT0, GL_FOG}) {
        std::string last;
        for (const glcall& c : log)
            if ((c.name == "glEnable" || c.name == "glDisable") && c.args[0] == cap) last = c.name;
        EXPECT_EQ(last, "glDisable") << "capability " << cap;
    }
}

// Viewport, projection, the eye moved sideways for stereo, and light 0 placed
// between the pitch and the heading so it follows the heading only.
TEST(LevelRender, ViewportFrustumEyeAndLight)
{
    struct row {
        int width, height, border;
        double heading, pitch, eyeoffset;
        double left, right, top;
        vec eye;   // box centre (1.5, 1.3, 1.5)
    };
    const row rows[] = {
        {800, 600, 40, 90.0, 0.0, 0.0, -0.029, 0.029, 0.02175, {1.5, 1.52, 1.5}},
        {800, 600, 40, 0.0, 10.0, 0.03, -0.026, 0.032, 0.02175, {1.47, 1.52, 1.5}},
        {800, 600, 40, 90.0, -20.0, -0.03, -0.032, 0.026, 0.02175, {1.5, 1.52, 1.53}},
        {799, 400, 39, 30.0, 0.0, 0.0, -0.029, 0.029, 0.029 * 400 / 799, {1.5, 1.52, 1.5}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE("heading " + std::to_string(r.heading) + " offset " + std::to_string(r.eyeoffset));
        frame f = corridor();
        f.player.heading = r.heading;
        f.player.pitch = r.pitch;
        glrec::clear();
        Level::render(f.level, f.player, r.width, r.height, r.border, true, true, false, r.eyeoffset);
        const auto& log = glrec::log();

        auto vp = glrec::calls("glViewport");
        ASSERT_EQ(vp.size(), 1u);
        EXPECT_EQ(vp[0].args, (std::vector<double>{0, double(r.border), double(r.width - r.border),
                                                   double(r.height - r.border)}));
        auto fr = glrec::calls("glFrustum");
        ASSERT_EQ(fr.size(), 1u);
        const double want[6] = {r.left, r.right, -r.top, r.top, 0.03, 90.0};
        for (int k = 0; k < 6; ++k) EXPECT_NEAR(fr[0].args[k], want[k], 1e-6) << k;

        // The model-view: identity, pitch, light, heading, minus the eye.
        const std::size_t ident = firstcall("glLoadIdentity", {}, firstcall("glMatrixMode", {GL_MODELVIEW}));
        ASSERT_LT(ident + 4, log.size());
        EXPECT_EQ(log[ident + 1].name, "glRotated");
        EXPECT_EQ(log[ident + 1].args, (std::vector<double>{r.pitch, 1, 0, 0}));
        EXPECT_EQ(log[ident + 2].name, "glLightfv");
        EXPECT_EQ(log[ident + 2].args, (std::vector<double>{GL_LIGHT0, GL_POSITION, 0, 0, 1, 0}));
        EXPECT_EQ(log[ident + 3].name, "glRotated");
        EXPECT_EQ(log[ident + 3].args, (std::vector<double>{r.heading, 0, 1, 0}));
        EXPECT_EQ(log[ident + 4].name, "glTranslated");
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(log[ident + 4].args[k], -r.eye[k], 1e-6) << k;
    }
}

// Lighting off: no lighting state is touched at all; fog is set all the same.
TEST(LevelRender, LightingOffTouchesNoLightButKeepsFog)
{
    frame f = corridor();
    glrec::clear();
    Level::render(f.level, f.player, 800, 600, 40, false, true, false, 0.0);
    EXPECT_EQ(glrec::count("glLightfv"), 0);
    EXPECT_EQ(glrec::count("glLightModelfv"), 0);
    for (GLenum cap : {GL_LIGHTING, GL_LIGHT0}) {
        EXPECT_EQ(firstcall("glEnable", {double(cap)}), glrec::log().size());
        EXPECT_EQ(firstcall("glDisable", {double(cap)}), glrec::log().size());
    }
    EXPECT_EQ(glrec::calls("glFogi").at(0).args, (std::vector<double>{GL_FOG_MODE, GL_EXP}));
    EXPECT_NEAR(glrec::calls("glFogf").at(0).args.at(1), 0.4, 1e-6);
    EXPECT_LT(firstcall("glEnable", {GL_FOG}), glrec::log().size());

    // With lighting on: the model's and light 0's colours.
    glrec::clear();
    Level::render(f.level, f.player, 800, 600, 40, true, true, false, 0.0);
    auto model = glrec::calls("glLightModelfv");
    ASSERT_EQ(model.size(), 1u);
    EXPECT_EQ(model[0].args[0], GL_LIGHT_MODEL_AMBIENT);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(model[0].args[1 + k], 0.1, 1e-6);
    const std::pair<GLenum, double> light[] = {{GL_AMBIENT, 0.9}, {GL_DIFFUSE, 1.0}, {GL_SPECULAR, 1.0}};
    for (auto [pname, value] : light) {
        bool found = false;
        for (const glcall& c : glrec::calls("glLightfv"))
            if (c.args[1] == pname) {
                found = true;
                for (int k = 0; k < 3; ++k) EXPECT_NEAR(c.args[2 + k], value, 1e-6) << pname;
                EXPECT_EQ(c.args[5], 1.0);
            }
        EXPECT_TRUE(found) << pname;
    }
}

// The eye inside returning matter: a black quad over the whole view with
// alpha 1 - dm, drawn after the scene with blending still on.
TEST(LevelRender, DarkeningInsideDematterizedMatter)
{
    const double dms[] = {0.25, 0.1, 1.0};
    for (double dm : dms) {
        SCOPED_TRACE("dm " + std::to_string(dm));
        frame f = corridor();
        cuberec& c = Level::getcube(f.level, 1, 1, 1);
        c.walls = std::array<std::uint8_t, 6>{0, 0, 0, 0, 0, 0};
        c.dm = dm;
        Level::touchall(f.level);
        glrec::clear();
        Level::render(f.level, f.player, 800, 600, 40, true, true, false, 0.0);
        const auto& log = glrec::log();

        const std::size_t ortho = firstcall("glOrtho", {0, 1, 0, 1, -1, 1});
        ASSERT_LT(ortho, log.size());
        EXPECT_GT(ortho, firstcall("glDisable", {GL_DEPTH_TEST}));
        const std::size_t colour = firstcall("glColor4d", {}, ortho);
        ASSERT_LT(colour, log.size());
        EXPECT_EQ(log[colour].args, (std::vector<double>{0, 0, 0, 1.0 - dm}));
        const std::size_t begin = firstcall("glBegin", {GL_QUADS}, colour);
        ASSERT_LT(begin + 5, log.size());
        const std::vector<double> corners[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(log[begin + 1 + k].name, "glVertex2d");
            EXPECT_EQ(log[begin + 1 + k].args, corners[k]);
        }
        EXPECT_EQ(log[begin + 5].name, "glEnd");
        EXPECT_LT(firstcall("glEnable", {GL_BLEND}), begin);
        EXPECT_GT(firstcall("glDisable", {GL_BLEND}, begin), begin + 5);
        EXPECT_LT(firstcall("glDisable", {GL_BLEND}, begin), log.size());
    }
}

}  // namespace

// Only faces whose plane the eye is beyond can show their front; an eye on a
// plane keeps that face (it is seen edge-on and costs nothing).
TEST(Drawcube, FacingFacesAreThoseWhosePlaneTheEyeIsBeyond)
{
    const struct {
        double ex, ey, ez;
        unsigned mask;
    } rows[] = {
        {1.5, 1.5, 1.5, 2u},              // in front of the -x face only
        {5.5, 1.5, 1.5, 1u},              // beyond +x
        {3.5, 3.5, 0.5, 4u | 32u},        // above and before -z
        {3.0, 1.5, 1.5, 2u},              // on the -x plane: kept
        {3.5, 1.5, 1.5, 0u},              // inside the cube's column: nothing faces it
    };
    for (const auto& r : rows) EXPECT_EQ(Level::facingfaces(r.ex, r.ey, r.ez, 3, 1, 1), r.mask) << r.ex << " " << r.ey;
}
