// cmd_map.cpp -- vesk-dungeon map (not written yet)
#include <cstdio>

#include "dungeontool.h"

namespace dungeontool {
int cmd_map(const std::vector<std::string>&)
{
    std::fprintf(stderr, "vesk-dungeon map: not available yet\n");
    return 1;
}
}  // namespace dungeontool
