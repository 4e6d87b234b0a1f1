// cmd_check.cpp -- vesk-dungeon check (not written yet)
#include <cstdio>

#include "dungeontool.h"

namespace dungeontool {
int cmd_check(const std::vector<std::string>&)
{
    std::fprintf(stderr, "vesk-dungeon check: not available yet\n");
    return 1;
}
}  // namespace dungeontool
