// cmd_build.cpp -- vesk-dungeon build (not written yet)
#include <cstdio>

#include "dungeontool.h"

namespace dungeontool {
int cmd_build(const std::vector<std::string>&)
{
    std::fprintf(stderr, "vesk-dungeon build: not available yet\n");
    return 1;
}
}  // namespace dungeontool
