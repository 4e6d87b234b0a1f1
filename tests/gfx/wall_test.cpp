// wall_test.cpp -- wall materials, the unit face and loading the eight wall images
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "glrecord.h"
#include "render/wall.h"

namespace {

using rgba = std::array<double, 4>;

// Floats pass through the stand-in as doubles: compare with float precision.
void expect_rgba(const std::vector<double>& got, std::size_t from, const rgba& want)
{
    ASSERT_GE(got.size(), from + 4);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[from + i], want[i], 1e-6) << "component " << i;
}

struct wallcase {
    int kind;
    bool textured, grey;
    double alpha;
    rgba colour, diffuse, specular;
    double shininess;
};

const wallcase cases[] = {
    // Untextured: the colour is the kind's ambient-and-diffuse value.
    {0, false, false, 1.0, {0.45, 0.4, 0.4, 1.0}, {0.45, 0.4, 0.4, 1.0}, {0.1, 0.1, 0.0, 1.0}, 1.0},
    {1, false, false, 1.0, {0.65, 0.6, 0.5, 1.0}, {0.65, 0.6, 0.5, 1.0}, {0.2, 0.1, 0.0, 1.0}, 3.0},
    {2, false, true, 1.0, {0.8, 0.8, 0.8, 1.0}, {0.8, 0.8, 0.8, 1.0}, {1.0, 1.0, 1.0, 1.0}, 3.0},
    {0, false, true, 0.5, {0.45, 0.45, 0.45, 0.5}, {0.45, 0.45, 0.45, 0.5}, {0.1, 0.1, 0.1, 0.5}, 1.0},
    // Textured: white, whatever the kind; alpha rides on every colour.
    {3, true, true, 1.0, {1, 1, 1, 1.0}, {0.85, 0.85, 0.85, 1.0}, {1.0, 1.0, 1.0, 1.0}, 5.0},
    {3, true, false, 0.25, {1, 1, 1, 0.25}, {0.8, 0.85, 0.75, 0.25}, {1.0, 1.0, 1.0, 0.25}, 5.0},
    {1, true, true, 0.25, {1, 1, 1, 0.25}, {0.65, 0.65, 0.65, 0.25}, {0.1, 0.1, 0.1, 0.25}, 3.0},
    {2, true, false, 1.0, {1, 1, 1, 1.0}, {0.85, 0.8, 0.75, 1.0}, {1.0, 1.0, 1.0, 1.0}, 3.0},
};

// The colour as the last glColor* call gave it, whichever variant was used.
rgba lastcolour()
{
    for (auto it = glrec::log().rbegin(); it != glrec::log().rend(); ++it)
        if (it->name.rfind("glColor", 0) == 0) {
            rgba c{0, 0, 0, 1};
            for (std::size_t i = 0; i < it->args.size() && i < 4; ++i) c[i] = it->args[i];
            return c;
        }
    ADD_FAILURE() << "no glColor call";
    return {};
}

const glcall* material(GLenum pname)
{
    for (const glcall& c : glrec::log())
        if ((c.name == "glMaterialfv" || c.name == "glMaterialf") && c.args.size() > 2 && c.args[1] == pname)
            return &c;
    return nullptr;
}

int index_of(const std::string& name)
{
    const std::vector<glcall>& log = glrec::log();
    for (std::size_t i = 0; i < log.size(); ++i)
        if (log[i].name == name) return static_cast<int>(i);
    return -1;
}

}  // namespace

