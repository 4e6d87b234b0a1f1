// vesk.h -- the player record, Spaceman Vesk, and the operations input performs on it
#pragma once

#include <vector>

#include "world/level.h"

enum class movestate : int {
    still = 0, forward = 1, forwardright = 2, right = 3, backright = 4,
    back = 5, backleft = 6, left = 7, forwardleft = 8,
};

// Contact codes handed in by guards and free objects, and the result of a
// player update.
enum class outcome : int { nothing = 0, teleport = 1, caught = 2, charge = 3, bribe = 4, lost = 5 };

struct veskrec {
    struct box box {0.0, 0.0, 0.0, 0.08, 0.3, 0.08};
    double vx = 0.0, vy = 0.0, vz = 0.0;
    enum movestate movestate = ::movestate::still;
    bool jumping = false;
    double heading = 0.0;   // degrees; forward is (sin h, 0, -cos h)
    double pitch = 0.0;     // degrees, positive looks down, within -55..55
    double sensitivity = 0.15;
    int chances = 5;
    double charge = 1.0;    // Dematterizer charge, 0..1
    int charges = 0;        // teleporter charges collected
};

// A box and the code it acts with when the player touches it.
struct actionpair {
    const struct box* box;
    outcome code;
};

namespace Vesk {

veskrec newvesk();

void startfwd(veskrec& v);
void startback(veskrec& v);
void startleft(veskrec& v);
void startright(veskrec& v);
void endfwd(veskrec& v);
void endback(veskrec& v);
void endleft(veskrec& v);
void endright(veskrec& v);
void startjump(veskrec& v);
void endjump(veskrec& v);

// Turns the player by a pointer displacement (x right, y down, pixels).
void movemouse(veskrec& v, int dx, int dy);
// Spends 0.4 of the charge when there is that much; says whether it fired.
bool fire(veskrec& v);

}  // namespace Vesk

namespace Vesk {

// One frame of the player's motion (motion.cpp): obstacles are the boxes of
// solid matter around it, contacts the guards' then the free objects' pairs.
outcome update(veskrec& v, double dt, const std::vector<const box*>& boxes, const std::vector<actionpair>& contacts);
// The box a Dematterizer shot swings out of reality: 0.6 ahead along the line of sight.
box dematterhull(const veskrec& v);

// The eye: box centre raised by 0.22, with heading and pitch.
struct eyerec {
    double x, y, z, heading, pitch;
};
eyerec get_eye(const veskrec& v);

}  // namespace Vesk
