// soakcheck.h -- what must hold of a level and the player after every frame
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "player/vesk.h"
#include "world/level.h"

namespace Soak {

struct checker {
    long checks = 0;
    std::string first;  // the first fault found

    void fail(const std::string& what)
    {
        if (first.empty()) first = what;
    }
    void finite(double v, const char* what)
    {
        ++checks;
        if (!std::isfinite(v)) fail(std::string("not finite: ") + what);
    }
    void finitebox(const box& b, const char* what)
    {
        for (double v : {b.x, b.y, b.z, b.hx, b.hy, b.hz}) finite(v, what);
    }
    void inside(const levelrec& l, const box& b, const char* what)
    {
        ++checks;
        // the outermost layer is solid and never opens, so nothing's centre gets into it
        if (!(b.x >= 1.0 && b.y >= 1.0 && b.z >= 1.0 && b.x < l.xsize - 1 && b.y < l.ysize - 1 && b.z < l.zsize - 1)) {
            char buf[160];
            std::snprintf(buf, sizeof buf, "%s outside the inner grid at (%g, %g, %g)", what, b.x, b.y, b.z);
            fail(buf);
        }
    }

    // Reused from frame to frame, so the checks themselves allocate nothing once warm.
    std::vector<const void*> seen, cells;
    std::vector<int> dmcount;

    static bool once(std::vector<const void*>& v)
    {
        std::sort(v.begin(), v.end());
        return std::adjacent_find(v.begin(), v.end()) == v.end();
    }
    static bool has(const std::vector<const void*>& sorted, const void* p) { return std::binary_search(sorted.begin(), sorted.end(), p); }

    template <class T>
    void filed(levelrec& l, const std::vector<T*>& all, std::vector<T*> cuberec::*list, const char* what)
    {
        seen.assign(all.begin(), all.end());
        cells.clear();
        for (cuberec& c : l.cubes) cells.insert(cells.end(), (c.*list).begin(), (c.*list).end());
        ++checks;
        if (!once(seen)) fail(std::string(what) + " listed twice in the level");
        ++checks;
        if (!once(cells)) fail(std::string(what) + " filed twice in the cells");
        ++checks;
        if (cells != seen) fail(std::string("the cells file other ") + what + "s than the level lists");
        for (T* o : all) {
            ++checks;
            const box& b = o->box;
            // a centre outside the grid (or not a number) is reported by inside(); it names no cell
            if (!(b.x >= 0.0 && b.y >= 0.0 && b.z >= 0.0 && b.x < l.xsize && b.y < l.ysize && b.z < l.zsize)) continue;
            const cuberec& c = Level::getcube(l, static_cast<int>(o->box.x), static_cast<int>(o->box.y), static_cast<int>(o->box.z));
            if (std::count((c.*list).begin(), (c.*list).end(), o) != 1) fail(std::string(what) + " not filed in the cell holding its centre");
        }
    }

    void level(levelrec& l, const veskrec& v)
    {
        finite(l.clock, "level clock");
        finitebox(v.box, "player box");
        for (double d : {v.vx, v.vy, v.vz, v.heading, v.pitch, v.charge}) finite(d, "player field");
        inside(l, v.box, "player");
        for (const badguyrec* g : l.badguys) {
            finitebox(g->box, "guard box");
            for (double d : {g->vx, g->vy, g->vz, g->heading, g->phase}) finite(d, "guard field");
            inside(l, g->box, "guard");
        }
        for (const freeobjrec* o : l.freeobjs) {
            finitebox(o->box, "free object box");
            finite(o->vy, "free object vy");
            finite(o->dm, "free object dm");
            inside(l, o->box, "free object");
        }
        filed(l, l.badguys, &cuberec::badguys, "guard");
        filed(l, l.freeobjs, &cuberec::freeobjs, "free object");

        // the dematterized lists hold exactly what has dm above 0, each once
        dmcount.assign(l.cubes.size(), 0);
        for (const cuberec* c : l.dmcubes) dmcount.at(Level::indexof(l, c))++;
        std::vector<const void*>& fixed = seen;
        fixed.assign(l.dmfixed.begin(), l.dmfixed.end());
        ++checks;
        if (!once(fixed)) fail("dmfixed holds a fixed object twice");
        for (size_t i = 0; i < l.cubes.size(); ++i) {
            const cuberec& c = l.cubes[i];
            finite(c.dm, "cell dm");
            finite(c.scent, "cell scent");
            ++checks;
            if (dmcount[i] > 1) fail("dmcubes holds a cell twice");
            if ((c.dm > 0.0) != (dmcount[i] == 1)) fail("dmcubes disagrees with a cell's dm");
            for (const fixedobjrec* f : c.fixedobjs) {
                ++checks;
                if ((f->dm > 0.0) != has(fixed, f)) fail("dmfixed disagrees with a fixed object's dm");
            }
        }
        cells.assign(l.dmfree.begin(), l.dmfree.end());
        ++checks;
        if (!once(cells)) fail("dmfree holds an object twice");
        for (const freeobjrec* o : l.dmfree) {
            ++checks;
            if (!(o->dm > 0.0)) fail("dmfree holds an object whose dm is not above 0");
        }
        // a taken object may still be fading in dmfree; one on the level must be there while its dm is above 0
        for (const freeobjrec* o : l.freeobjs) {
            ++checks;
            if ((o->dm > 0.0) != has(cells, o)) fail("dmfree disagrees with a free object's dm");
        }
        // the flags the visibility search reads match the cells
        std::vector<std::uint8_t> kept = l.cellflags;
        Level::touchall(l);
        ++checks;
        if (kept != l.cellflags) fail("cellflags differ from a fresh Level::touchall");
    }
};

}  // namespace Soak
