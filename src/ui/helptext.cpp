// helptext.cpp -- the help box texts and the outcome messages, to the character
#include "ui/helptext.h"

namespace Ui {

const std::string abouttext =
    " Spaceman Vesk\n"
    "            in\n"
    "Escape from Droon!\n\n"
    "by the Droon Escape team\n"
    "written for a course on computer graphics\n"
    "dedicated to everyone who ever got lost underground\n";

const std::string backgroundtext =
    "You are the fearless Spaceman Vesk, held captive in the dungeons of "
    "Droon after crashlanding (yet again) on the hostile desert planet. After "
    "a fierce battle with the evil Droonoids, you were overcome, only to wake "
    "up later in a smelly prison cell with nothing more than your clothes "
    "... and your carefully hidden Dematterizer.\n\n"
    "The Dematterizer, when fired, swings a chunk of matter into the Fifth "
    "Dimension --- temporarily. It soon swings back into reality, so it's a "
    "good idea to not be in the space it occupied. In particular be careful "
    "about falling into dematterized pits, since in your weakened condition "
    "you won't be able to jump out.\n\n"
    "Beware of guards patrolling the dungeons, who will "
    "easily overcome your puny Earthling physique and lock you up again if they "
    "can catch you. The Droonoids have a limited patience for escape attempts; "
    "get caught too many times and they will freeze you in carbonated scum "
    "forever (a.k.a. Game Over). However, you may find the occasional treasure "
    "chest, with which you can bribe the guards into giving you another "
    "chance.\n\n"
    "To advance from the depths of the dungeon to the surface though the "
    "intermediate levels, you will need to "
    "use the teleporters. To activate a "
    "teleporter, you need to collect 9 charges (they look like batteries).";

// The key column is padded to line up in a proportional font.
const std::string controlstext =
    "The screen is divided into the world view (what Vesk is seeing), a "
    "display of the remaining chances for escape on the right, an indicator "
    "showing the remaining charge in the dematterizer on the bottom, and a "
    "panel in the bottom right showing teleporter charges collected so far.\n\n"
    "While in game mode (entered by selecting 'Start' or 'Resume' in the Game "
    "menu) the following controls are active:\n\n"
    "   mouse movement - rotate Vesk\n"
    "   mouse button -       fire dematterizer\n"
    "   cursor keys -          walk around\n"
    "   0/Insert -                jump\n"
    "   Escape -                 pause game\n";

outcomemessage messagefor(gameresult result)
{
    switch (result) {
        case gameresult::won:
            return {"You win!", "Hooray! You escaped!"};
        case gameresult::lost:
            return {"You lose", "Sorry... you lost"};
        case gameresult::caught:
            return {"Uh-oh", std::string("Go back to jail - ") + "with one less chance"};
        case gameresult::nextlevel:
            return {"You're getting there!", "You made it to the next level!"};
        case gameresult::playing:
            break;
    }
    return {};
}

}  // namespace Ui
