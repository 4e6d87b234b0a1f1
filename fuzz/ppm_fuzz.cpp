// ppm_fuzz.cpp -- libFuzzer target: any bytes as a PPM image
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "render/texhelp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    int w = -7, h = -7;
    auto px = readPPMbytes(data, size, w, h);
    if (!px) {
        // A refused image leaves the outputs as they were.
        if (w != -7 || h != -7) __builtin_trap();
        return 0;
    }
    // An accepted image holds exactly w * h * 3 bytes, all of them in the file:
    // touch the last one so ASan sees any short buffer.
    if (w < 0 || h < 0) __builtin_trap();
    std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3;
    if (n > size) __builtin_trap();
    if (n == 0) return 0;
    volatile unsigned char last = px[n - 1];
    (void)last;
    return 0;
}
