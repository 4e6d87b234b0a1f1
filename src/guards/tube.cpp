// tube.cpp -- the arrays of a generalized tube (pure math; drawing is in tube_gl.cpp)
#include "guards/tube.h"

#include <cmath>  // sqrt, sin, cos

namespace Badguy {

vec3 normdiff(const vec3& a, const vec3& b)
{
    const vec3 d{a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    return {d[0] / len, d[1] / len, d[2] / len};
}

std::pair<vec3, vec3> orthodiff(const vec3& a, const vec3& b)
{
    const vec3 d = normdiff(a, b);
    vec3 u;
    if (d[2] == 0.0) {
        u = {0.0, 0.0, 1.0};
    } else {
        const double len = std::sqrt(d[0] * d[0] + d[1] * d[1]);
        u = {d[1] / len, -d[0] / len, 0.0};
    }
    const vec3 w{d[1] * u[2] - d[2] * u[1], d[2] * u[0] - d[0] * u[2], d[0] * u[1] - d[1] * u[0]};
    return {u, w};
}

tubearrays maketube(const std::vector<vec3>& path, const std::vector<double>& radii, int n, double s0, double s1,
                    double t_end, double t_start)
{
    constexpr double pi = 3.1415926535897;
    const int L = static_cast<int>(path.size());
    const int M = (L - 2) * (n + 1) + 2;
    tubearrays tube;
    tube.v.resize(M);
    tube.n.resize(M);
    tube.t.resize(M);

    tube.v[0] = path[0];
    tube.n[0] = normdiff(path[0], path[1]);
    tube.t[0] = {(s0 + s1) / 2.0, t_start};
    tube.v[M - 1] = path[L - 1];
    tube.n[M - 1] = normdiff(path[L - 1], path[L - 2]);
    tube.t[M - 1] = {(s0 + s1) / 2.0, t_end};

    for (int r = 1; r <= L - 2; ++r) {
        // The ring stands square to the segment arriving at it.
        const auto [u, w] = orthodiff(path[r - 1], path[r]);
        const double tr = t_start + (t_end - t_start) * r / (L - 1);
        const vec3& c = path[r];
        const int first = (r - 1) * (n + 1) + 1;
        for (int j = 0; j < n; ++j) {
            const double theta = 2.0 * pi * j / n;
            const double ct = std::cos(theta), st = std::sin(theta);
            const vec3 nk{ct * u[0] + st * w[0], ct * u[1] + st * w[1], ct * u[2] + st * w[2]};
            tube.n[first + j] = nk;
            tube.v[first + j] = {c[0] + radii[r] * nk[0], c[1] + radii[r] * nk[1], c[2] + radii[r] * nk[2]};
            tube.t[first + j] = {s0 + (s1 - s0) * j / n, tr};
        }
        const int closing = r * (n + 1);
        tube.v[closing] = tube.v[first];
        tube.n[closing] = tube.n[first];
        tube.t[closing] = {s1, tr};
    }
    return tube;
}

}  // namespace Badguy
