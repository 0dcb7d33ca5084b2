// A map as the game loads it from an image, and what differs between two
// such maps: how the import tells a designer what it changed. Both sides
// are read the same way (the one before an import from the old image, the
// one after from the new), so a map imported unchanged compares equal.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "codec/block_cell.h"
#include "format/map_file.h"
#include "rom/map_header.h"

namespace gorv {

// The enemy layout at `address` as the image stores it: the art_load words
// and the entries (those that lie wholly inside the image), unchanged.
struct EnemyLayoutRead {
  enum class Problem : std::uint8_t {
    none,
    no_end_word,  // `value` is the enemy header's last word
    bad_marker,   // the list marker is neither 0x80 nor 0x00; `value` is its bit 7
  };
  Problem problem = Problem::none;
  std::uint16_t value = 0;
  EnemySection section;  // present only when there is no problem
};
EnemyLayoutRead read_stored_enemy_layout(Bytes rom, std::uint64_t address);

// The twelve header values of a map header.
MapValues map_values_of(const MapHeader& h);

struct GameMap {
  MapValues values;
  // One tile per square of the grid: the tile layout unpacked to the 16-bit
  // grid size, the squares past it (a grid that wraps, a stream cut short)
  // 0.
  std::vector<std::uint8_t> tiles;
  // One cell per square (the whole grid), type byte 0x80 | type code or 0.
  std::vector<BlockCell> cells;
  std::vector<std::uint8_t> background;  // in map-file form
  EnemySection enemy;                    // as stored; not present when it cannot be read
};

// The map whose header is `h`. Layouts that cannot be read come out empty.
GameMap read_game_map(Bytes rom, const MapHeader& h);
// The same with the block layout decoded already, into `cells`.
GameMap read_game_map(Bytes rom, const MapHeader& h, std::vector<BlockCell> cells);

// The header values an import summary names, in the order it names them.
enum class MapValueField : std::uint8_t {
  width,
  height,
  extra_rows,
  attributes,
  theme,
  effect,
  theme_bits_7_6,
  start_x,
  start_y,
  end_x,
  end_y,
};
inline constexpr unsigned kMapValueFieldCount = 11;

struct MapChange {
  bool is_new = false;  // the game had no such map before
  // Squares of the area both grids cover (from the top left).
  std::uint64_t tiles = 0;
  std::uint64_t blocks_added = 0, blocks_removed = 0, blocks_changed = 0;
  bool background = false;
  bool enemies = false;
  std::uint64_t enemies_before = 0, enemies_now = 0;
  std::uint16_t fields = 0;  // bit f: MapValueField f differs

  bool field(MapValueField f) const { return (fields >> static_cast<unsigned>(f) & 1u) != 0; }
  bool any() const {
    return is_new || tiles != 0 || blocks_added != 0 || blocks_removed != 0 ||
           blocks_changed != 0 || background || enemies || fields != 0;
  }
};

// What changed from `before` (nothing: the game had no such map) to `now`.
MapChange compare_game_maps(const std::optional<GameMap>& before, const GameMap& now);

}  // namespace gorv
