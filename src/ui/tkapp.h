// tkapp.h -- the Tcl interpreter and Tk main window the whole ui layer works on
#pragma once

#include <tcl.h>
#include <tk.h>

#include <functional>
#include <initializer_list>
#include <string>

namespace Tkapp {

// Creates the interpreter and the Tk main window ".". With no X display it
// prints one line naming the display it tried and exits with status 1.
void open(const char* argv0);

Tcl_Interp* interp();
// The main window "."; nullptr once it has been destroyed.
Tk_Window top();

// Runs one of our own scripts. A Tcl error there is a fault in the program and
// is thrown as std::runtime_error, to be reported like any other exception.
void eval(const std::string& script);
// The same for one command given as words, so no word needs quoting.
void evalv(std::initializer_list<std::string> words);
std::string getvar(const std::string& name);
bool exists(const std::string& path);

// Registers a Tcl command run by fn with the command's words (objv[0] is the
// name). An exception leaving fn never reaches Tcl's C frames: it is reported
// by uncaught.
using handler = std::function<void(int objc, Tcl_Obj* const objv[])>;
void command(const std::string& name, handler fn);
// Runs fn with the same protection, for callbacks that are not Tcl commands.
void guarded(const std::function<void()>& fn);

// "Uncaught exception: " and the description on stderr, then exit status 2.
[[noreturn]] void uncaught(const char* what);

}  // namespace Tkapp
