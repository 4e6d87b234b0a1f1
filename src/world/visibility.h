// visibility.h -- which cells and things to draw, in which order, from an eye
#pragma once

#include <array>
#include <cstdint>
#include <variant>
#include <vector>

#include "world/level.h"

namespace Level {

struct cubeitem { int x, y, z; };
using drawitem = std::variant<cubeitem, const fixedobjrec*, const freeobjrec*, const badguyrec*>;

}  // namespace Level
