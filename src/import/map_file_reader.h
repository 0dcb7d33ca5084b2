// Reads one map file and checks it, turning it into the ROM forms that the
// importer places in the new level data area.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "codec/block_cell.h"
#include "export/map_dump.h"  // map_file_name
#include "rom/rom_image.h"

namespace gorv {

inline constexpr std::size_t kHeaderImageSize = 28;

// One map on its way from its map file into the ROM image.
struct MapRecord {
  std::uint8_t map = 0;
  // The map header in ROM form: bytes 0-11 from the map file, bytes 12-27
  // the four layout addresses, filled in when the layouts are placed.
  std::array<std::uint8_t, kHeaderImageSize> header{};
  std::vector<std::uint8_t> tile_layout;  // the grid-size bytes of the tile layout, unpacked
  std::vector<std::uint8_t> tile;         // tile_layout packed into an LZ stream
  std::vector<std::uint8_t> block;        // the block layout stream
  std::vector<std::uint8_t> background;   // ROM form; empty when the theme has none
  std::vector<std::uint8_t> enemy;        // enemy layout record; bytes 0-3 set when placed
};

// Turns a block layout section into the block cell array that the block
// layout encoder takes: one cell per square of a map `width` screens across
// and (height_byte & 0x3F) screens down, in working type numbering (type
// code + 1, 0 empty), then one sentinel row of empty cells. The square
// behind a cell of block type 0x04 gets the placeholder type 0x15. A run of
// empty squares that reaches past the array is cut there. Returns false,
// with `problem` set, when the section ends before the grid is filled.
// `current_layout` false: every square is a 5-byte record.
bool read_block_cells(Bytes section, bool current_layout, std::uint8_t width,
                      std::uint8_t height_byte, std::vector<BlockCell>& cells,
                      std::string& problem);

// Reads the map file `file` (its whole contents) into `record`: the header
// image, the unpacked tile layout and the ROM forms of the block,
// background and enemy layouts (the tile layout is not packed here). On a
// damaged file returns false and says what is wrong in `problem`; nothing
// outside the file's bytes is ever read and no write leaves its array.
bool read_map_file(Bytes file, MapRecord& record, std::string& problem);

}  // namespace gorv
