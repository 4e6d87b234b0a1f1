// levelcompile.cpp -- a parsed level source made into a level record
#include <cmath>

#include "levelsource.h"

namespace Levelsource {

namespace {

// Heights above a support: a guard floats a hair above it so that rounding
// never puts its box inside the floor (which would send it home every frame).
constexpr double guardhair = 1e-4;
constexpr double playerhair = 1e-3;
constexpr double playerhy = 0.3, playerhxz = 0.08;

bool overlap1(double a, double ah, double b, double bh) { return a + ah > b - bh && b + bh > a - ah; }

// Overlap by more than rounding: a bribe at 4.0 + 0.1 has its bottom at
// 3.9999999999999996, which the game takes as resting, not as stuck.
bool overlaps(const box& a, const box& b)
{
    constexpr double slack = 1e-9;
    auto deep = [](double p, double ph, double q, double qh) { return p + ph > q - qh + slack && q + qh > p - ph + slack; };
    return deep(a.x, a.hx, b.x, b.hx) && deep(a.y, a.hy, b.y, b.hy) && deep(a.z, a.hz, b.z, b.hz);
}

std::string where(const item& it)
{
    return "(" + std::to_string(it.x) + ", " + std::to_string(it.y) + ", " + std::to_string(it.z) + ")";
}

const char* nameof(thing t)
{
    switch (t) {
    case thing::charge: return "charge";
    case thing::bribe: return "bribe";
    case thing::teleporter: return "teleporter";
    case thing::guard: return "guard";
    case thing::step: return "step";
    default: return "bars";
    }
}

// The top of the highest thing under a box dropped from the bottom half of
// cell (x, y, z): solid cells, fixed objects and, for free objects, the free
// objects placed before it. NaN when nothing holds it.
double supporttop(const levelrec& l, int x, int y, int z, double hx, double hz, bool onfree)
{
    const double cx = x + 0.5, cz = z + 0.5, limit = y + 0.5 + 1e-9;
    double best = NAN;
    auto consider = [&](const box& b) {
        double top = b.y + b.hy;
        if (top <= limit && overlap1(cx, hx, b.x, b.hx) && overlap1(cz, hz, b.z, b.hz) && !(top <= best))
            best = top;
    };
    for (int yy = y; yy >= 0; --yy) {
        const cuberec& c = Level::getcube(l, x, yy, z);
        if (c.walls && yy < y) {
            if (!(yy + 1.0 <= best)) best = yy + 1.0;
            break;
        }
        for (const fixedobjrec* f : c.fixedobjs) consider(f->box);
        if (onfree)
            for (const freeobjrec* o : c.freeobjs) consider(o->box);
    }
    return best;
}

// Throws when b overlaps a solid cell, a fixed object, or (for guards) a guard.
void needroom(const levelrec& l, const box& b, const item& it, const std::string& file)
{
    int x0 = static_cast<int>(std::floor(b.x - b.hx)), x1 = static_cast<int>(std::floor(b.x + b.hx));
    int y0 = static_cast<int>(std::floor(b.y - b.hy)), y1 = static_cast<int>(std::floor(b.y + b.hy));
    int z0 = static_cast<int>(std::floor(b.z - b.hz)), z1 = static_cast<int>(std::floor(b.z + b.hz));
    for (int z = z0 - 1; z <= z1 + 1; ++z)
        for (int y = y0 - 1; y <= y1 + 1; ++y)
            for (int x = x0 - 1; x <= x1 + 1; ++x) {
                if (x < 0 || y < 0 || z < 0 || x >= l.xsize || y >= l.ysize || z >= l.zsize) continue;
                const cuberec& c = Level::getcube(l, x, y, z);
                if (c.walls && overlaps(b, box{x + 0.5, y + 0.5, z + 0.5, 0.5, 0.5, 0.5}))
                    throw error(file, it.line, it.col, std::string("no room for the ") + nameof(it.what) + " dropped at " + where(it) + ": it reaches into the solid cell (" + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(z) + ")");
                for (const fixedobjrec* f : c.fixedobjs)
                    if (overlaps(b, f->box))
                        throw error(file, it.line, it.col, std::string("the ") + nameof(it.what) + " at " + where(it) + " would stand inside bars or a step");
                if (it.what == thing::guard)
                    for (const badguyrec* g : c.badguys)
                        if (overlaps(b, g->box))
                            throw error(file, it.line, it.col, "the guard at " + where(it) + " would stand inside another guard");
            }
}

}  // namespace

levelrec compile(const source& src)
{
    levelrec l;
    l.xsize = src.xsize;
    l.ysize = src.ysize;
    l.zsize = src.zsize;
    l.cubes.resize(src.walls.size());
    for (size_t i = 0; i < src.walls.size(); ++i) l.cubes[i].walls = src.walls[i];

    // Fixed objects first: free objects and guards may rest on them.
    for (const item& it : src.items) {
        double cx = it.x + 0.5, cz = it.z + 0.5;
        fixedobjrec f;
        switch (it.what) {
        case thing::step: f = Fixedobj::newfixed(step, cx, it.y + 0.25, cz); break;
        case thing::barsxy: f = Fixedobj::newfixed(barsxy, cx, it.y + 0.5, cz); break;
        case thing::barszy: f = Fixedobj::newfixed(barszy, cx, it.y + 0.5, cz); break;
        // a grating lies at the top of its cell, flush with the floor around a pit
        case thing::barsxz: f = Fixedobj::newfixed(barsxz, cx, it.y + 1.0 - 0.025, cz); break;
        default: continue;
        }
        cuberec& c = Level::getcube(l, it.x, it.y, it.z);
        for (const fixedobjrec* o : c.fixedobjs)
            if (overlaps(o->box, f.box)) throw error(src.file, it.line, it.col, std::string("a second ") + nameof(it.what) + " overlapping one already in " + where(it));
        c.fixedobjs.push_back(Level::addfixed(l, f));
    }

    for (const item& it : src.items) {
        bool isguard = it.what == thing::guard;
        int kind;
        switch (it.what) {
        case thing::charge: kind = charge_kind; break;
        case thing::bribe: kind = bribe_kind; break;
        case thing::teleporter: kind = teleporter_kind; break;
        case thing::guard: kind = -1; break;
        default: continue;
        }
        double cx = it.x + 0.5, cz = it.z + 0.5;
        box shape = isguard ? Badguy::newbadguy(0, 0, 0, 0, 0).box : Freeobj::newfree(kind, 0, 0, 0).box;
        double top = supporttop(l, it.x, it.y, it.z, shape.hx, shape.hz, !isguard);
        if (std::isnan(top)) throw error(src.file, it.line, it.col, std::string("nothing holds the ") + nameof(it.what) + " at " + where(it));
        double cy = top + shape.hy + (isguard ? guardhair : 0.0);
        shape.x = cx;
        shape.y = cy;
        shape.z = cz;
        needroom(l, shape, it, src.file);
        cuberec& c = Level::getcube(l, it.x, static_cast<int>(cy), it.z);
        if (isguard) {
            badguyrec* g = Level::addguard(l, Badguy::newbadguy(0, cx, cy, cz, it.heading));
            l.badguys.push_back(g);
            c.badguys.push_back(g);
        } else {
            freeobjrec* o = Level::addfree(l, Freeobj::newfree(kind, cx, cy, cz));
            l.freeobjs.push_back(o);
            c.freeobjs.push_back(o);
        }
    }

    double top = supporttop(l, src.startx, src.starty, src.startz, playerhxz, playerhxz, false);
    if (std::isnan(top)) throw error(src.file, 1, 1, "nothing under the start");
    l.startx = src.startx + 0.5;
    l.starty = top + playerhy + playerhair;
    l.startz = src.startz + 0.5;
    l.startheading = src.heading;
    int head = static_cast<int>(std::floor(l.starty + playerhy));
    if (head < l.ysize && Level::getcube(l, src.startx, head, src.startz).walls)
        throw error(src.file, 1, 1, "no room for Vesk at the start (" + std::to_string(src.startx) + ", " +
                                        std::to_string(src.starty) + ", " + std::to_string(src.startz) + "): his head is in solid matter");
    Level::touchall(l);
    return l;
}

}  // namespace Levelsource
