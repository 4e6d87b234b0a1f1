// ui.h -- the application window: drawing area, menus, modes, frame timer, help boxes
//
// Test hook: with VESK_TRACE=1 in the environment the window writes lines to
// stderr that a test can read but a screenshot cannot show:
//   vesk-trace: game heading=H pitch=P     on entering game mode
//   vesk-trace: pause heading=H pitch=P    on entering pause mode
//   vesk-trace: menu LABEL heading=H pitch=P   the menu bar shown, LABEL its first entry
//   vesk-trace: move DX DY heading=H pitch=P   each pointer motion that reaches the player
//   vesk-trace: focusout WINDOW MODE DETAIL    each FocusOut seen in game mode
// Without it nothing is written.
//
// Benchmark hook: with VESK_EXIT_AFTER_FIRST_FRAME=1 the program exits with
// status 0 as soon as its first frame is drawn and finished (bench/run.sh
// times start-up with it). Without it nothing changes.
#pragma once

#include <string>

#include "main/game.h"

namespace Ui {

// Module initialisation, before the dungeon is looked for: the Tk main window
// titled "Spaceman Vesk in Escape from Droon" with a 4:3 aspect hint, and the
// option variables. With no X display: one line on stderr and exit status 1.
void init(const char* argv0);

// Creates the 800 x 600 drawing area, runs the graphics start-up, installs the
// redisplay, resize and frame-timer callbacks and shows the menu bar with
// "Start". The game record must outlive the event loop.
void startup(gamerec& game);

// Runs the Tk event loop until the main window is gone.
void mainloop();

// Builds and shows the menu bar; unless first, enters pause mode before.
void makemenu(bool first);
// The "Reset" command: a new game in place; time, mode and options are kept.
void resetfun(gamerec& game);
// The "Quit" command: closes the main window, which ends the event loop.
void quitfun();
// Opens a help box titled name showing text, as a child of the main window.
void helpbox(const std::string& name, const std::string& text);

}  // namespace Ui
