// autoplay.cpp -- plays the whole dungeon from level 0 and reports each level, or names the one it could not finish
//
//   autoplay (--source DIR | --dungeon DIR) [--dt 0.011 | --ragged SEED LO HI] [--limit SECONDS]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "autoplayer.h"

int main(int argc, char** argv)
{
    std::string source, dungeon;
    scenario::timing times = scenario::timing::fixed(0.011);
    double limit = 600.0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto need = [&](int n) {
            if (i + n >= argc) {
                std::fprintf(stderr, "autoplay: %s needs %d value(s)\n", a.c_str(), n);
                std::exit(2);
            }
        };
        if (a == "--source") need(1), source = argv[++i];
        else if (a == "--dungeon") need(1), dungeon = argv[++i];
        else if (a == "--dt") need(1), times = scenario::timing::fixed(std::atof(argv[++i]));
        else if (a == "--ragged") {
            need(3);
            unsigned seed = static_cast<unsigned>(std::strtoul(argv[i + 1], nullptr, 10));
            times = scenario::timing::varied(seed, std::atof(argv[i + 2]), std::atof(argv[i + 3]));
            i += 3;
        } else if (a == "--limit") need(1), limit = std::atof(argv[++i]);
        else {
            std::fprintf(stderr, "usage: autoplay (--source DIR | --dungeon DIR) [--dt DT | --ragged SEED LO HI] [--limit SECONDS]\n");
            return 2;
        }
    }
    if (source.empty() == dungeon.empty()) {
        std::fprintf(stderr, "autoplay: give one of --source or --dungeon\n");
        return 2;
    }
    if (times.ragged) std::printf("autoplay: ragged dt in [%g, %g], seed %u\n", times.lo, times.hi, times.seed);
    else std::printf("autoplay: dt %g\n", times.dt);
    Autoplay::runreport rep;
    try {
        Autoplay::dungeonfn fn = source.empty() ? Autoplay::fromfiles(dungeon) : Autoplay::fromsources(source);
        rep = Autoplay::play(fn, times, limit, [](const std::string& s) { std::printf("  %s\n", s.c_str()); });
    } catch (const std::exception& e) {
        std::fprintf(stderr, "autoplay: %s\n", e.what());
        return 2;
    }
    double total = 0.0;
    int lost = 0, shots = 0;
    std::printf("%-6s %10s %8s %8s %6s\n", "level", "game s", "frames", "chances", "shots");
    for (const auto& l : rep.levels) {
        std::printf("%-6d %10.2f %8d %8d %6d%s\n", l.level, l.gametime, l.frames, l.chanceslost, l.shots, l.done ? "" : "  (not finished)");
        total += l.gametime;
        lost += l.chanceslost;
        shots += l.shots;
    }
    std::printf("%-6s %10.2f %8s %8d %6d\n", "all", total, "", lost, shots);
    if (!rep.won) {
        std::fprintf(stderr, "autoplay: FAILED: %s\n", rep.failure.c_str());
        return 1;
    }
    std::printf("autoplay: the dungeon is won\n");
    return 0;
}
