// visibility.cpp -- the breadth-first visibility search and the two draw lists
#include "world/visibility.h"

#include <algorithm>
#include <array>
#include <limits>
#include <cmath>  // floor, ceil
#include <cstdlib>  // abs
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

// Offset of the eye-ward neighbour along one axis (stride apart), 0 when none.
inline int toward(const axis& a, int c, int stride) { return ((c < a.plus) - (c > a.minus)) * stride; }

// The search's working byte per cell, so that a neighbour costs one byte
// read: the cellstate in the low bits, the cell's flag byte above it, and
// whether the classified cell blocks the view in the top bit.
constexpr std::uint8_t w_state = 7;
constexpr int w_flagshift = 3;
constexpr std::uint8_t w_flags = (cell_solid | cell_dm | cell_stuff) << w_flagshift;
constexpr std::uint8_t w_solid = cell_solid << w_flagshift;
constexpr std::uint8_t w_dm = cell_dm << w_flagshift;
constexpr std::uint8_t w_blocks = 128;
constexpr std::uint8_t w_edge = 7;   // the padding around the grid: never unseen

std::uint8_t flagbyte(const cuberec& c)
{
    std::uint8_t f = 0;
    if (c.walls) f |= cell_solid;
    if (c.dm > 0.0) f |= cell_dm;
    if (!c.fixedobjs.empty() || !c.freeobjs.empty() || !c.badguys.empty()) f |= cell_stuff;
    return f;
}

// Solid and not dematterized: a plain cube, which blocks once visible. (A
// solid cell whose dm were below 0 would count as one; dm never goes below 0.)
inline bool matter(std::uint8_t w) { return (w & (w_solid | w_dm)) == w_solid; }

