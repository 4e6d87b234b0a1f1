// tkapp_tk.cpp -- the Tcl interpreter, the Tk main window and guarded callbacks
#include "ui/tkapp.h"

#include <X11/Xlib.h>  // XOpenDisplay: a clear message before Tk tries

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <vector>

namespace Tkapp {

namespace {

Tcl_Interp* theinterp = nullptr;

int dispatch(ClientData data, Tcl_Interp*, int objc, Tcl_Obj* const objv[])
{
    guarded([&] { (*static_cast<handler*>(data))(objc, objv); });
    return TCL_OK;
}

[[noreturn]] void cannotstart(const std::string& line)
{
    std::fprintf(stderr, "vesk: %s\n", line.c_str());
    std::exit(1);
}

void check(int code)
{
    if (code != TCL_OK) throw std::runtime_error(std::string("Tcl: ") + Tcl_GetStringResult(theinterp));
}

}  // namespace

void open(const char* argv0)
{
    Tcl_FindExecutable(argv0);
    theinterp = Tcl_CreateInterp();
    if (Tcl_Init(theinterp) != TCL_OK)
        cannotstart(std::string("cannot start Tcl: ") + Tcl_GetStringResult(theinterp));
    // Tk's own failure message is long and differs by cause; say plainly what
    // is missing, naming the display tried.
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) cannotstart("cannot open X display (DISPLAY not set)");
    Display* probe = XOpenDisplay(name);
    if (!probe) cannotstart(std::string("cannot open X display '") + name + "'");
    XCloseDisplay(probe);
    if (Tk_Init(theinterp) != TCL_OK)
        cannotstart(std::string("cannot start Tk: ") + Tcl_GetStringResult(theinterp));
    // vesk::nothing is what a binding that must exist but do nothing runs.
    check(Tcl_Eval(theinterp, "namespace eval vesk { proc nothing args {} }"));
}

Tcl_Interp* interp() { return theinterp; }

Tk_Window top() { return theinterp ? Tk_MainWindow(theinterp) : nullptr; }

void eval(const std::string& script) { check(Tcl_EvalEx(theinterp, script.c_str(), -1, TCL_EVAL_GLOBAL)); }

void evalv(std::initializer_list<std::string> words)
{
    std::vector<Tcl_Obj*> objs;
    for (const std::string& w : words) {
        Tcl_Obj* o = Tcl_NewStringObj(w.data(), static_cast<int>(w.size()));
        Tcl_IncrRefCount(o);
        objs.push_back(o);
    }
    int code = Tcl_EvalObjv(theinterp, static_cast<int>(objs.size()), objs.data(), TCL_EVAL_GLOBAL);
    for (Tcl_Obj* o : objs) Tcl_DecrRefCount(o);
    check(code);
}

std::string getvar(const std::string& name)
{
    const char* v = Tcl_GetVar(theinterp, name.c_str(), TCL_GLOBAL_ONLY);
    return v ? v : "";
}

bool exists(const std::string& path)
{
    Tk_Window t = top();
    return t && Tk_NameToWindow(theinterp, path.c_str(), t) != nullptr;
}

void command(const std::string& name, handler fn)
{
    // Commands live as long as the process: the handler is never freed.
    Tcl_CreateObjCommand(theinterp, name.c_str(), dispatch, new handler(std::move(fn)), nullptr);
}

void guarded(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const std::exception& e) {
        uncaught(e.what());
    } catch (...) {
        uncaught("an exception of unknown type");
    }
}

void uncaught(const char* what)
{
    std::fflush(stdout);
    std::fprintf(stderr, "Uncaught exception: %s\n", what);
    std::fflush(stderr);
    // Straight out: Tcl and GL must not run their clean-ups on a broken state.
    std::_Exit(2);
}

}  // namespace Tkapp
