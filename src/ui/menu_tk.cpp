// menu_tk.cpp -- the menu bar, pause and game modes, the game keys and the options
#include <cstdio>
#include <iterator>  // std::size
#include <string>

#include "player/vesk.h"
#include "ui/helptext.h"
#include "ui/mouse.h"
#include "ui/tkapp.h"
#include "ui/ui.h"
#include "ui/uistate.h"

namespace Ui {

namespace {

const char* const gametitle = "Spaceman Vesk in Escape from Droon (press Escape for pause and game menu)";
const char* const pausedtitle = "Spaceman Vesk in Escape from Droon (paused)";

// The eleven game-mode (event, key) pairs and what each does to the player.
struct keybinding {
    const char* event;
    void (*action)(veskrec&);
};
const keybinding keys[] = {
    {"<KeyPress-Up>", Vesk::startfwd},         {"<KeyPress-Down>", Vesk::startback},
    {"<KeyPress-Left>", Vesk::startleft},      {"<KeyPress-Right>", Vesk::startright},
    {"<KeyPress-KP_Insert>", Vesk::startjump}, {"<KeyRelease-Up>", Vesk::endfwd},
    {"<KeyRelease-Down>", Vesk::endback},      {"<KeyRelease-Left>", Vesk::endleft},
    {"<KeyRelease-Right>", Vesk::endright},    {"<KeyRelease-KP_Insert>", Vesk::endjump},
};

int intarg(Tcl_Obj* obj)
{
    int v = -1;
    Tcl_GetIntFromObj(Tkapp::interp(), obj, &v);
    return v;
}

// In pause mode the same pairs stay bound, to nothing.
void bindkeys(bool gamemode)
{
    for (int i = 0; i < static_cast<int>(std::size(keys)); ++i)
        Tkapp::evalv(
            {"bind", ".", keys[i].event, gamemode ? "vesk::key " + std::to_string(i) : "vesk::nothing"});
    Tkapp::evalv({"bind", ".", "<KeyPress-Escape>", gamemode ? "vesk::pause" : "vesk::nothing"});
}

// Enter game mode from the menu bar that offered "Start" or "Resume".
void startfun(const std::string& menubar)
{
    uistate& st = state();
    if (Tkapp::exists(menubar)) Tkapp::evalv({"destroy", menubar});
    // Both act on whatever player and game the record holds when they run.
    Mouse::game_mode_on(
        [](int dx, int dy) {
            uistate& s = state();
            Vesk::movemouse(s.game->vesk, dx, dy);
            if (s.tracing) trace(("move " + std::to_string(dx) + " " + std::to_string(dy)).c_str());
        },
        [] { Game::pressbutton(*state().game); });
    bindkeys(true);
    Tkapp::evalv({"wm", "title", ".", gametitle});
    // The paused time must not count as elapsed time in the next frame.
    Game::resumeplaying(*st.game);
    st.paused = false;
    trace("game");
}

// Losing the keyboard in game mode would leave the pointer caught in a window
// that no longer hears Escape, so that pauses too. Focus moving between our
// own widgets, and the focus events of grabs, are not a loss.
void focusout(const std::string& window, const std::string& mode, const std::string& detail)
{
    uistate& st = state();
    if (st.paused || window != ".") return;
    if (st.tracing)
        std::fprintf(stderr, "vesk-trace: focusout %s %s %s\n", window.c_str(), mode.c_str(), detail.c_str());
    if (mode == "NotifyGrab" || mode == "NotifyUngrab") return;
    if (detail == "NotifyInferior" || detail == "NotifyPointer") return;
    makemenu(false);
}

void addmenu(const std::string& menubar, const std::string& name, const std::string& label)
{
    std::string button = menubar + "." + name;
    Tkapp::evalv({"menubutton", button, "-text", label, "-menu", button + ".menu"});
    Tkapp::evalv({"menu", button + ".menu", "-tearoff", "0"});
}

void addcommand(const std::string& menu, const std::string& label, const std::string& script)
{
    Tkapp::evalv({menu, "add", "command", "-label", label, "-command", script});
}

void addcheck(const std::string& menu, const std::string& label, const std::string& var,
              const std::string& option)
{
    Tkapp::evalv({menu, "add", "checkbutton", "-label", label, "-variable", var, "-onvalue", "On",
                  "-offvalue", "Off", "-indicatoron", "1", "-command", "vesk::option " + option});
}

}  // namespace

void makecommands()
{
    Tkapp::command("vesk::start", [](int objc, Tcl_Obj* const objv[]) {
        if (objc == 2) startfun(Tcl_GetString(objv[1]));
    });
    Tkapp::command("vesk::pause", [](int, Tcl_Obj* const*) {
        if (!state().paused) makemenu(false);
    });
    Tkapp::command("vesk::key", [](int objc, Tcl_Obj* const objv[]) {
        int i = objc == 2 ? intarg(objv[1]) : -1;
        if (!state().paused && i >= 0 && i < static_cast<int>(std::size(keys)))
            keys[i].action(state().game->vesk);
    });
    Tkapp::command("vesk::focusout", [](int objc, Tcl_Obj* const objv[]) {
        if (objc == 4) focusout(Tcl_GetString(objv[1]), Tcl_GetString(objv[2]), Tcl_GetString(objv[3]));
    });
    Tkapp::command("vesk::reset", [](int, Tcl_Obj* const*) { resetfun(*state().game); });
    Tkapp::command("vesk::quit", [](int, Tcl_Obj* const*) { quitfun(); });
    Tkapp::command("vesk::option", [](int objc, Tcl_Obj* const objv[]) {
        if (objc != 2) return;
        std::string name = Tcl_GetString(objv[1]);
        bool on = Tkapp::getvar(name + "var") == "On";
        uistate& st = state();
        if (name == "lighting") st.lighting = on;
        if (name == "textures") st.textures = on;
        if (name == "stereo") st.stereo = on;
    });
    Tkapp::command("vesk::help", [](int objc, Tcl_Obj* const objv[]) {
        if (objc != 2) return;
        std::string name = Tcl_GetString(objv[1]);
        if (name == "About") helpbox(name, abouttext);
        if (name == "Background") helpbox(name, backgroundtext);
        if (name == "Controls") helpbox(name, controlstext);
    });
    Tkapp::eval("bind . <FocusOut> {vesk::focusout %W %m %d}");
}

void makemenu(bool first)
{
    uistate& st = state();
    if (!first) {
        st.paused = true;
        Mouse::game_mode_off();
        bindkeys(false);
        Tkapp::evalv({"wm", "title", ".", pausedtitle});
        trace("pause");
    }
    const std::string menubar = ".menubar";
    if (Tkapp::exists(menubar)) Tkapp::evalv({"destroy", menubar});
    Tkapp::evalv({"frame", menubar, "-borderwidth", "2", "-relief", "raised"});

    addmenu(menubar, "game", "Game");
    const std::string game = menubar + ".game.menu";
    addcommand(game, first ? "Start" : "Resume", "vesk::start " + menubar);
    addcommand(game, "Reset", "vesk::reset");
    addcommand(game, "Quit", "vesk::quit");

    addmenu(menubar, "options", "Options");
    const std::string options = menubar + ".options.menu";
    addcheck(options, "Lighting", "lightingvar", "lighting");
    addcheck(options, "Textures", "texturesvar", "textures");
    addcheck(options, "Stereo", "stereovar", "stereo");

    addmenu(menubar, "help", "Help");
    const std::string help = menubar + ".help.menu";
    addcommand(help, "About...", "vesk::help About");
    addcommand(help, "Background...", "vesk::help Background");
    addcommand(help, "Controls...", "vesk::help Controls");

    Tkapp::evalv({"pack", menubar + ".game", menubar + ".options", menubar + ".help", "-side", "left"});
    Tkapp::evalv({"place", menubar, "-x", "0", "-y", "0", "-relwidth", "1.0", "-height", "32"});
    trace(first ? "menu Start" : "menu Resume");
}

}  // namespace Ui
