// vesk_dungeon.cpp -- the dungeon tool: build, check, inspect and map dungeons
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "dungeontool.h"

namespace {

void usage(std::FILE* out)
{
    std::fprintf(out,
                 "usage: vesk-dungeon COMMAND ...\n"
                 "  build SRCDIR OUTDIR      compile level sources and images into a dungeon\n"
                 "  check DIR                read a dungeon as the game does and report problems\n"
                 "  dump LEVELFILE           print a level as JSON\n"
                 "  map LEVELFILE OUT.png    draw a top-down map of a level\n"
                 "  icon OUT.png             write the game's icon, Vesk's portrait\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        usage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    std::string cmd = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    try {
        if (cmd == "build") return dungeontool::cmd_build(args);
        if (cmd == "check") return dungeontool::cmd_check(args);
        if (cmd == "dump") return dungeontool::cmd_dump(args);
        if (cmd == "map") return dungeontool::cmd_map(args);
        if (cmd == "icon") return dungeontool::cmd_icon(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vesk-dungeon %s: %s\n", cmd.c_str(), e.what());
        return 1;
    }
    std::fprintf(stderr, "vesk-dungeon: unknown command '%s'\n", cmd.c_str());
    usage(stderr);
    return 2;
}
