// xprobe.cpp -- asks the X server what a test cannot see in a screenshot
//
//   xprobe pointer  -> "x y"            pointer position on the root window
//   xprobe cursor   -> "W H N"          size of the current cursor image and the
//                                       number of its pixels that are not fully
//                                       transparent (0 for a blank cursor)
//   xprobe focus    -> window id of the keyboard focus (decimal)
//
// It never tries a grab of its own: a refused grab request from another client
// lifts the confinement of the active one (an X server quirk), which would
// spoil the very thing under test. Built by tests/ui/lib.sh on first use.
// The cursor image comes from the XFixes extension, opened at run time so that
// only its runtime library is needed.
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

namespace {

// The layout of XFixesCursorImage (libXfixes' public ABI).
struct cursorimage {
    short x, y;
    unsigned short width, height;
    unsigned short xhot, yhot;
    unsigned long cursor_serial;
    unsigned long* pixels;  // ARGB, one per long
    Atom atom;
    const char* name;
};

int cursor(Display* d)
{
    void* lib = dlopen("libXfixes.so.3", RTLD_NOW);
    if (!lib) {
        std::fprintf(stderr, "xprobe: libXfixes.so.3 not found\n");
        return 1;
    }
    using queryfn = Bool (*)(Display*, int*, int*);
    using imagefn = cursorimage* (*)(Display*);
    auto query = reinterpret_cast<queryfn>(dlsym(lib, "XFixesQueryExtension"));
    auto image = reinterpret_cast<imagefn>(dlsym(lib, "XFixesGetCursorImage"));
    int ev = 0, err = 0;
    if (!query || !image || !query(d, &ev, &err)) {
        std::fprintf(stderr, "xprobe: no XFixes on this display\n");
        return 1;
    }
    cursorimage* img = image(d);
    if (!img) return 1;
    int visible = 0;
    for (int i = 0; i < img->width * img->height; ++i)
        if ((img->pixels[i] >> 24) & 0xff) ++visible;
    std::printf("%d %d %d\n", img->width, img->height, visible);
    XFree(img);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: xprobe pointer|cursor|focus\n");
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "xprobe: cannot open display\n");
        return 1;
    }
    Window root = DefaultRootWindow(d);
    int status = 0;
    if (!std::strcmp(argv[1], "pointer")) {
        Window r, c;
        int rx, ry, wx, wy;
        unsigned int mask;
        XQueryPointer(d, root, &r, &c, &rx, &ry, &wx, &wy, &mask);
        std::printf("%d %d\n", rx, ry);
    } else if (!std::strcmp(argv[1], "cursor")) {
        status = cursor(d);
    } else if (!std::strcmp(argv[1], "focus")) {
        Window w;
        int revert;
        XGetInputFocus(d, &w, &revert);
        std::printf("%lu\n", static_cast<unsigned long>(w));
    } else {
        std::fprintf(stderr, "xprobe: unknown question '%s'\n", argv[1]);
        status = 2;
    }
    XCloseDisplay(d);
    return status;
}
