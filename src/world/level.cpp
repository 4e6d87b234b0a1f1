// level.cpp -- grid primitives, the empty level and the stored objects' constructors
#include "world/level.h"

#include <string>

namespace Level {

const levelrec emptylevel{};

int cellindex(const levelrec& level, int x, int y, int z)
{
    long long i = static_cast<long long>(x) +
                  static_cast<long long>(level.xsize) * (y + static_cast<long long>(level.ysize) * z);
    if (i < 0 || i >= static_cast<long long>(level.cubes.size()))
        throw std::out_of_range("cell (" + std::to_string(x) + ", " + std::to_string(y) + ", " +
                                std::to_string(z) + ") outside the grid");
    return static_cast<int>(i);
}

cuberec& getcube(levelrec& level, int x, int y, int z) { return level.cubes[cellindex(level, x, y, z)]; }

const cuberec& getcube(const levelrec& level, int x, int y, int z)
{
    return level.cubes[cellindex(level, x, y, z)];
}

void setcube(levelrec& level, int x, int y, int z, cuberec cell)
{
    int i = cellindex(level, x, y, z);
    level.cubes[i] = std::move(cell);
    touchcell(level, i);
}

bool permeable(const levelrec& level, int x, int y, int z) { return permeable(getcube(level, x, y, z)); }

void touchcell(levelrec& level, int index)
{
    if (level.cellflags.size() != level.cubes.size()) level.cellflags.assign(level.cubes.size(), 0);
    const cuberec& c = level.cubes[index];
    std::uint8_t f = 0;
    if (c.walls) f |= cell_solid;
    if (c.dm > 0.0) f |= cell_dm;
    if (!c.fixedobjs.empty() || !c.freeobjs.empty() || !c.badguys.empty()) f |= cell_stuff;
    level.cellflags[index] = f;
}

void touchall(levelrec& level)
{
    level.cellflags.assign(level.cubes.size(), 0);
    for (int i = 0; i < static_cast<int>(level.cubes.size()); ++i) touchcell(level, i);
}

badguyrec* addguard(levelrec& level, const badguyrec& g)
{
    level.guardstore.push_back(std::make_unique<badguyrec>(g));
    return level.guardstore.back().get();
}

freeobjrec* addfree(levelrec& level, const freeobjrec& o)
{
    level.freestore.push_back(std::make_unique<freeobjrec>(o));
    return level.freestore.back().get();
}

fixedobjrec* addfixed(levelrec& level, const fixedobjrec& o)
{
    level.fixedstore.push_back(std::make_unique<fixedobjrec>(o));
    return level.fixedstore.back().get();
}

}  // namespace Level

namespace Badguy {
badguyrec newbadguy(int kind, double x, double y, double z, double heading)
{
    badguyrec g;
    g.kind = kind;
    g.box = {x, y, z, 0.4, 0.499, 0.4};
    g.heading = heading;
    g.homex = x;
    g.homey = y;
    g.homez = z;
    g.homeheading = heading;
    return g;
}
}  // namespace Badguy

namespace Freeobj {
freeobjrec newfree(int kind, double x, double y, double z)
{
    static const double half[3][3] = {{0.05, 0.075, 0.05}, {0.1, 0.1, 0.07}, {0.48, 0.48, 0.48}};
    freeobjrec o;
    o.kind = kind;
    int k = (kind >= 0 && kind <= 2) ? kind : 0;
    o.box = {x, y, z, half[k][0], half[k][1], half[k][2]};
    return o;
}
}  // namespace Freeobj

namespace Fixedobj {
fixedobjrec newfixed(int kind, double x, double y, double z)
{
    static const double half[4][3] = {{0.5, 0.5, 0.025}, {0.025, 0.5, 0.5}, {0.5, 0.025, 0.5}, {0.5, 0.25, 0.5}};
    fixedobjrec o;
    o.kind = kind;
    int k = (kind >= 0 && kind <= 3) ? kind : 0;
    o.box = {x, y, z, half[k][0], half[k][1], half[k][2]};
    return o;
}
}  // namespace Fixedobj
