// glrecord.h -- a recording stand-in for the GL and GLU entry points the game uses
//
// Linked into gfx tests instead of libGL: every call is appended to one log
// with its arguments as doubles (enums as their numeric value, vectors
// expanded), so tests can check what the drawing code emits.
#pragma once

#include <string>
#include <vector>

struct glcall {
    std::string name;
    std::vector<double> args;
};

namespace glrec {

std::vector<glcall>& log();
void clear();
// Number of calls with this name.
int count(const std::string& name);
// Calls with this name, in order.
std::vector<glcall> calls(const std::string& name);
// Number of glVertex* calls between glBegin/glEnd pairs.
int vertexcount();
// The bytes handed to the last gluBuild2DMipmaps of GL_RGB, GL_UNSIGNED_BYTE data
// (width * height * 3), copied at the call; not reset by clear().
const std::vector<unsigned char>& teximage();

}  // namespace glrec
