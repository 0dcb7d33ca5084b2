// Packs a block cell array into a block layout stream.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "codec/block_cell.h"

namespace gorv {

// Why a map cannot be encoded.
enum class BlockEncodeError {
  none,
  no_columns,   // 0 screens wide
  no_rows,      // 0 screens high
  too_wide,     // more than kMaxBlockLayoutWidth screens
  too_tall,     // more than kMaxBlockLayoutHeight screens
  cells_short,  // fewer cells than the grid and its sentinel row
};

struct BlockEncoding {
  BlockEncodeError error = BlockEncodeError::none;
  std::size_t cells_given = 0, cells_needed = 0;  // for cells_short
  std::vector<std::uint8_t> stream;               // the packed stream, when there is no error
};

inline constexpr std::uint8_t kMaxBlockLayoutWidth = 51;   // screens: X up to 1,019 in 10 bits
inline constexpr std::uint8_t kMaxBlockLayoutHeight = 36;  // screens: Y up to 503 in 9 bits

struct BlockFieldWidths {
  unsigned x = 0;  // bits of an X field
  unsigned y = 0;  // bits of a Y field
};

// The field widths for a map `width` screens wide and (height_byte & 0x3F)
// screens high: 5 X bits below 32 columns and one more at each doubling up
// to 10 (512 columns or more); 4 Y bits below 16 rows and one more at each
// doubling up to 9 (256 rows or more).
BlockFieldWidths block_field_widths(std::uint8_t width, std::uint8_t height_byte);

// `cells` holds width*20 x (height_byte & 0x3F)*14 cells in working type
// numbering (type code + 1, 0 empty), row by row, followed by one sentinel
// row of width*20 empty cells (the scans stop there; cells past the grid
// are never read as blocks). Maps of width 0, height 0, wider than 51 or taller than
// 36 screens are refused, and so is an array shorter than the grid and its
// sentinel row. The stream holds the marker and field widths bytes, the
// groups and the end code, packed eight bits to a byte, the first bit in bit 7.
BlockEncoding encode_block_layout(std::span<const BlockCell> cells, std::uint8_t width,
                                  std::uint8_t height_byte);

}  // namespace gorv
