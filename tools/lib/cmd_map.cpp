// cmd_map.cpp -- vesk-dungeon map LEVEL OUT.png: a top-down picture of every inner layer
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dungeontool.h"
#include "levelsource.h"
#include "png.h"
#include "world/levelfile.h"

namespace dungeontool {

namespace {

struct colour {
    std::uint8_t r, g, b;
};

struct canvas {
    Images::image im;
    void dot(int x, int y, colour c)
    {
        if (x < 0 || y < 0 || x >= im.width || y >= im.height) return;
        auto* p = &im.rgb[(static_cast<size_t>(y) * im.width + x) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    void rect(double x0, double y0, double x1, double y1, colour c)
    {
        for (int y = static_cast<int>(std::lround(y0)); y < std::lround(y1); ++y)
            for (int x = static_cast<int>(std::lround(x0)); x < std::lround(x1); ++x) dot(x, y, c);
    }
    void disc(double cx, double cy, double r, colour c)
    {
        for (int y = static_cast<int>(cy - r - 1); y <= cy + r + 1; ++y)
            for (int x = static_cast<int>(cx - r - 1); x <= cx + r + 1; ++x)
                if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= r) dot(x, y, c);
    }
    // A filled triangle pointing along (dx, dy) from its centre.
    void arrow(double cx, double cy, double dx, double dy, double r, colour c)
    {
        double ax = cx + dx * r, ay = cy + dy * r;
        double bx = cx - dx * r * 0.7 - dy * r * 0.7, by = cy - dy * r * 0.7 + dx * r * 0.7;
        double qx = cx - dx * r * 0.7 + dy * r * 0.7, qy = cy - dy * r * 0.7 - dx * r * 0.7;
        auto side = [](double px, double py, double x0, double y0, double x1, double y1) {
            return (x1 - x0) * (py - y0) - (y1 - y0) * (px - x0);
        };
        for (int y = static_cast<int>(cy - r - 1); y <= cy + r + 1; ++y)
            for (int x = static_cast<int>(cx - r - 1); x <= cx + r + 1; ++x) {
                double px = x + 0.5, py = y + 0.5;
                double s1 = side(px, py, ax, ay, bx, by), s2 = side(px, py, bx, by, qx, qy), s3 = side(px, py, qx, qy, ax, ay);
                if ((s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0)) dot(x, y, c);
            }
    }
    // Digits in a 3 x 5 font, `scale` pixels per dot.
    void number(int x, int y, int n, int scale, colour c)
    {
        static const char* glyphs[10] = {"111101101101111", "010110010010111", "111001111100111", "111001111001111",
                                         "101101111001001", "111100111001111", "111100111101111", "111001001001001",
                                         "111101111101111", "111101111001111"};
        std::string s = std::to_string(n);
        for (char ch : s) {
            const char* g = glyphs[ch - '0'];
            for (int i = 0; i < 15; ++i)
                if (g[i] == '1') rect(x + (i % 3) * scale, y + (i / 3) * scale, x + (i % 3 + 1) * scale, y + (i / 3 + 1) * scale, c);
            x += 4 * scale;
        }
    }
};

const colour wallcolour[4] = {{96, 96, 100}, {150, 128, 96}, {120, 170, 172}, {80, 124, 64}};
const colour floorcolour{236, 232, 218}, aircolour{176, 188, 212}, gridcolour{210, 204, 190};
const colour brass{200, 150, 40}, stepcolour{140, 92, 48}, chargecolour{30, 70, 230}, boltcolour{255, 220, 40},
    goldcolour{240, 190, 30}, telecolour{190, 40, 220}, guardcolour{220, 30, 30}, startcolour{20, 170, 40};

levelrec loadany(const std::string& path)
{
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".lvl") == 0)
        return Levelsource::compile(Levelsource::parsefile(path));
    return Level::load_level(path);
}

}  // namespace

