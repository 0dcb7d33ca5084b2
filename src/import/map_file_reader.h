// Turns a map file into the ROM forms that the importer places in the new
// level data area, with the import's own conversions: the working block
// types, the placeholder behind a wide block, the enemy record rebuilt
// around the file's entries.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "codec/block_cell.h"
#include "codec/block_encoder.h"
#include "format/game_map.h"
#include "format/map_file.h"
#include "format/map_read_back.h"
#include "rom/map_header.h"

namespace gorv {

// A square that holds a block, and its working cell. A record keeps only
// these (a map's squares are mostly empty) for the import's check.
struct FilledSquare {
  std::uint32_t square = 0;
  BlockCell cell;
};

// One map on its way from its map file into the ROM image.
struct MapRecord {
  std::uint8_t map = 0;
  // The map header in ROM form: bytes 0-11 from the map file, bytes 12-27
  // the four layout addresses, filled in when the layouts are placed.
  std::array<std::uint8_t, kMapHeaderSize> header{};
  std::vector<std::uint8_t> tile_layout;  // the grid-size bytes of the tile layout, unpacked
  std::vector<std::uint8_t> tile;         // tile_layout packed into an LZ stream
  std::vector<std::uint8_t> block;        // the block layout stream
  std::vector<std::uint8_t> background;   // ROM form; empty when the theme has none
  std::vector<std::uint8_t> enemy;        // enemy layout record; bytes 0-3 set when placed
  std::vector<FilledSquare> blocks;       // the working cells the block layout encodes
  // The block layout as the game reads it and where the game reads other
  // than the file holds.
  ReadBack read_back;
  // What changed in the map the game loads, against the image before the
  // import (worked out while the file is read, from the record's layouts:
  // the import's check makes sure the new image holds them).
  MapChange change;
};

// Reads the map file `file` (its whole contents) into `record`: the header
// image, the unpacked tile layout and the ROM forms of the block,
// background and enemy layouts (the tile layout is not packed here), and
// the differences of what the game reads back from the file. Says why not
// when the file is damaged or its block layout cannot be encoded.
std::optional<MapFileError> read_map_file(std::span<const std::uint8_t> file, MapRecord& record);

// The map header's 16-bit length fields bound every layout: the first of
// the record's layouts (its tile layout packed) that is longer.
std::optional<MapFileError> layout_too_long(const MapRecord& record);

}  // namespace gorv
