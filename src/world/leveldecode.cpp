// leveldecode.cpp -- decoding a level file's value encoding (placeholder)
#include "world/levelfile.h"

namespace Level {
levelrec decode_level(const unsigned char*, std::size_t) { throw readerror("decoder not written yet"); }
}
