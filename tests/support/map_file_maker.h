// Builds map files byte by byte for the importer's tests and benchmarks,
// independently of the tool's own code.
#pragma once

#include <cstdint>
#include <vector>

namespace gorv::test {

// The contents of one map file: header values and the four sections as
// they stand in the file.
struct MapFileParts {
  std::uint8_t width = 1;
  std::uint8_t height_byte = 1;
  std::uint8_t attribute = 0;
  std::uint8_t theme_byte = 0;
  std::uint16_t start_x = 0, start_y = 0, end_x = 0, end_y = 0;
  std::vector<std::uint8_t> tile, block, background, enemy;
  bool earlier_layout = false;  // 24-byte header, byte 4 = 0x00, no end offset
};

// The map file: its header (28 bytes, or 24 for the earlier layout) and the
// four sections in order.
std::vector<std::uint8_t> make_map_file(const MapFileParts& parts);

// A block layout section (current layout) of `squares` empty squares.
std::vector<std::uint8_t> empty_block_section(std::size_t squares);

// A whole map of `width` x `height` screens with tile-like data, a few
// blocks of several types, a list background (theme 1) and `enemies`
// enemy entries, all made from `seed`.
MapFileParts generated_map(int width, int height, std::uint32_t seed, int enemies = 4);

}  // namespace gorv::test
