// visibility_bench.cpp -- the per-frame visibility search against a plain pass over the same memory
//
// Levels of 10^3 to 10^6 cells: an open room, the same crowded with things
// to draw, and a maze of corridors on several floors. Each search is measured beside a plain pass that clears a
// state byte per cell, writes every cell through the queue, reads it back and
// reads its flag byte: the least any search over the grid must touch. Compare
// the ns_per_cell counters of the same level in the same run.
#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <utility>

#include "world/visibility.h"

namespace {

struct benchlevel {
    levelrec level;
    double ex, ey, ez;
};

void putsolid(levelrec& l, int x, int y, int z)
{
    Level::getcube(l, x, y, z).walls = std::array<std::uint8_t, 6>{0, 1, 2, 3, 0, 1};
}

// Things to collect: a charge in every chargegap-th open cell, a guard in
// every guardgap-th.
void furnish(levelrec& l, int chargegap, int guardgap)
{
    int open = 0;
    for (int z = 0; z < l.zsize; ++z)
        for (int y = 0; y < l.ysize; ++y)
            for (int x = 0; x < l.xsize; ++x) {
                cuberec& c = Level::getcube(l, x, y, z);
                if (c.walls) continue;
                if (open % chargegap == 0) {
                    freeobjrec* o = Level::addfree(l, Freeobj::newfree(charge_kind, x + 0.5, y + 0.075, z + 0.5));
                    l.freeobjs.push_back(o);   // the level's own order does not matter here
                    Level::pushfront(c.freeobjs, o);
                }
                if (open % guardgap == 0) {
                    badguyrec* g = Level::addguard(l, Badguy::newbadguy(0, x + 0.5, y + 0.5, z + 0.5, 0.0));
                    l.badguys.push_back(g);
                    Level::pushfront(c.badguys, g);
                }
                ++open;
            }
    Level::touchall(l);
}

levelrec emptygrid(int side)
{
    levelrec l;
    l.xsize = l.ysize = l.zsize = side;
    l.cubes.resize(static_cast<std::size_t>(side) * side * side);
    return l;
}

// A hollow cube: solid shell, everything inside open and in view. Crowded,
// it has something to collect in one cell of 40.
benchlevel room(int side, bool crowded)
{
    levelrec l = emptygrid(side);
    for (int z = 0; z < side; ++z)
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if (x == 0 || y == 0 || z == 0 || x == side - 1 || y == side - 1 || z == side - 1) putsolid(l, x, y, z);
    if (crowded)
        furnish(l, 40, 150);
    else
        furnish(l, 400, 2000);
    double mid = side / 2 + 0.5;
    return {std::move(l), mid, mid, mid};
}

// Floors of corridors: on every odd layer a maze carved between the cells of
// odd x and z, solid layers between them with a few shafts. Most of it is
// hidden from any one eye, which is the search's usual case.
benchlevel maze(int side)
{
    levelrec l = emptygrid(side);
    for (auto& c : l.cubes) c.walls = std::array<std::uint8_t, 6>{0, 1, 2, 3, 0, 1};
    std::mt19937 rng(7);
    const int last = (side - 2) | 1;   // largest odd coordinate inside the shell
    auto odd = [&](int v) { return v >= 1 && v <= last && v < side - 1; };
    for (int y = 1; y < side - 1; y += 2) {
        std::vector<std::pair<int, int>> stack{{1, 1}};
        Level::getcube(l, 1, y, 1).walls.reset();
        while (!stack.empty()) {
            auto [x, z] = stack.back();
            std::vector<std::pair<int, int>> next;
            for (auto [dx, dz] : {std::pair{2, 0}, std::pair{-2, 0}, std::pair{0, 2}, std::pair{0, -2}})
                if (odd(x + dx) && odd(z + dz) && Level::getcube(l, x + dx, y, z + dz).walls)
                    next.push_back({x + dx, z + dz});
            if (next.empty()) {
                stack.pop_back();
                continue;
            }
            auto [nx, nz] = next[std::uniform_int_distribution<std::size_t>(0, next.size() - 1)(rng)];
            Level::getcube(l, (x + nx) / 2, y, (z + nz) / 2).walls.reset();
            Level::getcube(l, nx, y, nz).walls.reset();
            stack.push_back({nx, nz});
        }
        if (y + 2 < side - 1)
            for (int z = 1; z < side - 1; z += 2)
                for (int x = 1; x < side - 1; x += 2)
                    if (std::uniform_int_distribution<int>(0, 19)(rng) == 0) Level::getcube(l, x, y + 1, z).walls.reset();
    }
    furnish(l, 400, 2000);
    int mid = (side / 2) | 1;
    if (mid > last) mid = last;
    return {std::move(l), mid + 0.5, mid + 0.5, mid + 0.5};
}

enum shape { openroom, crowdedroom, corridors };

const benchlevel& cached(shape kind, int side)
{
    static std::map<std::pair<shape, int>, benchlevel> levels;
    auto key = std::pair{kind, side};
    auto it = levels.find(key);
    if (it == levels.end())
        it = levels.emplace(key, kind == corridors ? maze(side) : room(side, kind == crowdedroom)).first;
    return it->second;
}

void count(benchmark::State& st, const levelrec& l)
{
    const double n = static_cast<double>(l.cubes.size());
    st.counters["cells"] = n;
    st.counters["ns_per_cell"] = benchmark::Counter(n * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                                 benchmark::Counter::kInvert);
}

void search(benchmark::State& st, shape kind)
{
    const benchlevel& b = cached(kind, static_cast<int>(st.range(0)));
    Level::visscratch s;
    for (auto _ : st) {
        Level::sortcubes(b.level, b.ex, b.ey, b.ez, Level::viewparams{}, s);
        benchmark::DoNotOptimize(s.opaque.data());
        benchmark::DoNotOptimize(s.translucent.data());
    }
    count(st, b.level);
    st.counters["opaque"] = static_cast<double>(s.opaque.size());
}

// The search's own memory touched once per cell, nothing decided: the flag
// bytes copied into a byte per cell, then each of those read and written.
void plain(benchmark::State& st, shape kind)
{
    const benchlevel& b = cached(kind, static_cast<int>(st.range(0)));
    const levelrec& l = b.level;
    std::vector<std::uint8_t> work;
    for (auto _ : st) {
        work.resize(l.cellflags.size());
        std::uint8_t* w = work.data();
        const std::uint8_t* f = l.cellflags.data();
        for (std::size_t i = 0; i < work.size(); ++i) w[i] = static_cast<std::uint8_t>(f[i] << 3);
        benchmark::ClobberMemory();
        for (std::size_t i = 0; i < work.size(); ++i) w[i] = static_cast<std::uint8_t>(w[i] | Level::state_visible);
        benchmark::ClobberMemory();
    }
    count(st, l);
}

// A byte of state per cell and a queue of every cell, written and read back:
// what a search that queues each cell must touch at least.
void plainqueue(benchmark::State& st, shape kind)
{
    const benchlevel& b = cached(kind, static_cast<int>(st.range(0)));
    const levelrec& l = b.level;
    std::vector<std::uint8_t> state;
    Level::cellqueue queue = Level::makequeue(static_cast<int>(l.cubes.size()));
    for (auto _ : st) {
        state.assign(l.cubes.size(), Level::state_unseen);
        Level::cubeitem* items = queue.items.data();
        int tail = 0;
        for (int z = 0; z < l.zsize; ++z)
            for (int y = 0; y < l.ysize; ++y)
                for (int x = 0; x < l.xsize; ++x) items[tail++] = {x, y, z};
        unsigned sum = 0;
        for (int head = 0; head < tail; ++head) {
            const Level::cubeitem c = items[head];
            const int idx = c.x + l.xsize * (c.y + l.ysize * c.z);
            state[idx] = Level::state_visible;
            sum += l.cellflags[idx];
        }
        benchmark::DoNotOptimize(sum);
        benchmark::ClobberMemory();
    }
    count(st, l);
}

void BM_plain_room(benchmark::State& st) { plain(st, openroom); }
void BM_plainqueue_room(benchmark::State& st) { plainqueue(st, openroom); }
void BM_search_room(benchmark::State& st) { search(st, openroom); }
void BM_search_crowdedroom(benchmark::State& st) { search(st, crowdedroom); }
void BM_plain_maze(benchmark::State& st) { plain(st, corridors); }
void BM_plainqueue_maze(benchmark::State& st) { plainqueue(st, corridors); }
void BM_search_maze(benchmark::State& st) { search(st, corridors); }

// Sides 10, 22, 46, 100: about 10^3, 10^4, 10^5 and 10^6 cells.
#define SIDES Arg(10)->Arg(22)->Arg(46)->Arg(100)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_plain_room)->SIDES;
BENCHMARK(BM_plainqueue_room)->SIDES;
BENCHMARK(BM_search_room)->SIDES;
BENCHMARK(BM_search_crowdedroom)->SIDES;
BENCHMARK(BM_plain_maze)->SIDES;
BENCHMARK(BM_plainqueue_maze)->SIDES;
BENCHMARK(BM_search_maze)->SIDES;

}  // namespace

BENCHMARK_MAIN();
