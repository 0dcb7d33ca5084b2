// PNG encoding of a picture, in memory.
#pragma once

#include <cstdint>
#include <vector>

#include "picture/picture.h"

namespace gorv {

// The picture as a PNG file (8-bit RGB); empty when the picture has no
// pixels or its buffer does not match its size.
std::vector<std::uint8_t> encode_png(const Picture& picture);

}  // namespace gorv
