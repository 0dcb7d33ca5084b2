// A map file as a Tiled JSON map (.tmj) and back, and the shared tilesets
// (.tsj) such maps use. Tiled keeps only what its own format knows, so
// every value of the map file travels as a layer's cells, an object or a
// property; docs/formats/tiled.md gives the mapping. Pure functions: no
// files.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/map_file.h"

namespace gorv {

// The tilesets every .tmj uses, each in a .tsj file beside it with its
// picture: the tile values, the type bytes' low seven bits and the 256
// byte values of the data layers.
struct TiledTileset {
  std::string_view name;     // as an embedded copy is named
  std::string_view file;     // the .tsj
  std::string_view picture;  // the .png
  unsigned count;
  bool keyed;  // its picture's pixels of kTiledKeyColour are transparent
};
// Magenta, which no tile or block colour is.
inline constexpr std::string_view kTiledKeyColour = "#ff00ff";
inline constexpr unsigned kTiledTileSide = 16;
inline constexpr unsigned kTiledTilesetColumns = 16;
inline constexpr std::array<TiledTileset, 3> kTiledTilesets = {{
    {"gorv-tiles", "gorv-tiles.tsj", "gorv-tiles.png", 256, false},
    {"gorv-blocks", "gorv-blocks.tsj", "gorv-blocks.png", 128, true},
    {"gorv-bytes", "gorv-bytes.tsj", "gorv-bytes.png", 256, false},
}};
enum class TiledTilesetId : std::uint8_t { tiles, blocks, bytes };

// The .tsj text of a tileset: its picture is kTiledTilesetColumns tiles of
// kTiledTileSide pixels across.
std::string tiled_tileset_text(const TiledTileset& tileset);

// The .tmj text of a sound map file; `source_crc` is the CRC32 of the
// file it was read from, kept as a map property.
std::string tiled_map_text(const MapFile& map, std::uint32_t source_crc);

// What the map file writer changes of a sound map file: the parts whose
// bytes differ between `bytes` and serialize_map_file(parse_map_file(bytes)).
enum class NormalisedPart : std::uint8_t {
  earlier_layout,    // the file is in the earlier layout
  header_bytes,      // the magic, byte 4's other bits or byte 5
  before_tiles,      // bytes between the header and the tile section
  block_runs,        // runs of empty squares split otherwise, items past the grid
  background_bytes,  // bytes after the end word or the 232 bytes, or of a theme without one
  enemy_bytes,       // bytes after the last entry
  after_end,         // bytes after the end offset
};
std::vector<NormalisedPart> normalised_parts(std::span<const std::uint8_t> bytes,
                                             const MapFile& parsed);

// Why a .tmj gives no map file, and where: the map as a whole, one cell
// of a layer, an object or a property.
enum class TiledWhere : std::uint8_t { map, cell, object, property };
enum class TiledProblem : std::uint8_t {
  // the map: `text` names a layer where one is involved
  not_json,           // values[0]: the byte where reading stopped
  json_number,        // a number too large for any number type
  xml_map,            // a .tmx
  not_a_map,          // no map object with whole-number width and height
  infinite,           //
  not_orthogonal,     // text: the orientation
  tile_size,          // values: tile width, tile height
  not_whole_screens,  // values: columns, rows
  too_many_screens,   // values: screens across, down, the most across, the most down
  layer_missing,      // text: the layer
  layer_doubled,      // text: the layer
  layer_size,         // text: the layer; values: its columns, rows, the map's
  layer_not_tiles,    // text: the layer (a layer of ours of another kind)
  layer_zstd,         // text: the layer
  layer_data,         // text: the layer; values[0]: cells found (damaged data)
  file_too_large,     // values[0]: bytes
  // a cell
  // (values[1] is the TiledTilesetId the layer takes)
  foreign_tile,       // values[0]: the gid; text: the tileset it belongs to ("" none)
  flipped_tile,       // values[0]: the gid
  past_tileset,       // values[0]: the local id; text: the tileset
  past_tile_section,  // values[0]: the tile section's length
  // an object or a property
  missing,             // text: the property (object); the property is the name itself
  not_a_number,        // text: the property (object)
  not_bool,            // the property is not true or false
  above_maximum,       // text: the property (object); values: the value, the maximum
  negative,            // text: the property (object); values[0]: its magnitude
  position,            // values: x, y as rounded (signed, in 64 bits)
  object_missing,      // the object `name` is not in layer `text`
  object_doubled,      // values[0]: how many
  end_word,            // a background word A of FFFF
  no_background_list,  // the theme's background is not a list
  too_many_enemies,    // values[0]: the most
  no_enemy_section,    // an enemy where the layer says the file has no enemy section
  not_hex,             // the property's text is not hexadecimal bytes
  wrong_length,        // values: bytes found, bytes needed
};

struct TiledRefusal {
  TiledWhere where = TiledWhere::map;
  TiledProblem problem = TiledProblem::not_json;
  std::string name;  // the layer of a cell, the object or the property
  std::uint64_t x = 0, y = 0;
  std::array<std::uint64_t, 4> values{};
  std::string text;
};

struct TiledRead {
  bool ok = false;
  MapFile map;  // with `ok`
  std::uint32_t source_crc = 0;
  bool has_source_crc = false;
  TiledRefusal refusal;  // without `ok`
};

// Reads a .tmj as Tiled writes it. The result's serialize_map_file bytes
// are at most kMaxMapFileSize long and parse back to the same map.
TiledRead read_tiled_map(std::string_view text);

}  // namespace gorv
