// motion.cpp -- the player's per-frame motion (stub until it lands)
#include "player/vesk.h"

namespace Vesk {
outcome update(veskrec&, double, const std::vector<const box*>&, const std::vector<actionpair>&) { return outcome::nothing; }
box dematterhull(const veskrec& v) { return {v.box.x, v.box.y, v.box.z, 0.4, 0.4, 0.4}; }
}  // namespace Vesk
