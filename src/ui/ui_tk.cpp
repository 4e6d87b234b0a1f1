// ui_tk.cpp -- the application window: drawing area, frame timer, Reset, Quit, help boxes
#include "ui/ui.h"

#include <togl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "main/game_gl.h"
#include "ui/helptext.h"
#include "ui/tkapp.h"
#include "ui/uistate.h"

namespace Ui {

namespace {

uistate thestate;
int helpboxes = 0;  // names the next help box; boxes are never tracked

const char* const drawingarea = ".togl";

Togl* togl()
{
    Togl* t = nullptr;
    if (!Tkapp::top() || Togl_GetToglFromName(Tkapp::interp(), drawingarea, &t) != TCL_OK) return nullptr;
    return t;
}

// VESK_EXIT_AFTER_FIRST_FRAME=1: the start-up benchmark's stop watch. The
// first frame is drawn as always, then the process ends once it is on screen.
bool exitafterfirstframe()
{
    static const bool on = [] {
        const char* e = std::getenv("VESK_EXIT_AFTER_FIRST_FRAME");
        return e && !std::strcmp(e, "1");
    }();
    return on;
}

void render(Togl* t)
{
    uistate& st = state();
    Togl_MakeCurrent(t);
    Game::render(
        *st.game, Togl_Width(t), Togl_Height(t), [t] { Togl_SwapBuffers(t); }, st.lighting, st.textures,
        st.stereo);
    if (exitafterfirstframe()) {
        glFinish();
        std::fflush(stdout);
        std::exit(0);
    }
}

// Tk's standard modal dialog: no bitmap, no default button, one "OK".
void showoutcome(gameresult result)
{
    outcomemessage m = messagefor(result);
    Tkapp::evalv({"tk_dialog", ".outcome", m.title, m.message, "", "-1", "OK"});
}

// Re-armed only after the work is done, so ticks never queue up or overlap,
// and none runs while an outcome box waits for its "OK".
void tick(ClientData)
{
    Tkapp::guarded([] {
        uistate& st = state();
        if (st.paused || !togl()) return;
        gameresult result = Game::update(*st.game);
        if (result != gameresult::playing) {
            makemenu(false);
            showoutcome(result);
        }
        draw();
    });
    Tcl_CreateTimerHandler(11, tick, nullptr);
}

// Togl calls both with the widget's path; both just draw.
void configuretogl()
{
    Tkapp::command("vesk::display", [](int objc, Tcl_Obj* const objv[]) {
        Togl* t = nullptr;
        if (objc >= 2 && Togl_GetToglFromObj(Tkapp::interp(), objv[1], &t) == TCL_OK) render(t);
    });
    Tkapp::command("vesk::reshape", [](int objc, Tcl_Obj* const objv[]) {
        Togl* t = nullptr;
        if (objc >= 2 && Togl_GetToglFromObj(Tkapp::interp(), objv[1], &t) == TCL_OK) render(t);
    });
    Tkapp::evalv(
        {drawingarea, "configure", "-displaycommand", "vesk::display", "-reshapecommand", "vesk::reshape"});
    Tcl_CreateTimerHandler(11, tick, nullptr);
}

}  // namespace

uistate& state() { return thestate; }

void draw()
{
    if (Togl* t = togl()) render(t);
}

void trace(const char* what)
{
    uistate& st = state();
    if (!st.tracing) return;
    std::fprintf(stderr, "vesk-trace: %s heading=%.6f pitch=%.6f\n", what, st.game->vesk.heading,
                 st.game->vesk.pitch);
    std::fflush(stderr);
}

void init(const char* argv0)
{
    Tkapp::open(argv0);
    const char* t = std::getenv("VESK_TRACE");
    state().tracing = t && !std::strcmp(t, "1");
    Tkapp::evalv({"wm", "title", ".", "Spaceman Vesk in Escape from Droon"});
    Tkapp::eval("wm aspect . 4 3 4 3");
    Tkapp::eval("set ::lightingvar On; set ::texturesvar On; set ::stereovar Off");
}

void startup(gamerec& game)
{
    state().game = &game;
    Tkapp::eval("package require Togl 2.0");
    Tkapp::evalv({"togl", drawingarea, "-width", "800", "-height", "600", "-rgba", "true", "-double", "true",
                  "-depth", "true"});
    // Togl makes its context when it creates the widget; make sure it is the
    // current one before the modules upload textures and compile lists.
    Togl* t = togl();
    if (!t) throw std::runtime_error("the drawing area was not created");
    Togl_MakeCurrent(t);
    Game::init();
    makecommands();
    configuretogl();
    Tkapp::evalv({"pack", drawingarea, "-side", "bottom", "-fill", "both", "-expand", "1"});
    makemenu(true);
}

void mainloop() { Tk_MainLoop(); }

void resetfun(gamerec& game) { Game::newgame_in_place(game); }

void quitfun()
{
    if (Tkapp::top()) Tkapp::eval("destroy .");
}

void helpbox(const std::string& name, const std::string& text)
{
    std::string box = ".help" + std::to_string(helpboxes++);
    Tkapp::evalv({"toplevel", box});
    Tkapp::evalv({"wm", "title", box, name});
    Tkapp::evalv({"message", box + ".text", "-text", text});
    Tkapp::evalv({"pack", box + ".text"});
}

}  // namespace Ui
