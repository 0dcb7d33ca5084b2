// Decodes a block layout stream of the ROM image into the block layout
// section of a map file.
#pragma once

#include <cstdint>
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

// Decodes the stream at `address` for a map `width` screens wide with
// `grid_size` squares, keeping only block type `filter` (kAllBlockTypes:
// all), and appends the block layout section at the buffer's cursor. Returns
// the unhandled-type entries met, in stream order, for the caller to report
// (each message followed by the pause).
std::vector<UnhandledBlockType> decode_block_layout(Bytes rom, std::uint64_t address,
                                                    std::uint8_t width, std::uint16_t grid_size,
                                                    std::uint8_t filter, OutputBuffer& out);

}  // namespace gorv
