// objectview.cpp -- draws each free and fixed object close up in a GLX window and saves PPM pictures
//
// A viewer for test_objects.sh, run in a dungeon directory (Fixedobj::init and
// Freeobj::init load its Data images, as the game does) on an X display:
//     objectview OUTDIR
// It writes OUTDIR/<object>_<variant>.ppm, 400 x 400, for the objects charge,
// bribe, teleporter, barsxy, barszy, barsxz and step, in the variants plain,
// textured and grey (textured grey, what the stereo view draws), through
// Freeobj::render and Fixedobj::render at the origin, lit from the eye, on a
// mid grey background, back faces culled as in the level renderer.
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "objects/fixedobj_gl.h"
#include "objects/freeobj_gl.h"
#include "render/tex.h"

namespace {

constexpr int size = 400;

bool saveppm(const std::string& path)
{
    std::vector<unsigned char> rgb(size * size * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, size, size, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", size, size);
    for (int y = size - 1; y >= 0; --y)
        std::fwrite(&rgb[y * size * 3], 1, size * 3, f);  // GL rows run bottom-up
    return std::fclose(f) == 0;
}

struct view {
    const char* name;
    int freekind;  // -1: a fixed object
    int fixedkind;
    double eye[3];  // looking at the origin
};

void draw(const view& v, bool textured, bool grey)
{
    glClearColor(0.35f, 0.35f, 0.35f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, 1.0, 0.05, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLfloat light[4] = {0.0f, 0.0f, 0.0f, 1.0f};  // at the eye
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    gluLookAt(v.eye[0], v.eye[1], v.eye[2], 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    if (v.freekind >= 0)
        Freeobj::render(Freeobj::newfree(v.freekind, 0.0, 0.0, 0.0), textured, grey);
    else
        Fixedobj::render(Fixedobj::newfixed(v.fixedkind, 0.0, 0.0, 0.0), textured, grey);
    glFinish();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: objectview OUTDIR\n");
        return 2;
    }
    const std::string out = argv[1];
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "objectview: no display\n");
        return 1;
    }
    int attrs[] = {
        GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
        None};
    XVisualInfo* vi = glXChooseVisual(dpy, DefaultScreen(dpy), attrs);
    if (!vi) {
        std::fprintf(stderr, "objectview: no visual\n");
        return 1;
    }
    XSetWindowAttributes swa{};
    swa.colormap = XCreateColormap(dpy, RootWindow(dpy, vi->screen), vi->visual, AllocNone);
    Window win = XCreateWindow(dpy, RootWindow(dpy, vi->screen), 0, 0, size, size, 0, vi->depth, InputOutput,
                               vi->visual, CWColormap, &swa);
    XStoreName(dpy, win, "objectview");
    XMapWindow(dpy, win);
    XSync(dpy, False);
    GLXContext ctx = glXCreateContext(dpy, vi, nullptr, True);
    glXMakeCurrent(dpy, win, ctx);
    glViewport(0, 0, size, size);

    // The game's order: texture parameters, then bars and steps, then free objects.
    Tex::setparam();
    Fixedobj::init();
    Freeobj::init();

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);

    // Each seen a little from above and from the right, from a distance that
    // suits its size; the three grids from the same place, so their turns show.
    const view views[] = {
        {"charge", charge_kind, 0, {0.16, 0.14, 0.34}},
        {"bribe", bribe_kind, 0, {0.25, 0.25, 0.5}},
        {"teleporter", teleporter_kind, 0, {1.1, 1.0, 2.2}},
        {"barsxy", -1, barsxy, {1.2, 1.0, 2.6}},
        {"barszy", -1, barszy, {1.2, 1.0, 2.6}},
        {"barsxz", -1, barsxz, {1.2, 1.0, 2.6}},
        {"step", -1, step, {1.3, 1.3, 2.1}},
    };
    const struct {
        const char* name;
        bool textured, grey;
    } variants[] = {{"plain", false, false}, {"textured", true, false}, {"grey", true, true}};
    for (const view& v : views)
        for (const auto& k : variants) {
            draw(v, k.textured, k.grey);
            const std::string path = out + "/" + v.name + "_" + k.name + ".ppm";
            if (!saveppm(path)) {
                std::fprintf(stderr, "objectview: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    glXMakeCurrent(dpy, None, nullptr);
    glXDestroyContext(dpy, ctx);
    XCloseDisplay(dpy);
    return 0;
}
