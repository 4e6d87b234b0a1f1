// badguy.cpp -- guard behaviour (stub until the guards land)
#include "guards/badguy.h"

#include <random>

namespace Badguy {
void update(badguyrec&, double, const std::vector<const box*>&, const std::array<double, 9>&) {}
::actionpair actionpair(badguyrec& g) { return {&g.box, outcome::caught}; }
double random01()
{
    static std::mt19937 gen;
    static std::uniform_real_distribution<double> dist(0.0, 1.0);
    return dist(gen);
}
}  // namespace Badguy
