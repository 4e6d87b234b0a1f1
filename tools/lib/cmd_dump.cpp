// cmd_dump.cpp -- vesk-dungeon dump (not written yet)
#include <cstdio>

#include "dungeontool.h"

namespace dungeontool {
int cmd_dump(const std::vector<std::string>&)
{
    std::fprintf(stderr, "vesk-dungeon dump: not available yet\n");
    return 1;
}
}  // namespace dungeontool
