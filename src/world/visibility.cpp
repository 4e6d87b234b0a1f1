// visibility.cpp -- the breadth-first visibility search and the two draw lists
#include "world/visibility.h"

#include <algorithm>
#include <cmath>  // floor, ceil
#include <stdexcept>
#include <string>

namespace Level {

namespace {

// Eye-ward tests along one axis, as integer thresholds: for a cell coordinate
// c, the + neighbour is eye-ward when c < plus (eye beyond c + 1, neighbour
// inside), the - neighbour when c > minus (eye below c, neighbour inside).
struct axis {
    int plus, minus, last;
};

axis axisfor(double e, int size)
{
    // Clamping keeps the conversions defined; no cell compares differently.
    double ce = std::clamp(e, -2.0, static_cast<double>(size) + 2.0);
    int plus = std::min(static_cast<int>(std::ceil(ce)) - 1, size - 1);
    int minus = std::max(static_cast<int>(std::floor(ce)), 0);
    return {plus, minus, size - 1};
}

// The cells' flag bytes: the level's own when it keeps them, else made here.
const std::uint8_t* flagsfor(const levelrec& level, std::vector<std::uint8_t>& spare)
{
    if (level.cellflags.size() == level.cubes.size()) return level.cellflags.data();
    spare.assign(level.cubes.size(), 0);
    for (std::size_t i = 0; i < level.cubes.size(); ++i) {
        const cuberec& c = level.cubes[i];
        std::uint8_t f = 0;
        if (c.walls) f |= cell_solid;
        if (c.dm > 0.0) f |= cell_dm;
        if (!c.fixedobjs.empty() || !c.freeobjs.empty() || !c.badguys.empty()) f |= cell_stuff;
        spare[i] = f;
    }
    return spare.data();
}

// What a visible cell gives. Both lists grow at the back here: the callers
// turn them into the front-growing order the search is defined with.
void collect(const cuberec& c, int x, int y, int z, drawlist& opaque, drawlist& translucent)
{
    if (c.walls && c.dm == 0.0) {
        opaque.push_back(cubeitem{x, y, z});
        return;
    }
    for (const fixedobjrec* o : c.fixedobjs)
        if (o->dm == 0.0) opaque.push_back(o);
    for (const freeobjrec* o : c.freeobjs)
        if (o->dm == 0.0) opaque.push_back(o);
    for (const badguyrec* g : c.badguys) opaque.push_back(g);
    if (c.walls && c.dm > 0.0) translucent.push_back(cubeitem{x, y, z});
    if (c.walls && c.dm <= 0.0) return;
    for (const fixedobjrec* o : c.fixedobjs)
        if (o->dm > 0.0) translucent.push_back(o);
    for (const freeobjrec* o : c.freeobjs)
        if (o->dm > 0.0) translucent.push_back(o);
}

// The search loop. Runs every frame over every cell, so it reads one flag
// byte per neighbour instead of the cell records, and touches a cell record
// only for a visible cell that has something to give.
void search(const levelrec& level, const std::uint8_t* flags, double ex, double ey, double ez, cellqueue& q,
            drawlist& opaque, drawlist& translucent, std::uint8_t* state)
{
    const int xs = level.xsize, ys = level.ysize;
    const int sy = xs, sz = xs * ys;
    const axis ax = axisfor(ex, level.xsize), ay = axisfor(ey, level.ysize), az = axisfor(ez, level.zsize);
    cubeitem* items = q.items.data();
    const int cap = static_cast<int>(q.items.size());
    int head = q.head, tail = q.tail;

    // Whether the neighbour at offset d blocks; no eye-ward neighbour (d = 0)
    // leaves the verdict to the other axes.
    auto blocks = [&](int idx, int d) {
        if (d == 0) return true;
        std::uint8_t s = state[idx + d];
        return s == state_occluded || (s == state_visible && (flags[idx + d] & (cell_solid | cell_dm)) == cell_solid);
    };
    auto push = [&](int n, int x, int y, int z) {
        if (state[n] != state_unseen) return;
        state[n] = state_queued;
        items[tail] = {x, y, z};
        if (++tail == cap) tail = 0;
    };

    while (head != tail) {
        const cubeitem c = items[head];
        if (++head == cap) head = 0;
        const int idx = c.x + xs * (c.y + ys * c.z);

        const int dx = (c.x < ax.plus) - (c.x > ax.minus);
        const int dy = ((c.y < ay.plus) - (c.y > ay.minus)) * sy;
        const int dz = ((c.z < az.plus) - (c.z > az.minus)) * sz;
        const bool hidden = (dx | dy | dz) != 0 && blocks(idx, dx) && blocks(idx, dy) && blocks(idx, dz);
        state[idx] = hidden ? state_occluded : state_visible;

        if (c.x >= ax.plus && c.x < ax.last) push(idx + 1, c.x + 1, c.y, c.z);
        if (c.x <= ax.minus && c.x > 0) push(idx - 1, c.x - 1, c.y, c.z);
        if (c.y >= ay.plus && c.y < ay.last) push(idx + sy, c.x, c.y + 1, c.z);
        if (c.y <= ay.minus && c.y > 0) push(idx - sy, c.x, c.y - 1, c.z);
        if (c.z >= az.plus && c.z < az.last) push(idx + sz, c.x, c.y, c.z + 1);
        if (c.z <= az.minus && c.z > 0) push(idx - sz, c.x, c.y, c.z - 1);

        if (!hidden && flags[idx] != 0) collect(level.cubes[idx], c.x, c.y, c.z, opaque, translucent);
    }
    q.head = head;
    q.tail = tail;
}

bool inside(const levelrec& level, int x, int y, int z)
{
    return x >= 0 && y >= 0 && z >= 0 && x < level.xsize && y < level.ysize && z < level.zsize;
}

[[noreturn]] void outside(const char* what, int x, int y, int z)
{
    throw std::out_of_range(std::string(what) + " (" + std::to_string(x) + ", " + std::to_string(y) + ", " +
                            std::to_string(z) + ") outside the grid");
}

}  // namespace

cellqueue makequeue(int capacity)
{
    cellqueue q;
    q.items.assign(static_cast<std::size_t>(std::max(capacity, 0)), cubeitem{0, 0, 0});
    return q;
}

void addqueue(cellqueue& q, const std::vector<cubeitem>& cells)
{
    const int cap = static_cast<int>(q.items.size());
    for (const cubeitem& c : cells) {
        q.items.at(static_cast<std::size_t>(q.tail)) = c;
        q.tail = (q.tail + 1) % cap;
    }
}

cubeitem removequeue(cellqueue& q)
{
    cubeitem c = q.items.at(static_cast<std::size_t>(q.head));
    q.head = (q.head + 1) % static_cast<int>(q.items.size());
    return c;
}

bool emptyqueue(const cellqueue& q) { return q.head == q.tail; }

bool ifoccluding(const levelrec& level, const std::vector<std::uint8_t>& state, int x, int y, int z)
{
    int i = cellindex(level, x, y, z);
    std::uint8_t s = state.at(static_cast<std::size_t>(i));
    return s == state_occluded || (s == state_visible && !permeable(level.cubes[i]));
}

bool ifnotclipped(std::uint8_t state) { return state == state_visible || state == state_occluded; }

std::pair<drawlist, drawlist> visbfs(const levelrec& level, double ex, double ey, double ez, const viewparams&,
                                     cellqueue& q, drawlist opaque, drawlist translucent,
                                     std::vector<std::uint8_t>& state)
{
    if (state.size() != level.cubes.size())
        throw std::invalid_argument("visbfs: the state array does not match the grid");
    // The loop trusts the queue: every cell in it must be a cell of the grid.
    const int cap = static_cast<int>(q.items.size());
    for (int i = q.head; i != q.tail; i = (i + 1) % cap) {
        const cubeitem& c = q.items.at(static_cast<std::size_t>(i));
        if (!inside(level, c.x, c.y, c.z)) outside("queued cell", c.x, c.y, c.z);
    }
    std::vector<std::uint8_t> spare;
    drawlist newopaque, newtranslucent;
    search(level, flagsfor(level, spare), ex, ey, ez, q, newopaque, newtranslucent, state.data());

    // Newest first, then what the lists held before.
    std::reverse(newopaque.begin(), newopaque.end());
    std::reverse(newtranslucent.begin(), newtranslucent.end());
    newopaque.insert(newopaque.end(), opaque.begin(), opaque.end());
    newtranslucent.insert(newtranslucent.end(), translucent.begin(), translucent.end());
    return {std::move(newopaque), std::move(newtranslucent)};
}

void sortcubes(const levelrec& level, double ex, double ey, double ez, const viewparams&, visscratch& s)
{
    const long long n = static_cast<long long>(level.xsize) * level.ysize * level.zsize;
    // Compared as doubles first, so that a wild eye never reaches a conversion.
    if (!(ex > -1.0 && ey > -1.0 && ez > -1.0 && ex < level.xsize && ey < level.ysize && ez < level.zsize) ||
        n != static_cast<long long>(level.cubes.size()))
        throw std::out_of_range("sortcubes: eye outside the grid");
    const cubeitem eye{static_cast<int>(ex), static_cast<int>(ey), static_cast<int>(ez)};

    s.state.assign(static_cast<std::size_t>(n), state_unseen);
    if (s.queue.items.size() != static_cast<std::size_t>(n)) s.queue.items.assign(static_cast<std::size_t>(n), {});
    s.queue.head = s.queue.tail = 0;
    s.opaque.clear();
    s.translucent.clear();

    s.state[static_cast<std::size_t>(eye.x + level.xsize * (eye.y + level.ysize * eye.z))] = state_visible;
    s.queue.items[0] = eye;
    s.queue.tail = static_cast<int>(1 % n);   // a one-cell queue wraps at once and looks empty
    search(level, flagsfor(level, s.flags), ex, ey, ez, s.queue, s.opaque, s.translucent, s.state.data());
    // Collected in classification order: the opaque list stays so (near to
    // far), the translucent one is drawn far to near.
    std::reverse(s.translucent.begin(), s.translucent.end());
}

std::pair<drawlist, drawlist> sortcubes(const levelrec& level, double ex, double ey, double ez,
                                        const viewparams& view)
{
    visscratch s;
    sortcubes(level, ex, ey, ez, view, s);
    return {std::move(s.opaque), std::move(s.translucent)};
}

}  // namespace Level
