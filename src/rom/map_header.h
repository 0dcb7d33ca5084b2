// The game's level directory: the map header table and the map headers.
#pragma once

#include <array>
#include <cstdint>

#include "rom/game_facts.h"
#include "rom/rom_image.h"

namespace gorv {

inline constexpr std::uint32_t kLevelDirectory = 0x4033A;
inline constexpr std::uint32_t kLevelOrderPointer = 0x4033E;
inline constexpr std::uint32_t kMapHeaderTable = 0x40342;
inline constexpr int kMapCount = 126;
inline constexpr int kMapHeaderSize = 28;
// The smallest file that is taken for a ROM image: one that holds the map
// header table, which is the last of the tables every mode reads.
inline constexpr std::size_t kMinRomImageSize = kMapHeaderTable + 2 * kMapCount;

// Where the fields of a 28-byte map header stand.
inline constexpr std::size_t kMapHeaderValuesSize = 12;  // size, attributes and positions
inline constexpr std::size_t kTileAddressField = 12;
inline constexpr std::size_t kBlockAddressField = 16;
inline constexpr std::size_t kBackgroundAddressField = 20;
inline constexpr std::size_t kEnemyAddressField = 24;

// A map's parts: its four layouts in the order of their address fields,
// then its header.
enum class MapPart : std::uint8_t { tile, block, background, enemy, header };

// A map header as the modes use it.
struct MapHeader {
  std::uint8_t width = 0;       // screens
  std::uint8_t size_byte = 0;   // map_height and map_extra_rows (units of 32 px) in one byte
  std::uint8_t attribute = 0;   // raw
  std::uint8_t theme_byte = 0;  // raw
  std::uint16_t start_x = 0, start_y = 0, end_x = 0, end_y = 0;
  std::uint32_t tile_address = 0, block_address = 0, background_address = 0, enemy_address = 0;
  std::uint16_t grid_size = 0;  // grid_size16: width x height x 280, modulo 65536
};

inline std::uint8_t map_theme(const MapHeader& h) {
  return theme_of(h.theme_byte);
}
inline std::uint8_t map_effect(const MapHeader& h) {
  return effect_of(h.theme_byte);
}
inline bool map_chase(const MapHeader& h) {
  return (h.attribute & 0x80) != 0;
}

// ROM offset of map `map`'s header, through the map header table.
std::uint32_t map_header_offset(Bytes rom, std::uint8_t map);

// Reads map `map`'s header (bytes past the end of the image read as 0).
MapHeader read_map_header(Bytes rom, std::uint8_t map);

// One entry per map: 0xFF absent, anything else present.
struct MapExistsTable {
  std::array<std::uint8_t, kMapCount> entries{};
};

// A map exists when its 28-byte header lies wholly inside the image and the
// low nibbles of its attribute byte and theme byte agree.
MapExistsTable build_map_exists_table(Bytes rom);

inline bool map_exists(const MapExistsTable& table, std::uint8_t map) {
  return map < kMapCount && table.entries[map] != 0xFF;
}

}  // namespace gorv
