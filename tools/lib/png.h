// png.h -- a small PNG writer (stored deflate blocks) for maps and the icon
#pragma once

#include <cstdint>
#include <string>

#include "images.h"

namespace Png {

// CRC-32 (the PNG and zlib polynomial) and Adler-32 of a byte run.
std::uint32_t crc32(const unsigned char* data, std::size_t n, std::uint32_t crc = 0);
std::uint32_t adler32(const unsigned char* data, std::size_t n);

// The PNG bytes of an 8-bit RGB image, the image's row 0 as the top row.
std::string encode(const Images::image& im);
// Writes encode(im) to path; throws std::runtime_error naming the file on failure.
void write(const std::string& path, const Images::image& im);

}  // namespace Png
