// update.cpp -- dematterizing and the per-frame world update
#include "world/update.h"

#include <algorithm>  // reverse, find_if
#include <cmath>      // trunc

#include "guards/badguy.h"
#include "objects/freeobj.h"

namespace Level {

namespace {

int cellcoord(double v) { return static_cast<int>(v); }  // truncation toward zero

cuberec& cellof(levelrec& level, const box& b)
{
    return getcube(level, cellcoord(b.x), cellcoord(b.y), cellcoord(b.z));
}

void touch(levelrec& level, const cuberec* c) { touchcell(level, indexof(level, c)); }

// Drops the items that match and rebuilds the list the way a front-growing
// list is rebuilt: the survivors come out in reverse order.
template <class T, class Pred>
void removereversed(std::vector<T*>& list, Pred matches)
{
    std::vector<T*> kept;
    kept.reserve(list.size());
    for (T* item : list)
        if (!matches(item)) kept.push_back(item);
    std::reverse(kept.begin(), kept.end());
    list = std::move(kept);
}

// Ages one dematterized list; things whose dm runs out become solid again.
template <class T, class Gone>
void agelist(std::vector<T*>& list, double rate, double dt, Gone gone)
{
    std::vector<T*> kept;
    kept.reserve(list.size());
    for (T* item : list) {
        item->dm = item->dm - rate * dt;
        if (item->dm > 0.0) {
            kept.push_back(item);
        } else {
            item->dm = 0.0;
            gone(item);
        }
    }
    std::reverse(kept.begin(), kept.end());
    list = std::move(kept);
}

// Swings a thing out of reality, listing it only if it was not out already.
template <class T>
void swingout(std::vector<T*>& dmlist, T* item)
{
    if (item->dm == 0.0) pushfront(dmlist, item);
    item->dm = 1.0;
}

bool strictoverlap(const box& a, const box& b)
{
    return &a != &b && a.x - a.hx < b.x + b.hx && b.x - b.hx < a.x + a.hx && a.y - a.hy < b.y + b.hy &&
           b.y - b.hy < a.y + a.hy && a.z - a.hz < b.z + b.hz && b.z - b.hz < a.z + a.hz;
}

bool sameobject(const freeobjrec& a, const freeobjrec& b)
{
    return a.kind == b.kind && a.box.x == b.box.x && a.box.y == b.box.y && a.box.z == b.box.z &&
           a.box.hx == b.box.hx && a.box.hy == b.box.hy && a.box.hz == b.box.hz && a.vy == b.vy && a.dm == b.dm;
}

// A picked-up charge or bribe: the first of that kind in F goes, from the
// level's list and from the lists of the cells around the player, together
// with any object equal to it in every field.
void pickup(levelrec& level, const std::vector<cuberec*>& cells, const std::vector<freeobjrec*>& F, int kind)
{
    auto it = std::find_if(F.begin(), F.end(), [kind](const freeobjrec* o) { return o->kind == kind; });
    if (it == F.end()) return;
    const freeobjrec found = **it;
    auto equal = [&found](const freeobjrec* o) { return sameobject(*o, found); };
    removereversed(level.freeobjs, equal);
    for (cuberec* c : cells) {
        removereversed(c->freeobjs, equal);
        touch(level, c);
    }
}

}  // namespace

cubelistrec cubelist(levelrec& level, const box& b)
{
    // Movers never reach past the grid, but a shot box near the far walls
    // does: cut the range to the grid rather than wrap into other rows or
    // index past the array.
    const int x0 = std::max(0, cellcoord(b.x - b.hx - 0.5)), x1 = std::min(level.xsize - 1, cellcoord(b.x + b.hx + 0.5));
    const int y0 = std::max(0, cellcoord(b.y - b.hy - 0.5)), y1 = std::min(level.ysize - 1, cellcoord(b.y + b.hy + 0.5));
    const int z0 = std::max(0, cellcoord(b.z - b.hz - 0.5)), z1 = std::min(level.zsize - 1, cellcoord(b.z + b.hz + 0.5));

    cubelistrec out;
    const std::size_t n = static_cast<std::size_t>(std::max(0, x1 - x0 + 1)) * std::max(0, y1 - y0 + 1) *
                          std::max(0, z1 - z0 + 1);
    out.cells.reserve(n);
    out.cellboxes.reserve(n);  // the obstacle list points into it: no reallocation after this
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            for (int z = z0; z <= z1; ++z) {
                cuberec& c = getcube(level, x, y, z);
                out.cells.push_back(&c);
                if (!permeable(c)) out.cellboxes.push_back({x + 0.5, y + 0.5, z + 0.5, 0.5, 0.5, 0.5});
            }
    // Both lists were built at the front: cells in decreasing (x, y, z), and the
    // fixed objects' boxes, cell by cell in increasing order, each cell's in
    // reverse list order, ahead of the unit boxes in decreasing order.
    for (cuberec* c : out.cells)
        for (auto f = c->fixedobjs.rbegin(); f != c->fixedobjs.rend(); ++f)
            if ((*f)->dm == 0.0) out.obstacles.push_back(&(*f)->box);
    for (auto u = out.cellboxes.rbegin(); u != out.cellboxes.rend(); ++u) out.obstacles.push_back(&*u);
    std::reverse(out.cells.begin(), out.cells.end());
    return out;
}

void updatedm(levelrec& level, veskrec&, double dt)
{
    agelist(level.dmcubes, 0.2, dt, [&level](cuberec* c) { touch(level, c); });
    agelist(level.dmfixed, 0.2, dt, [](fixedobjrec*) {});
    agelist(level.dmfree, 0.4, dt, [](freeobjrec*) {});
}

void movefreeobj(levelrec& level, double dt)
{
    const std::vector<freeobjrec*> movers = level.freeobjs;
    for (freeobjrec* o : movers) {
        cuberec& from = cellof(level, o->box);
        cubelistrec around = cubelist(level, o->box);
        std::vector<const box*> obstacles;
        for (cuberec* c : around.cells)
            for (freeobjrec* other : c->freeobjs) obstacles.push_back(&other->box);
        obstacles.insert(obstacles.end(), around.obstacles.begin(), around.obstacles.end());
        Freeobj::update(*o, dt, obstacles);
        cuberec& to = cellof(level, o->box);
        if (&to != &from) {
            removereversed(from.freeobjs, [o](const freeobjrec* x) { return x == o; });
            pushfront(to.freeobjs, o);
            touch(level, &from);
            touch(level, &to);
        }
    }
}

void movebadguys(levelrec& level, veskrec&, double dt)
{
    const std::vector<badguyrec*> movers = level.badguys;
    for (badguyrec* g : movers) {
        cubelistrec around = cubelist(level, g->box);
        std::vector<const box*> obstacles;
        for (cuberec* c : around.cells)
            for (badguyrec* other : c->badguys) obstacles.push_back(&other->box);
        obstacles.insert(obstacles.end(), around.obstacles.begin(), around.obstacles.end());

        const int ix = cellcoord(g->box.x), iy = cellcoord(g->box.y), iz = cellcoord(g->box.z);
        std::array<double, 9> scent;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) scent[3 * i + j] = getcube(level, ix + i - 1, iy, iz + j - 1).scent;

        Badguy::update(*g, dt, obstacles, scent);

        cuberec& from = getcube(level, ix, iy, iz);
        cuberec& to = cellof(level, g->box);
        if (&to != &from) {
            removereversed(from.badguys, [g](const badguyrec* x) { return x == g; });
            pushfront(to.badguys, g);
            touch(level, &from);
            touch(level, &to);
        }
        for (cuberec* c : around.cells) c->scent = c->scent - 0.1 * dt * level.clock;
    }
}

