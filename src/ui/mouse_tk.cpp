// mouse_tk.cpp -- the pointer in game mode: grab, recentre, turn motion into steering
#include "ui/mouse.h"

#include "ui/mousehelp.h"
#include "ui/tkapp.h"

namespace Mouse {

namespace {

struct mousestate {
    bool captured = false;  // between game_mode_on and game_mode_off
    bool commands = false;  // the Tcl commands exist
    int cx = 0, cy = 0;     // the window centre of the last game_mode_on
    std::function<void(int, int)> move;
    std::function<void()> button;
};
mousestate st;

int intarg(Tcl_Obj* obj)
{
    int v = 0;
    Tcl_GetIntFromObj(Tkapp::interp(), obj, &v);
    return v;
}

void makecommands()
{
    if (st.commands) return;
    st.commands = true;
    Tkapp::command("vesk::motion", [](int objc, Tcl_Obj* const objv[]) {
        if (!st.captured || objc != 3) return;
        int x = intarg(objv[1]), y = intarg(objv[2]);
        // The motion our own warp produced lands exactly on the centre.
        if (x == st.cx && y == st.cy) return;
        st.move(x - st.cx, y - st.cy);
        warpmouse(st.cx, st.cy);
    });
    Tkapp::command("vesk::button", [](int, Tcl_Obj* const*) {
        if (st.captured) st.button();
    });
}

}  // namespace

void game_mode_on(std::function<void(int, int)> move, std::function<void()> button)
{
    makecommands();
    st.move = std::move(move);
    st.button = std::move(button);
    grabmouse();
    st.captured = true;
    Tk_Window top = Tkapp::top();
    st.cx = Tk_Width(top) / 2;
    st.cy = Tk_Height(top) / 2;
    warpmouse(st.cx, st.cy);
    // In game mode the drawing area fills "." from its corner, so %x %y of any
    // widget inside are window coordinates.
    Tkapp::eval("bind . <Motion> {vesk::motion %x %y}");
    Tkapp::eval("bind . <ButtonPress> {vesk::button}");
}

void game_mode_off()
{
    if (!st.captured) return;
    releasemouse();
    st.captured = false;
    Tkapp::eval("bind . <Motion> {vesk::nothing}");
    Tkapp::eval("bind . <ButtonPress> {vesk::nothing}");
}

}  // namespace Mouse
