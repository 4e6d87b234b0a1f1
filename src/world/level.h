// level.h -- the level record, its cells, and the records of what a level stores
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

// An axis-aligned box: centre and half extents. Collision code recognises an
// object's own box by its address, so boxes live inside their owners.
struct box {
    double x = 0.0, y = 0.0, z = 0.0;
    double hx = 0.0, hy = 0.0, hz = 0.0;
};

struct badguyrec {
    int kind = 0;          // never read by the game
    struct box box;
    double phase = 0.0;
    double vx = 0.0, vy = 0.0, vz = 0.0;
    double heading = 0.0;
    bool jumped = false;
    double homex = 0.0, homey = 0.0, homez = 0.0;
    double homeheading = 0.0;
};

enum freekind : int { charge_kind = 0, bribe_kind = 1, teleporter_kind = 2 };

struct freeobjrec {
    int kind = 0;          // 0 charge, 1 bribe, 2 teleporter
    struct box box;
    double vy = 0.0;
    double dm = 0.0;
};

enum fixedkind : int { barsxy = 0, barszy = 1, barsxz = 2, step = 3 };

struct fixedobjrec {
    int kind = 0;          // fixedkind
    struct box box;
    double dm = 0.0;
};

// A cell's walls: empty for an open cell, else the wall kind (0..3) of each
// face in the order +x, -x, top, bottom, +z, -z.
using wallsrec = std::optional<std::array<std::uint8_t, 6>>;

// Lists hold pointers to objects owned by the level; the front of a list is
// element 0, and "put at the front" inserts there.
struct cuberec {
    wallsrec walls;
    std::vector<fixedobjrec*> fixedobjs;
    std::vector<freeobjrec*> freeobjs;
    std::vector<badguyrec*> badguys;
    double dm = 0.0;
    double scent = 0.0;
};

struct levelrec {
    double clock = 0.0;
    int xsize = 0, ysize = 0, zsize = 0;
    std::vector<cuberec> cubes;
    std::vector<cuberec*> dmcubes;
    std::vector<fixedobjrec*> dmfixed;
    std::vector<freeobjrec*> dmfree;
    std::vector<freeobjrec*> freeobjs;
    std::vector<badguyrec*> badguys;
    double startx = 0.0, starty = 0.0, startz = 0.0;
    double startheading = 0.0;

    // Not stored in level files. The owners of every object, at stable
    // addresses (a picked-up object stays here, unlinked, until the level goes).
    std::vector<std::unique_ptr<badguyrec>> guardstore;
    std::vector<std::unique_ptr<freeobjrec>> freestore;
    std::vector<std::unique_ptr<fixedobjrec>> fixedstore;
    // One byte per cell, kept by Level::touchcell whenever a cell's walls, dm
    // or lists change: what the visibility search needs without reading the
    // whole cell record (see Level::cellflag).
    std::vector<std::uint8_t> cellflags;
};

namespace Level {

// Bits of levelrec::cellflags.
enum cellflag : std::uint8_t {
    cell_solid = 1,   // walls are solid
    cell_dm = 2,      // dm above 0
    cell_stuff = 4,   // some fixed object, free object or guard is filed here
};

// The one empty level: fills the level array before the files are read.
extern const levelrec emptylevel;

// Ends a search through a list of free objects early, carrying the one found.
struct FoundFree : std::exception {
    freeobjrec* found;
    explicit FoundFree(freeobjrec* o) : found(o) {}
    const char* what() const noexcept override { return "Level.FoundFree"; }
};

// Grid index x + xsize * (y + ysize * z). No per-axis check: only the index is
// compared with the array length (std::out_of_range when outside).
int cellindex(const levelrec& level, int x, int y, int z);
cuberec& getcube(levelrec& level, int x, int y, int z);
const cuberec& getcube(const levelrec& level, int x, int y, int z);
void setcube(levelrec& level, int x, int y, int z, cuberec cell);
// Open, or dm above 0.
bool permeable(const levelrec& level, int x, int y, int z);
inline bool permeable(const cuberec& c) { return !c.walls || c.dm > 0.0; }

// Recompute cellflags for one cell (by index), or for all cells.
void touchcell(levelrec& level, int index);
void touchall(levelrec& level);
// The index of a cell given its record (which must belong to the level).
inline int indexof(const levelrec& level, const cuberec* c) { return static_cast<int>(c - level.cubes.data()); }

// New objects, owned by the level, not yet in any list.
badguyrec* addguard(levelrec& level, const badguyrec& g);
freeobjrec* addfree(levelrec& level, const freeobjrec& o);
fixedobjrec* addfixed(levelrec& level, const fixedobjrec& o);

// Helpers for the front-growing lists.
template <class T> void pushfront(std::vector<T*>& list, T* item) { list.insert(list.begin(), item); }

}  // namespace Level

namespace Badguy {
badguyrec newbadguy(int kind, double x, double y, double z, double heading);
}
namespace Freeobj {
freeobjrec newfree(int kind, double x, double y, double z);
}
namespace Fixedobj {
fixedobjrec newfixed(int kind, double x, double y, double z);
}
