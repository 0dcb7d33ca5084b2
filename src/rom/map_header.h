// The game's level directory: the map header table and the map headers.
#pragma once

#include <array>
#include <cstdint>

#include "rom/game_facts.h"
#include "rom/rom_image.h"

namespace gorv {

// The game's own level directory. Its fields, as offsets from its start:
// the starting level, the level order pointer, then the map header table
// (a 16-bit header offset per map, from the directory's start).
inline constexpr std::uint32_t kLevelDirectory = 0x4033A;
inline constexpr std::uint32_t kStartingLevelField = 0;
inline constexpr std::uint32_t kLevelOrderPointerField = 4;
inline constexpr std::uint32_t kMapHeaderTableField = 8;
inline constexpr std::uint32_t kLevelOrderPointer = kLevelDirectory + kLevelOrderPointerField;
inline constexpr std::uint32_t kMapHeaderTable = kLevelDirectory + kMapHeaderTableField;
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

// The directory an import writes, with the same layout, and the seventeen
// places of the game's code that lead to a directory: an import points them
// at its own. The level order table follows the map header table there, and
// the map headers follow the level order table's 108 bytes.
inline constexpr std::uint32_t kImportedLevelDirectory = 0x100000;
inline constexpr std::uint32_t kImportedLevelOrderField = kMapHeaderTableField + 2 * kMapCount;
inline constexpr std::uint32_t kImportedFirstHeaderField = kImportedLevelOrderField + 108;

struct BaseReference {
  std::uint32_t offset;
  std::uint32_t field;  // the directory field whose address it holds
};
inline constexpr std::array<BaseReference, 17> kBaseReferences = {{
    {0x000690, kStartingLevelField},
    {0x0006B8, kStartingLevelField},
    {0x011A50, kStartingLevelField},
    {0x019AF8, kStartingLevelField},
    {0x00236C, kLevelOrderPointerField},
    {0x00BCD2, kLevelOrderPointerField},
    {0x011A38, kLevelOrderPointerField},
    {0x011AC8, kLevelOrderPointerField},
    {0x011D6E, kLevelOrderPointerField},
    {0x011DE0, kLevelOrderPointerField},
    {0x014C3C, kLevelOrderPointerField},
    {0x019AE0, kLevelOrderPointerField},
    {0x03051A, kLevelOrderPointerField},
    {0x03075C, kLevelOrderPointerField},
    {0x0307E4, kLevelOrderPointerField},
    {0x011A44, kMapHeaderTableField},
    {0x019AEC, kMapHeaderTableField},
}};

// A level directory: where it starts, and how its map header table marks
// an absent map. The game's own directory marks none (a map exists when
// its header's attribute and theme nibbles agree); in an imported one a
// table entry of 0 is an absent map.
struct LevelDirectory {
  std::uint32_t start = kLevelDirectory;
  bool imported = false;
};
inline constexpr LevelDirectory kGameLevelDirectory{kLevelDirectory, false};
inline constexpr LevelDirectory kImportedDirectory{kImportedLevelDirectory, true};

// True when an import has pointed the game at its directory: the image
// holds that directory's fixed part and all seventeen base references hold
// the addresses an import writes.
bool image_imported(Bytes rom);

// The directory the game reads its levels from.
inline LevelDirectory loaded_directory(Bytes rom) {
  return image_imported(rom) ? kImportedDirectory : kGameLevelDirectory;
}

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

// ROM offset of map `map`'s header, through the map header table of
// `directory`.
std::uint32_t map_header_offset(Bytes rom, std::uint8_t map,
                                LevelDirectory directory = kGameLevelDirectory);

// Reads map `map`'s header (bytes past the end of the image read as 0).
MapHeader read_map_header(Bytes rom, std::uint8_t map,
                          LevelDirectory directory = kGameLevelDirectory);

// One entry per map: 0xFF absent, anything else present.
struct MapExistsTable {
  std::array<std::uint8_t, kMapCount> entries{};
};

// A map exists when its 28-byte header lies wholly inside the image and,
// in the game's own directory, the low nibbles of its attribute byte and
// theme byte agree; in an imported one, when its table entry is not 0.
MapExistsTable build_map_exists_table(Bytes rom, LevelDirectory directory = kGameLevelDirectory);

inline bool map_exists(const MapExistsTable& table, std::uint8_t map) {
  return map < kMapCount && table.entries[map] != 0xFF;
}

}  // namespace gorv
