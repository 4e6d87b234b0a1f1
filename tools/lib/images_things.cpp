// images_things.cpp -- the images of Vesk's portrait, bars, steps, the free objects and the guards
#include <cmath>
#include <utility>
#include <vector>

#include "images.h"
#include "paint.h"

using namespace Paint;

namespace Images {

namespace {
constexpr int N = 128;
constexpr double pi = 3.14159265358979;

// u, v of a pixel's centre in [0, 1]; v is the texture t, 0 at the first row.
double U(int x) { return (x + 0.5) / N; }
double V(int row) { return (row + 0.5) / N; }

bool inpolygon(const std::vector<std::pair<double, double>>& p, double x, double y)
{
    bool in = false;
    for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
        auto [xi, yi] = p[i];
        auto [xj, yj] = p[j];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
    }
    return in;
}

rgb gold(int x, int row)
{
    double n = noise(x / 3.0, row / 3.0, N / 3 + 1, 71);
    return rgb{1.0, 0.78, 0.22} * (0.75 + 0.45 * n);
}

// Boards running along u; `across` is the coordinate across the boards.
rgb wood(int x, int row, double across, double boards, std::uint32_t seed)
{
    double b = across * boards;
    int board = static_cast<int>(std::floor(b));
    double f = b - board;
    double grain = std::sin((across * 90.0 + 5.0 * fbm(x / 24.0, row / 3.0, 6, 3, seed + board)) * 2.0);
    double tone = 0.8 + 0.25 * rand01(board, 0, seed);
    rgb c = rgb{0.55, 0.32, 0.14} * tone * (0.88 + 0.12 * grain);
    if (f < 0.06 || f > 0.94) c = c * 0.45;  // the joint between two boards
    return c;
}
}  // namespace

image vesk()
{
    image im = blank(N, N);
    for (int row = 0; row < N; ++row)
        for (int x = 0; x < N; ++x) {
            double u = U(x), v = V(row);
            // space behind him
            rgb c = mix(rgb{0.02, 0.02, 0.12}, rgb{0.08, 0.1, 0.3}, v);
            if (rand01(x, row, 51) < 0.006) c = rgb{1, 1, 0.9};
            // shoulders of the suit, orange stripe across the chest
            double du = (u - 0.5) / 0.47;
            double shoulder = 0.3 - 0.22 * du * du;
            if (std::fabs(du) < 1.0 && v < shoulder) {
                c = rgb{0.88, 0.88, 0.9} * (0.8 + 0.2 * (1.0 - std::fabs(du)));
                if (v > 0.09 && v < 0.14) c = rgb{1.0, 0.5, 0.1};
            }
            // collar ring
            if (std::fabs(u - 0.5) < 0.21 && v > 0.2 && v < 0.27) c = rgb{0.55, 0.57, 0.62};
            // the helmet, lit from the upper left
            double hx = (u - 0.5) / 0.32, hy = (v - 0.57) / 0.32;
            double hr = hx * hx + hy * hy;
            if (hr < 1.0) {
                double nz = std::sqrt(1.0 - hr);
                double lit = clamp01(-0.5 * hx + 0.5 * hy + 0.7 * nz);
                c = rgb{0.95, 0.95, 0.97} * (0.45 + 0.6 * lit);
            }
            // antenna with a red tip
            double ax = 0.66 + (v - 0.85) * 0.6;
            if (v > 0.85 && v < 0.96 && std::fabs(u - ax) < 0.012) c = rgb{0.6, 0.6, 0.65};
            if (std::hypot(u - 0.727, v - 0.96) < 0.028) c = rgb{1.0, 0.15, 0.1};
            // the visor, with his face behind the glass
            double vx = (u - 0.5) / 0.23, vy = (v - 0.56) / 0.18;
            if (vx * vx + vy * vy < 1.0) {
                rgb glass = mix(rgb{0.05, 0.1, 0.25}, rgb{0.25, 0.35, 0.55}, clamp01(0.5 + 0.5 * vy));
                double fr = std::hypot((u - 0.5) / 0.13, (v - 0.54) / 0.15);
                if (fr < 1.0) {
                    rgb skin = rgb{0.96, 0.74, 0.58} * (0.8 + 0.2 * (1.0 - fr));
                    bool eye = std::hypot(u - 0.45, v - 0.57) < 0.02 || std::hypot(u - 0.55, v - 0.57) < 0.02;
                    double m = std::hypot(u - 0.5, (v - 0.52) * 1.6);
                    bool mouth = m > 0.045 && m < 0.06 && v < 0.5;
                    if (eye || mouth) skin = rgb{0.15, 0.08, 0.05};
                    glass = mix(glass, skin, 0.8);
                }
                // reflection streak on the glass
                double streak = std::hypot((u - 0.42) / 0.16, (v - 0.64) / 0.06);
                if (streak > 0.7 && streak < 1.0 && u < 0.45) glass = mix(glass, rgb{1, 1, 1}, 0.7);
                c = glass;
            }
            put(im, x, row, c);
        }
    return im;
}

