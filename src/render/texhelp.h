// texhelp.h -- reading PPM images and turning them into textures
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// The normal and grey texture handles of one image name ("Data/<name>.ppm",
// "Data/<name>_grey.ppm"). 0 means no texture.
struct texpair {
    unsigned long normal = 0;
    unsigned long grey = 0;
};

// Reads a binary PPM (P6). On success stores width and height and returns
// width * height * 3 bytes of RGB, rows in file order; on any failure returns
// nothing and leaves width and height untouched.
std::unique_ptr<unsigned char[]> readPPM(const std::string& path, int& width, int& height);
// The same over bytes already in memory (what the fuzzer drives).
std::unique_ptr<unsigned char[]> readPPMbytes(const unsigned char* data, std::size_t size, int& width, int& height);
// Why readPPM refuses the file, in a few words; "" when it reads it (for the tools).
std::string PPMproblem(const std::string& path);

// GL side (texhelp_gl.cpp): need a current context.
// Reads and uploads with mipmaps; 0 when the file cannot be read.
unsigned long loadPPMTexture(const std::string& path);
// loadPPMTexture, or on failure "Problem loading image <path>" and exit status 0:
// a game without one of its images cannot be drawn.
unsigned long loadimage(const std::string& path);
void bind2dTexture(unsigned long handle);
void deleteOneTexture(unsigned long handle);
