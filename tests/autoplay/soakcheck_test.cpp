// soakcheck_test.cpp -- every check of the soak fires on the fault it is there for, and stays quiet on a sound level
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "fixture.h"
#include "soakcheck.h"
#include "world/update.h"

namespace {

// A 6 x 4 x 6 room with a guard, two charges, a step, and one cell and one charge
// dematterized by a shot; the player standing at (2.5, 1.3, 2.5).
struct world {
    levelrec l = fixture::room(6, 4, 6);
    veskrec v = Vesk::newvesk();
    badguyrec* guard;
    freeobjrec *a, *b;
    world()
    {
        guard = fixture::put_guard(l, 3.5, 1.5, 3.5, 0.0);
        a = fixture::put_free(l, charge_kind, 1.5, 1.075, 1.5);
        b = fixture::put_free(l, charge_kind, 4.5, 1.075, 4.5);
        fixture::put_fixed(l, step, 4.5, 1.25, 1.5);
        Level::touchall(l);
        Level::dematterize(l, box{1.5, 1.3, 1.5, 0.4, 0.4, 0.4});
        l.startx = 2.5, l.starty = 1.3, l.startz = 2.5;
        Level::init_vesk(l, v);
    }
    std::string check()
    {
        Soak::checker ck;
        ck.level(l, v);
        return ck.first;
    }
};

TEST(SoakCheck, ASoundLevelPassesBeforeAndAfterFramesOfPlay)
{
    world w;
    EXPECT_EQ(w.check(), "");
    ASSERT_FALSE(w.l.dmcubes.empty());
    ASSERT_FALSE(w.l.dmfree.empty());
    for (int i = 0; i < 300; ++i) {
        Vesk::startfwd(w.v);
        Level::update(w.l, w.v, 0.011);
        ASSERT_EQ(w.check(), "") << "frame " << i;
    }
}

TEST(SoakCheck, EachFaultIsFound)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct fault {
        const char* name;
        std::function<void(world&)> make;
        const char* found;  // part of the message
    };
    const fault faults[] = {
        {"NaN velocity", [&](world& w) { w.v.vx = nan; }, "not finite: player field"},
        {"infinite scent", [](world& w) { w.l.cubes[30].scent = INFINITY; }, "not finite: cell scent"},
        {"NaN guard box", [&](world& w) { w.guard->box.y = nan; }, "not finite: guard box"},
        {"player in the outer layer", [](world& w) { w.v.box.x = 0.9; }, "player outside the inner grid"},
        {"guard past the far side", [](world& w) { w.guard->box.z = 5.2; }, "guard outside the inner grid"},
        {"guard moved, not refiled",
         [](world& w) { w.guard->box.x = 2.5; },
         "guard not filed in the cell holding its centre"},
        {"guard listed twice", [](world& w) { w.l.badguys.push_back(w.guard); }, "guard listed twice in the level"},
        {"charge filed in two cells",
         [](world& w) { Level::getcube(w.l, 2, 1, 2).freeobjs.push_back(w.b); },
         "free object filed twice in the cells"},
        {"charge taken from the level but still in its cell",
         [](world& w) { w.l.freeobjs.erase(std::find(w.l.freeobjs.begin(), w.l.freeobjs.end(), w.b)); },
         "the cells file other free objects than the level lists"},
        {"opened cell missing from dmcubes", [](world& w) { w.l.dmcubes.clear(); }, "dmcubes disagrees with a cell's dm"},
        {"cell listed twice in dmcubes", [](world& w) { w.l.dmcubes.push_back(w.l.dmcubes.front()); }, "dmcubes holds a cell twice"},
        {"solid again but still listed", [](world& w) { w.l.dmcubes.front()->dm = 0.0; }, "dmcubes disagrees with a cell's dm"},
        {"opened step not in dmfixed",
         [](world& w) { Level::dematterize(w.l, box{4.5, 1.3, 1.5, 0.4, 0.4, 0.4}); w.l.dmfixed.clear(); },
         "dmfixed disagrees with a fixed object's dm"},
        {"faded charge left in dmfree", [](world& w) { w.a->dm = 0.0; }, "dmfree holds an object whose dm is not above 0"},
        {"opened charge not in dmfree", [](world& w) { w.b->dm = 0.5; }, "dmfree disagrees with a free object's dm"},
        {"stale cell flags", [](world& w) { w.l.cellflags[Level::cellindex(w.l, 2, 1, 2)] ^= Level::cell_stuff; },
         "cellflags differ from a fresh Level::touchall"},
    };
    for (const fault& f : faults) {
        world w;
        f.make(w);
        EXPECT_NE(w.check().find(f.found), std::string::npos) << f.name << ": got \"" << w.check() << "\"";
    }
}

}  // namespace