outcome movevesk(levelrec& level, veskrec& player, double dt)
{
    cubelistrec around = cubelist(level, player.box);
    // F and G grow at the front, so each ends up in reverse gathering order.
    std::vector<freeobjrec*> F;
    std::vector<badguyrec*> G;
    for (cuberec* c : around.cells) {
        for (freeobjrec* o : c->freeobjs) F.push_back(o);
        for (badguyrec* g : c->badguys) G.push_back(g);
    }
    std::reverse(F.begin(), F.end());
    std::reverse(G.begin(), G.end());

    std::vector<actionpair> contacts;
    contacts.reserve(F.size() + G.size());
    for (auto g = G.rbegin(); g != G.rend(); ++g) contacts.push_back(Badguy::actionpair(**g));
    for (freeobjrec* o : F) contacts.push_back(Freeobj::actionpair(*o));

    for (cuberec* c : around.cells) c->scent = c->scent + dt * level.clock;

    const outcome r = Vesk::update(player, dt, around.obstacles, contacts);
    switch (r) {
    case outcome::caught: init_vesk(level, player); return outcome::caught;
    case outcome::charge: pickup(level, around.cells, F, charge_kind); return outcome::nothing;
    case outcome::bribe: pickup(level, around.cells, F, bribe_kind); return outcome::nothing;
    default: return r;
    }
}

void init_vesk(const levelrec& level, veskrec& player)
{
    player.box.x = level.startx;
    player.box.y = level.starty;
    player.box.z = level.startz;
    player.heading = level.startheading;
    player.vx = player.vy = player.vz = 0.0;
}

outcome update(levelrec& level, veskrec& player, double dt)
{
    level.clock = level.clock + dt;
    updatedm(level, player, dt);
    movefreeobj(level, dt);
    movebadguys(level, player, dt);
    return movevesk(level, player, dt);
}

void dematterize(levelrec& level, const box& shot)
{
    // The hit cell, kept off the outermost layer so nothing can leave the grid.
    auto hit = [](double v, int size) {
        double t = std::trunc(v);
        if (t < 1.0)
            t = 1.0;
        else if (t > size - 2)
            t = size - 2;
        return static_cast<int>(t);
    };
    cuberec& c = getcube(level, hit(shot.x, level.xsize), hit(shot.y, level.ysize), hit(shot.z, level.zsize));
    swingout(level.dmcubes, &c);
    touch(level, &c);
    for (fixedobjrec* f : c.fixedobjs) swingout(level.dmfixed, f);
    for (freeobjrec* o : c.freeobjs) swingout(level.dmfree, o);

    cubelistrec around = cubelist(level, shot);
    for (cuberec* near : around.cells) {
        for (fixedobjrec* f : near->fixedobjs)
            if (strictoverlap(f->box, shot)) swingout(level.dmfixed, f);
        for (freeobjrec* o : near->freeobjs)
            if (strictoverlap(o->box, shot)) swingout(level.dmfree, o);
    }
}

}  // namespace Level