int cmd_map(const std::vector<std::string>& args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: vesk-dungeon map LEVEL OUT.png   (LEVEL: a level file or a .lvl source)\n");
        return 2;
    }
    levelrec l;
    try {
        l = loadany(args[0]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vesk-dungeon map: %s: %s\n", args[0].c_str(), e.what());
        return 1;
    }
    // One panel per inner layer, bottom layer first, in rows of up to three.
    const int layers = std::max(1, l.ysize - 2);
    const int cs = std::clamp(480 / std::max(l.xsize, l.zsize), 6, 24);
    const int margin = 12, label = 22;
    const int cols = std::min(layers, 3), rows = (layers + cols - 1) / cols;
    const int pw = l.xsize * cs, ph = l.zsize * cs;
    canvas cv;
    cv.im.width = margin + cols * (pw + margin);
    cv.im.height = margin + rows * (ph + label + margin);
    cv.im.rgb.assign(static_cast<size_t>(cv.im.width) * cv.im.height * 3, 250);

    for (int k = 0; k < layers; ++k) {
        int y = std::min(k + 1, l.ysize - 1);
        int ox = margin + (k % cols) * (pw + margin), oy = margin + (k / cols) * (ph + label + margin) + label;
        cv.number(ox, oy - label + 2, y, 3, {60, 60, 60});
        for (int z = 0; z < l.zsize; ++z)
            for (int x = 0; x < l.xsize; ++x) {
                const cuberec& c = Level::getcube(l, x, y, z);
                double x0 = ox + x * cs, y0 = oy + z * cs;
                if (c.walls) {
                    cv.rect(x0, y0, x0 + cs, y0 + cs, wallcolour[(*c.walls)[2] & 3]);
                    continue;
                }
                // open: pale over a floor, blue-grey over a drop
                bool floor = y > 0 && Level::getcube(l, x, y - 1, z).walls;
                cv.rect(x0, y0, x0 + cs, y0 + cs, gridcolour);
                cv.rect(x0 + 1, y0 + 1, x0 + cs, y0 + cs, floor ? floorcolour : aircolour);
                for (const fixedobjrec* f : c.fixedobjs) {
                    switch (f->kind) {
                    case step: cv.rect(x0 + cs * 0.15, y0 + cs * 0.15, x0 + cs * 0.85, y0 + cs * 0.85, stepcolour); break;
                    case barsxy: cv.rect(x0, y0 + cs * 0.4, x0 + cs, y0 + cs * 0.6, brass); break;
                    case barszy: cv.rect(x0 + cs * 0.4, y0, x0 + cs * 0.6, y0 + cs, brass); break;
                    default:
                        for (int i = 1; i < 4; ++i) {
                            cv.rect(x0 + cs * i / 4.0 - 1, y0, x0 + cs * i / 4.0 + 1, y0 + cs, brass);
                            cv.rect(x0, y0 + cs * i / 4.0 - 1, x0 + cs, y0 + cs * i / 4.0 + 1, brass);
                        }
                    }
                }
            }
        // objects filed in this layer, at their centres
        for (const freeobjrec* o : l.freeobjs) {
            if (static_cast<int>(o->box.y) != y) continue;
            double px = ox + o->box.x * cs, pz = oy + o->box.z * cs;
            if (o->kind == charge_kind) {
                cv.disc(px, pz, cs * 0.3, chargecolour);
                cv.disc(px, pz, cs * 0.12, boltcolour);
            } else if (o->kind == bribe_kind) {
                cv.rect(px - cs * 0.3, pz - cs * 0.22, px + cs * 0.3, pz + cs * 0.22, goldcolour);
            } else {
                cv.disc(px, pz, cs * 0.45, telecolour);
                cv.disc(px, pz, cs * 0.25, {120, 240, 255});
            }
        }
        for (const badguyrec* g : l.badguys) {
            if (static_cast<int>(g->box.y) != y) continue;
            double h = g->heading * 0.017453293;
            cv.arrow(ox + g->box.x * cs, oy + g->box.z * cs, std::sin(h), -std::cos(h), cs * 0.45, guardcolour);
        }
        if (static_cast<int>(l.starty) == y) {
            double h = l.startheading * 0.017453293, sx = ox + l.startx * cs, sz = oy + l.startz * cs;
            cv.disc(sx, sz, cs * 0.4, startcolour);
            cv.arrow(sx + std::sin(h) * cs * 0.15, sz - std::cos(h) * cs * 0.15, std::sin(h), -std::cos(h), cs * 0.3, {255, 255, 255});
        }
    }
    try {
        Png::write(args[1], cv.im);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vesk-dungeon map: %s\n", e.what());
        return 1;
    }
    return 0;
}

}  // namespace dungeontool
