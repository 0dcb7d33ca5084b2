// The map file (mapXX.gvm): one map's header values and its four layouts
// in their editable forms. This module is the only place that knows the
// file's byte layout; docs/formats/map-file.md describes it for
// implementers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "codec/block_cell.h"
#include "codec/block_encoder.h"
#include "rom/map_header.h"

namespace gorv {

// docs/formats/map-file.md, "Header, current layout".
inline constexpr std::array<std::uint8_t, 4> kMapFileMagic = {'G', 'M', 'A', 'P'};
inline constexpr std::uint8_t kCurrentLayoutMarker = 0x80;  // byte 4, bit 7
inline constexpr std::size_t kMapFileHeaderSize = 28;       // current layout
inline constexpr std::size_t kEarlierMapFileHeaderSize = 24;
// The header's offsets are 16-bit: no map file is longer.
inline constexpr std::size_t kMaxMapFileSize = 0xFFFF;

// Where each layout keeps its fields (docs/formats/map-file.md, "Header, current
// layout" and "Header, earlier layout").
struct MapFileLayout {
  std::size_t values;      // width, size byte, attribute, theme byte, then the four words
  std::size_t offsets;     // the section offsets, tile first
  std::size_t header_end;  // the first byte after the header
  bool has_end_offset;     // the current layout records where the last section ends
};
inline constexpr MapFileLayout kCurrentMapFileLayout = {6, 18, kMapFileHeaderSize, true};
inline constexpr MapFileLayout kEarlierMapFileLayout = {4, 16, kEarlierMapFileHeaderSize, false};

// "mapXX.gvm" with XX two lower-case hexadecimal digits: the name every
// map file has, where the map dump writes it and the import looks for it.
std::string map_file_name(std::uint8_t map);

// The first twelve bytes of the game's map header.
struct MapValues {
  std::uint8_t width = 0;      // screens
  std::uint8_t size_byte = 0;  // extra rows in bits 7-6, height in screens in bits 5-0
  std::uint8_t attribute = 0;  // as stored
  std::uint8_t theme_byte = 0;
  std::uint16_t start_x = 0, start_y = 0, end_x = 0, end_y = 0;  // pixels
};

// The enemy layout section: the enemy header's first three art_load words
// (big-endian, as in the ROM image) and the 8-byte entries. An empty
// section (what the map dump writes when the ROM image's enemy layout
// cannot be read) has `present` false.
struct EnemySection {
  bool present = false;
  std::array<std::uint8_t, 6> art_load{};
  std::vector<std::array<std::uint8_t, 8>> entries;
};

struct MapFile {
  bool current_layout = true;  // false: the earlier layout, read only
  MapValues values;
  // The tile layout section: one tile byte per square, row by row. It may
  // be a little longer than the grid (the decoder completes a
  // back-reference), or shorter where the 16-bit grid size wrapped.
  std::vector<std::uint8_t> tiles;
  // One cell per square: type byte 0x80 | type code, or 0 for an empty
  // square (an earlier-layout record gets 0x80 | its six type bits).
  std::vector<BlockCell> blocks;
  // The background layout in its map-file form: the list entries and the
  // end word FF FF, the 232-byte block, or nothing, by the theme.
  std::vector<std::uint8_t> background;
  EnemySection enemy;
};

// What parse_map_file found wrong, with the figures its message names, in
// the order each problem's comment gives.
struct MapFileDamage {
  enum class Problem : std::uint8_t {
    none,
    header_cut,              // the file ends inside its header
    tile_inside_header,      // tile offset
    offsets_out_of_order,    // tile, block, background, enemy, end offsets
    sections_past_end,       // end offset, file size
    no_screens,              // width, height
    too_many_screens,        // width, height, the most across, the most down
    tile_section_short,      // section length, grid size
    block_section_short,     // squares filled, squares
    block_cell_cut,          // square
    background_no_end_word,  //
    background_entry_cut,    //
    background_block_short,  // section length, theme, 232
    enemy_count_missing,     //
    enemy_entries_cut,       // entry count
  };
  Problem problem = Problem::none;
  std::array<std::uint64_t, 5> values{};
};

// Why a map file cannot be used: it cannot be read, it is too large to be
// one, it is damaged, or the ROM image cannot hold what it describes.
struct MapFileError {
  enum class Kind : std::uint8_t {
    unreadable,
    too_large,        // larger than kMaxMapFileReadSize
    damaged,          // `damage` says how
    cannot_encode,    // the block layout encoder refuses `encode_error` for the map's
                      // `width` and `size_byte`
    layout_too_long,  // the ROM form of `layout` takes `length` bytes, more than 65,535
  };
  Kind kind = Kind::damaged;
  MapFileDamage damage;
  BlockEncodeError encode_error = BlockEncodeError::none;
  std::uint8_t width = 0, size_byte = 0;
  MapPart layout = MapPart::tile;
  std::uint64_t length = 0;
};

// The error of a file that cannot be read or is too large, and of a damaged one.
inline MapFileError map_file_error(MapFileError::Kind kind) {
  MapFileError error;
  error.kind = kind;
  return error;
}
inline MapFileError map_file_error(const MapFileDamage& damage) {
  MapFileError error = map_file_error(MapFileError::Kind::damaged);
  error.damage = damage;
  return error;
}

// The most of a file named like a map file that is read: far more than any
// map file holds, and little enough that a device or a pipe cannot take all
// the memory.
inline constexpr std::size_t kMaxMapFileReadSize = 0x1000000;

struct ParsedMapFile {
  MapFile file;
  MapFileDamage damage;  // Problem::none: the file is sound
};

// Reads a whole map file, with every check the importer relies on: the
// header, the section offsets, a size the block layout can hold, a tile
// section that holds the grid, a block section that fills it, a background
// of the theme's form, an enemy section with all its entries. Nothing
// outside `bytes` is read.
ParsedMapFile parse_map_file(std::span<const std::uint8_t> bytes);

// Reads a block layout section into `squares` cells: a current-layout byte
// below 0x80 is a run of byte + 1 empty squares (one that reaches past the
// grid is cut there); anything else, and every earlier-layout record, is a
// block cell of five bytes. Part of parse_map_file.
MapFileDamage read_block_section(std::span<const std::uint8_t> section, bool current_layout,
                                 std::size_t squares, std::vector<BlockCell>& cells);

// The squares of a map of these values (full width; see grid_squares).
std::size_t map_squares(const MapValues& values);

// The header bytes 0 to 17 (magic, marker, values) of the current layout.
std::array<std::uint8_t, 18> map_file_header_start(const MapValues& values);

// The file in the current layout: the header, then the four sections, the
// block section with its runs of empty squares coded as (k - 1) / 128 bytes
// 0x7F and one byte (k - 1) % 128. The result may pass kMaxMapFileSize;
// such a file cannot be written.
std::vector<std::uint8_t> serialize_map_file(const MapFile& file);

// The block layout section alone, as serialize_map_file writes it.
void append_block_section(std::span<const BlockCell> cells, std::vector<std::uint8_t>& out);

}  // namespace gorv
