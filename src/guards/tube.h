// tube.h -- generalized tubes: a polyline with a ring at each inner point and a cone cap at each end
#pragma once

#include <array>
#include <utility>
#include <vector>

namespace Badguy {

using vec3 = std::array<double, 3>;
using texcoord = std::array<double, 2>;

// The three arrays of one tube, all (L - 2)(n + 1) + 2 long for a path of L
// points: index 0 is the start apex, the last index the end apex, and ring r
// (r = 1 .. L-2) fills (r-1)(n+1)+1 .. r(n+1), its last entry closing the ring.
struct tubearrays {
    std::vector<vec3> v;       // vertices
    std::vector<vec3> n;       // normals
    std::vector<texcoord> t;   // texture coordinates (s, t)
};

// The unit vector along a - b.
vec3 normdiff(const vec3& a, const vec3& b);
// Two unit vectors perpendicular to normdiff(a, b) and to each other, (u, w)
// with w = d x u. a - b must not be parallel to the z axis.
std::pair<vec3, vec3> orthodiff(const vec3& a, const vec3& b);
// radii[i] is the ring radius at path[i] (only 1 .. L-2 are read). s runs from
// s0 to s1 around each ring; t from t_start at the first apex to t_end at the
// last -- note the end value comes first.
tubearrays maketube(const std::vector<vec3>& path, const std::vector<double>& radii, int n, double s0, double s1,
                    double t_end, double t_start);

}  // namespace Badguy
