// soak.cpp -- hours of random play on every level, every record checked after every frame, memory watched
//
//   soak --source DIR [--seconds 7200] [--seed 1]
// Each level gets `seconds` of game time of random but plausible input (walking
// keys held for a while, jumps, pointer motion, shots) at a frame time drawn from
// 0.001..0.1 s with now and then a stall of 2 s. A teleport, capture or loss that
// leaves the level puts the player back on it, so every level gets its full share.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "autoplayer.h"
#include "soakcheck.h"
#include "world/update.h"

// A small quarantine, so that freed memory held back by the address sanitizer
// does not pass for growth (unused without the sanitizer).
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=8"; }

namespace {

long rsskb()
{
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// Random input as a restless player gives it.
struct restless {
    std::mt19937 rng;
    double untilmove = 0.0, untiljump = 0.0, untilshot = 0.0;

    double uni(double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); }

    void act(gamerec& g, double dt)
    {
        using scenario::key;
        if ((untilmove -= dt) <= 0.0) {
            static const key keys[] = {key::up, key::down, key::left, key::right};
            key k = keys[rng() % 4];
            scenario::apply(g, rng() % 3 == 0 ? scenario::release(0, k) : scenario::press(0, k));
            untilmove = uni(0.05, 1.5);
        }
        if ((untiljump -= dt) <= 0.0) {
            scenario::apply(g, rng() % 2 ? scenario::press(0, key::jump) : scenario::release(0, key::jump));
            untiljump = uni(0.1, 3.0);
        }
        if (rng() % 4 == 0) {
            int dx = static_cast<int>(uni(-40, 40)), dy = static_cast<int>(uni(-15, 15));
            scenario::apply(g, scenario::pointer(0, dx, dy));
        }
        if ((untilshot -= dt) <= 0.0) {
            scenario::apply(g, scenario::shoot(0));
            untilshot = uni(0.2, 4.0);
        }
    }
};

}  // namespace

int main(int argc, char** argv)
{
    std::string source;
    double seconds = 7200.0;
    unsigned seed = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--source")) source = argv[i + 1];
        else if (!std::strcmp(argv[i], "--seconds")) seconds = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--seed")) seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
    }
    if (source.empty()) {
        std::fprintf(stderr, "usage: soak --source DIR [--seconds S] [--seed N]\n");
        return 2;
    }
    Autoplay::dungeonfn dungeon = Autoplay::fromsources(source);
    gamerec g;
    g.levels = dungeon();
    const int nlevels = static_cast<int>(g.levels.size());
    std::mt19937 dtrng(seed);
    restless player{std::mt19937(seed * 7919u + 1u)};
    long totalframes = 0, totalchecks = 0;
    double totaltime = 0.0;
    long rss0 = -1, rssmid = -1;
    bool failed = false;
    std::printf("soak: %d levels, %.0f s of game time each, seed %u\n", nlevels, seconds, seed);
    std::printf("%-6s %10s %9s %12s %7s %7s %7s %6s\n", "level", "game s", "frames", "checks", "caught", "levels", "stalls", "max dt");
    for (int li = 0; li < nlevels && !failed; ++li) {
        g.levels = dungeon();
        g.current = li;
        g.vesk = Game::freshplayer(g.levels.at(li));
        Soak::checker ck;
        long frames = 0;
        int caught = 0, left = 0, stalls = 0;
        double t = 0.0, maxdt = 0.0;
        while (t < seconds) {
            double dt = std::uniform_real_distribution<double>(0.001, 0.1)(dtrng);
            if (dtrng() % 3000 == 0) dt = 2.0, ++stalls;  // the machine stalled
            player.act(g, dt);
            gameresult res = Game::step(g, dt, dungeon);
            if (res == gameresult::caught) ++caught;
            if (g.current != li) {  // teleported, won or lost: back to this level
                ++left;
                g.current = li;
                Level::init_vesk(g.levels.at(li), g.vesk);
            }
            t += dt;
            maxdt = std::max(maxdt, dt);
            ++frames;
            ck.level(g.levels.at(li), g.vesk);
            if (!ck.first.empty()) {
                std::fprintf(stderr, "soak: level %d, frame %ld, game time %.3f: %s\n", li, frames, t, ck.first.c_str());
                failed = true;
                break;
            }
            // memory: once the run has settled, and at the very end
            if (rss0 < 0 && totaltime + t >= 0.1 * seconds * nlevels) rss0 = rsskb();
            if (rssmid < 0 && totaltime + t >= 0.5 * seconds * nlevels) rssmid = rsskb();
        }
        std::printf("%-6d %10.1f %9ld %12ld %7d %7d %7d %6.3f\n", li, t, frames, ck.checks, caught, left, stalls, maxdt);
        std::fflush(stdout);
        totalframes += frames;
        totalchecks += ck.checks;
        totaltime += t;
    }
    long rss1 = rsskb();
    std::printf("all    %10.1f %9ld %12ld\n", totaltime, totalframes, totalchecks);
    std::printf("memory: VmRSS %ld kB after 10%% of the run, %ld kB at half, %ld kB at the end\n", rss0, rssmid, rss1);
    if (failed) return 1;
    // growth beyond a small allowance once warm means something piles up
    if (rss0 > 0 && rss1 > rss0 + 16384 + rss0 / 10) {
        std::fprintf(stderr, "soak: memory grew from %ld kB to %ld kB\n", rss0, rss1);
        return 1;
    }
    std::printf("soak: no fault found\n");
    return 0;
}
