// helptext.h -- the words the game shows: help box texts and outcome messages
#pragma once

#include <string>

#include "main/game.h"

namespace Ui {

extern const std::string abouttext;
extern const std::string backgroundtext;
extern const std::string controlstext;

// The title and message of the box shown when a frame's result interrupts
// play; both empty for gameresult::playing.
struct outcomemessage {
    std::string title;
    std::string message;
};
outcomemessage messagefor(gameresult result);

}  // namespace Ui
