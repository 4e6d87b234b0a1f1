// visibility.h -- which cells and things to draw, in which order, from an eye
#pragma once

#include <cstdint>
#include <utility>
#include <variant>
#include <vector>

#include "world/level.h"

namespace Level {

// One thing to draw: a solid cube by its cell, or an object or guard of a cell.
struct cubeitem {
    int x, y, z;
    bool operator==(const cubeitem&) const = default;
};
using drawitem = std::variant<cubeitem, const fixedobjrec*, const freeobjrec*, const badguyrec*>;
using drawlist = std::vector<drawitem>;

// The search's state of a cell (one byte per cell, indexed like the cells).
enum cellstate : std::uint8_t {
    state_unseen = 0,
    state_queued = 1,
    state_visible = 2,
    state_clipped = 3,   // never assigned: there is no view-volume test
    state_occluded = 4,
};

// A ring buffer of cells. head = tail means empty; the search never fills it.
struct cellqueue {
    int head = 0;
    int tail = 0;
    std::vector<cubeitem> items;
};

// What the search is handed about the view. Nothing reads it: a view-volume
// test could never drop a cell here, since every cell's eye-ward neighbours
// are classified before it.
struct viewparams {
    double sinheading = 0.0, cosheading = 1.0, sinpitch = 0.0, cospitch = 1.0;
    double left = 0.0, right = 0.0, bottom = 0.0, top = 0.0, znear = 0.0, zfar = 0.0;
};

// Whether a point, or any part of the unit cell (x, y, z), can lie inside the view
// volume seen from the eye (ex, ey, ez) with the view's heading and pitch. The cell
// test is conservative: false only when all eight corners lie outside one of the
// six planes, so a cell it refuses cannot show anything on screen.
bool checkfrustum(const viewparams& view, double ex, double ey, double ez, double px, double py, double pz);
bool insidefrustum(const viewparams& view, double ex, double ey, double ez, int x, int y, int z);

cellqueue makequeue(int capacity);
// Appends in list order, each at tail, wrapping at the capacity.
void addqueue(cellqueue& q, const std::vector<cubeitem>& cells);
cubeitem removequeue(cellqueue& q);
bool emptyqueue(const cellqueue& q);

// A neighbour blocks the view when occluded, or visible and not permeable.
bool ifoccluding(const levelrec& level, const std::vector<std::uint8_t>& state, int x, int y, int z);
// True for visible and occluded.
bool ifnotclipped(std::uint8_t state);

// Classifies every cell the queue reaches, breadth first from the eye, and adds
// the things of visible cells at the front of the two lists (element 0 is the
// front): returns them with the most recently added item first. The state
// array holds a cellstate per cell; cells already in the queue must be marked.
std::pair<drawlist, drawlist> visbfs(const levelrec& level, double ex, double ey, double ez, const viewparams& view,
                                     cellqueue& q, drawlist opaque, drawlist translucent,
                                     std::vector<std::uint8_t>& state);

// The whole search from an eye inside the grid (std::out_of_range otherwise):
// the opaque list near to far, the translucent list far to near.
std::pair<drawlist, drawlist> sortcubes(const levelrec& level, double ex, double ey, double ez,
                                        const viewparams& view);

// A visible cell that gives something (by grid index), keyed by its place in
// the search's order.
struct seencell {
    std::uint64_t key;
    int index;
};

// The same search into storage kept between frames: what the renderer runs
// every frame without allocating. The lists come out as sortcubes gives them.
struct visscratch {
    std::vector<std::uint8_t> work;    // a working byte per cell (after pad); see cellstate
    int pad = 0;
    std::vector<std::uint8_t> flags;   // made only for a level without flag bytes
    std::vector<seencell> seen, spare;
    drawlist opaque;
    drawlist translucent;
};
void sortcubes(const levelrec& level, double ex, double ey, double ez, const viewparams& view, visscratch& s);
// The cellstate the last search gave the cell at a grid index.
std::uint8_t cellstate(const visscratch& s, int index);

}  // namespace Level
