// throwprobe.cpp -- throws from a Tcl callback run by the event loop, to show that
// Tkapp's guard reports it and ends the process before it reaches Tcl's C frames
#include <stdexcept>
#include <string>

#include "ui/tkapp.h"

int main(int argc, char** argv)
{
    Tkapp::open(argv[0]);
    std::string kind = argc > 1 ? argv[1] : "error";
    Tkapp::command("probe::throw", [kind](int, Tcl_Obj* const*) {
        if (kind == "error") throw std::runtime_error("boom from a callback");
        throw 42;
    });
    Tkapp::eval("after 0 probe::throw");
    Tk_MainLoop();
    return 0;  // only when the callback did not run
}
