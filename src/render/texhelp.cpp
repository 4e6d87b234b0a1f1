// texhelp.cpp -- reading binary PPM images (stub until it lands)
#include "render/texhelp.h"

std::unique_ptr<unsigned char[]> readPPMbytes(const unsigned char*, std::size_t, int&, int&) { return nullptr; }
std::unique_ptr<unsigned char[]> readPPM(const std::string&, int&, int&) { return nullptr; }
