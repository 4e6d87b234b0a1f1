// baretogl_tk.cpp -- the start-up baseline: a bare 800 x 600 Togl area that draws one cleared frame and exits
//
// Made like the game's drawing area (Tcl, Tk, package Togl, the same widget
// options, packed the same way); its display command clears, swaps, waits
// for the frame with glFinish and ends the process, as the game does with
// VESK_EXIT_AFTER_FIRST_FRAME=1.
#include <GL/gl.h>
#include <tcl.h>
#include <tk.h>
#include <togl.h>

#include <cstdio>
#include <cstdlib>

namespace {

int display(ClientData, Tcl_Interp* interp, int objc, Tcl_Obj* const objv[])
{
    Togl* t = nullptr;
    if (objc < 2 || Togl_GetToglFromObj(interp, objv[1], &t) != TCL_OK) return TCL_ERROR;
    Togl_MakeCurrent(t);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Togl_SwapBuffers(t);
    glFinish();
    std::exit(0);
}

}  // namespace

int main(int, char** argv)
{
    Tcl_FindExecutable(argv[0]);
    Tcl_Interp* interp = Tcl_CreateInterp();
    if (Tcl_Init(interp) != TCL_OK || Tk_Init(interp) != TCL_OK) {
        std::fprintf(stderr, "baretogl: %s\n", Tcl_GetStringResult(interp));
        return 1;
    }
    Tcl_CreateObjCommand(interp, "bare::display", display, nullptr, nullptr);
    const char* script =
        "package require Togl 2.0\n"
        "togl .togl -width 800 -height 600 -rgba true -double true -depth true -displaycommand bare::display\n"
        "pack .togl -side bottom -fill both -expand 1\n";
    if (Tcl_Eval(interp, script) != TCL_OK) {
        std::fprintf(stderr, "baretogl: %s\n", Tcl_GetStringResult(interp));
        return 1;
    }
    Tk_MainLoop();
    return 1;   // the window went before a frame was drawn
}
