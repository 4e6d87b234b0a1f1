// levelfile.h -- reading the dungeon's level files into level records
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "world/level.h"

namespace Level {

// Anything wrong with a level file: it cannot be opened, its encoding is
// malformed, or the value it holds is not a playable level. The message says
// what, for the tools; the game prints only its one fixed line.
struct readerror : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr std::uint32_t level_magic = 0x8495A6BE;

// Decodes a whole level file held in memory (header included) and checks it.
levelrec decode_level(const unsigned char* data, std::size_t size);
// Opens and decodes one level file. Throws readerror, whose message says what
// is wrong but not which file: the caller names it.
levelrec load_level(const std::string& path);

// Number of level files level0, level1, ... up to the first gap, in the working
// directory. With no level0: the two lines and exit status 1.
int numlevels();
// The whole dungeon, freshly read; any unreadable level ends the process with
// "Problem reading level<i> in <cwd>" and status 1.
std::vector<levelrec> load_newgame();

}  // namespace Level
