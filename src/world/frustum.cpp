// frustum.cpp -- testing points and cells against the view volume
#include "world/visibility.h"

namespace Level {

namespace {

// A point in eye coordinates: the model-view of the level renderer (pitch about
// x, heading about y, minus the eye), looking along -z.
struct eyepoint {
    double x, y, z;
};

eyepoint toeye(const viewparams& v, double ex, double ey, double ez, double px, double py, double pz)
{
    const double dx = px - ex, dy = py - ey, dz = pz - ez;
    const double x1 = v.cosheading * dx + v.sinheading * dz;
    const double z1 = -v.sinheading * dx + v.cosheading * dz;
    return {x1, v.cospitch * dy - v.sinpitch * z1, v.sinpitch * dy + v.cospitch * z1};
}

// Which of the six half-spaces bounding the view volume a point lies outside:
// bit 0 near, 1 far, 2 left, 3 right, 4 bottom, 5 top.
unsigned outside(const viewparams& v, const eyepoint& e)
{
    unsigned bits = 0;
    if (e.z > -v.znear) bits |= 1u;
    if (-e.z > v.zfar) bits |= 2u;
    if (e.x * v.znear + v.left * e.z < 0.0) bits |= 4u;
    if (e.x * v.znear + v.right * e.z > 0.0) bits |= 8u;
    if (e.y * v.znear + v.bottom * e.z < 0.0) bits |= 16u;
    if (e.y * v.znear + v.top * e.z > 0.0) bits |= 32u;
    return bits;
}

}  // namespace

bool checkfrustum(const viewparams& view, double ex, double ey, double ez, double px, double py, double pz)
{
    return outside(view, toeye(view, ex, ey, ez, px, py, pz)) == 0;
}

bool insidefrustum(const viewparams& view, double ex, double ey, double ez, int x, int y, int z)
{
    // A hair of margin so that rounding never drops a cell that touches the view.
    constexpr double m = 0.01;
    unsigned all = ~0u;
    for (int corner = 0; corner < 8 && all; ++corner) {
        const double px = (corner & 1) ? x + 1 + m : x - m;
        const double py = (corner & 2) ? y + 1 + m : y - m;
        const double pz = (corner & 4) ? z + 1 + m : z - m;
        all &= outside(view, toeye(view, ex, ey, ez, px, py, pz));
    }
    return all == 0;
}

}  // namespace Level
