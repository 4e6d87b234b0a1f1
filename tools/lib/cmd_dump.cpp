// cmd_dump.cpp -- vesk-dungeon dump LEVELFILE: a level as one JSON object
#include <charconv>
#include <cstdio>
#include <string>

#include "dungeontool.h"
#include "world/levelfile.h"

namespace dungeontool {

namespace {

// The shortest text that reads back as the same double.
std::string num(double d)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, r.ptr);
}

std::string arr(std::initializer_list<double> v)
{
    std::string s = "[";
    for (double d : v) s += (s.size() > 1 ? ", " : "") + num(d);
    return s + "]";
}

std::string boxof(const box& b) { return arr({b.x, b.y, b.z, b.hx, b.hy, b.hz}); }

// The cell that holds a point, truncating toward zero as the game does.
std::string cellat(const box& b)
{
    return arr({static_cast<double>(static_cast<int>(b.x)), static_cast<double>(static_cast<int>(b.y)),
                static_cast<double>(static_cast<int>(b.z))});
}

std::string cellof(const levelrec& l, int index)
{
    return arr({static_cast<double>(index % l.xsize), static_cast<double>(index / l.xsize % l.ysize),
                static_cast<double>(index / l.xsize / l.ysize)});
}

// A JSON array with one element per line.
std::string list(const std::vector<std::string>& items)
{
    if (items.empty()) return "[]";
    std::string s = "[\n";
    for (std::size_t i = 0; i < items.size(); ++i) s += "    " + items[i] + (i + 1 < items.size() ? ",\n" : "\n");
    return s + "  ]";
}

}  // namespace

int cmd_dump(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: vesk-dungeon dump LEVELFILE\n");
        return 2;
    }
    levelrec l;
    try {
        l = Level::load_level(args[0]);
    } catch (const Level::readerror& e) {
        std::fprintf(stderr, "Problem reading level in %s: %s\n", args[0].c_str(), e.what());
        return 1;
    }
    int solid = 0;
    for (const cuberec& c : l.cubes) solid += c.walls ? 1 : 0;

    std::vector<std::string> guards, frees, fixeds;
    for (const badguyrec* g : l.badguys)
        guards.push_back("{\"box\": " + boxof(g->box) + ", \"cell\": " + cellat(g->box) + ", \"heading\": " +
                         num(g->heading) + ", \"home\": " + arr({g->homex, g->homey, g->homez, g->homeheading}) + "}");
    for (const freeobjrec* o : l.freeobjs)
        frees.push_back("{\"kind\": " + std::to_string(o->kind) + ", \"box\": " + boxof(o->box) +
                        ", \"cell\": " + cellat(o->box) + "}");
    for (std::size_t i = 0; i < l.cubes.size(); ++i)
        for (const fixedobjrec* o : l.cubes[i].fixedobjs)
            fixeds.push_back("{\"kind\": " + std::to_string(o->kind) + ", \"box\": " + boxof(o->box) +
                             ", \"cell\": " + cellof(l, static_cast<int>(i)) + "}");

    std::printf("{\n  \"size\": [%d, %d, %d],\n  \"start\": %s,\n  \"heading\": %s,\n  \"clock\": %s,\n"
                "  \"solid\": %d,\n  \"guards\": %s,\n  \"free\": %s,\n  \"fixed\": %s\n}\n",
                l.xsize, l.ysize, l.zsize, arr({l.startx, l.starty, l.startz}).c_str(), num(l.startheading).c_str(),
                num(l.clock).c_str(), solid, list(guards).c_str(), list(frees).c_str(), list(fixeds).c_str());
    return 0;
}

}  // namespace dungeontool
