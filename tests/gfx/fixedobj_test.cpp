// fixedobj_test.cpp -- bars and steps: their models, display lists and how they are placed
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "drawcheck.h"
#include "glrecord.h"
#include "objects/fixedobj_gl.h"

namespace {

using drawcheck::prim;
using drawcheck::replay;
using drawcheck::replayrec;
using drawcheck::vec;

struct flagcase {
    bool textured, grey;
};
const flagcase allflags[4] = {{false, false}, {true, false}, {false, true}, {true, true}};

std::string label(const char* what, flagcase f)
{
    return std::string(what) + (f.textured ? " textured" : " plain") + (f.grey ? " grey" : "");
}

const unsigned long somehandle = 9;
const double at[4] = {-0.375, -0.125, 0.125, 0.375};

int texturing(const std::string& call)
{
    int n = 0;
    for (const glcall& c : glrec::calls(call))
        if (c.args[0] == GL_TEXTURE_2D) ++n;
    return n;
}

TEST(FixedobjBars, GridOfEightBarsInOrderWithTexturedSidesOnly)
{
    for (flagcase f : allflags) {
        const std::string what = label("bars", f);
        SCOPED_TRACE(what);
        glrec::clear();
        Fixedobj::drawbarsxy(1.0, f.textured, f.grey, f.textured ? somehandle : 0);
        const replayrec r = replay();
        EXPECT_EQ(glrec::vertexcount(), 336);
        ASSERT_EQ(r.prims.size(), 24u);  // cap, side, cap per bar
        EXPECT_FALSE(r.state.texture2d);

        for (int b = 0; b < 8; ++b) {
            SCOPED_TRACE("bar " + std::to_string(b));
            const bool along_y = b < 4;
            const prim &cap1 = r.prims[3 * b], &side = r.prims[3 * b + 1], &cap2 = r.prims[3 * b + 2];
            // Bars along y at x = at[], then bars along x at y = at[].
            const vec centre = along_y ? vec{at[b], -0.5, 0.0} : vec{-0.5, at[b - 4], 0.0};
            EXPECT_EQ(cap1.mode, GL_TRIANGLE_FAN);
            EXPECT_EQ(cap1.v.at(0).p, centre);
            EXPECT_EQ(side.mode, GL_QUAD_STRIP);
            ASSERT_EQ(side.v.size(), 20u);

            double smin = 1, smax = -1;
            for (const auto& v : side.v) {
                // On the bar's surface, the normal pointing straight out of its axis.
                const double du = along_y ? v.p[0] - at[b] : v.p[1] - at[b - 4];
                EXPECT_NEAR(du * du + v.p[2] * v.p[2], 0.025 * 0.025, 1e-12);
                EXPECT_NEAR(along_y ? v.n[0] : v.n[1], du / 0.025, 1e-9);
                EXPECT_NEAR(v.n[2], v.p[2] / 0.025, 1e-9);
                EXPECT_EQ(v.hastex, f.textured);
                if (!f.textured) continue;
                // t is 1 at the upper end of a y bar and at the x = -0.5 end of an x bar.
                const bool tone = along_y ? v.p[1] == 0.5 : v.p[0] == -0.5;
                EXPECT_EQ(v.t, tone ? 1.0 : 0.0);
                smin = std::min(smin, v.s);
                smax = std::max(smax, v.s);
            }
            if (f.textured) {
                EXPECT_TRUE(side.texture2d);
                EXPECT_EQ(side.bound, somehandle);
                EXPECT_DOUBLE_EQ(smin, 0.0);
                EXPECT_NEAR(smax, 0.1575, 1e-12);
                EXPECT_NEAR(side.v[2].s - side.v[0].s, 0.0175, 1e-12);
            }
            for (const prim* cap : {&cap1, &cap2})
                for (const auto& v : cap->v) EXPECT_FALSE(v.hastex);
            for (const prim* p : {&cap1, &side, &cap2}) EXPECT_GT(drawcheck::expectoutward(*p, what), 0);
        }
        if (!f.textured) {
            EXPECT_EQ(glrec::count("glTexCoord2d"), 0);
            EXPECT_EQ(texturing("glEnable") + texturing("glDisable"), 0);
            EXPECT_EQ(glrec::count("glTexEnvi") + glrec::count("glBindTexture"), 0);
        }
    }
}

TEST(FixedobjBars, SingleBarsFollowTheirRadiusAndSegments)
{
    using barfn = void (*)(double, double, int);
    struct barcase {
        const char* what;
        barfn draw;
        bool textured;
    } cases[] = {
        {"ybar", Fixedobj::drawybar, false},
        {"ybartex", Fixedobj::drawybartex, true},
        {"xbar", Fixedobj::drawxbar, false},
        {"xbartex", Fixedobj::drawxbartex, true},
    };
    for (const barcase& c : cases) {
        SCOPED_TRACE(c.what);
        glrec::clear();
        c.draw(0.2, 0.1, 4);
        const replayrec r = replay();
        EXPECT_EQ(glrec::vertexcount(), 4 * 4 + 6);
        ASSERT_EQ(r.prims.size(), 3u);
        const prim& side = r.prims[1];
        EXPECT_EQ(side.texture2d, c.textured);
        EXPECT_FALSE(r.prims[0].texture2d);
        EXPECT_FALSE(r.state.texture2d);
        EXPECT_EQ(glrec::count("glTexCoord2d"), c.textured ? 10 : 0);
        if (c.textured) {
            EXPECT_NEAR(side.v.back().s, 6.3 * 0.1, 1e-12);
        }
        // The ring closes on its first point.
        EXPECT_NEAR(side.v[8].p[1], side.v[0].p[1], 1e-12);
        EXPECT_NEAR(side.v[8].p[2], side.v[0].p[2], 1e-12);
        for (const prim& p : r.prims) drawcheck::expectoutward(p, c.what);
    }
}

struct rgb {
    double r, g, b;
};

void expectrgba(const drawcheck::rgba& got, rgb want, double fourth, const char* what)
{
    EXPECT_NEAR(got[0], want.r, 1e-6) << what;
    EXPECT_NEAR(got[1], want.g, 1e-6) << what;
    EXPECT_NEAR(got[2], want.b, 1e-6) << what;
    EXPECT_NEAR(got[3], fourth, 1e-6) << what;
}

TEST(FixedobjModels, ColoursAndMaterialsWithAlpha)
{
    using modelfn = void (*)(double, bool, bool, unsigned long);
    struct colourcase {
        const char* what;
        modelfn draw;
        flagcase f;
        rgb colour, ad, spec;
        double specfourth;  // the step's highlight stays opaque
        double shin;
    } cases[] = {
        {"bars plain",
         Fixedobj::drawbarsxy,
         {false, false},
         {0.7, 0.6, 0.1},
         {0.5, 0.4, 0.1},
         {0.9, 0.8, 0.3},
         0.4,
         20},
        {"bars grey",
         Fixedobj::drawbarsxy,
         {false, true},
         {0.6, 0.6, 0.6},
         {0.5, 0.5, 0.5},
         {0.9, 0.9, 0.9},
         0.4,
         20},
        {"bars textured",
         Fixedobj::drawbarsxy,
         {true, false},
         {1, 1, 1},
         {0.5, 0.4, 0.1},
         {0.9, 0.8, 0.3},
         0.4,
         20},
        {"step plain",
         Fixedobj::drawstep,
         {false, false},
         {0.5, 0.45, 0.3},
         {0.5, 0.45, 0.3},
         {0.1, 0.1, 0.0},
         1.0,
         1},
        {"step grey",
         Fixedobj::drawstep,
         {false, true},
         {0.45, 0.45, 0.45},
         {0.45, 0.45, 0.45},
         {0.1, 0.1, 0.1},
         1.0,
         1},
        {"step textured grey",
         Fixedobj::drawstep,
         {true, true},
         {1, 1, 1},
         {0.45, 0.45, 0.45},
         {0.1, 0.1, 0.1},
         1.0,
         1},
    };
    for (const colourcase& c : cases) {
        SCOPED_TRACE(c.what);
        glrec::clear();
        c.draw(0.4, c.f.textured, c.f.grey, c.f.textured ? somehandle : 0);
        const replayrec r = replay();
        EXPECT_EQ(r.othercolour, 0);
        ASSERT_FALSE(r.prims.empty());
        for (const prim& p : r.prims) {
            expectrgba(p.colour, c.colour, 0.4, "colour");
            expectrgba(p.front.ad, c.ad, 0.4, "ambient and diffuse");
            expectrgba(p.front.spec, c.spec, c.specfourth, "specular");
            EXPECT_FLOAT_EQ(p.front.shin, c.shin);
            if (c.f.textured) {
                EXPECT_EQ(p.bound, somehandle);
            }
        }
    }
}

TEST(FixedobjStep, SixFacesWoundOutwardsWithTheImageLaidOnThem)
{
    for (flagcase f : allflags) {
        const std::string what = label("step", f);
        SCOPED_TRACE(what);
        glrec::clear();
        Fixedobj::drawstep(1.0, f.textured, f.grey, f.textured ? somehandle : 0);
        const replayrec r = replay();
        ASSERT_EQ(r.prims.size(), 1u);
        const prim& q = r.prims[0];
        EXPECT_EQ(q.mode, GL_QUADS);
        ASSERT_EQ(q.v.size(), 24u);
        EXPECT_EQ(drawcheck::expectoutward(q, what), 12);
        EXPECT_EQ(q.texture2d, f.textured);
        EXPECT_FALSE(r.state.texture2d);
        for (const auto& v : q.v) {
            // Every corner lies on the face its normal names.
            for (int a = 0; a < 3; ++a)
                if (v.n[a] != 0) {
                    EXPECT_DOUBLE_EQ(v.p[a], v.n[a] * (a == 1 ? 0.25 : 0.5));
                }
            EXPECT_EQ(v.hastex, f.textured);
            if (!f.textured) continue;
            if (v.n[1] != 0) {  // top and bottom: the whole image, x across, z down
                EXPECT_DOUBLE_EQ(v.s, v.p[0] + 0.5);
                EXPECT_DOUBLE_EQ(v.t, v.p[2] + 0.5);
            } else {  // sides: the lower half of the image, height up
                EXPECT_DOUBLE_EQ(v.s, (v.n[0] != 0 ? v.p[2] : v.p[0]) + 0.5);
                EXPECT_DOUBLE_EQ(v.t, v.p[1] + 0.25);
            }
        }
        if (!f.textured) {
            EXPECT_EQ(texturing("glEnable") + texturing("glDisable") + glrec::count("glBindTexture"), 0);
        }
    }
}

// --- init and render -------------------------------------------------------

const std::vector<std::string> images = {"bars", "step"};

struct initrec {
    std::vector<double> names;  // bars, bars grey, step, step grey
    std::vector<double> sets;   // first list of plain, textured, grey, textured grey
};

initrec runinit()
{
    glrec::clear();
    Fixedobj::init();
    initrec r;
    r.names = drawcheck::texturenames();
    for (const glcall& c : glrec::calls("glGenLists")) {
        EXPECT_EQ(c.args[0], 2);
        r.sets.push_back(c.args[1]);
    }
    return r;
}

int setindex(flagcase f) { return (f.grey ? 2 : 0) + (f.textured ? 1 : 0); }

TEST(FixedobjInit, LoadsFourImagesThenCompilesTheGridsThenTheSteps)
{
    drawcheck::datadir data(images);
    ASSERT_TRUE(data.readable());
    const initrec in = runinit();
    EXPECT_EQ(drawcheck::uploadwidths(), (std::vector<double>{1, 2, 3, 4}));
    ASSERT_EQ(in.names.size(), 4u);
    ASSERT_EQ(in.sets.size(), 4u);

    const auto lists = glrec::calls("glNewList");
    ASSERT_EQ(lists.size(), 8u);
    for (int model = 0; model < 2; ++model)
        for (flagcase f : allflags) {
            SCOPED_TRACE(label(model == 0 ? "bars" : "step", f));
            const glcall& nl = lists[4 * model + setindex(f)];
            EXPECT_EQ(nl.args[0], in.sets[setindex(f)] + model);
            EXPECT_EQ(nl.args[1], GL_COMPILE);
            const std::vector<glcall> body = drawcheck::listbody(nl.args[0]);
            const replayrec r = replay(body);
            int verts = 0, texcoords = 0;
            std::vector<double> bound;
            for (const glcall& c : body) {
                verts += c.name == "glVertex3d";
                texcoords += c.name == "glTexCoord2d";
                if (c.name == "glBindTexture") bound.push_back(c.args[1]);
                if (c.name == "glColor4d") {
                    EXPECT_EQ(c.args[3], 1.0);
                }
            }
            EXPECT_EQ(verts, model == 0 ? 336 : 24);
            if (f.textured) {
                EXPECT_EQ(bound, std::vector<double>{in.names[2 * model + (f.grey ? 1 : 0)]});
                EXPECT_GT(texcoords, 0);
            } else {
                EXPECT_TRUE(bound.empty());
                EXPECT_EQ(texcoords, 0);
            }
            EXPECT_FALSE(r.state.texture2d);
        }
}

// Applies a recorded glRotated (degrees about an axis through the origin) to p.
vec rotate(const std::vector<double>& r, const vec& p)
{
    const double a = r[0] * 3.14159265358979323846 / 180.0;
    double k[3] = {r[1], r[2], r[3]};
    const double len = std::sqrt(k[0] * k[0] + k[1] * k[1] + k[2] * k[2]);
    for (double& c : k) c /= len;
    const vec kv{k[0], k[1], k[2]};
    const vec kxp = drawcheck::cross(kv, p);
    const double kp = drawcheck::dot(kv, p), c = std::cos(a), s = std::sin(a);
    vec out;
    for (int i = 0; i < 3; ++i) out[i] = p[i] * c + kxp[i] * s + kv[i] * kp * (1 - c);
    return out;
}

TEST(FixedobjRender, TurnedByKindListWhenSolidDirectWhenFading)
{
    drawcheck::datadir data(images);
    ASSERT_TRUE(data.readable());
    const initrec in = runinit();
    ASSERT_EQ(in.sets.size(), 4u);
    struct kindcase {
        const char* what;
        int kind;
        std::vector<double> rotation;  // empty: none
        vec firstbarfoot;              // where the grid's first bar starts, turned
    } cases[] = {
        {"barsxy", barsxy, {}, {-0.375, -0.5, 0.0}},
        {"barszy", barszy, {90, 0, 1, 0}, {0.0, -0.5, 0.375}},
        {"barsxz", barsxz, {90, 1, 0, 0}, {-0.375, 0.0, -0.5}},
        {"step", step, {}, {}},
    };
    for (const kindcase& c : cases)
        for (flagcase f : allflags) {
            SCOPED_TRACE(label(c.what, f));
            fixedobjrec o = Fixedobj::newfixed(c.kind, 3.5, 1.25, 2.5);
            const bool isstep = c.kind == step;

            glrec::clear();
            Fixedobj::render(o, f.textured, f.grey);
            std::vector<glcall> log = glrec::log();
            ASSERT_EQ(log.size(), c.rotation.empty() ? 4u : 5u);
            EXPECT_EQ(log[0].name, "glPushMatrix");
            EXPECT_EQ(log[1].name, "glTranslated");
            EXPECT_EQ(log[1].args, (std::vector<double>{3.5, 1.25, 2.5}));
            if (!c.rotation.empty()) {
                EXPECT_EQ(log[2].name, "glRotated");
                EXPECT_EQ(log[2].args, c.rotation);
            }
            const glcall& call = log[log.size() - 2];
            EXPECT_EQ(call.name, "glCallList");
            EXPECT_EQ(call.args[0], in.sets[setindex(f)] + (isstep ? 1 : 0));
            EXPECT_EQ(log.back().name, "glPopMatrix");

            o.dm = 0.25;
            glrec::clear();
            Fixedobj::render(o, f.textured, f.grey);
            const replayrec r = replay();
            EXPECT_EQ(glrec::count("glCallList"), 0);
            EXPECT_EQ(glrec::vertexcount(), isstep ? 24 : 336);
            EXPECT_EQ(glrec::log().back().name, "glPopMatrix");
            for (const glcall& col : glrec::calls("glColor4d")) EXPECT_EQ(col.args[3], 0.75);
            for (const prim& p : r.prims) EXPECT_FLOAT_EQ(p.front.spec[3], isstep ? 1.0 : 0.75);
            if (f.textured) {
                const auto bind = glrec::calls("glBindTexture");
                ASSERT_EQ(bind.size(), 1u);
                EXPECT_EQ(bind[0].args[1], in.names[(isstep ? 2 : 0) + (f.grey ? 1 : 0)]);
            }
            if (!isstep) {
                vec foot = r.prims.at(0).v.at(0).p;
                const auto rot = glrec::calls("glRotated");
                if (!rot.empty()) foot = rotate(rot[0].args, foot);
                for (int a = 0; a < 3; ++a) EXPECT_NEAR(foot[a], c.firstbarfoot[a], 1e-12);
            }
        }
}

TEST(FixedobjInitDeathTest, FirstMissingImageIsReportedAndEndsWithStatusZero)
{
    struct missing {
        std::vector<std::string> leaveout;
        const char* message;
    } cases[] = {
        {{"Data/bars.ppm"}, "Problem loading image Data/bars\\.ppm"},
        {{"Data/step_grey.ppm"}, "Problem loading image Data/step_grey\\.ppm"},
        {{"Data/bars_grey.ppm", "Data/step.ppm"}, "Problem loading image Data/bars_grey\\.ppm"},
    };
    for (const missing& c : cases) {
        SCOPED_TRACE(c.message);
        drawcheck::datadir data(images, c.leaveout);
        ASSERT_TRUE(data.readable());
        EXPECT_EXIT(Fixedobj::init(), ::testing::ExitedWithCode(0), c.message);
    }
}

}  // namespace