TEST(Wall, RenderSetsColourAndFrontMaterialsPerKindAndFlags)
{
    for (const wallcase& w : cases) {
        SCOPED_TRACE("kind " + std::to_string(w.kind) + (w.textured ? " textured" : "") +
                     (w.grey ? " grey" : "") + " alpha " + std::to_string(w.alpha));
        glrec::clear();
        Wall::render(w.kind, w.textured, w.grey, w.alpha);
        expect_rgba(std::vector<double>(lastcolour().begin(), lastcolour().end()), 0, w.colour);
        const glcall* shin = material(GL_SHININESS);
        const glcall* diff = material(GL_AMBIENT_AND_DIFFUSE);
        const glcall* spec = material(GL_SPECULAR);
        ASSERT_TRUE(shin && diff && spec);
        for (const glcall* m : {shin, diff, spec}) EXPECT_EQ(m->args[0], GL_FRONT);
        EXPECT_NEAR(shin->args[2], w.shininess, 1e-6);
        expect_rgba(diff->args, 2, w.diffuse);
        expect_rgba(spec->args, 2, w.specular);
        // Colour and materials come before the face.
        EXPECT_LT(index_of(shin->name == "glMaterialf" ? "glMaterialf" : "glMaterialfv"),
                  index_of("glBegin"));
        EXPECT_EQ(glrec::count("glBegin"), 1);
        EXPECT_EQ(glrec::vertexcount(), 4);
        EXPECT_EQ(glrec::count("glTexCoord2d") + glrec::count("glTexCoord2f"), w.textured ? 4 : 0);
        EXPECT_EQ(glrec::count("glBindTexture"), w.textured ? 1 : 0);
        // Nothing of the caller's state is touched but 2D texturing, and that is undone.
        for (const glcall& c : glrec::calls("glEnable")) EXPECT_EQ(c.args[0], GL_TEXTURE_2D);
        EXPECT_EQ(glrec::count("glEnable"), glrec::count("glDisable"));
        EXPECT_EQ(glrec::count("glDisable"), w.textured ? 1 : 0);
    }
}

TEST(Wall, DrawwallEmitsTheUnitFaceFrontTowardsMinusX)
{
    glrec::clear();
    Wall::drawwall(true, 42);
    const std::vector<glcall>& log = glrec::log();
    std::vector<std::string> names;
    for (const glcall& c : log) names.push_back(c.name);
    // Texturing on with modulate and the handle bound, one quad of normal,
    // texture coordinate, vertex per corner, texturing off.
    std::vector<std::string> want = {"glEnable", "glTexEnvi", "glBindTexture", "glBegin"};
    for (int i = 0; i < 4; ++i) want.insert(want.end(), {"glNormal3d", "glTexCoord2d", "glVertex3d"});
    want.insert(want.end(), {"glEnd", "glDisable"});
    ASSERT_EQ(names, want);
    EXPECT_EQ(log[0].args[0], GL_TEXTURE_2D);
    EXPECT_EQ(log[1].args, (std::vector<double>{GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}));
    EXPECT_EQ(log[2].args, (std::vector<double>{GL_TEXTURE_2D, 42}));
    EXPECT_EQ(log[3].args[0], GL_QUADS);
    EXPECT_EQ(log.back().args[0], GL_TEXTURE_2D);

    const double n = 0.22079402;
    const double corners[4][8] = {
        {0, 0.5, 0.5, 0.95, n, n, 1, 1},
        {0, 0.5, -0.5, 0.95, n, -n, 0, 1},
        {0, -0.5, -0.5, 0.95, -n, -n, 0, 0},
        {0, -0.5, 0.5, 0.95, -n, n, 1, 0},
    };
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("corner " + std::to_string(i + 1));
        const glcall& nrm = log[4 + 3 * i];
        const glcall& tex = log[5 + 3 * i];
        const glcall& pos = log[6 + 3 * i];
        EXPECT_EQ(pos.args, (std::vector<double>{corners[i][0], corners[i][1], corners[i][2]}));
        EXPECT_EQ(nrm.args, (std::vector<double>{corners[i][3], corners[i][4], corners[i][5]}));
        EXPECT_EQ(tex.args, (std::vector<double>{corners[i][6], corners[i][7]}));
        EXPECT_NEAR(
            std::sqrt(nrm.args[0] * nrm.args[0] + nrm.args[1] * nrm.args[1] + nrm.args[2] * nrm.args[2]), 1.0,
            1e-6);
    }
    // Counter-clockwise corners face along the right-handed cross product.
    auto p = [&](int i) { return log[6 + 3 * i].args; };
    std::vector<double> a = p(0), b = p(1), c = p(2);
    double ux = b[0] - a[0], uy = b[1] - a[1], uz = b[2] - a[2];
    double vx = c[0] - a[0], vy = c[1] - a[1], vz = c[2] - a[2];
    EXPECT_LT(uy * vz - uz * vy, 0.0);  // front normal's x component
    EXPECT_EQ(uz * vx - ux * vz, 0.0);
    EXPECT_EQ(ux * vy - uy * vx, 0.0);
}

TEST(Wall, UntexturedFaceHasNoTextureState)
{
    glrec::clear();
    Wall::drawwall(false, 42);
    EXPECT_EQ(glrec::count("glEnable") + glrec::count("glDisable") + glrec::count("glTexEnvi") +
                  glrec::count("glBindTexture") + glrec::count("glTexCoord2d"),
              0);
    EXPECT_EQ(glrec::count("glNormal3d"), 4);
    EXPECT_EQ(glrec::vertexcount(), 4);
}

