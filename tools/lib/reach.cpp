// reach.cpp -- a search over the places Vesk can stand: column and floor height
#include "reach.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>

namespace Reach {

namespace {

constexpr double eps = 0.01;
constexpr double bodyheight = 0.6;
constexpr double jumpup = 0.55;           // a jump rises 2.4^2 / (2 * 5) = 0.576
constexpr double jumphead = 0.6 + 0.576;  // head height above the feet at the top of a jump

// Something in a column that Vesk cannot be inside: a solid cell or a fixed object.
struct obstacle {
    double lo, hi;
    bool openable;  // the Dematterizer can swing it away
};

struct search {
    const levelrec& l;
    bool dm;
    std::vector<std::vector<obstacle>> columns;  // per column x + xsize * z, sorted by top
    std::vector<std::vector<char>> seen;         // per column, per obstacle: standing on its top

    search(const levelrec& level, bool dematterizer) : l(level), dm(dematterizer)
    {
        columns.resize(static_cast<size_t>(l.xsize) * l.zsize);
        for (int z = 0; z < l.zsize; ++z)
            for (int x = 0; x < l.xsize; ++x) {
                auto& col = columns[x + l.xsize * z];
                for (int y = 0; y < l.ysize; ++y) {
                    const cuberec& c = Level::getcube(l, x, y, z);
                    bool inner = x >= 1 && y >= 1 && z >= 1 && x <= l.xsize - 2 && y <= l.ysize - 2 && z <= l.zsize - 2;
                    if (c.walls) col.push_back({double(y), y + 1.0, inner});
                    for (const fixedobjrec* f : c.fixedobjs) col.push_back({f->box.y - f->box.hy, f->box.y + f->box.hy, true});
                }
                std::sort(col.begin(), col.end(), [](const obstacle& a, const obstacle& b) { return a.hi < b.hi; });
                seen.emplace_back(col.size(), 0);
            }
    }

    // Nothing Vesk cannot pass lies in (lo, hi) of the column.
    bool clear(int col, double lo, double hi) const
    {
        for (const obstacle& o : columns[col])
            if ((!dm || !o.openable) && o.lo < hi - eps && o.hi > lo + eps) return false;
        return true;
    }

    // The obstacle he lands on falling from feet height `from` in a column:
    // the highest whose top is not above his feet; -1 when there is none.
    int landing(int col, double from) const
    {
        const auto& c = columns[col];
        for (int i = static_cast<int>(c.size()) - 1; i >= 0; --i)
            if (c[i].hi <= from + eps) return i;
        return -1;
    }

    std::deque<std::pair<int, int>> queue;

    void visit(int col, int i)
    {
        if (i < 0 || seen[col][i]) return;
        seen[col][i] = 1;
        queue.push_back({col, i});
    }

    void run(int startcol, double startfeet)
    {
        visit(startcol, landing(startcol, startfeet));
        while (!queue.empty()) {
            auto [col, i] = queue.front();
            queue.pop_front();
            const auto& here = columns[col];
            double t = here[i].hi;
            int x = col % l.xsize, z = col / l.xsize;
            const int dx[4] = {1, -1, 0, 0}, dz[4] = {0, 0, 1, -1};
            bool headroom = clear(col, t, t + jumphead);
            for (int k = 0; k < 4; ++k) {
                int nx = x + dx[k], nz = z + dz[k];
                if (nx < 0 || nz < 0 || nx >= l.xsize || nz >= l.zsize) continue;
                int ncol = nx + l.xsize * nz;
                // walk across at this height, then fall to whatever is below
                if (clear(ncol, t, t + bodyheight)) visit(ncol, landing(ncol, t));
                // jump onto something a little higher
                if (!headroom) continue;
                const auto& there = columns[ncol];
                for (int j = 0; j < static_cast<int>(there.size()); ++j) {
                    double nt = there[j].hi;
                    if (nt > t + eps && nt <= t + jumpup && clear(ncol, nt, std::max(nt + bodyheight, t + jumphead)))
                        visit(ncol, j);
                }
            }
            // shoot the floor away and drop through it
            if (dm) {
                bool allopen = true;
                for (const obstacle& o : here)
                    if (std::fabs(o.hi - t) <= eps && !o.openable) allopen = false;
                if (allopen) visit(col, landing(col, t - 2 * eps));
            }
        }
    }

    // Vesk standing or jumping in the object's column can touch it.
    bool touches(const freeobjrec& o) const
    {
        int x = static_cast<int>(o.box.x), z = static_cast<int>(o.box.z);
        if (x < 0 || z < 0 || x >= l.xsize || z >= l.zsize) return false;
        int col = x + l.xsize * z;
        double ob = o.box.y - o.box.hy, ot = o.box.y + o.box.hy;
        const auto& c = columns[col];
        for (size_t i = 0; i < c.size(); ++i) {
            if (!seen[col][i]) continue;
            double t = c[i].hi;
            double reachtop = clear(col, t, t + jumphead) ? t + jumphead : t + bodyheight;
            if (t < ot && reachtop > ob) return true;
        }
        return false;
    }
};

std::string describe(const freeobjrec& o)
{
    static const char* names[] = {"charge", "bribe", "teleporter"};
    char buf[160];
    std::snprintf(buf, sizeof buf, "%s at (%.2f, %.2f, %.2f) in cell (%d, %d, %d)", names[o.kind >= 0 && o.kind <= 2 ? o.kind : 0],
                  o.box.x, o.box.y, o.box.z, static_cast<int>(o.box.x), static_cast<int>(o.box.y), static_cast<int>(o.box.z));
    return buf;
}

}  // namespace

result reach(const levelrec& level, bool dematterizer)
{
    result r;
    if (level.xsize < 1 || level.zsize < 1) return r;
    search s(level, dematterizer);
    int sx = static_cast<int>(level.startx), sz = static_cast<int>(level.startz);
    if (sx >= 0 && sz >= 0 && sx < level.xsize && sz < level.zsize)
        s.run(sx + level.xsize * sz, level.starty - 0.3);
    for (const freeobjrec* o : level.freeobjs) {
        if (o->kind != charge_kind && o->kind != teleporter_kind) continue;
        bool charge = o->kind == charge_kind;
        (charge ? r.charges : r.teleporters)++;
        if (s.touches(*o)) {
            r.reached.push_back(o);
            (charge ? r.reachedcharges : r.reachedteleporters)++;
        } else {
            r.missed.push_back(o);
        }
    }
    return r;
}

std::vector<std::string> problems(const levelrec& level, const std::string& name)
{
    result r = reach(level, true);
    std::vector<std::string> out;
    auto missing = [&](int kind) {
        std::string s;
        for (const freeobjrec* o : r.missed)
            if (o->kind == kind) s += (s.empty() ? "" : "; ") + describe(*o);
        return s.empty() ? std::string() : "; out of reach: " + s;
    };
    if (r.reachedcharges < 9)
        out.push_back(name + ": only " + std::to_string(r.reachedcharges) + " of " + std::to_string(r.charges) +
                      " charges can be reached from the start, 9 are needed" + missing(charge_kind));
    if (r.reachedteleporters == 0)
        out.push_back(name + ": no teleporter can be reached from the start" +
                      (r.teleporters ? missing(teleporter_kind) : std::string(" (the level has none)")));
    return out;
}

}  // namespace Reach
