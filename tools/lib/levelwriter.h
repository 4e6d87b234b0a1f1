// levelwriter.h -- encoding level records into level files (dungeon tools only, never the game)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "world/level.h"

namespace Levelwriter {

// How items are written. The defaults give the shortest forms; the others exist
// so that fixtures can hold every code the reader knows.
struct options {
    bool littleendian = false;  // doubles 0x0C and arrays 0x0E/0x07, instead of 0x0B and 0x0D/0x0F
    int intbits = 0;            // 0: shortest; 8, 16, 32: integers at least that wide (0x00, 0x01, 0x02)
    int refbits = 0;            // 0: shortest; 8, 16, 32: shared references at least that wide (0x04, 0x05, 0x06)
    int stringbits = 0;         // 0: shortest; 8, 32: strings with that length field (0x09, 0x0A)
    bool longblocks = false;    // every block with a 32-bit header word (0x08)
    bool longarrays = false;    // arrays of doubles with a 32-bit count (0x07, 0x0F)
    bool sharedoubles = false;  // equal boxed doubles stored once, then shared
    bool sharewalls = true;     // cells with equal wall kinds share one `walls` block
    // A guard's kind, which the game never reads: as an integer, as a string
    // "guard<kind>", or as a nested value (a block of tag 1 holding a string,
    // the kind as a double, a block of an array of two doubles and an empty
    // block, and an empty string).
    enum kindform { kind_integer, kind_string, kind_nested } guardkind = kind_integer;
};

// The value writer: items one at a time, numbering objects exactly as the
// reader does, so callers can write shared references to them.
struct encoder {
    options opt;
    std::vector<unsigned char> data;
    std::uint32_t objects = 0;                 // objects numbered so far
    std::uint64_t words32 = 0, words64 = 0;    // the two sizes of the header
    std::array<std::uint32_t, 256> codes{};    // how often each code byte was written
};

void put_int(encoder& e, std::int32_t v);
// A block's header; its fields follow as further items. Returns the block's
// object number, or -1 for a block with no fields (which gets none).
std::int64_t put_block(encoder& e, int tag, std::uint32_t size);
std::uint32_t put_double(encoder& e, double v);
std::uint32_t put_doubles(encoder& e, const double* v, std::size_t n);
std::uint32_t put_string(encoder& e, const std::string& s);
// A shared reference to an object numbered before.
void put_ref(encoder& e, std::uint32_t object);
// The whole file: the 20-byte header, then the data.
std::vector<unsigned char> finish(const encoder& e);

// A level record as a level file. Each guard, free and fixed object is stored
// where the field order first meets it (for a sound level: in its cell) and
// referenced from every later list; dmcubes refers to the cells of the grid.
// Throws std::invalid_argument when dmcubes holds a cell that is not in the grid.
void encode(encoder& e, const levelrec& level);
std::vector<unsigned char> encode_level(const levelrec& level, const options& opt = {});
// encode_level into a file. Throws std::runtime_error when it cannot be written.
void write_level(const std::string& path, const levelrec& level, const options& opt = {});

}  // namespace Levelwriter
