// collision_bench.cpp -- Collision::deflect per obstacle, against a plain pass over the same boxes
//
// A player-sized box moving diagonally among k unit boxes laid round it in
// rings (some touching, most clear). The plain pass reads the six doubles of
// every obstacle and compares one axis: the least a test against each box
// must do. Compare ns_per_obstacle of the same k.
#include <benchmark/benchmark.h>

#include <vector>

#include "player/collision.h"

namespace {

struct scene {
    box mover{5.0, 1.5, 5.0, 0.2, 0.45, 0.2};
    std::vector<box> boxes;
    std::vector<const box*> obstacles;
};

scene make(int k)
{
    scene s;
    s.boxes.reserve(k);
    for (int i = 0; i < k; ++i) {
        // Cells around (5, 1, 5) in growing squares, two layers high.
        int ring = 1 + i / 16, j = i % 16;
        double x = 5.0 + (j % 4 - 1.5) * ring, z = 5.0 + (j / 4 - 1.5) * ring;
        s.boxes.push_back({x, 0.5 + (i % 2) * 2.0, z, 0.5, 0.5, 0.5});
    }
    for (const box& b : s.boxes) s.obstacles.push_back(&b);
    return s;
}

void perobstacle(benchmark::State& st)
{
    st.counters["obstacles"] = static_cast<double>(st.range(0));
    st.counters["ns_per_obstacle"] = benchmark::Counter(static_cast<double>(st.range(0)) * 1e-9,
                                                        benchmark::Counter::kIsIterationInvariantRate |
                                                            benchmark::Counter::kInvert);
}

void BM_deflect(benchmark::State& st)
{
    scene s = make(static_cast<int>(st.range(0)));
    for (auto _ : st) {
        auto d = Collision::deflect(s.mover, 0.03, -0.02, 0.04, s.obstacles);
        benchmark::DoNotOptimize(d);
    }
    perobstacle(st);
}

void BM_plain_boxes(benchmark::State& st)
{
    scene s = make(static_cast<int>(st.range(0)));
    for (auto _ : st) {
        int near = 0;
        for (const box* b : s.obstacles)
            near += (b->x - s.mover.x < b->hx + s.mover.hx) + (b->y + b->z + b->hy + b->hz > 0.0);
        benchmark::DoNotOptimize(near);
    }
    perobstacle(st);
}

BENCHMARK(BM_plain_boxes)->Arg(1)->Arg(8)->Arg(64)->Arg(512);
BENCHMARK(BM_deflect)->Arg(1)->Arg(8)->Arg(64)->Arg(512);

}  // namespace

BENCHMARK_MAIN();
