// benchlevels.h -- levels made in memory for the benchmarks: caves of any size with things in them
#pragma once

#include <array>
#include <cstdint>
#include <random>

#include "fixture.h"
#include "world/level.h"

namespace benchlevels {

inline void putsolid(levelrec& l, int x, int y, int z, std::uint8_t kind)
{
    Level::getcube(l, x, y, z).walls = std::array<std::uint8_t, 6>{kind, kind, kind, kind, kind, kind};
}

inline bool shell(const levelrec& l, int x, int y, int z)
{
    return x == 0 || y == 0 || z == 0 || x == l.xsize - 1 || y == l.ysize - 1 || z == l.zsize - 1;
}

// A cave the size of a big level: a solid shell, one inner cell in four
// solid (mixed wall kinds, one solid cell in 500 dematterized), a charge in
// every 60th open cell, a step every 200th and a guard every 900th. The start
// is the first open cell.
inline levelrec cave(int xs, int ys, int zs)
{
    levelrec l;
    l.xsize = xs;
    l.ysize = ys;
    l.zsize = zs;
    l.cubes.resize(static_cast<std::size_t>(xs) * ys * zs);
    std::mt19937 rng(11);
    int open = 0, solid = 0;
    bool started = false;
    for (int z = 0; z < zs; ++z)
        for (int y = 0; y < ys; ++y)
            for (int x = 0; x < xs; ++x) {
                if (shell(l, x, y, z) || rng() % 4 == 0) {
                    putsolid(l, x, y, z, static_cast<std::uint8_t>(rng() % 4));
                    if (!shell(l, x, y, z) && ++solid % 500 == 0) {
                        cuberec& c = Level::getcube(l, x, y, z);
                        c.dm = 0.5;
                        l.dmcubes.push_back(&c);
                    }
                    continue;
                }
                if (!started) {
                    l.startx = x + 0.5;
                    l.starty = y + 0.5;
                    l.startz = z + 0.5;
                    started = true;
                }
                if (open % 60 == 0) fixture::put_free(l, charge_kind, x + 0.5, y + 0.075, z + 0.5);
                if (open % 200 == 7) fixture::put_fixed(l, step, x + 0.5, y + 0.25, z + 0.5);
                if (open % 900 == 3) fixture::put_guard(l, x + 0.5, y + 0.5, z + 0.5, 0.0);
                ++open;
            }
    Level::touchall(l);
    return l;
}

// A flat hall: a solid floor and shell, three open layers above the floor,
// with movers guards and as many charges standing on the floor, spread over
// the first cells of the hall; the start is in the far corner.
inline levelrec hall(int xs, int zs, int movers)
{
    levelrec l = fixture::room(xs, 5, zs);
    int placed = 0;
    for (int z = 1; z < zs - 1 && placed < movers; z += 2)
        for (int x = 1; x < xs - 1 && placed < movers; x += 2) {
            fixture::put_guard(l, x + 0.5, 1.5, z + 0.5, 0.0);
            fixture::put_free(l, charge_kind, x + 1.5, 1.075, z + 0.5);
            ++placed;
        }
    l.startx = xs - 1.5;
    l.starty = 1.5;
    l.startz = zs - 1.5;
    return l;
}

}  // namespace benchlevels
