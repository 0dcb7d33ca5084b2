// Decodes a block layout stream of the ROM image into block cells, one per
// grid square.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "codec/block_cell.h"
#include "rom/rom_image.h"

namespace gorv {

inline constexpr std::uint8_t kAllBlockTypes = 0xFF;

// An entry of a block type the decoder does not handle.
struct UnhandledBlockType {
  std::uint8_t type_code = 0;  // six bits, variant bit included
  std::uint64_t position = 0;  // offset just past the byte holding the last bit read
};

// The most unhandled-type entries reported for one stream of a map with
// `grid_size` squares: one per square (the encoder writes no more), but at
// least 64. A damaged stream can hold millions of them, one per bit, each a
// message and a pause; a decoding keeps only the first limit + 1, the one
// past the limit telling the caller that more were met.
inline std::size_t unhandled_report_limit(std::size_t grid_size) {
  return grid_size > 64 ? grid_size : 64;
}

// The block cell array of a decoded stream, one cell per grid square (type
// byte 0x80 OR type code, or 0 for an empty square), and the first
// unhandled_report_limit + 1 unhandled-type entries met, in stream order.
// Entries past those are decoded all the same; only their report is cut,
// and `unhandled_types` still names their type codes.
struct BlockDecoding {
  std::vector<BlockCell> cells;
  std::vector<UnhandledBlockType> unhandled;
  std::uint64_t unhandled_types = 0;  // bit c: an entry of type code c was met
  std::size_t filled = 0;             // cells that hold a block (no write empties a square)
};

// Decodes the stream at `address` into `grid_size` cells for a map `width`
// screens wide, keeping only block type `filter` (kAllBlockTypes: all).
// Squares at or past `grid_size` are ignored; the end of the image before
// the end code ends decoding with what has been decoded so far (an entry
// cut off by it is dropped), and so does a damaged stream at its 262,144th
// group or entry.
BlockDecoding decode_block_cells(Bytes rom, std::uint64_t address, std::uint8_t width,
                                 std::size_t grid_size, std::uint8_t filter);

}  // namespace gorv
