// images_walls.cpp -- the four wall images: stone, blocks, tiles, slimepuddle
#include <cmath>

#include "images.h"
#include "paint.h"

using namespace Paint;

namespace Images {

namespace {
constexpr int N = 128;  // every wall image is N x N

// Light from the upper left of a height field: >1 on slopes facing it.
double emboss(double (*h)(int, int), int x, int row, double k)
{
    auto w = [](int i) { return (i + N) % N; };
    return 1.0 + k * (h(w(x - 1), w(row + 1)) - h(w(x + 1), w(row - 1)));
}

double stoneheight(int x, int row) { return fbm(x / 8.0, row / 8.0, N / 8, 4, 11); }
}  // namespace

image stone()
{
    image im = blank(N, N);
    for (int row = 0; row < N; ++row)
        for (int x = 0; x < N; ++x) {
            double h = stoneheight(x, row);
            double ridge = 1.0 - std::fabs(2.0 * fbm(x / 32.0, row / 32.0, 4, 3, 12) - 1.0);
            double crack = smooth(0.9, 0.97, ridge);
            double g = 0.3 + 0.55 * h + 0.12 * (rand01(x, row, 13) - 0.5);
            g *= emboss(stoneheight, x, row, 3.0);
            g *= 1.0 - 0.55 * crack;
            put(im, x, row, rgb{g * 1.03, g, g * 0.96});
        }
    return im;
}

image blocks()
{
    const int bh = 32, bw = 64, mortar = 3;
    image im = blank(N, N);
    for (int row = 0; row < N; ++row)
        for (int x = 0; x < N; ++x) {
            int course = row / bh;
            int shifted = (x + (course % 2) * (bw / 2)) % N;
            int col = shifted / bw;
            int lx = shifted % bw, ly = row % bh;  // position inside the block, ly up
            int edge = std::min(std::min(lx, bw - 1 - lx), std::min(ly, bh - 1 - ly));
            double grain = fbm(x / 6.0, row / 6.0, N / 6 + 1, 3, 21);
            if (edge < mortar) {
                double m = 0.72 + 0.12 * grain;
                put(im, x, row, rgb{m, m * 0.97, m * 0.9});
                continue;
            }
            double tone = 0.78 + 0.2 * rand01(course, col, 22);
            // bevel: the upper and left rims catch the light, the lower and right fall in shade
            double bevel = 1.0;
            if (edge < mortar + 3) {
                bool lit = (ly >= bh - 1 - (mortar + 3)) || (lx <= mortar + 3);
                bevel = lit ? 1.15 : 0.75;
            }
            double g = tone * (0.8 + 0.35 * grain) * bevel;
            double pit = rand01(x, row, 23) < 0.02 ? 0.75 : 1.0;
            put(im, x, row, rgb{g * 0.95, g * 0.85, g * 0.68} * pit);
        }
    return im;
}

image tiles()
{
    const int tsize = 32, grout = 2;
    image im = blank(N, N);
    for (int row = 0; row < N; ++row)
        for (int x = 0; x < N; ++x) {
            int tx = x / tsize, ty = row / tsize;
            int lx = x % tsize, ly = row % tsize;
            if (lx < grout || ly < grout) {
                double g = 0.45 + 0.1 * rand01(x, row, 31);
                put(im, x, row, rgb{g, g, g * 1.05});
                continue;
            }
            bool teal = (tx + ty) % 2 == 1;
            rgb glaze = teal ? rgb{0.35, 0.7, 0.72} : rgb{0.93, 0.91, 0.84};
            glaze = glaze * (0.94 + 0.08 * rand01(tx, ty, 32));
            // a soft diagonal sheen toward the upper left, and a darker rim
            double fx = (lx - grout) / double(tsize - grout), fy = (ly - grout) / double(tsize - grout);
            double sheen = std::exp(-std::pow((fy - fx) - 0.35, 2) / 0.02) * 0.35;
            double rim = std::min(std::min(fx, 1 - fx), std::min(fy, 1 - fy));
            double shade = 0.8 + 0.2 * smooth(0.0, 0.12, rim);
            rgb c = glaze * shade + rgb{sheen, sheen, sheen};
            put(im, x, row, c * (0.98 + 0.04 * noise(x / 4.0, row / 4.0, N / 4, 33)));
        }
    return im;
}

image slimepuddle()
{
    image im = blank(N, N);
    for (int row = 0; row < N; ++row)
        for (int x = 0; x < N; ++x) {
            double h = stoneheight(x, row);
            double g = (0.3 + 0.35 * h + 0.08 * (rand01(x, row, 41) - 0.5)) * emboss(stoneheight, x, row, 2.0);
            rgb floor{g * 1.05, g, g * 0.9};
            double p = fbm(x / 32.0, row / 32.0, 4, 4, 42);
            double wet = smooth(0.56, 0.6, p);   // inside a puddle
            double depth = smooth(0.6, 0.72, p);  // toward its middle
            rgb slime = mix(rgb{0.2, 0.55, 0.08}, rgb{0.45, 0.95, 0.2}, depth);
            slime = slime * (0.85 + 0.3 * noise(x / 5.0, row / 5.0, N / 5 + 1, 43));
            if (wet > 0.5 && rand01(x, row, 44) < 0.015) slime = rgb{0.85, 1.0, 0.7};  // glints
            rgb c = mix(floor, slime, wet);
            // a dark ring where the slime meets the stone
            double ring = smooth(0.5, 0.56, p) * (1.0 - smooth(0.58, 0.62, p));
            put(im, x, row, c * (1.0 - 0.45 * ring));
        }
    return im;
}

}  // namespace Images
