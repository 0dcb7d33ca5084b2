// Decodes a block layout stream of the ROM image into the block layout
// section of a map file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "codec/block_cell.h"
#include "rom/output_buffer.h"
#include "rom/rom_image.h"

namespace gorv {

inline constexpr std::uint8_t kAllBlockTypes = 0xFF;

// An entry of a block type the decoder does not handle.
struct UnhandledBlockType {
  std::uint8_t type_code = 0;  // six bits, variant bit included
  std::uint64_t position = 0;  // offset just past the byte holding the last bit read
};

// "\nFound block-type 0x%02X at 0x%06X\n".
std::string unhandled_block_type_message(const UnhandledBlockType& event);

// The most unhandled-type entries reported for one stream of a map with
// `grid_size` squares: one per square (the encoder writes no more), but at
// least 64. A damaged stream can hold millions of them, one per bit, each a
// message and a pause; a decoding keeps only the first limit + 1, the one
// past the limit telling the caller that more were met.
inline std::size_t unhandled_report_limit(std::size_t grid_size) {
  return grid_size > 64 ? grid_size : 64;
}

// Said, with a pause, in place of the messages past the limit.
std::string unhandled_block_types_omitted_message();

// The block cell array of a decoded stream, one cell per grid square (type
// byte 0x80 OR type code, or 0 for an empty square), and the first
// unhandled_report_limit + 1 unhandled-type entries met, in stream order.
// Entries past those are decoded all the same; only their report is cut.
struct BlockDecoding {
  std::vector<BlockCell> cells;
  std::vector<UnhandledBlockType> unhandled;
};

// Decodes the stream at `address` into `grid_size` cells for a map `width`
// screens wide, keeping only block type `filter` (kAllBlockTypes: all).
// Squares at or past `grid_size` are ignored; the end of the image before
// the end code ends decoding with what has been decoded so far (an entry
// cut off by it is dropped), and so does a damaged stream at its 262,144th
// group or entry.
BlockDecoding decode_block_cells(Bytes rom, std::uint64_t address, std::uint8_t width,
                                 std::size_t grid_size, std::uint8_t filter);

// Appends the block layout section for `cells` at the buffer's cursor: each
// block cell as its five bytes, each maximal run of k empty squares as
// (k - 1) / 128 bytes 0x7F and one byte (k - 1) % 128. Stops appending once
// the buffer is full.
void write_block_section(std::span<const BlockCell> cells, OutputBuffer& out);

// Decodes the stream at `address` for a map `width` screens wide with
// `grid_size` squares, keeping only block type `filter` (kAllBlockTypes:
// all), and appends the block layout section at the buffer's cursor. Returns
// the first unhandled_report_limit + 1 unhandled-type entries met, in stream
// order, for the caller to report (each message followed by the pause; past
// the limit, the omitted message once).
std::vector<UnhandledBlockType> decode_block_layout(Bytes rom, std::uint64_t address,
                                                    std::uint8_t width, std::uint16_t grid_size,
                                                    std::uint8_t filter, OutputBuffer& out);

}  // namespace gorv
