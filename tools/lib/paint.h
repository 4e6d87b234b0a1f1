// paint.h -- noise and colour helpers shared by the image generators
#pragma once

#include <cmath>
#include <cstdint>

#include "images.h"

namespace Paint {

struct rgb {
    double r, g, b;
};

inline rgb operator*(rgb c, double k) { return {c.r * k, c.g * k, c.b * k}; }
inline rgb operator+(rgb a, rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline rgb mix(rgb a, rgb b, double t) { return a * (1.0 - t) + b * t; }

inline double clamp01(double v) { return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v); }
inline double smooth(double e0, double e1, double v)
{
    double t = clamp01((v - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

// A well-mixed 32-bit hash of two integers and a seed: our only source of
// randomness, so every image is the same on every machine.
std::uint32_t hash(int x, int y, std::uint32_t seed);
// hash mapped to [0, 1).
inline double rand01(int x, int y, std::uint32_t seed) { return hash(x, y, seed) / 4294967296.0; }

// Value noise in [0, 1] that repeats every `period` cells on both axes, so a
// texture built from it tiles without seams. u, v are in cells.
double noise(double u, double v, int period, std::uint32_t seed);
// Sum of octaves of noise, normalised to [0, 1]; base period in cells.
double fbm(double u, double v, int period, int octaves, std::uint32_t seed);

// A blank image.
Images::image blank(int w, int h);
// Sets pixel (x, row) from a colour in [0, 1] (clamped).
void put(Images::image& im, int x, int row, rgb c);
rgb get(const Images::image& im, int x, int row);

}  // namespace Paint
