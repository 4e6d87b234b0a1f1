// collision.cpp -- box tests (stub until collision lands)
#include "player/collision.h"

namespace Collision {
bool incollision(const box&, const box&) { return false; }
double topcollision(const box&, const box&, double) { return 1.0; }
std::array<relation, 3> findrelation(const box&, double, double, double, const box&) { return {}; }
std::array<double, 3> deflect(const box&, double dx, double dy, double dz, const std::vector<const box*>&)
{
    return {dx, dy, dz};
}
}  // namespace Collision
