// visibility_test.cpp -- the visibility search: classification and the two draw lists' orders
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>

#include "fixture.h"
#include "world/visibility.h"

using Level::cubeitem;
using Level::drawitem;
using Level::drawlist;

namespace {

// Readable names for draw items: cubes by cell, objects by the name a test gave them.
struct namer {
    std::map<const void*, std::string> names;

    std::string operator()(const drawitem& d) const
    {
        if (const auto* c = std::get_if<cubeitem>(&d))
            return "cube(" + std::to_string(c->x) + "," + std::to_string(c->y) + "," + std::to_string(c->z) + ")";
        const void* p = std::visit([](auto v) -> const void* {
            if constexpr (std::is_pointer_v<decltype(v)>) return v;
            else return nullptr;
        }, d);
        auto it = names.find(p);
        return it == names.end() ? "unnamed" : it->second;
    }
    std::vector<std::string> operator()(const drawlist& l) const
    {
        std::vector<std::string> out;
        for (const drawitem& d : l) out.push_back((*this)(d));
        return out;
    }
};

std::uint8_t stateof(const levelrec& l, const Level::visscratch& s, int x, int y, int z)
{
    return Level::cellstate(s, Level::cellindex(l, x, y, z));
}

void setdm(levelrec& l, int x, int y, int z, double dm)
{
    Level::getcube(l, x, y, z).dm = dm;
    Level::touchcell(l, Level::cellindex(l, x, y, z));
}

const Level::viewparams noview{};

// A corridor along x at y = 1, z = 1 inside solid rock; the middle row is given.
levelrec corridor(const std::string& row)
{
    std::string rock(row.size(), '#');
    return fixture::make({{rock, rock, rock}, {rock, row, rock}, {rock, rock, rock}});
}

// The search read literally: the queue and the blocking rule through the
// public functions, lists growing at element 0. The fast loop must agree with it.
std::pair<drawlist, drawlist> literal(const levelrec& l, double ex, double ey, double ez,
                                      std::vector<std::uint8_t>& state)
{
    const int n = l.xsize * l.ysize * l.zsize;
    state.assign(n, Level::state_unseen);
    Level::cellqueue q = Level::makequeue(n);
    cubeitem eye{static_cast<int>(ex), static_cast<int>(ey), static_cast<int>(ez)};
    Level::addqueue(q, {eye});
    state[Level::cellindex(l, eye.x, eye.y, eye.z)] = Level::state_visible;
    drawlist op, tr;
    auto front = [](drawlist& d, drawitem i) { d.insert(d.begin(), i); };
    while (!Level::emptyqueue(q)) {
        auto [x, y, z] = Level::removequeue(q);
        struct dir { int dx, dy, dz; bool eyeward, exists; };
        const dir dirs[6] = {
            {1, 0, 0, ex > x + 1, x < l.xsize - 1}, {-1, 0, 0, ex < x, x > 0},
            {0, 1, 0, ey > y + 1, y < l.ysize - 1}, {0, -1, 0, ey < y, y > 0},
            {0, 0, 1, ez > z + 1, z < l.zsize - 1}, {0, 0, -1, ez < z, z > 0},
        };
        int k = 0;
        bool all = true;
        for (const dir& d : dirs)
            if (d.eyeward && d.exists) {
                ++k;
                all = all && Level::ifoccluding(l, state, x + d.dx, y + d.dy, z + d.dz);
            }
        bool hidden = k > 0 && all;
        state[Level::cellindex(l, x, y, z)] = hidden ? Level::state_occluded : Level::state_visible;
        for (const dir& d : dirs) {
            if (d.eyeward || !d.exists) continue;
            int ni = Level::cellindex(l, x + d.dx, y + d.dy, z + d.dz);
            if (state[ni] != Level::state_unseen) continue;
            state[ni] = Level::state_queued;
            Level::addqueue(q, {{x + d.dx, y + d.dy, z + d.dz}});
        }
        if (hidden) continue;
        const cuberec& c = Level::getcube(l, x, y, z);
        if (c.walls && c.dm == 0.0) {
            front(op, cubeitem{x, y, z});
        } else {
            for (auto* o : c.fixedobjs) if (o->dm == 0.0) front(op, o);
            for (auto* o : c.freeobjs) if (o->dm == 0.0) front(op, o);
            for (auto* g : c.badguys) front(op, g);
        }
        if (c.walls && c.dm > 0.0) front(tr, cubeitem{x, y, z});
        if (!(c.walls && c.dm <= 0.0)) {
            for (auto* o : c.fixedobjs) if (o->dm > 0.0) front(tr, o);
            for (auto* o : c.freeobjs) if (o->dm > 0.0) front(tr, o);
        }
    }
    std::reverse(op.begin(), op.end());
    return {op, tr};
}

TEST(Queue, RingBufferWrapsAtItsCapacity)
{
    Level::cellqueue q = Level::makequeue(3);
    EXPECT_EQ(q.head, 0);
    EXPECT_EQ(q.tail, 0);
    ASSERT_EQ(q.items.size(), 3u);
    for (const cubeitem& c : q.items) EXPECT_EQ(c, (cubeitem{0, 0, 0}));
    EXPECT_TRUE(Level::emptyqueue(q));

    Level::addqueue(q, {{1, 0, 0}, {2, 0, 0}});
    EXPECT_FALSE(Level::emptyqueue(q));
    EXPECT_EQ(Level::removequeue(q), (cubeitem{1, 0, 0}));
    Level::addqueue(q, {{3, 0, 0}, {4, 0, 0}});   // the second lands in slot 0
    EXPECT_EQ(q.tail, 1);
    EXPECT_EQ(q.items[0], (cubeitem{4, 0, 0}));
    EXPECT_EQ(Level::removequeue(q), (cubeitem{2, 0, 0}));
    EXPECT_EQ(Level::removequeue(q), (cubeitem{3, 0, 0}));
    EXPECT_EQ(q.head, 0);
    EXPECT_EQ(Level::removequeue(q), (cubeitem{4, 0, 0}));
    EXPECT_TRUE(Level::emptyqueue(q));
}

TEST(Occluding, StateAndPermeability)
{
    levelrec l = corridor("#.##");
    setdm(l, 3, 1, 1, 0.3);
    struct row { int x; std::uint8_t state; bool blocks; };
    const row rows[] = {
        {1, Level::state_visible, false},  {1, Level::state_occluded, true},  {1, Level::state_queued, false},
        {2, Level::state_visible, true},   {2, Level::state_occluded, true},  {2, Level::state_unseen, false},
        {2, Level::state_queued, false},   {3, Level::state_visible, false},  {3, Level::state_occluded, true},
    };
    for (const row& r : rows) {
        std::vector<std::uint8_t> state(l.cubes.size(), Level::state_unseen);
        state[Level::cellindex(l, r.x, 1, 1)] = r.state;
        EXPECT_EQ(Level::ifoccluding(l, state, r.x, 1, 1), r.blocks) << "x " << r.x << " state " << int(r.state);
    }
    const bool notclipped[5] = {false, false, true, false, true};
    for (int s = 0; s < 5; ++s) EXPECT_EQ(Level::ifnotclipped(static_cast<std::uint8_t>(s)), notclipped[s]) << s;
}

// Eye in the middle of an open 3 x 3 x 1 grid with one guard per cell: the
// guards come out in the order the breadth-first search classifies cells,
// expanding +x, -x, +y, -y before reaching the diagonals.
TEST(Visbfs, OpenGridEveryCellVisibleNearestFirst)
{
    levelrec l = fixture::make({{"..."}, {"..."}, {"..."}});   // x by y, one cell deep
    namer name;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            name.names[fixture::put_guard(l, x + 0.5, y + 0.5, 0.5, 0.0)] = std::to_string(x) + std::to_string(y);
    // The eye cell holds more: its fixed objects, free objects, then guards, each in list order.
    auto* f = fixture::put_fixed(l, step, 1.5, 1.25, 0.5);
    auto* a = fixture::put_free(l, charge_kind, 1.2, 1.1, 0.5);
    auto* b = fixture::put_free(l, bribe_kind, 1.7, 1.1, 0.5);   // now first in the cell's list
    name.names[f] = "step";
    name.names[a] = "charge";
    name.names[b] = "bribe";

    Level::visscratch s;
    Level::sortcubes(l, 1.5, 1.5, 0.5, noview, s);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(Level::cellstate(s, i), Level::state_visible) << i;
    EXPECT_EQ(name(s.opaque), (std::vector<std::string>{"step", "bribe", "charge", "11", "21", "01", "12", "10",
                                                          "22", "20", "02", "00"}));
    EXPECT_TRUE(s.translucent.empty());
}

// The corridor of the cases: eye at (2.5, 1.5, 1.5), a cube at x = 4 hides
// what lies beyond it; dematterized, it hides nothing and is drawn translucent.
TEST(Visbfs, CubeInCorridorHidesWhatIsBehindUntilDematterized)
{
    levelrec l = corridor("#...#..#");
    namer name;
    name.names[fixture::put_free(l, charge_kind, 3.5, 1.1, 1.5)] = "near";
    name.names[fixture::put_free(l, charge_kind, 5.5, 1.1, 1.5)] = "behind";
    auto* in0 = fixture::put_free(l, bribe_kind, 4.5, 1.1, 1.5);
    auto* fa = fixture::put_fixed(l, barsxy, 4.5, 1.5, 1.2);
    auto* fb = fixture::put_fixed(l, barszy, 4.5, 1.5, 1.5);   // list: fb, fa
    auto* ta = fixture::put_free(l, charge_kind, 4.3, 1.1, 1.5);
    auto* tb = fixture::put_free(l, charge_kind, 4.7, 1.1, 1.5);   // list: tb, ta, in0
    auto* g = fixture::put_guard(l, 4.5, 1.5, 1.5, 0.0);
    name.names[in0] = "in0";
    name.names[fa] = "fa";
    name.names[fb] = "fb";
    name.names[ta] = "ta";
    name.names[tb] = "tb";
    name.names[g] = "guard";
    fa->dm = fb->dm = ta->dm = tb->dm = 0.5;

    Level::visscratch s;
    Level::sortcubes(l, 2.5, 1.5, 1.5, noview, s);
    EXPECT_EQ(stateof(l, s, 4, 1, 1), Level::state_visible);
    for (int x : {5, 6, 7}) EXPECT_EQ(stateof(l, s, x, 1, 1), Level::state_occluded) << x;
    auto op = name(s.opaque);
    EXPECT_EQ(std::count(op.begin(), op.end(), "cube(4,1,1)"), 1);
    EXPECT_EQ(std::count(op.begin(), op.end(), "near"), 1);
    for (const char* hidden : {"behind", "in0", "guard", "cube(5,1,1)", "cube(7,1,1)"})
        EXPECT_EQ(std::count(op.begin(), op.end(), hidden), 0) << hidden;
    EXPECT_TRUE(s.translucent.empty());

    setdm(l, 4, 1, 1, 0.8);
    Level::sortcubes(l, 2.5, 1.5, 1.5, noview, s);
    EXPECT_EQ(stateof(l, s, 5, 1, 1), Level::state_visible);
    op = name(s.opaque);
    EXPECT_EQ(std::count(op.begin(), op.end(), "cube(4,1,1)"), 0);
    EXPECT_EQ(std::count(op.begin(), op.end(), "behind"), 1);
    EXPECT_EQ(std::count(op.begin(), op.end(), "cube(7,1,1)"), 1);
    // The cell's solid things in list order, in the cell's place.
    auto at = std::find(op.begin(), op.end(), "in0");
    ASSERT_NE(at, op.end());
    ASSERT_NE(at + 1, op.end());
    EXPECT_EQ(*(at + 1), "guard");
    EXPECT_EQ(name(s.translucent), (std::vector<std::string>{"ta", "tb", "fa", "fb", "cube(4,1,1)"}));
}

// A cell is hidden only when every eye-ward neighbour blocks.
TEST(Visbfs, CornerCellNeedsBothEyewardNeighboursToBlock)
{
    struct row { const char* top; double dm; std::uint8_t corner; };
    // Grid x by y, one cell deep; (2,1) is always solid, (1,2) as given.
    const row rows[] = {
        {"...", 0.0, Level::state_visible},    // one of two blocks
        {".#.", 0.0, Level::state_occluded},   // both block
        {".#.", 0.5, Level::state_visible},    // the second is dematterized
    };
    for (const row& r : rows) {
        levelrec l = fixture::make({{"..."}, {"..#"}, {r.top}});
        if (r.dm > 0.0) setdm(l, 1, 2, 0, r.dm);
        auto* g = fixture::put_guard(l, 2.5, 2.5, 0.5, 0.0);
        Level::visscratch s;
        Level::sortcubes(l, 1.5, 1.5, 0.5, noview, s);
        EXPECT_EQ(stateof(l, s, 2, 2, 0), r.corner) << r.top << " dm " << r.dm;
        bool drawn = std::find(s.opaque.begin(), s.opaque.end(), drawitem{g}) != s.opaque.end();
        EXPECT_EQ(drawn, r.corner == Level::state_visible) << r.top << " dm " << r.dm;
    }
}

// Eye exactly on the plane x = 5 (in a solid cell, as when matter returns
// around the eye): for cell x = 4 the +x direction is not eye-ward, so that
// solid cell cannot hide it; a hair beyond the plane it does.
TEST(Visbfs, EyeOnACellBoundary)
{
    struct row { double ex; std::uint8_t state; };
    const row rows[] = {{5.0, Level::state_visible}, {5.01, Level::state_occluded}};
    for (const row& r : rows) {
        levelrec l = corridor("#....#.#");
        auto* g4 = fixture::put_guard(l, 4.5, 1.5, 1.5, 0.0);
        auto* g3 = fixture::put_guard(l, 3.5, 1.5, 1.5, 0.0);
        Level::visscratch s;
        Level::sortcubes(l, r.ex, 1.5, 1.5, noview, s);
        EXPECT_EQ(stateof(l, s, 4, 1, 1), r.state) << r.ex;
        EXPECT_EQ(stateof(l, s, 3, 1, 1), r.state) << r.ex;
        ASSERT_FALSE(s.opaque.empty());
        EXPECT_EQ(s.opaque[0], drawitem(cubeitem{5, 1, 1})) << r.ex;
        bool shown = r.state == Level::state_visible;
        EXPECT_EQ(std::find(s.opaque.begin(), s.opaque.end(), drawitem{g4}) != s.opaque.end(), shown) << r.ex;
        EXPECT_EQ(std::find(s.opaque.begin(), s.opaque.end(), drawitem{g3}) != s.opaque.end(), shown) << r.ex;
    }
}

// visbfs hands its lists back newest first, in front of what they held; sortcubes
// turns only the opaque one round.
TEST(Visbfs, ListsGrowAtTheFront)
{
    levelrec l = corridor("#..#.#");
    setdm(l, 3, 1, 1, 0.4);
    fixture::put_guard(l, 1.5, 1.5, 1.5, 0.0);
    auto sorted = Level::sortcubes(l, 1.5, 1.5, 1.5, noview);
    ASSERT_FALSE(sorted.second.empty());

    const cubeitem old{99, 0, 0};
    std::vector<std::uint8_t> state(l.cubes.size(), Level::state_unseen);
    Level::cellqueue q = Level::makequeue(static_cast<int>(l.cubes.size()));
    Level::addqueue(q, {{1, 1, 1}});
    state[Level::cellindex(l, 1, 1, 1)] = Level::state_visible;
    auto [op, tr] = Level::visbfs(l, 1.5, 1.5, 1.5, noview, q, {old}, {old}, state);
    EXPECT_TRUE(Level::emptyqueue(q));
    drawlist expectop(sorted.first.rbegin(), sorted.first.rend());
    expectop.push_back(old);
    drawlist expecttr = sorted.second;
    expecttr.push_back(old);
    EXPECT_EQ(op, expectop);
    EXPECT_EQ(tr, expecttr);
    std::vector<std::uint8_t> want;
    literal(l, 1.5, 1.5, 1.5, want);
    EXPECT_EQ(state, want);

    std::vector<std::uint8_t> wrong(3);
    EXPECT_THROW(Level::visbfs(l, 1.5, 1.5, 1.5, noview, q, {}, {}, wrong), std::invalid_argument);
}

TEST(Sortcubes, EyeOutsideTheGridIsRefused)
{
    levelrec l = fixture::room(4, 3, 3);
    for (double ex : {-1.0, 4.0, 9.5, std::nan("")})
        EXPECT_THROW(Level::sortcubes(l, ex, 1.5, 1.5, noview), std::out_of_range) << ex;
    for (double e : {0.5, -0.5}) EXPECT_THROW(Level::sortcubes(Level::emptylevel, e, e, e, noview), std::out_of_range);
    // Just inside: -0.5 truncates to cell 0.
    EXPECT_NO_THROW(Level::sortcubes(l, -0.5, 1.5, 1.5, noview));

    // A one-cell grid: the queue of capacity 1 wraps as the eye cell goes in
    // and looks empty, so the cell keeps its first mark and nothing is drawn.
    levelrec one = fixture::make({{"#"}});
    Level::visscratch s;
    Level::sortcubes(one, 0.5, 0.5, 0.5, noview, s);
    EXPECT_EQ(Level::cellstate(s, 0), Level::state_visible);
    EXPECT_TRUE(s.opaque.empty());
}

// sortcubes' walk in a known order and visbfs' queue (flag bytes, integer
// thresholds, reused scratch) against the literal reading, over random little
// levels with eyes on and off cell planes.
TEST(Sortcubes, AgreesWithTheLiteralSearch)
{
    std::mt19937 rng(12345);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    Level::visscratch s;
    for (int round = 0; round < 300; ++round) {
        int xs = 3 + pick(5), ys = 3 + pick(4), zs = 3 + pick(5);
        std::vector<std::vector<std::string>> layers(ys, std::vector<std::string>(zs, std::string(xs, '.')));
        for (auto& layer : layers)
            for (auto& rowstr : layer)
                for (char& c : rowstr) c = pick(10) < 4 ? "#BTS"[pick(4)] : '.';
        levelrec l = fixture::make(layers);
        for (int i = 0; i < 25; ++i) {
            double x = pick(xs) + 0.5, y = pick(ys) + 0.5, z = pick(zs) + 0.5;
            switch (pick(3)) {
            case 0: fixture::put_free(l, pick(3), x, y, z)->dm = pick(2) ? 0.0 : 0.6; break;
            case 1: fixture::put_fixed(l, pick(4), x, y, z)->dm = pick(2) ? 0.0 : 0.6; break;
            default: fixture::put_guard(l, x, y, z, 0.0); break;
            }
        }
        for (int i = 0; i < 5; ++i) setdm(l, pick(xs), pick(ys), pick(zs), 0.25 * (1 + pick(3)));
        if (round % 3 == 0) l.cellflags.clear();   // a level without flag bytes
        auto coord = [&](int size) {
            return pick(3) == 0 ? static_cast<double>(pick(size)) : pick(size) + (1 + pick(99)) / 100.0;
        };
        double ex = coord(xs), ey = coord(ys), ez = coord(zs);

        std::vector<std::uint8_t> want;
        auto [op, tr] = literal(l, ex, ey, ez, want);
        Level::sortcubes(l, ex, ey, ez, noview, s);
        std::vector<std::uint8_t> got;
        for (int i = 0; i < static_cast<int>(want.size()); ++i) got.push_back(Level::cellstate(s, i));
        ASSERT_EQ(got, want) << "round " << round;
        ASSERT_EQ(s.opaque, op) << "round " << round;
        ASSERT_EQ(s.translucent, tr) << "round " << round;

        // visbfs itself, over its queue, from the eye cell.
        std::vector<std::uint8_t> state(l.cubes.size(), Level::state_unseen);
        Level::cellqueue q = Level::makequeue(static_cast<int>(l.cubes.size()));
        const cubeitem eye{static_cast<int>(ex), static_cast<int>(ey), static_cast<int>(ez)};
        Level::addqueue(q, {eye});
        state[Level::cellindex(l, eye.x, eye.y, eye.z)] = Level::state_visible;
        auto [bop, btr] = Level::visbfs(l, ex, ey, ez, noview, q, {}, {}, state);
        std::reverse(bop.begin(), bop.end());
        ASSERT_EQ(state, want) << "round " << round;
        ASSERT_EQ(bop, op) << "round " << round;
        ASSERT_EQ(btr, tr) << "round " << round;
    }
}

}  // namespace
