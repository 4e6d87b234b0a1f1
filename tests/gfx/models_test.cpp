// models_test.cpp -- the free objects' models, their display lists and how a free object is drawn
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawcheck.h"
#include "glrecord.h"
#include "objects/freeobj_gl.h"

namespace {

using drawcheck::prim;
using drawcheck::replay;
using drawcheck::replayrec;

using modelfn = void (*)(double, bool, bool, unsigned long);

struct modelcase {
    const char* name;
    modelfn draw;
    int vertices;
    int texcoords;  // vertices that carry a texture coordinate when textured
};
const modelcase models[3] = {
    {"charge", Freeobj::drawcharge, 130, 32},
    {"bribe", Freeobj::drawbribe, 66, 66},
    {"teleporter", Freeobj::drawteleporter, 24, 24},
};

struct flagcase {
    bool textured, grey;
};
const flagcase allflags[4] = {{false, false}, {true, false}, {false, true}, {true, true}};

std::string label(const char* what, flagcase f)
{
    return std::string(what) + (f.textured ? " textured" : " plain") + (f.grey ? " grey" : "");
}

const unsigned long somehandle = 7;

replayrec draw(const modelcase& m, double alpha, flagcase f)
{
    glrec::clear();
    m.draw(alpha, f.textured, f.grey, f.textured ? somehandle : 0);
    return replay();
}

int texturing(const std::string& call)
{
    int n = 0;
    for (const glcall& c : glrec::calls(call))
        if (c.args[0] == GL_TEXTURE_2D) ++n;
    return n;
}

TEST(FreeobjModels, VerticesTextureCoordinatesAndWindingPerVariant)
{
    for (const modelcase& m : models)
        for (flagcase f : allflags) {
            const std::string what = label(m.name, f);
            SCOPED_TRACE(what);
            const replayrec r = draw(m, 1.0, f);
            EXPECT_EQ(glrec::vertexcount(), m.vertices);
            EXPECT_EQ(glrec::count("glBegin"), glrec::count("glEnd"));

            int withtex = 0, checked = 0;
            for (const prim& p : r.prims) {
                int here = 0;
                for (const auto& v : p.v) here += v.hastex;
                // A part is textured as a whole or not at all.
                EXPECT_TRUE(here == 0 || here == static_cast<int>(p.v.size()));
                if (here > 0) {
                    EXPECT_TRUE(p.texture2d);
                    EXPECT_EQ(p.bound, somehandle);
                }
                withtex += here;
                checked += drawcheck::expectoutward(p, what);
            }
            EXPECT_GT(checked, 0);
            EXPECT_EQ(glrec::count("glTexCoord2d"), withtex) << "texture coordinates outside vertices";
            EXPECT_FALSE(r.state.texture2d) << "texturing left on";
            if (f.textured) {
                EXPECT_EQ(withtex, m.texcoords);
                const auto env = glrec::calls("glTexEnvi");
                ASSERT_EQ(env.size(), 1u);
                EXPECT_EQ(env[0].args,
                          (std::vector<double>{GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}));
            } else {
                EXPECT_EQ(withtex, 0);
                EXPECT_EQ(texturing("glEnable") + texturing("glDisable"), 0);
                EXPECT_EQ(glrec::count("glTexEnvi") + glrec::count("glBindTexture"), 0);
            }
        }
}

TEST(FreeobjModels, AlphaIsTheFourthComponentOfEveryColourAndMaterial)
{
    for (const modelcase& m : models)
        for (flagcase f : allflags) {
            SCOPED_TRACE(label(m.name, f));
            const replayrec r = draw(m, 0.4, f);
            EXPECT_EQ(r.othercolour, 0);
            EXPECT_GT(r.colourcalls, 0);
            for (const glcall& c : glrec::calls("glColor4d")) EXPECT_EQ(c.args[3], 0.4);
            int back = 0;
            for (const glcall& c : glrec::calls("glMaterialfv")) {
                EXPECT_FLOAT_EQ(c.args[5], 0.4f);
                back += c.args[0] == GL_BACK;
            }
            EXPECT_EQ(back, m.draw == Freeobj::drawteleporter ? 2 : 0);
        }
}

struct rgb {
    double r, g, b;
};

void expectrgb(const drawcheck::rgba& got, rgb want, const char* what)
{
    EXPECT_NEAR(got[0], want.r, 1e-6) << what;
    EXPECT_NEAR(got[1], want.g, 1e-6) << what;
    EXPECT_NEAR(got[2], want.b, 1e-6) << what;
}

struct partstate {
    rgb colour, ad, spec;
    double shin;
};

void expectparts(const replayrec& r, const std::vector<partstate>& want)
{
    ASSERT_EQ(r.prims.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE("part " + std::to_string(i));
        expectrgb(r.prims[i].colour, want[i].colour, "colour");
        expectrgb(r.prims[i].front.ad, want[i].ad, "ambient and diffuse");
        expectrgb(r.prims[i].front.spec, want[i].spec, "specular");
        EXPECT_FLOAT_EQ(r.prims[i].front.shin, want[i].shin);
    }
}

TEST(FreeobjModels, ChargePartsColoursAndMaterials)
{
    const rgb metal{0.7, 0.7, 0.7}, white{1, 1, 1}, blue{0.2, 0.2, 1.0}, brass{0.4, 0.3, 0.0},
        brassspec{0.8, 0.7, 0.0};
    // bottom disc, body, top ring, terminal side, terminal cap
    {
        SCOPED_TRACE("plain");
        expectparts(draw(models[0], 1.0, {false, false}), {{metal, metal, white, 30},
                                                           {blue, blue, white, 20},
                                                           {metal, metal, white, 30},
                                                           {brass, brass, brassspec, 30},
                                                           {brass, brass, brassspec, 30}});
    }
    {
        SCOPED_TRACE("textured: white body over the blue material");
        expectparts(draw(models[0], 1.0, {true, false}), {{metal, metal, white, 30},
                                                          {white, blue, white, 20},
                                                          {metal, metal, white, 30},
                                                          {brass, brass, brassspec, 30},
                                                          {brass, brass, brassspec, 30}});
    }
    {
        SCOPED_TRACE("grey: the terminal keeps the ring's materials");
        const rgb dark{0.3, 0.3, 0.3};
        expectparts(draw(models[0], 1.0, {false, true}), {{metal, metal, white, 30},
                                                          {metal, metal, white, 20},
                                                          {metal, metal, white, 30},
                                                          {dark, metal, white, 30},
                                                          {dark, metal, white, 30}});
    }
}

TEST(FreeobjModels, ChargeBodyTextureWrapsOnceAround)
{
    const replayrec r = draw(models[0], 1.0, {true, false});
    ASSERT_GE(r.prims.size(), 2u);
    const prim& body = r.prims[1];
    ASSERT_EQ(body.v.size(), 32u);
    for (int i = 0; i <= 15; ++i) {
        SCOPED_TRACE(i);
        const auto &lo = body.v[2 * i], &hi = body.v[2 * i + 1];
        EXPECT_DOUBLE_EQ(lo.p[1], -0.075);
        EXPECT_DOUBLE_EQ(hi.p[1], 0.06);
        EXPECT_DOUBLE_EQ(lo.s, i / 15.0);
        EXPECT_DOUBLE_EQ(hi.s, i / 15.0);
        EXPECT_EQ(lo.t, 0.0);
        EXPECT_EQ(hi.t, 0.43);
    }
    // The seam closes: the last pair is the first pair's place.
    EXPECT_NEAR(body.v[30].p[0], body.v[0].p[0], 1e-12);
    EXPECT_NEAR(body.v[30].p[2], body.v[0].p[2], 1e-12);
}

TEST(FreeobjModels, BribeLidFollowsItsRoundProfile)
{
    const replayrec r = draw(models[1], 1.0, {true, false});
    ASSERT_EQ(r.prims.size(), 4u);  // box, two lid ends, lid surface
    for (int e = 1; e <= 2; ++e) {
        SCOPED_TRACE(e == 1 ? "left end" : "right end");
        const prim& end = r.prims[e];
        ASSERT_EQ(end.v.size(), 12u);
        for (const auto& v : end.v) {
            EXPECT_DOUBLE_EQ(v.p[0], e == 1 ? -0.1 : 0.1);
            EXPECT_NEAR(v.s, 0.54 + 2 * v.p[2], 1e-12);
            EXPECT_NEAR(v.t, 0.26 + 2 * (v.p[1] - 0.03), 1e-12);
        }
    }
    const prim& lid = r.prims[3];
    ASSERT_EQ(lid.v.size(), 22u);
    for (const auto& v : lid.v) {
        const double dy = v.p[1] - 0.03, dz = v.p[2];
        EXPECT_NEAR(dy * dy + dz * dz, 0.07 * 0.07, 1e-12);
        EXPECT_GE(dy, -1e-12);
        // The normal points away from the lid's axis.
        EXPECT_NEAR(v.n[1], dy / 0.07, 1e-9);
        EXPECT_NEAR(v.n[2], dz / 0.07, 1e-9);
        EXPECT_EQ(v.n[0], 0.0);
    }
    EXPECT_DOUBLE_EQ(lid.v.front().p[2], -0.07);  // starts at the back edge
    EXPECT_NEAR(lid.v.back().p[2], 0.07, 1e-12);  // ends at the front edge
}

TEST(FreeobjModels, BribeAndTeleporterMaterials)
{
    struct sidecase {
        const char* what;
        int model;
        flagcase f;
        rgb colour, ad, spec, backad, backspec;
    } cases[] = {
        {"bribe plain",
         1,
         {false, false},
         {0.5, 0.2, 0.0},
         {0.5, 0.2, 0.0},
         {0.1, 0.1, 0.0},
         {0.2, 0.2, 0.2},
         {0, 0, 0}},
        {"bribe grey",
         1,
         {false, true},
         {0.3, 0.3, 0.3},
         {0.3, 0.3, 0.3},
         {0.1, 0.1, 0.1},
         {0.2, 0.2, 0.2},
         {0, 0, 0}},
        {"bribe textured",
         1,
         {true, false},
         {1, 1, 1},
         {0.5, 0.2, 0.0},
         {0.1, 0.1, 0.0},
         {0.2, 0.2, 0.2},
         {0, 0, 0}},
        {"teleporter plain",
         2,
         {false, false},
         {0, 0, 0.1},
         {0, 0, 0},
         {3, 3, 5},
         {0.4, 0.4, 0.5},
         {0.8, 0.8, 2.0}},
        {"teleporter grey",
         2,
         {false, true},
         {0.05, 0.05, 0.05},
         {0, 0, 0},
         {3, 3, 3},
         {0.4, 0.4, 0.4},
         {1.2, 1.2, 1.2}},
        {"teleporter textured grey",
         2,
         {true, true},
         {1, 1, 1},
         {0, 0, 0},
         {3, 3, 3},
         {0.4, 0.4, 0.4},
         {1.2, 1.2, 1.2}},
    };
    for (const sidecase& c : cases) {
        SCOPED_TRACE(c.what);
        const replayrec r = draw(models[c.model], 1.0, c.f);
        for (const prim& p : r.prims) {
            expectrgb(p.colour, c.colour, "colour");
            expectrgb(p.front.ad, c.ad, "front ambient and diffuse");
            expectrgb(p.front.spec, c.spec, "front specular");
            // The bribe never touches the back (GL's defaults stay).
            expectrgb(p.back.ad, c.backad, "back ambient and diffuse");
            expectrgb(p.back.spec, c.backspec, "back specular");
            EXPECT_FLOAT_EQ(p.front.shin, c.model == 1 ? 1.0 : 10.0);
            EXPECT_FLOAT_EQ(p.back.shin, c.model == 1 ? 0.0 : 10.0);
        }
    }
}

TEST(FreeobjModels, TeleporterShowsBothSidesAndLeavesCullingOn)
{
    for (flagcase f : allflags) {
        SCOPED_TRACE(label("teleporter", f));
        const replayrec r = draw(models[2], 1.0, f);
        ASSERT_FALSE(r.prims.empty());
        for (const prim& p : r.prims) EXPECT_FALSE(p.cullface);
        EXPECT_TRUE(r.state.cullface);
        for (const prim& p : r.prims)
            for (const auto& v : p.v)
                for (double c : v.p) EXPECT_DOUBLE_EQ(std::fabs(c), 0.445);
    }
}

// --- init and render -------------------------------------------------------

const std::vector<std::string> images = {"charge", "bribe", "teleporter"};

struct initrec {
    std::vector<double> names;  // charge, charge grey, bribe, bribe grey, teleporter, teleporter grey
    std::vector<double> sets;   // first list of plain, textured, grey, textured grey
};

initrec runinit()
{
    glrec::clear();
    Freeobj::init();
    initrec r;
    r.names = drawcheck::texturenames();
    for (const glcall& c : glrec::calls("glGenLists")) {
        EXPECT_EQ(c.args[0], 3);
        r.sets.push_back(c.args[1]);
    }
    return r;
}

int setindex(flagcase f) { return (f.grey ? 2 : 0) + (f.textured ? 1 : 0); }

TEST(FreeobjInit, LoadsSixImagesThenCompilesFourSetsKindByKind)
{
    drawcheck::datadir data(images);
    ASSERT_TRUE(data.readable());
    const initrec in = runinit();
    EXPECT_EQ(drawcheck::uploadwidths(), (std::vector<double>{1, 2, 3, 4, 5, 6}));
    ASSERT_EQ(in.names.size(), 6u);
    ASSERT_EQ(in.sets.size(), 4u);
    EXPECT_EQ(glrec::count("glCallList"), 0);

    const auto lists = glrec::calls("glNewList");
    ASSERT_EQ(lists.size(), 12u);
    for (int k = 0; k < 3; ++k)
        for (flagcase f : allflags) {
            const std::string what = label(models[k].name, f);
            SCOPED_TRACE(what);
            const glcall& nl = lists[4 * k + setindex(f)];
            EXPECT_EQ(nl.args[0], in.sets[setindex(f)] + k);
            EXPECT_EQ(nl.args[1], GL_COMPILE);

            const replayrec r = replay(drawcheck::listbody(nl.args[0]));
            int verts = 0, withtex = 0;
            for (const prim& p : r.prims) {
                verts += static_cast<int>(p.v.size());
                for (const auto& v : p.v) withtex += v.hastex;
                EXPECT_EQ(p.colour[3], 1.0);
                if (f.textured && p.texture2d) {
                    EXPECT_EQ(p.bound, in.names[2 * k + (f.grey ? 1 : 0)]);
                }
            }
            EXPECT_EQ(verts, models[k].vertices);
            EXPECT_EQ(withtex, f.textured ? models[k].texcoords : 0);
            // Grey sets draw the grey colours: the charge's terminal, say.
            if (k == 0 && !f.textured)
                expectrgb(r.prims[3].colour, f.grey ? rgb{0.3, 0.3, 0.3} : rgb{0.4, 0.3, 0.0}, "terminal");
        }
}

TEST(FreeobjRender, ListWhenSolidModelWithFadedAlphaWhenDematterized)
{
    drawcheck::datadir data(images);
    ASSERT_TRUE(data.readable());
    const initrec in = runinit();
    ASSERT_EQ(in.sets.size(), 4u);
    for (int k = 0; k < 3; ++k)
        for (flagcase f : allflags) {
            SCOPED_TRACE(label(models[k].name, f));
            freeobjrec o = Freeobj::newfree(k, 2.5, 1.2, 3.5);

            glrec::clear();
            Freeobj::render(o, f.textured, f.grey);
            const auto& log = glrec::log();
            ASSERT_EQ(log.size(), 4u);
            EXPECT_EQ(log[0].name, "glPushMatrix");
            EXPECT_EQ(log[1].name, "glTranslated");
            EXPECT_EQ(log[1].args, (std::vector<double>{2.5, 1.2, 3.5}));
            EXPECT_EQ(log[2].name, "glCallList");
            EXPECT_EQ(log[2].args[0], in.sets[setindex(f)] + k);
            EXPECT_EQ(log[3].name, "glPopMatrix");

            o.dm = 0.5;
            glrec::clear();
            Freeobj::render(o, f.textured, f.grey);
            const replayrec r = replay();
            EXPECT_EQ(glrec::count("glCallList"), 0);
            EXPECT_EQ(glrec::vertexcount(), models[k].vertices);
            EXPECT_EQ(glrec::log().front().name, "glPushMatrix");
            EXPECT_EQ(glrec::log().back().name, "glPopMatrix");
            for (const glcall& c : glrec::calls("glColor4d")) EXPECT_EQ(c.args[3], 0.5);
            if (f.textured) {
                const auto bind = glrec::calls("glBindTexture");
                ASSERT_EQ(bind.size(), 1u);
                EXPECT_EQ(bind[0].args[1], in.names[2 * k + (f.grey ? 1 : 0)]);
            }
        }
}

TEST(FreeobjInitDeathTest, FirstMissingImageIsReportedAndEndsWithStatusZero)
{
    struct missing {
        std::vector<std::string> leaveout;
        const char* message;
    } cases[] = {
        {{"Data/charge.ppm"}, "Problem loading image Data/charge\\.ppm"},
        {{"Data/bribe_grey.ppm", "Data/teleporter.ppm"}, "Problem loading image Data/bribe_grey\\.ppm"},
        {{"Data/teleporter_grey.ppm"}, "Problem loading image Data/teleporter_grey\\.ppm"},
    };
    for (const missing& c : cases) {
        SCOPED_TRACE(c.message);
        drawcheck::datadir data(images, c.leaveout);
        ASSERT_TRUE(data.readable());
        EXPECT_EXIT(Freeobj::init(), ::testing::ExitedWithCode(0), c.message);
    }
}

}  // namespace
