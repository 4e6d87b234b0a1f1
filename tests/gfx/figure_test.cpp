// figure_test.cpp -- the guard figure: tube strips and caps, the four parts, the sixteen lists, posing
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>  // chdir, getcwd

#include <array>
#include <cmath>
#include <cstdlib>  // mkdtemp
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "glrecord.h"
#include "guards/badguy_gl.h"
#include "guards/tube.h"
#include "guards/tube_gl.h"
#include "render/texhelp.h"

namespace {

using Badguy::vec3;

vec3 sub(const vec3& a, const vec3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
vec3 cross(const vec3& a, const vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const vec3& a, const vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

struct vertex {
    vec3 p, n;
    bool hastex = false;
    double s = 0, t = 0;
};

// One glBegin/glEnd group with the state it was drawn in.
struct prim {
    double mode = 0;
    std::vector<vertex> v;
    bool ordered = true;               // every vertex came as normal, [texcoord,] vertex
    std::array<double, 3> colour{};    // current colour
    std::array<double, 4> ad{}, spec{};
    double shin = -1;
    bool texture2d = false;
    double bound = 0;
};

struct replayrec {
    std::vector<prim> prims;
    bool texture2d = false;  // at the end
};

replayrec replay(const std::vector<glcall>& log)
{
    replayrec r;
    prim st;
    prim* open = nullptr;
    vec3 normal{};
    bool pendingnormal = false, pendingtex = false;
    double s = 0, t = 0;
    for (const glcall& c : log) {
        const auto& a = c.args;
        if (c.name == "glBegin") {
            r.prims.push_back(st);
            open = &r.prims.back();
            open->mode = a[0];
        } else if (c.name == "glEnd") {
            open = nullptr;
        } else if (c.name == "glNormal3dv") {
            normal = {a[0], a[1], a[2]};
            if (open && (pendingnormal || pendingtex)) open->ordered = false;
            pendingnormal = true;
        } else if (c.name == "glTexCoord2dv") {
            s = a[0], t = a[1];
            if (open && !pendingnormal) open->ordered = false;
            pendingtex = true;
        } else if (c.name == "glVertex3dv") {
            if (!open) continue;
            if (!pendingnormal) open->ordered = false;
            open->v.push_back({{a[0], a[1], a[2]}, normal, pendingtex, s, t});
            pendingnormal = pendingtex = false;
        } else if (c.name.rfind("glVertex", 0) == 0 || c.name.rfind("glNormal", 0) == 0 ||
                   c.name.rfind("glTexCoord", 0) == 0) {
            if (open) open->ordered = false;  // only the double-vector forms are expected
        } else if (c.name == "glColor3f" || c.name == "glColor3d") {
            st.colour = {a[0], a[1], a[2]};
        } else if (c.name == "glMaterialfv" && a[0] == GL_FRONT && a[1] == GL_AMBIENT_AND_DIFFUSE) {
            st.ad = {a[2], a[3], a[4], a[5]};
        } else if (c.name == "glMaterialfv" && a[0] == GL_FRONT && a[1] == GL_SPECULAR) {
            st.spec = {a[2], a[3], a[4], a[5]};
        } else if (c.name == "glMaterialf" && a[0] == GL_FRONT && a[1] == GL_SHININESS) {
            st.shin = a[2];
        } else if ((c.name == "glEnable" || c.name == "glDisable") && a[0] == GL_TEXTURE_2D) {
            st.texture2d = c.name == "glEnable";
        } else if (c.name == "glBindTexture" && a[0] == GL_TEXTURE_2D) {
            st.bound = a[1];
        }
    }
    r.texture2d = st.texture2d;
    return r;
}

// The triangles a strip or fan makes, as vertex indices in their winding.
std::vector<std::array<int, 3>> triangles(const prim& p)
{
    std::vector<std::array<int, 3>> out;
    const int n = static_cast<int>(p.v.size());
    for (int i = 0; i + 2 < n; ++i) {
        if (p.mode == GL_TRIANGLE_FAN)
            out.push_back({0, i + 1, i + 2});
        else if (i % 2 == 0)
            out.push_back({i, i + 1, i + 2});
        else
            out.push_back({i + 1, i, i + 2});
    }
    return out;
}

vec3 facenormal(const prim& p, const std::array<int, 3>& t)
{
    return cross(sub(p.v[t[1]].p, p.v[t[0]].p), sub(p.v[t[2]].p, p.v[t[0]].p));
}

// A bent tube with a segment in a z plane and ones leaving it.
const std::vector<vec3> path{{-0.1, -0.3, 0.0}, {0.0, -0.2, 0.0}, {0.05, 0.0, 0.0}, {0.1, 0.1, 0.1}, {0.1, 0.2, 0.3},
                             {0.12, 0.25, 0.32}};
const std::vector<double> radii{0, 0.1, 0.15, 0.1, 0.05, 0};
constexpr int sides = 7;

TEST(TubeDraw, SideStripsPairNeighbouringRingsEntryByEntry)
{
    const auto tube = Badguy::maketube(path, radii, sides, 0.0, 1.0, 1.0, 0.0);
    for (bool textured : {false, true}) {
        SCOPED_TRACE(textured ? "textured" : "plain");
        glrec::clear();
        textured ? Badguy::drawopentubetex(tube, sides) : Badguy::drawopentube(tube, sides);
        const replayrec r = replay(glrec::log());
        ASSERT_EQ(r.prims.size(), 3u);  // four rings, three strips
        for (int s = 0; s < 3; ++s) {
            const prim& p = r.prims[s];
            EXPECT_EQ(p.mode, GL_TRIANGLE_STRIP);
            EXPECT_TRUE(p.ordered);
            ASSERT_EQ(p.v.size(), 2u * (sides + 1));
            for (int j = 0; j <= sides; ++j) {
                const int a = s * (sides + 1) + 1 + j, b = a + sides + 1;
                EXPECT_EQ(p.v[2 * j].p, tube.v[a]);
                EXPECT_EQ(p.v[2 * j].n, tube.n[a]);
                EXPECT_EQ(p.v[2 * j + 1].p, tube.v[b]);
                EXPECT_EQ(p.v[2 * j].hastex, textured);
                EXPECT_EQ(p.v[2 * j + 1].hastex, textured);
                if (textured) {
                    EXPECT_EQ(p.v[2 * j + 1].s, tube.t[b][0]);
                }
            }
            // The strip's front faces point where its normals do: outward.
            for (const auto& t : triangles(p)) {
                const vec3 g = facenormal(p, t);
                vec3 nsum{};
                for (int k : t)
                    for (int i = 0; i < 3; ++i) nsum[i] += p.v[k].n[i];
                EXPECT_GT(dot(g, nsum), 0.0);
            }
        }
    }
    // One ring: no side at all.
    glrec::clear();
    Badguy::drawopentube(Badguy::maketube({{0, 0, 0}, {0.1, 0.1, 0}, {0.2, 0.1, 0}}, {0, 0.1, 0}, 5, 0, 1, 1, 0), 5);
    EXPECT_EQ(glrec::count("glBegin"), 0);
}

TEST(TubeDraw, CapFansStartAtTheApexAndWindOutward)
{
    const auto tube = Badguy::maketube(path, radii, sides, 0.0, 1.0, 1.0, 0.0);
    const size_t m = tube.v.size();
    const struct {
        const char* what;
        void (*draw)(const Badguy::tubearrays&, int);
        size_t apex;
        vec3 outward;
        bool textured;
    } cases[] = {
        {"first cap", Badguy::drawfirstcap, 0, Badguy::normdiff(path[0], path[1]), false},
        {"first cap textured", Badguy::drawfirstcaptex, 0, Badguy::normdiff(path[0], path[1]), true},
        {"last cap", Badguy::drawlastcap, m - 1, Badguy::normdiff(path[5], path[4]), false},
        {"last cap textured", Badguy::drawlastcaptex, m - 1, Badguy::normdiff(path[5], path[4]), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        glrec::clear();
        c.draw(tube, sides);
        const replayrec r = replay(glrec::log());
        ASSERT_EQ(r.prims.size(), 1u);
        const prim& p = r.prims[0];
        EXPECT_EQ(p.mode, GL_TRIANGLE_FAN);
        EXPECT_TRUE(p.ordered);
        ASSERT_EQ(p.v.size(), sides + 2u);
        EXPECT_EQ(p.v[0].p, tube.v[c.apex]);
        EXPECT_EQ(p.v[0].n, tube.n[c.apex]);
        for (const vertex& v : p.v) EXPECT_EQ(v.hastex, c.textured);
        // The fan covers the whole ring: its last vertex closes onto its second.
        EXPECT_EQ(p.v.back().p, p.v[1].p);
        for (const auto& t : triangles(p)) EXPECT_GT(dot(facenormal(p, t), c.outward), 0.0);
    }
}

// The materials of the figure, plain and grey.
struct materialrec {
    std::array<double, 3> colour;
    std::array<double, 4> spec;
    double shin;
};
const std::map<std::string, std::array<materialrec, 2>> materials{
    {"body", {{{{0.4, 0.45, 0.2}, {0.1, 0.1, 0.0, 1.0}, 1.0}, {{0.4, 0.4, 0.4}, {0.1, 0.1, 0.1, 1.0}, 1.0}}}},
    {"neck", {{{{0.8, 0.1, 0.2}, {1.0, 0.0, 0.0, 1.0}, 10.0}, {{0.2, 0.2, 0.2}, {0.8, 0.8, 0.8, 1.0}, 10.0}}}},
    {"spike", {{{{0.8, 0.8, 0.8}, {1.0, 1.0, 1.0, 1.0}, 20.0}, {{0.8, 0.8, 0.8}, {1.0, 1.0, 1.0, 1.0}, 20.0}}}},
    {"limb", {{{{0.25, 0.2, 0.0}, {0.1, 0.1, 0.0, 1.0}, 1.0}, {{0.25, 0.25, 0.25}, {0.1, 0.1, 0.1, 1.0}, 1.0}}}},
    {"staff", {{{{0.15, 0.1, 0.0}, {0.5, 0.5, 0.0, 1.0}, 10.0}, {{0.1, 0.1, 0.1}, {0.5, 0.5, 0.5, 1.0}, 10.0}}}},
};

bool near(double a, double b) { return std::fabs(a - b) < 1e-6; }

// Which material a primitive was drawn in, or "?".
std::string materialof(const prim& p, bool grey)
{
    for (const auto& [name, m] : materials) {
        const materialrec& want = m[grey ? 1 : 0];
        bool same = near(p.ad[3], 1.0) && near(p.shin, want.shin);
        for (int i = 0; i < 3; ++i) same = same && near(p.ad[i], want.colour[i]);
        for (int i = 0; i < 4; ++i) same = same && near(p.spec[i], want.spec[i]);
        if (same) return name;
    }
    return "?";
}

// Consecutive primitives in one material, all with or all without texture
// coordinates, from tubes of n sides.
struct run {
    std::string material;
    int count;
    int n;
    bool texcoords;
};

// tubes of L points with both caps give (L - 3) strips + 2 fans.
constexpr int withcaps(int points) { return points - 1; }

struct partcase {
    const char* what;
    void (*draw)(bool, bool, unsigned long);
    bool texturable;
    std::vector<run> runs;  // for the textured variant; untextured ones have no texcoords
};

const partcase parts[] = {
    {"torso", Badguy::drawtorso, true,
     {{"body", 9 + 1, 15, true}, {"neck", 1, 15, false}, {"spike", 6 * withcaps(5), 7, false}}},
    {"upper head", Badguy::drawupperhead, true,
     {{"body", 2 + 1, 15, true}, {"neck", 1, 15, false}, {"spike", 5 * withcaps(5), 7, false}}},
    {"arms", Badguy::drawarms, false,
     {{"limb", withcaps(9) + 4 * withcaps(10), 7, false}, {"staff", withcaps(4), 6, false}}},
    {"legs", Badguy::drawlegs, true, {{"body", withcaps(10) + 4 * withcaps(5) + 2 * withcaps(4), 9, true}}},
};

TEST(Figure, EachPartDrawsItsTubesInItsMaterialsAndVariant)
{
    for (const partcase& part : parts) {
        for (int variant = 0; variant < 4; ++variant) {
            const bool textured = variant & 1, grey = variant & 2;
            SCOPED_TRACE(testing::Message() << part.what << ", variant " << variant);
            glrec::clear();
            part.draw(textured, grey, textured ? 77 : 0);
            const replayrec r = replay(glrec::log());

            size_t i = 0;
            for (const run& want : part.runs) {
                const bool tex = want.texcoords && textured;
                for (int k = 0; k < want.count; ++k, ++i) {
                    ASSERT_LT(i, r.prims.size());
                    const prim& p = r.prims[i];
                    EXPECT_EQ(materialof(p, grey), want.material) << "primitive " << i;
                    EXPECT_TRUE(p.ordered);
                    const size_t verts = p.mode == GL_TRIANGLE_STRIP ? 2u * (want.n + 1) : want.n + 2u;
                    EXPECT_EQ(p.v.size(), verts) << "primitive " << i;
                    // Texture coordinates exactly where texturing is on, and white under the image.
                    EXPECT_EQ(p.texture2d, tex) << "primitive " << i;
                    for (const vertex& v : p.v) ASSERT_EQ(v.hastex, tex) << "primitive " << i;
                    if (tex) {
                        EXPECT_EQ(p.colour, (std::array<double, 3>{1, 1, 1}));
                        EXPECT_EQ(p.bound, 77);
                    } else {
                        const auto& c = materials.at(want.material)[grey ? 1 : 0].colour;
                        for (int j = 0; j < 3; ++j) EXPECT_NEAR(p.colour[j], c[j], 1e-6);
                    }
                }
            }
            EXPECT_EQ(i, r.prims.size()) << "primitives beyond the expected ones";
            EXPECT_FALSE(r.texture2d) << "texturing left on";
            const int binds = glrec::count("glBindTexture");
            EXPECT_EQ(binds, textured && part.texturable ? 1 : 0);
            if (textured && part.texturable) {
                const auto env = glrec::calls("glTexEnvi");
                ASSERT_EQ(env.size(), 1u);
                EXPECT_EQ(env[0].args, (std::vector<double>{GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}));
            }
            EXPECT_EQ(glrec::count("glPushMatrix"), glrec::count("glPopMatrix"));
        }
    }
}

TEST(Figure, TexturesRunUpTheBodyAndToeTipsTouchTheBoxBottom)
{
    // Only textured pieces carry t: the torso's top apex and the head's
    // underside apex are in the untextured neck caps.
    const struct {
        void (*draw)(bool, bool, unsigned long);
        double tlow, thigh, smax;
    } cases[] = {{Badguy::drawtorso, 0.0, 0.6 * 10 / 11, 1.0},
                 {Badguy::drawupperhead, 0.7, 1.0, 1.0},
                 {Badguy::drawlegs, 0.6, 1.0, 1.0}};
    for (const auto& c : cases) {
        glrec::clear();
        c.draw(true, false, 5);
        double tmin = 9, tmax = -9, smax = -9;
        for (const prim& p : replay(glrec::log()).prims)
            for (const vertex& v : p.v)
                if (v.hastex) tmin = std::min(tmin, v.t), tmax = std::max(tmax, v.t), smax = std::max(smax, v.s);
        EXPECT_DOUBLE_EQ(tmin, c.tlow);
        EXPECT_DOUBLE_EQ(tmax, c.thigh);
        EXPECT_DOUBLE_EQ(smax, c.smax);
    }
    // The toes wrap the image only half way round.
    glrec::clear();
    Badguy::drawlegs(true, false, 5);
    const replayrec r = replay(glrec::log());
    double lowest = 9, toesmax = -9;
    for (size_t i = 0; i < r.prims.size(); ++i)
        for (const vertex& v : r.prims[i].v) {
            lowest = std::min(lowest, v.p[1]);
            if (i >= static_cast<size_t>(withcaps(10))) toesmax = std::max(toesmax, v.s);
        }
    EXPECT_DOUBLE_EQ(lowest, -0.499);
    EXPECT_DOUBLE_EQ(toesmax, 0.5);
}

// A directory with the two guard images, entered for the fixture's lifetime.
class datadir {
public:
    explicit datadir(bool normal, bool grey)
    {
        char tmpl[] = "/tmp/vesk-guard-XXXXXX";
        dir_ = mkdtemp(tmpl);
        std::filesystem::create_directory(dir_ + "/Data");
        if (normal) std::ofstream(dir_ + "/Data/guard.ppm", std::ios::binary) << "P6 2 1 255\n" << std::string(6, 'a');
        if (grey) std::ofstream(dir_ + "/Data/guard_grey.ppm", std::ios::binary) << "P6 1 1 255\n" << std::string(3, 'b');
        old_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
    }
    ~datadir()
    {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }

private:
    std::string dir_;
    std::filesystem::path old_;
};

TEST(FigureInitDeathTest, AMissingGuardImageEndsWithStatusZero)
{
    {
        datadir d(false, true);
        EXPECT_EXIT(Badguy::init(), testing::ExitedWithCode(0), "^Problem loading image Data/guard.ppm\n$");
    }
    {
        datadir d(true, false);
        EXPECT_EXIT(Badguy::init(), testing::ExitedWithCode(0), "^Problem loading image Data/guard_grey.ppm\n$");
    }
}

// Runs init once with both images and keeps what it recorded.
class FigureInit : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        datadir d(true, true);
        // init ends the process with status 0 on a bad image, which would pass for success.
        int w = 0, h = 0;
        if (!readPPM("Data/guard.ppm", w, h) || !readPPM("Data/guard_grey.ppm", w, h)) return;
        glrec::clear();
        Badguy::init();
        initlog = glrec::log();
        for (const glcall& c : initlog) {
            if (c.name == "glGenLists") bases.push_back(c.args[1]);
            if (c.name == "glGenTextures") textures.push_back(c.args[1]);
        }
    }
    void SetUp() override { ASSERT_FALSE(initlog.empty()) << "the guard images did not load"; }
    static std::vector<glcall> initlog;
    static std::vector<double> bases, textures;
};
std::vector<glcall> FigureInit::initlog;
std::vector<double> FigureInit::bases, FigureInit::textures;

TEST_F(FigureInit, CompilesSixteenListsOnceInPartThenVariantOrder)
{
    ASSERT_EQ(bases.size(), 4u);
    ASSERT_EQ(textures.size(), 2u);
    for (const glcall& c : initlog) {
        if (c.name == "glGenLists") {
            EXPECT_EQ(c.args[0], 4);
        }
    }

    // Lists are reserved and both images loaded before the first compile.
    size_t firstlist = 0, lastgen = 0, lasttex = 0;
    for (size_t i = 0; i < initlog.size(); ++i) {
        if (initlog[i].name == "glNewList" && !firstlist) firstlist = i;
        if (initlog[i].name == "glGenLists") lastgen = i;
        if (initlog[i].name == "gluBuild2DMipmaps") lasttex = i;
    }
    EXPECT_LT(lastgen, firstlist);
    EXPECT_LT(lasttex, firstlist);

    // Split the log into the compiled lists.
    struct listrec {
        double id, mode;
        std::vector<glcall> calls;
    };
    std::vector<listrec> lists;
    bool inside = false;
    for (const glcall& c : initlog) {
        if (c.name == "glNewList") {
            EXPECT_FALSE(inside) << "nested list";
            lists.push_back({c.args[0], c.args[1], {}});
            inside = true;
        } else if (c.name == "glEndList") {
            inside = false;
        } else if (inside) {
            lists.back().calls.push_back(c);
        }
    }
    ASSERT_EQ(lists.size(), 16u);
    void (*draw[4])(bool, bool, unsigned long) = {Badguy::drawtorso, Badguy::drawupperhead, Badguy::drawarms,
                                                  Badguy::drawlegs};
    for (int part = 0; part < 4; ++part) {
        for (int variant = 0; variant < 4; ++variant) {
            SCOPED_TRACE(testing::Message() << "part " << part << ", variant " << variant);
            const listrec& l = lists[part * 4 + variant];
            EXPECT_EQ(l.id, bases[variant] + part);
            EXPECT_EQ(l.mode, GL_COMPILE);
            int push = 0, pop = 0;
            std::vector<double> bound;
            for (const glcall& c : l.calls) {
                push += c.name == "glPushMatrix";
                pop += c.name == "glPopMatrix";
                if (c.name == "glBindTexture") bound.push_back(c.args[1]);
            }
            EXPECT_EQ(push, pop);
            // Only the textured body parts bind, the grey ones the grey image.
            const bool textured = variant & 1, grey = variant & 2;
            if (textured && part != 2) {
                EXPECT_EQ(bound, (std::vector<double>{textures[grey ? 1 : 0]}));
            } else {
                EXPECT_TRUE(bound.empty());
            }
            // The list holds exactly what the part draws for its variant.
            glrec::clear();
            draw[part](textured, grey, textured ? static_cast<unsigned long>(textures[grey ? 1 : 0]) : 0);
            ASSERT_EQ(glrec::log().size(), l.calls.size());
            for (size_t i = 0; i < l.calls.size(); ++i) {
                ASSERT_EQ(glrec::log()[i].name, l.calls[i].name) << "call " << i;
                ASSERT_EQ(glrec::log()[i].args, l.calls[i].args) << "call " << i;
            }
        }
    }
    // Ids are all distinct: sixteen lists, each compiled once.
    std::map<double, int> seen;
    for (const listrec& l : lists) ++seen[l.id];
    EXPECT_EQ(seen.size(), 16u);
}

// The modelview matrix after a sequence of recorded transforms (column vectors).
struct mat {
    double m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    mat times(const mat& b) const
    {
        mat r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                r.m[i][j] = 0;
                for (int k = 0; k < 4; ++k) r.m[i][j] += m[i][k] * b.m[k][j];
            }
        return r;
    }
    vec3 apply(const vec3& v, double w) const
    {
        vec3 r{};
        for (int i = 0; i < 3; ++i) r[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2] + m[i][3] * w;
        return r;
    }
};

mat rotation(double deg, double x, double y, double z)
{
    const double a = deg * 3.14159265358979 / 180, c = std::cos(a), s = std::sin(a);
    mat r;
    const double t = 1 - c;
    r.m[0][0] = t * x * x + c, r.m[0][1] = t * x * y - s * z, r.m[0][2] = t * x * z + s * y;
    r.m[1][0] = t * x * y + s * z, r.m[1][1] = t * y * y + c, r.m[1][2] = t * y * z - s * x;
    r.m[2][0] = t * x * z - s * y, r.m[2][1] = t * y * z + s * x, r.m[2][2] = t * z * z + c;
    return r;
}

// Replays a render: the matrix in force at each glCallList, by list id.
std::map<double, mat> posed(const std::vector<glcall>& log, int& depth, int& maxdepth)
{
    std::vector<mat> stack{mat{}};
    std::map<double, mat> at;
    depth = 0, maxdepth = 0;
    for (const glcall& c : log) {
        const auto& a = c.args;
        if (c.name == "glPushMatrix") {
            stack.push_back(stack.back());
            maxdepth = std::max(maxdepth, ++depth);
        } else if (c.name == "glPopMatrix") {
            stack.pop_back();
            --depth;
        } else if (c.name == "glTranslated") {
            mat t;
            t.m[0][3] = a[0], t.m[1][3] = a[1], t.m[2][3] = a[2];
            stack.back() = stack.back().times(t);
        } else if (c.name == "glRotated") {
            stack.back() = stack.back().times(rotation(a[0], a[1], a[2], a[3]));
        } else if (c.name == "glCallList") {
            at[a[0]] = stack.back();
        }
    }
    return at;
}

TEST_F(FigureInit, RenderFacesTheWalkingDirectionAndPosesFromPhase)
{
    const struct {
        double heading;
        vec3 front;
    } headings[] = {{0.0, {0, 0, -1}}, {90.0, {1, 0, 0}}, {200.0, {std::sin(200 * 0.0174532925), 0, -std::cos(200 * 0.0174532925)}}};
    for (const auto& h : headings) {
        for (int variant = 0; variant < 4; ++variant) {
            SCOPED_TRACE(testing::Message() << "heading " << h.heading << ", variant " << variant);
            badguyrec g = Badguy::newbadguy(0, 3.5, 1.5, 4.5, h.heading);
            glrec::clear();
            Badguy::render(g, variant & 1, variant & 2);
            int depth = 0, maxdepth = 0;
            const auto at = posed(glrec::log(), depth, maxdepth);
            EXPECT_EQ(depth, 0);
            EXPECT_EQ(glrec::count("glPushMatrix"), 4);
            EXPECT_EQ(glrec::count("glNewList"), 0);
            ASSERT_EQ(at.size(), 4u);
            for (int part = 0; part < 4; ++part) ASSERT_TRUE(at.count(bases[variant] + part)) << "part " << part;
            // The torso stands at the box centre (no bob at phase 0) with its -x front ahead.
            const mat& torso = at.at(bases[variant]);
            const vec3 centre = torso.apply({0, 0, 0}, 1);
            EXPECT_NEAR(centre[0], 3.5, 1e-9);
            EXPECT_NEAR(centre[1], 1.5, 1e-9);
            EXPECT_NEAR(centre[2], 4.5, 1e-9);
            const vec3 front = torso.apply({-1, 0, 0}, 0);
            for (int i = 0; i < 3; ++i) EXPECT_NEAR(front[i], h.front[i], 1e-6);
            // The head sits on the neck, the torso's top apex.
            const vec3 neck = at.at(bases[variant] + 1).apply({0, 0, 0}, 1);
            const vec3 want = torso.apply({-0.025, 0.235, 0}, 1);
            for (int i = 0; i < 3; ++i) EXPECT_NEAR(neck[i], want[i], 1e-9);
        }
    }
}

TEST_F(FigureInit, PhaseZeroPose)
{
    badguyrec g = Badguy::newbadguy(0, 0.0, 0.0, 0.0, 270.0);  // -h - 90 = -360: no turn
    glrec::clear();
    Badguy::render(g, false, false);
    const auto rot = glrec::calls("glRotated");
    ASSERT_EQ(rot.size(), 5u);
    EXPECT_EQ(rot[0].args, (std::vector<double>{-360.0, 0, 1, 0}));
    EXPECT_EQ(rot[1].args, (std::vector<double>{11.0, 0, 0, 1}));  // head tilted 11 degrees
    EXPECT_EQ(rot[2].args, (std::vector<double>{0.0, 0, 1, 0}));   // arms unrotated
    EXPECT_NEAR(rot[3].args[0], -2.9, 0.05);                       // legs about y
    EXPECT_EQ((std::vector<double>(rot[3].args.begin() + 1, rot[3].args.end())), (std::vector<double>{0, 1, 0}));
    EXPECT_NEAR(rot[4].args[0], -4.97, 0.01);                      // and about x
    EXPECT_EQ((std::vector<double>(rot[4].args.begin() + 1, rot[4].args.end())), (std::vector<double>{1, 0, 0}));
    const auto tr = glrec::calls("glTranslated");
    ASSERT_EQ(tr.size(), 4u);
    EXPECT_EQ(tr[1].args, (std::vector<double>{0, 0, 0}));  // no body bob
    EXPECT_EQ(tr[3].args, (std::vector<double>{0, 0, 0}));  // no arm bob
}

TEST_F(FigureInit, WalkingBobsTwicePerStrideAndSwingsLimbsOutOfStep)
{
    // A quarter stride in: sin(6.5 p) = 1, the highest bob and widest arm swing.
    const double p = 3.14159265358979 / 2 / 6.5;
    badguyrec g = Badguy::newbadguy(0, 0.0, 0.0, 0.0, 270.0);
    g.phase = p;
    glrec::clear();
    Badguy::render(g, true, true);
    const auto tr = glrec::calls("glTranslated");
    ASSERT_EQ(tr.size(), 4u);
    EXPECT_NEAR(tr[1].args[1], 0.05, 1e-12);  // body bob
    EXPECT_NEAR(tr[3].args[1], 0.03, 1e-12);  // arm bob
    const auto rot = glrec::calls("glRotated");
    ASSERT_EQ(rot.size(), 5u);
    EXPECT_NEAR(rot[1].args[0], 11.0 + 10.0 * std::sin(2.78 * p), 1e-9);
    EXPECT_NEAR(rot[2].args[0], 15.0, 1e-9);
    EXPECT_NEAR(rot[3].args[0], 27.0 * std::sin(6.5 * (p + 0.5)), 1e-9);
    EXPECT_NEAR(rot[4].args[0], 5.0 * std::cos(6.5 * (p + 0.5)), 1e-9);
}

}  // namespace
