// levelsource.h -- our text format for levels, and turning it into a level record
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "world/level.h"

namespace Levelsource {

// A mistake in a source: what() is "FILE:LINE:COL: message".
struct error : std::runtime_error {
    std::string file;
    int line, col;
    error(const std::string& file, int line, int col, const std::string& msg);
};

enum class thing { charge, bribe, teleporter, guard, step, barsxy, barszy, barsxz };

// One object of the source, by cell; where it was written, for messages.
struct item {
    thing what;
    int x, y, z;
    double heading;  // guards only
    int line, col;
};

struct source {
    std::string file, title;
    int xsize = 0, ysize = 0, zsize = 0;
    std::vector<wallsrec> walls;  // per cell, grid index x + xsize * (y + ysize * z)
    int startx = -1, starty = -1, startz = -1;
    double heading = 0.0;
    std::vector<item> items;  // in the order written
};

// Reads a source from text; `file` names it in messages. Throws error.
source parse(const std::string& text, const std::string& file);
// Reads a source file. Throws error (line 0 when it cannot be read).
source parsefile(const std::string& path);

// The level record of a source: objects made with the game's constructors,
// resting on what is below them, filed in the cell holding their centre, listed
// in the order written. Throws error for an object with no room where it lands.
levelrec compile(const source& src);

}  // namespace Levelsource
