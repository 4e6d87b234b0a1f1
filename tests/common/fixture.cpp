// fixture.cpp -- small levels for tests, written as rows of characters
#include "fixture.h"

#include <stdexcept>

namespace fixture {

namespace {

wallsrec wallsfor(char c)
{
    int kind = 0;
    switch (c) {
    case '.': return std::nullopt;
    case '#': kind = 0; break;
    case 'B': kind = 1; break;
    case 'T': kind = 2; break;
    case 'S': kind = 3; break;
    default: throw std::invalid_argument(std::string("fixture: unknown cell character ") + c);
    }
    std::array<std::uint8_t, 6> w;
    w.fill(static_cast<std::uint8_t>(kind));
    return w;
}

cuberec& cellof(levelrec& level, double x, double y, double z)
{
    return Level::getcube(level, static_cast<int>(x), static_cast<int>(y), static_cast<int>(z));
}

}  // namespace

levelrec make(const std::vector<std::vector<std::string>>& layers)
{
    levelrec l;
    l.ysize = static_cast<int>(layers.size());
    l.zsize = static_cast<int>(layers.at(0).size());
    l.xsize = static_cast<int>(layers.at(0).at(0).size());
    l.cubes.resize(static_cast<size_t>(l.xsize) * l.ysize * l.zsize);
    for (int y = 0; y < l.ysize; ++y)
        for (int z = 0; z < l.zsize; ++z)
            for (int x = 0; x < l.xsize; ++x)
                Level::getcube(l, x, y, z).walls = wallsfor(layers.at(y).at(z).at(x));
    Level::touchall(l);
    return l;
}

levelrec room(int xsize, int ysize, int zsize)
{
    std::vector<std::vector<std::string>> layers(ysize, std::vector<std::string>(zsize));
    for (int y = 0; y < ysize; ++y)
        for (int z = 0; z < zsize; ++z)
            for (int x = 0; x < xsize; ++x) {
                bool shell = x == 0 || y == 0 || z == 0 || x == xsize - 1 || y == ysize - 1 || z == zsize - 1;
                layers[y][z] += shell ? '#' : '.';
            }
    return make(layers);
}

freeobjrec* put_free(levelrec& level, int kind, double x, double y, double z)
{
    freeobjrec* o = Level::addfree(level, Freeobj::newfree(kind, x, y, z));
    Level::pushfront(level.freeobjs, o);
    Level::pushfront(cellof(level, x, y, z).freeobjs, o);
    Level::touchcell(level, Level::indexof(level, &cellof(level, x, y, z)));
    return o;
}

badguyrec* put_guard(levelrec& level, double x, double y, double z, double heading)
{
    badguyrec* g = Level::addguard(level, Badguy::newbadguy(0, x, y, z, heading));
    Level::pushfront(level.badguys, g);
    Level::pushfront(cellof(level, x, y, z).badguys, g);
    Level::touchcell(level, Level::indexof(level, &cellof(level, x, y, z)));
    return g;
}

fixedobjrec* put_fixed(levelrec& level, int kind, double x, double y, double z)
{
    fixedobjrec* o = Level::addfixed(level, Fixedobj::newfixed(kind, x, y, z));
    Level::pushfront(cellof(level, x, y, z).fixedobjs, o);
    Level::touchcell(level, Level::indexof(level, &cellof(level, x, y, z)));
    return o;
}

}  // namespace fixture
