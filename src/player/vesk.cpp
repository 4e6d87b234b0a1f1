// vesk.cpp -- the player's defaults and the key, pointer and fire operations
#include "player/vesk.h"

namespace Vesk {

veskrec newvesk() { return veskrec{}; }

namespace {

enum keyevent { k_startfwd, k_startback, k_startleft, k_startright, k_endfwd, k_endback, k_endleft, k_endright };

// New movement state for each state (row) and key event (column).
constexpr int transitions[9][8] = {
    {1, 5, 7, 3, 0, 0, 0, 0},
    {1, 5, 8, 2, 0, 1, 1, 1},
    {2, 4, 8, 2, 3, 2, 2, 1},
    {2, 4, 7, 3, 3, 3, 3, 0},
    {2, 4, 6, 4, 4, 3, 4, 5},
    {1, 5, 6, 4, 5, 0, 5, 5},
    {8, 6, 6, 4, 6, 7, 5, 6},
    {8, 6, 7, 3, 7, 7, 0, 7},
    {8, 6, 8, 2, 7, 8, 1, 8},
};

void apply(veskrec& v, keyevent e)
{
    v.movestate = static_cast<movestate>(transitions[static_cast<int>(v.movestate)][e]);
}

}  // namespace

void startfwd(veskrec& v) { apply(v, k_startfwd); }
void startback(veskrec& v) { apply(v, k_startback); }
void startleft(veskrec& v) { apply(v, k_startleft); }
void startright(veskrec& v) { apply(v, k_startright); }
void endfwd(veskrec& v) { apply(v, k_endfwd); }
void endback(veskrec& v) { apply(v, k_endback); }
void endleft(veskrec& v) { apply(v, k_endleft); }
void endright(veskrec& v) { apply(v, k_endright); }
void startjump(veskrec& v) { v.jumping = true; }
void endjump(veskrec& v) { v.jumping = false; }

void movemouse(veskrec& v, int dx, int dy)
{
    v.heading = v.heading + dx * v.sensitivity;
    v.pitch = v.pitch - 0.5 * v.sensitivity * dy;
    if (v.pitch < -55.0)
        v.pitch = -55.0;
    else if (v.pitch > 55.0)
        v.pitch = 55.0;
}

bool fire(veskrec& v)
{
    if (v.charge >= 0.4) {
        v.charge = v.charge - 0.4;
        return true;
    }
    return false;
}

}  // namespace Vesk

namespace Vesk {

eyerec get_eye(const veskrec& v) { return {v.box.x, v.box.y + 0.22, v.box.z, v.heading, v.pitch}; }

}  // namespace Vesk