image bars()
{
    image im = blank(N, N);
    for (int row = 0; row < N; ++row)
        for (int x = 0; x < N; ++x) {
            // fine brushed streaks along the bar (t), a bright line every 20 pixels across it
            double streak = noise(x / 1.5, row / 24.0, 86, 61);
            double band = 0.5 + 0.5 * std::cos(2.0 * pi * (x % 20) / 20.0);
            rgb c = rgb{0.86, 0.66, 0.28} * (0.7 + 0.25 * streak + 0.25 * band);
            double tarnish = smooth(0.68, 0.78, fbm(x / 16.0, row / 16.0, 8, 3, 62));
            c = mix(c, rgb{0.35, 0.4, 0.2}, 0.6 * tarnish);
            put(im, x, row, c);
        }
    return im;
}

image step()
{
    image im = blank(N, N);
    for (int row = 0; row < N; ++row)
        for (int x = 0; x < N; ++x) {
            double u = U(x), v = V(row);
            rgb c = wood(x, row, v, 4.0, 81);
            // feet have worn the middle of the boards paler and smoother
            double wear = (1.0 - smooth(0.15, 0.4, std::fabs(u - 0.5))) * (0.6 + 0.4 * fbm(u * 8, v * 8, 8, 3, 82));
            c = mix(c, rgb{0.72, 0.58, 0.4}, 0.45 * wear);
            if (rand01(x, row, 83) < 0.01) c = c * 0.6;  // nail heads and grit
            put(im, x, row, c);
        }
    return im;
}

image charge()
{
    // a lightning bolt in a unit box, y up
    static const std::vector<std::pair<double, double>> bolt = {
        {0.55, 1.0}, {0.15, 0.42}, {0.46, 0.42}, {0.3, 0.0}, {0.85, 0.6}, {0.55, 0.6}, {0.8, 1.0}};
    image im = blank(N, N);
    for (int row = 0; row < N; ++row)
        for (int x = 0; x < N; ++x) {
            double u = U(x), v = V(row);
            rgb c = rgb{0.1, 0.25, 0.92} * (0.85 + 0.25 * v / 0.43);
            if (v > 0.43) c = rgb{0.1, 0.25, 0.92};
            if (v < 0.03 || (v > 0.40 && v < 0.43)) c = rgb{0.8, 0.82, 0.85};  // silver rims
            // a bolt every half turn, s 0.17..0.33 and 0.67..0.83, t 0.07..0.37
            double lu = std::fmod(u, 0.5) - 0.17;
            double bx = lu / 0.16, by = (v - 0.07) / 0.3;
            auto scaled = [&](double k) { return inpolygon(bolt, 0.5 + (bx - 0.5) / k, 0.5 + (by - 0.5) / k); };
            if (scaled(1.18)) c = rgb{0.02, 0.05, 0.2};
            if (scaled(1.0)) c = mix(rgb{1.0, 0.95, 0.3}, rgb{1.0, 0.7, 0.05}, clamp01(1.0 - by));
            // a plus sign between the bolts
            double pu = std::fmod(u + 0.25, 0.5) - 0.25, pv = v - 0.22;
            if ((std::fabs(pu) < 0.035 && std::fabs(pv) < 0.009) || (std::fabs(pu) < 0.009 && std::fabs(pv) < 0.035))
                c = rgb{1, 1, 1};
            put(im, x, row, c);
        }
    return im;
}