// Fills work with the cells' flags, every cell unseen, padded by a z-layer
// and a cell on each side so that neighbour reads need no bounds test.
// Returns the pointer to cell 0.
std::uint8_t* makework(const levelrec& level, std::vector<std::uint8_t>& work, int& pad)
{
    const std::size_t n = level.cubes.size();
    pad = level.xsize * level.ysize + 1;
    work.resize(n + 2 * static_cast<std::size_t>(pad));
    std::uint8_t* w = work.data() + pad;
    std::fill(work.begin(), work.begin() + pad, w_edge);
    std::fill(work.end() - pad, work.end(), w_edge);
    if (level.cellflags.size() == n) {
        const std::uint8_t* flags = level.cellflags.data();
        for (std::size_t i = 0; i < n; ++i) w[i] = static_cast<std::uint8_t>(flags[i] << w_flagshift);
    } else {
        for (std::size_t i = 0; i < n; ++i) w[i] = static_cast<std::uint8_t>(flagbyte(level.cubes[i]) << w_flagshift);
    }
    return w;
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

// Classifies one cell from its eye-ward neighbours (offsets dx, dy, dz, 0 for
// none; they are always classified before it) and collects what it gives.
// No branch on the grid's contents except for the collecting.
inline void classify(const levelrec& level, std::uint8_t* w, int idx, int x, int y, int z, int dx, int dy, int dz,
                     drawlist& opaque, drawlist& translucent)
{
    const bool bx = (dx == 0) | (w[idx + dx] >= w_blocks);
    const bool by = (dy == 0) | (w[idx + dy] >= w_blocks);
    const bool bz = (dz == 0) | (w[idx + dz] >= w_blocks);
    const bool hidden = ((dx | dy | dz) != 0) & bx & by & bz;
    const std::uint8_t self = w[idx];
    const bool cube = matter(self);
    w[idx] = static_cast<std::uint8_t>((self & w_flags) | (hidden ? state_occluded : state_visible) |
                                       ((hidden | cube) ? w_blocks : 0));
    if (hidden || !(self & w_flags)) return;
    if (cube)
        opaque.push_back(cubeitem{x, y, z});
    else
        collect(level.cubes[static_cast<std::size_t>(idx)], x, y, z, opaque, translucent);
}

// The search as defined, over a queue: what visbfs runs for any queue and
// state it is handed.
void search(const levelrec& level, std::uint8_t* w, double ex, double ey, double ez, cellqueue& q, drawlist& opaque,
            drawlist& translucent)
{
    const int xs = level.xsize, ys = level.ysize;
    const int sy = xs, sz = xs * ys;
    const axis ax = axisfor(ex, level.xsize), ay = axisfor(ey, level.ysize), az = axisfor(ez, level.zsize);
    cubeitem* items = q.items.data();
    const int cap = static_cast<int>(q.items.size());
    int head = q.head, tail = q.tail;

    auto push = [&](bool allowed, int n, int x, int y, int z) {
        if (!allowed || (w[n] & w_state) != state_unseen) return;
        w[n] = static_cast<std::uint8_t>(w[n] | state_queued);
        items[tail] = {x, y, z};
        if (++tail == cap) tail = 0;
    };

    while (head != tail) {
        const cubeitem c = items[head];
        if (++head == cap) head = 0;
        const int idx = c.x + xs * (c.y + ys * c.z);
        classify(level, w, idx, c.x, c.y, c.z, toward(ax, c.x, 1), toward(ay, c.y, sy), toward(az, c.z, sz), opaque,
                 translucent);
        push(c.x >= ax.plus && c.x < ax.last, idx + 1, c.x + 1, c.y, c.z);
        push(c.x <= ax.minus && c.x > 0, idx - 1, c.x - 1, c.y, c.z);
        push(c.y >= ay.plus && c.y < ay.last, idx + sy, c.x, c.y + 1, c.z);
        push(c.y <= ay.minus && c.y > 0, idx - sy, c.x, c.y - 1, c.z);
        push(c.z >= az.plus && c.z < az.last, idx + sz, c.x, c.y, c.z + 1);
        push(c.z <= az.minus && c.z > 0, idx - sz, c.x, c.y, c.z - 1);
    }
    q.head = head;
    q.tail = tail;
}

// Sorts by key, least significant digit first, 11 bits at a time; keys are
// below limit.
void radixsort(std::vector<seencell>& v, std::vector<seencell>& spare, std::uint64_t limit)
{
    auto bykey = [](const seencell& p, const seencell& q) { return p.key < q.key; };
    if (v.size() < 256) {
        std::sort(v.begin(), v.end(), bykey);
        return;
    }
    constexpr int bits = 11;
    constexpr std::uint64_t mask = (1u << bits) - 1;
    std::array<std::uint32_t, 1u << bits> count;
    spare.resize(v.size());
    for (int shift = 0; shift < 64 && (limit >> shift) != 0; shift += bits) {
        count.fill(0);
        for (const seencell& c : v) ++count[(c.key >> shift) & mask];
        std::uint32_t at = 0;
        for (std::uint32_t& k : count) {
            const std::uint32_t here = k;
            k = at;
            at += here;
        }
        for (const seencell& c : v) spare[count[(c.key >> shift) & mask]++] = c;
        v.swap(spare);
    }
}

// The search from one eye cell, without a queue, in two passes.
//
// Classification: a cell depends only on its eye-ward neighbours, so any
// order that takes those first gives the same states. Walking layers outward
// from the eye's layer, rows outward from the eye's row and cells outward from
// the eye's cell is such an order, and it runs through memory almost
// straight: the neighbours are the previous cell, row and layer.
//
// Order: the queue's order is known in advance. Breadth first from the eye
// cell, expanding +x, -x, +y, -y, +z, -z away from the eye, takes the cells at
// offset (a, b, c) from the eye cell by their distance |a| + |b| + |c|, then a
// positive before negative before zero, larger |a| first, then the same for
// b, then c positive before negative. So the few cells that give something
// are sorted by that key instead of walking every cell in it.
//
// The key is distance * 18 * xsize * ysize + rank within the distance;
// sortcubes checks that it fits before it sweeps.
void sweep(const levelrec& level, const std::uint8_t* flags, std::uint8_t* w, double ex, double ey, double ez,
           cubeitem eye, std::vector<seencell>& seen, std::vector<seencell>& spare)
{
    const int xs = level.xsize, ys = level.ysize, zs = level.zsize;
    const int sy = xs, sz = xs * ys;
    const axis ax = axisfor(ex, xs), ay = axisfor(ey, ys), az = axisfor(ez, zs);
    // Beside the eye's cell on the - side the eye-ward neighbour is missing
    // when the eye sits exactly on the plane between them.
    const bool leftfirst = eye.x - 1 < ax.plus;
    const std::uint64_t xr = static_cast<std::uint64_t>(xs), yr = static_cast<std::uint64_t>(ys);
    const std::uint64_t ranks = 18 * xr * yr;   // ranks within one distance
    seen.clear();

    auto row = [&](int y, int z) {
        const int dy = toward(ay, y, sy), dz = toward(az, z, sz);
        const int base = xs * y + sz * z;
        const std::uint8_t* f = flags + base;
        std::uint8_t* r = w + base;
        const std::uint8_t* ry = r + dy;
        const std::uint8_t* rz = r + dz;
        const bool ky = dy != 0, kz = dz != 0;
        const int b = y - eye.y, c = z - eye.z;
        const std::uint64_t bc = static_cast<std::uint64_t>(std::abs(b) + std::abs(c));
        const std::uint64_t rowrank = (static_cast<std::uint64_t>(b > 0 ? 0 : b < 0 ? 1 : 2) * yr +
                                       (yr - 1 - static_cast<std::uint64_t>(std::abs(b)))) * 2 +
                                      (c < 0 ? 1 : 0);

        // One cell: kx says whether it has an eye-ward neighbour along x,
        // which is then the cell before it, whose blocking is prev.
        auto cell = [&](int x, bool kx, bool prev) {
            const bool by = !ky | (ry[x] >= w_blocks);
            const bool bz = !kz | (rz[x] >= w_blocks);
            const bool hidden = (kx | ky | kz) & (!kx | prev) & by & bz;
            const std::uint8_t fl = f[x];
            const bool blocks = hidden | ((fl & (cell_solid | cell_dm)) == cell_solid);
            r[x] = static_cast<std::uint8_t>((fl << w_flagshift) | (hidden ? state_occluded : state_visible) |
                                             (blocks ? w_blocks : 0));
            if (!hidden && fl != 0) {
                const int a = x - eye.x;
                const std::uint64_t rank = (static_cast<std::uint64_t>(a > 0 ? 0 : a < 0 ? 1 : 2) * xr +
                                            (xr - 1 - static_cast<std::uint64_t>(std::abs(a)))) * (3 * yr * 2) +
                                           rowrank;
                seen.push_back({(static_cast<std::uint64_t>(std::abs(a)) + bc) * ranks + rank, base + x});
            }
            return blocks;
        };
        const bool eyeblocks = cell(eye.x, false, false);
        bool prev = eyeblocks;
        for (int x = eye.x + 1; x < xs; ++x) prev = cell(x, true, prev);
        if (eye.x > 0) {
            prev = cell(eye.x - 1, leftfirst, eyeblocks);
            for (int x = eye.x - 2; x >= 0; --x) prev = cell(x, true, prev);
        }
    };
    auto layer = [&](int z) {
        for (int y = eye.y; y < ys; ++y) row(y, z);
        for (int y = eye.y - 1; y >= 0; --y) row(y, z);
    };
    for (int z = eye.z; z < zs; ++z) layer(z);
    for (int z = eye.z - 1; z >= 0; --z) layer(z);

    const std::uint64_t far = static_cast<std::uint64_t>(xs + ys + zs);
    radixsort(seen, spare, far * ranks);
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
    const std::size_t n = level.cubes.size();
    if (state.size() != n) throw std::invalid_argument("visbfs: the state array does not match the grid");
    // The loop trusts the queue: every cell in it must be a cell of the grid.
    const int cap = static_cast<int>(q.items.size());
    for (int i = q.head; i != q.tail; i = (i + 1) % cap) {
        const cubeitem& c = q.items.at(static_cast<std::size_t>(i));
        if (!inside(level, c.x, c.y, c.z)) outside("queued cell", c.x, c.y, c.z);
    }
    std::vector<std::uint8_t> work;
    int pad = 0;
    std::uint8_t* w = makework(level, work, pad);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t s = state[i] & w_state;
        const bool blocks = s == state_occluded || (s == state_visible && matter(w[i]));
        w[i] = static_cast<std::uint8_t>(w[i] | s | (blocks ? w_blocks : 0));
    }
    drawlist newopaque, newtranslucent;
    search(level, w, ex, ey, ez, q, newopaque, newtranslucent);
    for (std::size_t i = 0; i < n; ++i) state[i] = w[i] & w_state;

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
        n <= 0 || n != static_cast<long long>(level.cubes.size()))
        throw std::out_of_range("sortcubes: eye outside the grid");
    const cubeitem eye{static_cast<int>(ex), static_cast<int>(ey), static_cast<int>(ez)};

    s.opaque.clear();
    s.translucent.clear();
    s.seen.clear();
    const std::uint64_t xr = static_cast<std::uint64_t>(level.xsize), yr = static_cast<std::uint64_t>(level.ysize);
    const std::uint64_t far = static_cast<std::uint64_t>(level.xsize + level.ysize + level.zsize);
    if (n == 1 || far > std::numeric_limits<std::uint64_t>::max() / (18 * xr * yr)) {
        // The queue itself: for a grid whose order keys would not fit, and
        // for the one-cell grid, whose queue wraps as the eye cell goes in.
        std::uint8_t* w = makework(level, s.work, s.pad);
        w[eye.x + level.xsize * (eye.y + level.ysize * eye.z)] |= state_visible;
        cellqueue q = makequeue(static_cast<int>(n));
        addqueue(q, {eye});
        search(level, w, ex, ey, ez, q, s.opaque, s.translucent);
    } else {
        // Every cell is written before it is read, so the working bytes need
        // no clearing; a level without flag bytes gets them made here.
        s.pad = 0;
        s.work.resize(static_cast<std::size_t>(n));
        const std::uint8_t* flags = level.cellflags.data();
        if (level.cellflags.size() != static_cast<std::size_t>(n)) {
            s.flags.resize(static_cast<std::size_t>(n));
            for (std::size_t i = 0; i < s.flags.size(); ++i) s.flags[i] = flagbyte(level.cubes[i]);
            flags = s.flags.data();
        }
        sweep(level, flags, s.work.data(), ex, ey, ez, eye, s.seen, s.spare);
        const int xs = level.xsize, ys = level.ysize;
        for (const seencell& c : s.seen) {
            const int x = c.index % xs, y = c.index / xs % ys, z = c.index / xs / ys;
            if (matter(s.work[static_cast<std::size_t>(c.index)]))
                s.opaque.push_back(cubeitem{x, y, z});
            else
                collect(level.cubes[static_cast<std::size_t>(c.index)], x, y, z, s.opaque, s.translucent);
        }
    }
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

std::uint8_t cellstate(const visscratch& s, int index)
{
    return s.work.at(static_cast<std::size_t>(s.pad + index)) & w_state;
}

}  // namespace Level
