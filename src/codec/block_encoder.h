// Packs a block cell array into a block layout stream.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "codec/block_cell.h"

namespace gorv {

struct BlockEncoding {
  bool ok = false;
  std::string error;                 // why the map cannot be encoded, when !ok
  std::vector<std::uint8_t> stream;  // the packed stream, when ok
};

// `cells` holds width*20 x (height_byte & 0x3F)*14 cells in working type
// numbering (type code + 1, 0 empty), row by row, followed by one sentinel
// row of width*20 empty cells. The type bytes of squares covered by runs
// down are cleared. Maps of width 0, height 0, wider than 51 or taller than
// 36 screens are refused.
BlockEncoding encode_block_layout(std::span<BlockCell> cells, std::uint8_t width,
                                  std::uint8_t height_byte);

}  // namespace gorv
