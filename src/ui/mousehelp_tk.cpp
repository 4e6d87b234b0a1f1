// mousehelp_tk.cpp -- pointer grab, warp and release with a blank cursor (Xlib)
#include "ui/mousehelp.h"

#include <X11/Xlib.h>

#include "ui/tkapp.h"

namespace {

char blank_bits[1] = {0};
Pixmap blankicon = None;
Cursor blankcursor = None;

}  // namespace

void grabmouse()
{
    Tk_Window top = Tkapp::top();
    Display* d = Tk_Display(top);
    Window w = Tk_WindowId(top);
    blankicon = XCreateBitmapFromData(d, w, blank_bits, 1, 1);
    // The mask has no pixel set, so the colours never show.
    XColor colour{};
    blankcursor = XCreatePixmapCursor(d, blankicon, blankicon, &colour, &colour, 0, 0);
    XGrabPointer(d, w, True, 0x7ffc, GrabModeAsync, GrabModeAsync, w, blankcursor, CurrentTime);
    XFlush(d);
}

void warpmouse(int x, int y)
{
    Tk_Window top = Tkapp::top();
    XWarpPointer(Tk_Display(top), None, Tk_WindowId(top), 0, 0, 0, 0, x, y);
    XFlush(Tk_Display(top));
}

void releasemouse()
{
    Tk_Window top = Tkapp::top();
    Display* d = Tk_Display(top);
    XUngrabPointer(d, CurrentTime);
    XFreePixmap(d, blankicon);
    XFreeCursor(d, blankcursor);
    blankicon = None;
    blankcursor = None;
    XFlush(d);
}
