// texhelp_gl.cpp -- uploading images as textures (stub until it lands)
#include "render/texhelp.h"

unsigned long loadPPMTexture(const std::string&) { return 0; }
void bind2dTexture(unsigned long) {}
void deleteOneTexture(unsigned long) {}