image bribe()
{
    // Laid out for the chest model: front and back in s 0..0.4, t 0..0.26; ends
    // s 0.4..0.68, t 0..0.26; bottom s 0..0.4, t 0.26..0.54; lid ends a half disc
    // of radius 0.14 about (0.54, 0.26); lid top s 0..0.4, t 0.54 (back) .. 0.76 (front).
    image im = blank(N, N);
    auto coin = [](int x, int row, std::uint32_t seed) {
        // a jumble of coins: the nearest of a few random centres per 8-pixel cell
        int cx = x / 8, cy = row / 8;
        double best = 1e9;
        for (int i = -1; i <= 1; ++i)
            for (int j = -1; j <= 1; ++j) {
                double px = (cx + i) * 8 + 8 * rand01(cx + i, cy + j, seed);
                double py = (cy + j) * 8 + 8 * rand01(cx + i, cy + j, seed + 1);
                best = std::min(best, std::hypot(x - px, row - py));
            }
        return best;  // distance to the nearest coin centre, in pixels
    };
    for (int row = 0; row < N; ++row)
        for (int x = 0; x < N; ++x) {
            double s = U(x), t = V(row);
            rgb c;
            if (t < 0.26 && s < 0.68) {  // sides and ends of the box
                c = wood(x, row, t, 3.0 / 0.26, 91);
                bool front = s < 0.4;
                bool band = front ? (std::fabs(s - 0.055) < 0.018 || std::fabs(s - 0.345) < 0.018)
                                  : (s < 0.42 || s > 0.66);
                if (band || t < 0.02 || t > 0.245) c = gold(x, row);
                if (front && t > 0.19 && t < 0.245 && coin(x, row, 92) < 3.2) c = gold(x, row) * 1.1;
                if (front && std::fabs(s - 0.2) < 0.03 && t > 0.15) {  // the lock plate
                    c = gold(x, row) * 0.9;
                    if (std::fabs(s - 0.2) < 0.006 && t > 0.18 && t < 0.23) c = rgb{0.05, 0.03, 0.02};
                }
            } else if (t < 0.54 && s < 0.4) {  // bottom
                c = wood(x, row, s, 6.0, 93) * 0.7;
            } else if (t < 0.4 && s < 0.68) {  // lid ends
                double r = std::hypot(s - 0.54, t - 0.26);
                c = wood(x, row, t, 20.0, 94);
                if (r > 0.12) c = gold(x, row);
            } else if (t < 0.76 && s < 0.4) {  // lid top
                c = wood(x, row, t, 5.0 / 0.22, 95);
                if (std::fabs(s - 0.055) < 0.018 || std::fabs(s - 0.345) < 0.018) c = gold(x, row);
                if (t < 0.555 || t > 0.745) c = gold(x, row);
            } else {  // unused: a heap of coins
                double d = coin(x, row, 96);
                c = d < 3.2 ? gold(x, row) * (1.1 - 0.1 * d) : rgb{0.45, 0.33, 0.08};
            }
            put(im, x, row, c);
        }
    return im;
}

image teleporter()
{
    image im = blank(N, N);
    for (int row = 0; row < N; ++row)
        for (int x = 0; x < N; ++x) {
            double u = U(x) - 0.5, v = V(row) - 0.5;
            double r = std::hypot(u, v), a = std::atan2(v, u);
            double rings = 0.5 + 0.5 * std::cos(r * 42.0 - 1.5 * std::sin(a * 4.0));
            rgb c = mix(rgb{0.25, 0.02, 0.45}, rgb{0.15, 0.9, 1.0}, rings * rings);
            c = c + rgb{1, 1, 1} * std::exp(-r * r / 0.012);  // the hot middle
            double edge = 0.5 - std::max(std::fabs(u), std::fabs(v));
            c = c + rgb{0.3, 0.9, 1.0} * std::exp(-edge / 0.025) * 0.8;  // glowing rim
            put(im, x, row, c);
        }
    return im;
}

image guard()
{
    // Rows of round scales every S/2 pixels, each row shifted by S/2; a row
    // overlaps the one below it, like shingles, so the topmost row that covers
    // a pixel is the scale seen there.
    const int S = 16, rows = 2 * N / S, percol = N / S;
    const double radius = S * 0.62;
    image im = blank(N, N);
    for (int row = 0; row < N; ++row)
        for (int x = 0; x < N; ++x) {
            double d = 1.0;
            int id = 0;
            for (int j = row / (S / 2) + 2; j >= row / (S / 2) - 1 && d >= 1.0; --j) {
                int shift = ((j % 2) + 2) % 2 * (S / 2);
                for (int k = -1; k <= percol; ++k) {
                    double cx = k * S + shift + S / 2.0, cy = j * (S / 2.0);
                    double dx = std::remainder(x - cx, double(N));  // the skin wraps around the tube
                    double dk = std::hypot(dx, row - cy) / radius;
                    if (dk < d) {
                        d = dk;
                        id = ((k % percol + percol) % percol) * 64 + ((j % rows) + rows) % rows;
                    }
                }
            }
            double tone = 0.85 + 0.3 * rand01(id, 0, 101);
            rgb skin = V(row) > 0.6 ? rgb{0.45, 0.5, 0.18} : rgb{0.3, 0.55, 0.22};  // head and legs browner
            rgb c = skin * tone * (1.1 - 0.55 * d * d * d);
            if (d > 0.86) c = c * 0.55;  // the dark rim of each scale
            put(im, x, row, c);
        }
    return im;
}

}  // namespace Images
