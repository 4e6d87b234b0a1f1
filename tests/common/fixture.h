// fixture.h -- small levels for tests, written as rows of characters
#pragma once

#include <string>
#include <vector>

#include "world/level.h"

namespace fixture {

// layers[y][z] is a row of x characters: '.' open; '#' stone, 'B' blocks,
// 'T' tiles, 'S' slimepuddle (all six faces of that kind). Cell flags are set.
levelrec make(const std::vector<std::vector<std::string>>& layers);
// A solid shell of stone around an open inside, every inner cell open.
levelrec room(int xsize, int ysize, int zsize);

// Objects made with the game's constructors, filed at the front of the level's
// list and of the list of the cell holding their centre.
freeobjrec* put_free(levelrec& level, int kind, double x, double y, double z);
badguyrec* put_guard(levelrec& level, double x, double y, double z, double heading);
fixedobjrec* put_fixed(levelrec& level, int kind, double x, double y, double z);

}  // namespace fixture