TEST(Wall, KindOutsideTheFourDrawsNothing)
{
    for (int kind : {-1, 4}) {
        glrec::clear();
        Wall::render(kind, true, false, 1.0);
        EXPECT_TRUE(glrec::log().empty()) << "kind " << kind;
    }
}

namespace {

const char* const wallfiles[8] = {"stone",      "blocks",      "tiles",      "slimepuddle",
                                  "stone_grey", "blocks_grey", "tiles_grey", "slimepuddle_grey"};

// A dungeon-like directory whose Data holds the eight wall images, image i being
// (i + 1) pixels wide so the upload order shows in the widths; skip leaves some out.
struct walldir {
    std::string dir, old;
    explicit walldir(std::vector<std::string> skip = {})
    {
        char name[] = "/tmp/vesk-wall.XXXXXX";
        dir = mkdtemp(name);
        mkdir((dir + "/Data").c_str(), 0755);
        for (int i = 0; i < 8; ++i) {
            bool skipped = false;
            for (const std::string& s : skip) skipped = skipped || s == wallfiles[i];
            if (skipped) continue;
            std::string path = dir + "/Data/" + wallfiles[i] + ".ppm";
            std::FILE* f = std::fopen(path.c_str(), "wb");
            std::fprintf(f, "P6\n%d 1\n255\n", i + 1);
            for (int b = 0; b < (i + 1) * 3; ++b) std::fputc(b, f);
            std::fclose(f);
        }
        char cwd[4096];
        old = getcwd(cwd, sizeof cwd) ? cwd : "/";
        EXPECT_EQ(chdir(dir.c_str()), 0);
    }
    ~walldir()
    {
        EXPECT_EQ(chdir(old.c_str()), 0);
        for (const char* f : wallfiles) std::remove((dir + "/Data/" + f + ".ppm").c_str());
        rmdir((dir + "/Data").c_str());
        rmdir(dir.c_str());
    }
};

// Wall::init ends the process with status 0 when an image fails; inside a test
// that must count as a failure, not as a clean exit.
bool ininit = false;
void exitedininit()
{
    if (!ininit) return;
    std::fprintf(stderr, "Wall::init ended the process\n");
    std::_Exit(1);
}

}  // namespace

TEST(Wall, InitLoadsNormalThenGreyAndRenderBindsByKindAndGrey)
{
    walldir d;
    glrec::clear();
    std::atexit(exitedininit);
    ininit = true;
    Wall::init();
    ininit = false;
    std::vector<glcall> uploads = glrec::calls("gluBuild2DMipmaps");
    ASSERT_EQ(uploads.size(), 8u);
    std::vector<double> handles;
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(uploads[i].args[2], i + 1) << wallfiles[i] << " loaded out of order";
    for (const glcall& c : glrec::calls("glGenTextures")) handles.push_back(c.args[1]);
    ASSERT_EQ(handles.size(), 8u);

    // render picks the grey array's entry when grey, else the normal one.
    const struct {
        int kind;
        bool grey;
        int file;
    } binds[] = {{0, false, 0}, {3, false, 3}, {0, true, 4}, {3, true, 7}, {2, true, 6}};
    for (const auto& b : binds) {
        glrec::clear();
        Wall::render(b.kind, true, b.grey, 1.0);
        std::vector<glcall> bound = glrec::calls("glBindTexture");
        ASSERT_EQ(bound.size(), 1u);
        EXPECT_EQ(bound[0].args[1], handles[b.file]) << "kind " << b.kind << (b.grey ? " grey" : "");
    }
}

TEST(Wall, FirstMissingImageInLoadOrderEndsTheProgramWithStatusZero)
{
    const struct {
        std::vector<std::string> missing;
        const char* message;
    } table[] = {
        {{"stone"}, "^Problem loading wall image Data/stone\\.ppm\n$"},
        {{"tiles"}, "^Problem loading wall image Data/tiles\\.ppm\n$"},
        {{"slimepuddle_grey"}, "^Problem loading wall image Data/slimepuddle_grey\\.ppm\n$"},
        // Normal images come before every grey one.
        {{"stone_grey", "slimepuddle"}, "^Problem loading wall image Data/slimepuddle\\.ppm\n$"},
    };
    for (const auto& t : table) {
        walldir d(t.missing);
        EXPECT_EXIT(Wall::init(), testing::ExitedWithCode(0), t.message);
    }
}
