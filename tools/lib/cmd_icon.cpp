// cmd_icon.cpp -- vesk-dungeon icon OUT.png: the desktop icon, Vesk's portrait upright
#include <cstdio>

#include "dungeontool.h"
#include "images.h"
#include "png.h"

namespace dungeontool {

int cmd_icon(const std::vector<std::string>& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: vesk-dungeon icon OUT.png\n");
        return 2;
    }
    // The texture's first row is its bottom; a PNG's first row is its top.
    Png::write(args[0], Images::flipped(Images::make("vesk")));
    return 0;
}

}  // namespace dungeontool
