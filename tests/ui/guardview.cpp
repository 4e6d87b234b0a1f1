// guardview.cpp -- draws one guard in a GLX window and saves views of it as PPM images
//
// A throwaway viewer for test_guard.sh: run in a dungeon directory (it loads
// Data/guard.ppm and Data/guard_grey.ppm through Badguy::init, as the game
// does) on an X display, as
//     guardview OUTDIR
// and it writes OUTDIR/<view>_<variant>.ppm for the views front, side and
// back and the variants plain, textured and grey: a 400 x 400 picture of a
// guard at phase 0 and heading 0 (facing -z), lit from the camera, on a dark
// blue background, with back faces culled as the level renderer does.
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "guards/badguy_gl.h"
#include "render/tex.h"

namespace {

constexpr int size = 400;

bool writeppm(const std::string& path)
{
    std::vector<unsigned char> rgb(size * size * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, size, size, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", size, size);
    // GL's rows run bottom-up.
    for (int y = size - 1; y >= 0; --y) std::fwrite(&rgb[y * size * 3], 1, size * 3, f);
    return std::fclose(f) == 0;
}

void draw(const badguyrec& g, const double eye[3], bool textured, bool grey)
{
    glClearColor(0.0f, 0.0f, 0.25f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, 1.0, 0.1, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // A head light: placed at the eye before the view transform.
    const GLfloat light[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    gluLookAt(eye[0], eye[1], eye[2], 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    Badguy::render(g, textured, grey);
    glFinish();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: guardview OUTDIR\n");
        return 2;
    }
    const std::string out = argv[1];
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "guardview: no display\n");
        return 1;
    }
    int attrs[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8,
                   GLX_BLUE_SIZE, 8, None};
    XVisualInfo* vi = glXChooseVisual(dpy, DefaultScreen(dpy), attrs);
    if (!vi) {
        std::fprintf(stderr, "guardview: no visual\n");
        return 1;
    }
    XSetWindowAttributes swa{};
    swa.colormap = XCreateColormap(dpy, RootWindow(dpy, vi->screen), vi->visual, AllocNone);
    Window win = XCreateWindow(dpy, RootWindow(dpy, vi->screen), 0, 0, size, size, 0, vi->depth, InputOutput,
                               vi->visual, CWColormap, &swa);
    XStoreName(dpy, win, "guardview");
    XMapWindow(dpy, win);
    XSync(dpy, False);
    GLXContext ctx = glXCreateContext(dpy, vi, nullptr, True);
    glXMakeCurrent(dpy, win, ctx);
    glViewport(0, 0, size, size);

    // The game's start-up order: texture parameters first, then the figure.
    Tex::setparam();
    Badguy::init();

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const GLfloat ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);

    const badguyrec g = Badguy::newbadguy(0, 0.0, 0.0, 0.0, 0.0);
    const struct {
        const char* name;
        double eye[3];
    } views[] = {{"front", {0.0, 0.15, -1.7}}, {"side", {-1.7, 0.15, 0.0}}, {"back", {0.3, 0.5, 1.6}}};
    const struct {
        const char* name;
        bool textured, grey;
    } variants[] = {{"plain", false, false}, {"textured", true, false}, {"grey", true, true}};
    for (const auto& v : views) {
        for (const auto& k : variants) {
            draw(g, v.eye, k.textured, k.grey);
            const std::string path = out + "/" + v.name + "_" + k.name + ".ppm";
            if (!writeppm(path)) {
                std::fprintf(stderr, "guardview: cannot write %s\n", path.c_str());
                return 1;
            }
        }
    }
    std::printf("renderer %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    glXMakeCurrent(dpy, None, nullptr);
    glXDestroyContext(dpy, ctx);
    XCloseDisplay(dpy);
    return 0;
}
