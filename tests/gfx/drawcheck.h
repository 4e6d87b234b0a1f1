// drawcheck.h -- replays the recorded GL calls into primitives with the state they were drawn in,
// checks winding against normals, and makes a Data directory of tiny images for init tests
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>  // chdir, getcwd

#include <algorithm>  // find
#include <array>
#include <cmath>
#include <cstdlib>  // mkdtemp
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "glrecord.h"
#include "render/texhelp.h"

namespace drawcheck {

using vec = std::array<double, 3>;
using rgba = std::array<double, 4>;

struct vertex {
    vec p;
    vec n;
    bool hastex = false;  // a texture coordinate was given for this vertex
    double s = 0.0, t = 0.0;
};

struct material {
    rgba ad{0.2, 0.2, 0.2, 1.0};
    rgba spec{0.0, 0.0, 0.0, 1.0};
    double shin = 0.0;
};

// One glBegin/glEnd group and the state at its glBegin.
struct prim {
    double mode = 0;
    std::vector<vertex> v;
    rgba colour{1, 1, 1, 1};
    material front, back;
    bool texture2d = false;
    bool cullface = true;  // the level renderer culls back faces
    double bound = 0;      // last texture bound to GL_TEXTURE_2D
};

// State left after the last call, and every primitive.
struct replayrec {
    std::vector<prim> prims;
    prim state;           // mode and v unused
    int colourcalls = 0;  // glColor4d calls; any other glColor* counts in othercolour
    int othercolour = 0;
};

inline replayrec replay(const std::vector<glcall>& log = glrec::log())
{
    replayrec r;
    prim& st = r.state;
    prim* open = nullptr;
    vec normal{0, 0, 1};
    bool pendingtex = false;
    double s = 0, t = 0;
    for (const glcall& c : log) {
        const auto& a = c.args;
        if (c.name == "glBegin") {
            r.prims.push_back(st);
            open = &r.prims.back();
            open->mode = a[0];
            open->v.clear();
        } else if (c.name == "glEnd") {
            open = nullptr;
        } else if (c.name == "glNormal3d") {
            normal = {a[0], a[1], a[2]};
        } else if (c.name == "glTexCoord2d") {
            s = a[0];
            t = a[1];
            pendingtex = true;
        } else if (c.name == "glVertex3d") {
            vertex v{{a[0], a[1], a[2]}, normal, pendingtex, s, t};
            pendingtex = false;
            if (open) open->v.push_back(v);
        } else if (c.name == "glColor4d") {
            st.colour = {a[0], a[1], a[2], a[3]};
            ++r.colourcalls;
        } else if (c.name.rfind("glColor", 0) == 0) {
            ++r.othercolour;
        } else if (c.name == "glMaterialfv" || c.name == "glMaterialf") {
            std::vector<material*> faces;
            if (a[0] == GL_FRONT || a[0] == GL_FRONT_AND_BACK) faces.push_back(&st.front);
            if (a[0] == GL_BACK || a[0] == GL_FRONT_AND_BACK) faces.push_back(&st.back);
            for (material* m : faces) {
                if (a[1] == GL_AMBIENT_AND_DIFFUSE) m->ad = {a[2], a[3], a[4], a[5]};
                if (a[1] == GL_SPECULAR) m->spec = {a[2], a[3], a[4], a[5]};
                if (a[1] == GL_SHININESS) m->shin = a[2];
            }
        } else if (c.name == "glEnable" || c.name == "glDisable") {
            const bool on = c.name == "glEnable";
            if (a[0] == GL_TEXTURE_2D) st.texture2d = on;
            if (a[0] == GL_CULL_FACE) st.cullface = on;
        } else if (c.name == "glBindTexture" && a[0] == GL_TEXTURE_2D) {
            st.bound = a[1];
        }
    }
    return r;
}

inline vec sub(const vec& a, const vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline vec cross(const vec& a, const vec& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double dot(const vec& a, const vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Every triangle the primitive makes has its counter-clockwise side towards
// the normals given at its corners. Returns how many triangles were checked.
inline int expectoutward(const prim& p, const std::string& what)
{
    std::vector<std::array<int, 3>> tris;
    const int n = static_cast<int>(p.v.size());
    if (p.mode == GL_TRIANGLE_FAN) {
        for (int i = 1; i + 1 < n; ++i) tris.push_back({0, i, i + 1});
    } else if (p.mode == GL_QUAD_STRIP) {
        for (int j = 0; j + 3 < n; j += 2) {
            tris.push_back({j, j + 1, j + 3});
            tris.push_back({j, j + 3, j + 2});
        }
    } else if (p.mode == GL_QUADS) {
        for (int j = 0; j + 3 < n; j += 4) {
            tris.push_back({j, j + 1, j + 2});
            tris.push_back({j, j + 2, j + 3});
        }
    } else {
        ADD_FAILURE() << what << ": unexpected primitive " << p.mode;
    }
    int checked = 0;
    for (const auto& tr : tris) {
        const vertex &a = p.v[tr[0]], &b = p.v[tr[1]], &c = p.v[tr[2]];
        const vec g = cross(sub(b.p, a.p), sub(c.p, a.p));
        if (dot(g, g) < 1e-18) continue;  // degenerate
        vec nsum{a.n[0] + b.n[0] + c.n[0], a.n[1] + b.n[1] + c.n[1], a.n[2] + b.n[2] + c.n[2]};
        EXPECT_GT(dot(g, nsum), 0.0) << what << ": triangle at (" << a.p[0] << ", " << a.p[1] << ", "
                                     << a.p[2] << ") faces away from its normals";
        ++checked;
    }
    return checked;
}

// A temporary dungeon-like directory holding Data/<name>.ppm and
// Data/<name>_grey.ppm for each name, entered for the guard's lifetime. The
// k-th file written is k pixels wide (1-based), so the order in which they are
// uploaded shows in the widths handed to gluBuild2DMipmaps.
class datadir {
   public:
    datadir(const std::vector<std::string>& names, const std::vector<std::string>& leaveout = {})
    {
        char tmpl[] = "/tmp/vesk-objects-XXXXXX";
        dir_ = mkdtemp(tmpl);
        std::filesystem::create_directory(dir_ + "/Data");
        int width = 0;
        for (const std::string& name : names)
            for (const char* suffix : {".ppm", "_grey.ppm"}) {
                const std::string file = "Data/" + name + suffix;
                ++width;
                if (std::find(leaveout.begin(), leaveout.end(), file) != leaveout.end()) continue;
                std::ofstream out(dir_ + "/" + file, std::ios::binary);
                out << "P6\n" << width << " 1\n255\n" << std::string(static_cast<size_t>(width) * 3, '\x80');
                written_.push_back(file);
            }
        char cwd[4096];
        old_ = getcwd(cwd, sizeof cwd) ? cwd : "/";
        if (chdir(dir_.c_str()) != 0) ADD_FAILURE() << "cannot enter " << dir_;
    }
    ~datadir()
    {
        if (chdir(old_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << old_;
        std::filesystem::remove_all(dir_);
    }
    // Whether the image reader takes every file written: an init that ends
    // the process early would otherwise look like a pass.
    bool readable() const
    {
        for (const std::string& file : written_) {
            int w = 0, h = 0;
            if (!readPPM(file, w, h)) return false;
        }
        return true;
    }
    datadir(const datadir&) = delete;
    datadir& operator=(const datadir&) = delete;

   private:
    std::string dir_, old_;
    std::vector<std::string> written_;
};

// The texture names handed out by glGenTextures, in order.
inline std::vector<double> texturenames()
{
    std::vector<double> out;
    for (const glcall& c : glrec::calls("glGenTextures")) out.push_back(c.args[1]);
    return out;
}

// The widths of the uploaded images, in order.
inline std::vector<double> uploadwidths()
{
    std::vector<double> out;
    for (const glcall& c : glrec::calls("gluBuild2DMipmaps")) out.push_back(c.args[2]);
    return out;
}

// The calls between glNewList(list) and its glEndList.
inline std::vector<glcall> listbody(double list)
{
    std::vector<glcall> out;
    bool in = false;
    for (const glcall& c : glrec::log()) {
        if (c.name == "glNewList" && c.args[0] == list) {
            in = true;
            continue;
        }
        if (in && c.name == "glEndList") break;
        if (in) out.push_back(c);
    }
    return out;
}

}  // namespace drawcheck
