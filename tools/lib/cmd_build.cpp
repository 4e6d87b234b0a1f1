// cmd_build.cpp -- vesk-dungeon build SRCDIR OUTDIR: level sources and images into a dungeon
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "dungeontool.h"
#include "images.h"
#include "levelsource.h"
#include "levelwriter.h"

namespace fs = std::filesystem;

namespace dungeontool {

namespace {

// "level" followed by digits only: the names the game reads.
bool islevelname(const std::string& n)
{
    return n.size() > 5 && n.size() < 15 && n.compare(0, 5, "level") == 0 &&
           std::all_of(n.begin() + 5, n.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

int cmd_build(const std::vector<std::string>& args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: vesk-dungeon build SRCDIR OUTDIR\n");
        return 2;
    }
    fs::path src = fs::path(args[0]) / "levels", out = args[1];
    std::vector<fs::path> sources;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(src, ec))
        if (entry.is_regular_file() && entry.path().extension() == ".lvl") sources.push_back(entry.path());
    if (ec || sources.empty()) {
        std::fprintf(stderr, "vesk-dungeon build: no level sources (*.lvl) in %s\n", src.string().c_str());
        return 1;
    }
    std::sort(sources.begin(), sources.end(), [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });

    // Compile everything before writing anything, reporting every bad file.
    std::vector<levelrec> levels;
    bool bad = false;
    for (const fs::path& p : sources) {
        try {
            levels.push_back(Levelsource::compile(Levelsource::parsefile(p.string())));
        } catch (const Levelsource::error& e) {
            std::fprintf(stderr, "%s\n", e.what());
            bad = true;
        }
    }
    if (bad) return 1;

    fs::create_directories(out / "Data");
    // Stale levels from an earlier, longer build would be read by the game.
    for (const auto& entry : fs::directory_iterator(out))
        if (islevelname(entry.path().filename().string()) &&
            std::stoul(entry.path().filename().string().substr(5)) >= levels.size())
            fs::remove(entry.path());
    for (size_t i = 0; i < levels.size(); ++i) {
        const levelrec& l = levels[i];
        std::string name = "level" + std::to_string(i);
        Levelwriter::write_level((out / name).string(), l);
        int count[3] = {0, 0, 0};
        for (const freeobjrec* o : l.freeobjs) count[o->kind]++;
        std::printf("%s <- %s: %d x %d x %d, %d charges, %d bribes, %d teleporters, %zu guards\n", name.c_str(),
                    sources[i].filename().string().c_str(), l.xsize, l.ysize, l.zsize, count[0], count[1], count[2],
                    l.badguys.size());
    }
    Images::writeall((out / "Data").string());
    std::printf("%zu images in %s\n", 2 * Images::names().size(), (out / "Data").string().c_str());
    return 0;
}

}  // namespace dungeontool
