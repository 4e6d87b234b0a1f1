// status_test.cpp -- the status panels: charge bar, chance portraits, teleporter squares; the eye transform
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "drawcheck.h"
#include "glrecord.h"
#include "player/view.h"

namespace {

using rgb = std::array<double, 3>;
const rgb red{1, 0, 0}, yellow{1, 1, 0}, green{0, 1, 0}, white{1, 1, 1};

struct vert {
    double x, y;
    rgb colour;
    bool tex;
    double s, t;
};

// One glBegin/glEnd group of flat vertices, with the state it was drawn in.
struct flatprim {
    double mode = 0;
    std::vector<vert> v;
    double shade = GL_SMOOTH;   // shade model at glBegin
    bool texture2d = false;
    double bound = 0;
    std::vector<double> viewport, ortho;
};

std::vector<flatprim> flatprims()
{
    std::vector<flatprim> out;
    flatprim st;
    rgb colour = white;
    bool pendingtex = false;
    double s = 0, t = 0;
    bool open = false;
    for (const glcall& c : glrec::log()) {
        const auto& a = c.args;
        if (c.name == "glBegin") {
            out.push_back(st);
            out.back().mode = a[0];
            open = true;
        } else if (c.name == "glEnd") {
            open = false;
        } else if (c.name == "glColor3d") {
            colour = {a[0], a[1], a[2]};
        } else if (c.name == "glTexCoord2d") {
            s = a[0], t = a[1];
            pendingtex = true;
        } else if (c.name == "glVertex2d" && open) {
            out.back().v.push_back({a[0], a[1], colour, pendingtex, s, t});
            pendingtex = false;
        } else if (c.name == "glShadeModel") {
            st.shade = a[0];
        } else if ((c.name == "glEnable" || c.name == "glDisable") && a[0] == GL_TEXTURE_2D) {
            st.texture2d = c.name == "glEnable";
        } else if (c.name == "glBindTexture") {
            st.bound = a[1];
        } else if (c.name == "glViewport") {
            st.viewport = a;
        } else if (c.name == "glOrtho") {
            st.ortho = a;
        }
    }
    return out;
}

veskrec player(double charge, int chances, int charges)
{
    veskrec v = Vesk::newvesk();
    v.charge = charge;
    v.chances = chances;
    v.charges = charges;
    return v;
}

void expectcolour(const rgb& got, const rgb& want, const std::string& what)
{
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], want[k], 1e-9) << what << " component " << k;
}

// The bar runs from 0.1 to 0.1 + 18.9 * charge, red to yellow, and on to
// green past the one-shot mark at 7.66 when the charge allows a shot.
TEST(StatusPanels, ChargeBarEndsAndColours)
{
    struct row {
        double charge;
        bool grey;
        std::vector<double> xs;   // one per vertex pair
        std::vector<rgb> colours;
    };
    const row rows[] = {
        {1.0, false, {0.1, 7.66, 19.0}, {red, yellow, green}},
        {0.6, false, {0.1, 7.66, 11.44}, {red, yellow, green}},
        {0.4, false, {0.1, 7.66, 7.66}, {red, yellow, green}},
        {0.39, false, {0.1, 7.471}, {red, yellow}},
        {0.0, false, {0.1, 0.1}, {red, yellow}},
        {1.0, true, {0.1, 7.66, 19.0}, {white, white, white}},
        {0.2, true, {0.1, 3.88}, {white, white}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE("charge " + std::to_string(r.charge) + (r.grey ? " grey" : ""));
        glrec::clear();
        Vesk::render(player(r.charge, 5, 0), 800, 600, 40, r.grey);
        const auto prims = flatprims();
        ASSERT_FALSE(prims.empty());
        const flatprim& bar = prims[0];
        EXPECT_EQ(bar.mode, GL_QUAD_STRIP);
        EXPECT_EQ(bar.viewport, (std::vector<double>{0, 0, 760, 40}));
        EXPECT_EQ(bar.ortho, (std::vector<double>{0, 19, 0, 1, -1, 1}));
        EXPECT_EQ(bar.shade, r.grey ? GL_FLAT : GL_SMOOTH);
        ASSERT_EQ(bar.v.size(), 2 * r.xs.size());
        for (std::size_t i = 0; i < bar.v.size(); ++i) {
            EXPECT_NEAR(bar.v[i].x, r.xs[i / 2], 1e-9) << i;
            EXPECT_NEAR(bar.v[i].y, i % 2 == 0 ? 0.1 : 0.9, 1e-12) << i;
            expectcolour(bar.v[i].colour, r.colours[i / 2], "vertex " + std::to_string(i));
        }
        // Left flat for whatever is drawn next.
        EXPECT_EQ(glrec::calls("glShadeModel").back().args[0], GL_FLAT);
    }
}

// Five chances fill the lower half of the column; more than ten show ten.
// Each portrait is a textured unit square, the image upright.
TEST(StatusPanels, ChancePortraits)
{
    drawcheck::datadir d({"vesk"});
    ASSERT_TRUE(d.readable());
    glrec::clear();
    Vesk::init();
    const std::vector<double> names = drawcheck::texturenames();
    ASSERT_EQ(names.size(), 2u);
    // Normal image first (the 1-pixel file), then grey (2 pixels).
    EXPECT_EQ(drawcheck::uploadwidths(), (std::vector<double>{1, 2}));

    struct row { int chances; bool grey; std::size_t shown; };
    const row rows[] = {{5, false, 5}, {12, false, 10}, {10, true, 10}, {0, false, 0}, {1, true, 1}};
    for (const row& r : rows) {
        SCOPED_TRACE("chances " + std::to_string(r.chances) + (r.grey ? " grey" : ""));
        glrec::clear();
        Vesk::render(player(1.0, r.chances, 0), 800, 600, 40, r.grey);
        const auto prims = flatprims();
        ASSERT_EQ(prims.size(), 3u);
        const flatprim& column = prims[1];
        EXPECT_EQ(column.mode, GL_QUADS);
        EXPECT_EQ(column.viewport, (std::vector<double>{760, 40, 40, 560}));
        EXPECT_EQ(column.ortho, (std::vector<double>{0, 1, 0, 10, -1, 1}));
        EXPECT_TRUE(column.texture2d);
        EXPECT_EQ(column.bound, r.grey ? names[1] : names[0]);
        EXPECT_FALSE(prims[2].texture2d);   // off again after the column
        ASSERT_EQ(column.v.size(), 4 * r.shown);
        const double corner[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 1}, {1, 1, 1, 1}, {1, 0, 1, 0}};   // x, dy, s, t
        for (std::size_t i = 0; i < column.v.size(); ++i) {
            const vert& v = column.v[i];
            const double* c = corner[i % 4];
            const double bottom = static_cast<double>(i / 4);
            EXPECT_EQ(v.x, c[0]) << i;
            EXPECT_EQ(v.y, bottom + c[1]) << i;
            EXPECT_TRUE(v.tex) << i;
            EXPECT_EQ(v.s, c[2]) << i;
            EXPECT_EQ(v.t, c[3]) << i;
            expectcolour(v.colour, white, "portrait");
        }
    }
}

