// update_bench.cpp -- one frame of the world update, growing with the movers and not with the grid
//
// A hall with 1, 100 or 1,000 guards and as many charges, once on a small
// grid (66 x 5 x 66, 21,780 cells) and once on a big one (450 x 5 x 450,
// 1,012,500 cells). The player stands in the far corner. The same movers on
// both grids should cost the same; ns_per_mover shows the growth. Beside it
// the grid alone: the update of the big and small hall with no mover at all.
#include <benchmark/benchmark.h>

#include <map>
#include <tuple>

#include "benchlevels.h"
#include "main/game.h"
#include "world/update.h"

namespace {

void frame(benchmark::State& st)
{
    const int side = static_cast<int>(st.range(0));
    const int movers = static_cast<int>(st.range(1));
    // Each run starts from the same hall; the movers wander as frames go by.
    levelrec l = benchlevels::hall(side, side, movers);
    veskrec player = Game::freshplayer(l);
    for (auto _ : st) {
        outcome o = Level::update(l, player, 0.011);
        benchmark::DoNotOptimize(o);
    }
    st.counters["cells"] = static_cast<double>(l.cubes.size());
    st.counters["movers"] = 2.0 * movers;
    if (movers > 0)
        st.counters["ns_per_mover"] = benchmark::Counter(2.0 * movers * 1e-9, benchmark::Counter::kIsIterationInvariantRate |
                                                                              benchmark::Counter::kInvert);
}

BENCHMARK(frame)
    ->ArgNames({"side", "guards"})
    ->Args({66, 0})
    ->Args({450, 0})
    ->Args({66, 1})
    ->Args({450, 1})
    ->Args({66, 100})
    ->Args({450, 100})
    ->Args({66, 1000})
    ->Args({450, 1000})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
