// uistate.h -- the window module's state, shared by its files (not for other modules)
#pragma once

#include "main/game.h"

namespace Ui {

struct uistate {
    gamerec* game = nullptr;
    bool paused = true;    // pause mode: the frame timer does nothing
    bool lighting = true;  // the Options menu's three switches
    bool textures = true;
    bool stereo = false;
    bool tracing = false;  // VESK_TRACE=1
};
uistate& state();

// Draws one frame into the drawing area, if it still exists.
void draw();
// Writes "vesk-trace: <what> heading=H pitch=P" when tracing.
void trace(const char* what);
// Installs the commands the menus and bindings call (menu_tk.cpp).
void makecommands();

}  // namespace Ui