// Squares of side 0.2 fill the 3 by 3 grid row by row from the bottom left,
// coloured (1.4 x0, 1.4 y0, 1), white in grey; nine at most.
TEST(StatusPanels, TeleporterChargeSquares)
{
    struct row { int charges; bool grey; std::vector<std::array<double, 2>> corners; };
    const row rows[] = {
        {0, false, {}},
        {4, false, {{0.1, 0.1}, {0.4, 0.1}, {0.7, 0.1}, {0.1, 0.4}}},
        {12, false, {{0.1, 0.1}, {0.4, 0.1}, {0.7, 0.1}, {0.1, 0.4}, {0.4, 0.4}, {0.7, 0.4}, {0.1, 0.7}, {0.4, 0.7},
                     {0.7, 0.7}}},
        {2, true, {{0.1, 0.1}, {0.4, 0.1}}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE("charges " + std::to_string(r.charges) + (r.grey ? " grey" : ""));
        glrec::clear();
        Vesk::render(player(1.0, 5, r.charges), 800, 600, 40, r.grey);
        const auto prims = flatprims();
        ASSERT_EQ(prims.size(), 3u);
        const flatprim& panel = prims[2];
        EXPECT_EQ(panel.mode, GL_QUADS);
        EXPECT_EQ(panel.viewport, (std::vector<double>{760, 0, 40, 40}));
        EXPECT_EQ(panel.ortho, (std::vector<double>{0, 1, 0, 1, -1, 1}));
        ASSERT_EQ(panel.v.size(), 4 * r.corners.size());
        for (std::size_t k = 0; k < r.corners.size(); ++k) {
            const auto [x0, y0] = r.corners[k];
            const double want[4][2] = {{x0, y0}, {x0 + 0.2, y0}, {x0 + 0.2, y0 + 0.2}, {x0, y0 + 0.2}};
            for (int j = 0; j < 4; ++j) {
                const vert& v = panel.v[4 * k + j];
                EXPECT_NEAR(v.x, want[j][0], 1e-12) << k << "," << j;
                EXPECT_NEAR(v.y, want[j][1], 1e-12) << k << "," << j;
                expectcolour(v.colour, r.grey ? white : rgb{1.4 * x0, 1.4 * y0, 1.0}, "square " + std::to_string(k));
            }
        }
    }
    // The first and the ninth square's blues.
    glrec::clear();
    Vesk::render(player(1.0, 5, 9), 800, 600, 40, false);
    const auto squares = flatprims()[2].v;
    ASSERT_EQ(squares.size(), 36u);
    expectcolour(squares.front().colour, {0.14, 0.14, 1.0}, "first");
    expectcolour(squares.back().colour, {0.98, 0.98, 1.0}, "ninth");
}

TEST(StatusPanelsDeathTest, AMissingPortraitEndsWithStatusZero)
{
    const std::pair<const char*, const char*> rows[] = {
        {"Data/vesk.ppm", "^Problem loading image Data/vesk.ppm\n$"},
        {"Data/vesk_grey.ppm", "^Problem loading image Data/vesk_grey.ppm\n$"},
    };
    for (auto [missing, message] : rows) {
        drawcheck::datadir d({"vesk"}, {missing});
        EXPECT_EXIT(Vesk::init(), testing::ExitedWithCode(0), message);
    }
}

// Pitch about x, heading about y, then minus the eye (box centre raised 0.22).
TEST(Eye, TransformToEye)
{
    veskrec v = player(1.0, 5, 0);
    v.box.x = 2.5;
    v.box.y = 1.3;
    v.box.z = 3.5;
    v.heading = 30.0;
    v.pitch = -10.0;
    glrec::clear();
    Vesk::transform_to_eye(v);
    const auto& log = glrec::log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].name, "glRotated");
    EXPECT_EQ(log[0].args, (std::vector<double>{-10.0, 1, 0, 0}));
    EXPECT_EQ(log[1].name, "glRotated");
    EXPECT_EQ(log[1].args, (std::vector<double>{30.0, 0, 1, 0}));
    EXPECT_EQ(log[2].name, "glTranslated");
    EXPECT_NEAR(log[2].args[0], -2.5, 1e-12);
    EXPECT_NEAR(log[2].args[1], -1.52, 1e-12);
    EXPECT_NEAR(log[2].args[2], -3.5, 1e-12);
}

}  // namespace
