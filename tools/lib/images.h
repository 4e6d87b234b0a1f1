// images.h -- the dungeon's 22 texture images, drawn by our own code
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Images {

// An RGB image. Row 0 is the first row of the file, which the game uploads as
// texture row t = 0: for everything drawn upright it is the BOTTOM row.
struct image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3
};

// The eleven image names, in the game's loading order.
const std::vector<std::string>& names();

// The image of one name (throws std::invalid_argument for an unknown name).
// The same name always gives the same bytes.
image make(const std::string& name);

// Luminance (0.299 R + 0.587 G + 0.114 B) in all three channels.
image grey(const image& im);

// Rows reversed: for viewers that show the first row on top.
image flipped(const image& im);

// The binary PPM ("P6", maximum 255) bytes of an image.
std::string ppm(const image& im);

// Writes NAME.ppm and NAME_grey.ppm for all eleven names into dir (which must
// exist). Throws std::runtime_error naming the file when a write fails.
void writeall(const std::string& dir);

}  // namespace Images
