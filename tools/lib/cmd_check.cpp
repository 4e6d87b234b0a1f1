// cmd_check.cpp -- vesk-dungeon check DIR: read a dungeon as the game does and report every problem
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dungeontool.h"
#include "reach.h"
#include "render/texhelp.h"
#include "world/levelfile.h"

namespace dungeontool {

namespace {

// The checks run on every level that reads, in this order. Each returns its
// problems, one line each, every line beginning with the level's name.
using levelcheck = std::vector<std::string> (*)(const levelrec& level, const std::string& name);
const levelcheck levelchecks[] = {
    Reach::problems,  // nine charges and a teleporter within reach of the start
};

// The images the game loads, each as NAME.ppm and NAME_grey.ppm under Data.
const char* const imagenames[] = {"stone", "blocks", "tiles", "slimepuddle", "vesk", "bars",
                                  "step", "charge", "bribe", "teleporter", "guard"};

bool exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

struct report {
    int problems = 0;
    void line(const std::string& s)
    {
        std::printf("%s\n", s.c_str());
        ++problems;
    }
};

// Levels level0, level1, ... up to the first gap, as the game counts them.
int checklevels(const std::string& dir, report& out)
{
    int n = 0;
    for (;; ++n) {
        std::string name = "level" + std::to_string(n);
        if (!exists(dir + "/" + name)) break;
        levelrec level;
        try {
            level = Level::load_level(dir + "/" + name);
        } catch (const Level::readerror& e) {
            out.line(name + ": " + e.what());
            continue;
        }
        for (levelcheck check : levelchecks)
            for (const std::string& problem : check(level, name)) out.line(problem);
    }
    if (n == 0) out.line("level0: missing (a dungeon's first level)");
    return n;
}

void checkimages(const std::string& dir, report& out)
{
    if (!exists(dir + "/Data")) {
        out.line("Data: missing (the directory of the 22 images)");
        return;
    }
    for (const char* name : imagenames)
        for (const char* variant : {"", "_grey"}) {
            std::string file = std::string("Data/") + name + variant + ".ppm";
            if (!exists(dir + "/" + file)) {
                out.line(file + ": missing");
                continue;
            }
            std::string why = PPMproblem(dir + "/" + file);
            if (!why.empty()) out.line(file + ": not a readable P6 image: " + why);
        }
}

}  // namespace

int cmd_check(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: vesk-dungeon check DIR\n");
        return 2;
    }
    const std::string& dir = args[0];
    struct stat st;
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        std::printf("%s: not a directory\n", dir.c_str());
        return 1;
    }
    report out;
    int levels = checklevels(dir, out);
    checkimages(dir, out);
    if (out.problems) return 1;
    std::printf("%s: %d level%s and the 22 images, all well\n", dir.c_str(), levels, levels == 1 ? "" : "s");
    return 0;
}

}  // namespace dungeontool
