// One grid square of a block layout: a type byte and four data bytes.
#pragma once

#include <cstdint>

namespace gorv {

struct BlockCell {
  std::uint8_t type = 0;
  std::uint8_t d1 = 0;
  std::uint8_t d2 = 0;
  std::uint8_t d3 = 0;
  std::uint8_t d4 = 0;
};

}  // namespace gorv
