// bundled_levels_test.cpp -- the dungeon we ship: every level can be finished, and each teaches its one thing
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "levelsource.h"
#include "reach.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> sources()
{
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(fs::path(VESK_TEST_DATA) / ".." / ".." / "data" / "levels"))
        if (e.path().extension() == ".lvl") out.push_back(e.path());
    std::sort(out.begin(), out.end(), [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
    return out;
}

int count(const levelrec& l, int kind)
{
    return static_cast<int>(std::count_if(l.freeobjs.begin(), l.freeobjs.end(), [&](const freeobjrec* o) { return o->kind == kind; }));
}

int fixed(const levelrec& l, int kind)
{
    int n = 0;
    for (const cuberec& c : l.cubes)
        for (const fixedobjrec* f : c.fixedobjs) n += f->kind == kind;
    return n;
}

bool finishable(const Reach::result& r) { return r.reachedcharges >= 9 && r.reachedteleporters > 0; }

TEST(BundledLevels, EachCanBeFinishedAndTeachesItsLesson)
{
    std::vector<fs::path> files = sources();
    ASSERT_GE(files.size(), 6u);
    std::vector<levelrec> levels;
    for (const fs::path& f : files) levels.push_back(Levelsource::compile(Levelsource::parsefile(f.string())));

    long largest = 0;
    for (size_t i = 0; i < levels.size(); ++i) {
        const levelrec& l = levels[i];
        SCOPED_TRACE(files[i].filename().string());
        EXPECT_TRUE(finishable(Reach::reach(l, true)));
        EXPECT_GE(count(l, charge_kind), 9);
        if (i >= 1) EXPECT_GE(count(l, bribe_kind), 1) << "a bribe from the second level on";
        if (i >= 3) EXPECT_GE(count(l, charge_kind), 11) << "a few spare charges on the later levels";
        if (i > 0) EXPECT_NE(l.xsize * l.zsize, levels[i - 1].xsize * levels[i - 1].zsize) << "sizes vary";
        largest = std::max(largest, static_cast<long>(l.xsize) * l.ysize * l.zsize);
    }
    EXPECT_GE(largest, 40L * 8 * 40);
    const levelrec& last = levels.back();
    EXPECT_TRUE(last.xsize >= 40 && last.ysize >= 8 && last.zsize >= 40) << "the last level is the largest";

    // 1: walking only: no guards, no steps, and no shooting needed.
    EXPECT_TRUE(levels[0].badguys.empty());
    EXPECT_EQ(fixed(levels[0], step), 0);
    EXPECT_TRUE(finishable(Reach::reach(levels[0], false)));
    // 2: steps and jumping: charges above the start floor, reached with no shooting.
    EXPECT_GE(fixed(levels[1], step), 2);
    Reach::result two = Reach::reach(levels[1], false);
    EXPECT_TRUE(finishable(two));
    EXPECT_TRUE(std::any_of(two.reached.begin(), two.reached.end(), [&](const freeobjrec* o) { return o->box.y > levels[1].starty + 1.0; }));
    // 3: the Dematterizer: without it the level cannot be finished.
    EXPECT_FALSE(finishable(Reach::reach(levels[2], false)));
    // 4: one guard.
    EXPECT_EQ(levels[3].badguys.size(), 1u);
    // 5: pits and bars.
    EXPECT_GE(fixed(levels[4], barsxz) + fixed(levels[4], barsxy) + fixed(levels[4], barszy), 2);
    EXPECT_TRUE(std::any_of(levels[4].freeobjs.begin(), levels[4].freeobjs.end(),
                            [&](const freeobjrec* o) { return o->box.y < levels[4].starty - 0.5; }))
        << "something to fetch from down a pit";
    // 6: several guards.
    EXPECT_GE(last.badguys.size(), 3u);
}

}  // namespace
