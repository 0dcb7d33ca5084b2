// The LZ encoder's parse written out literally: for every position every
// candidate in the window, byte by byte, with no index. Slow; it is the
// reference the fast encoder is compared with.
#pragma once

#include <cstdint>
#include <span>

#include "codec/lz_encoder.h"

namespace gorv::test {

LzTokens lz_encode_literal(std::span<const std::uint8_t> input);

}  // namespace gorv::test
