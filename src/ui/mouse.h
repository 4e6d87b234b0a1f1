// mouse.h -- capturing the pointer in game mode: motion turns, any button fires
#pragma once

#include <functional>

namespace Mouse {

// Grabs the pointer with a blank cursor, puts it at the window centre and binds
// pointer motion and button presses on the main window: a motion to (x, y)
// other than the centre calls move(x - cx, y - cy) and warps back; a button
// press calls button.
void game_mode_on(std::function<void(int dx, int dy)> move, std::function<void()> button);
// Releases the pointer and binds motion and button presses to nothing.
// Does nothing unless game_mode_on is in force.
void game_mode_off();

}  // namespace Mouse
