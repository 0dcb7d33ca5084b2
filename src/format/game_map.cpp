#include "format/game_map.h"

#include <algorithm>

#include "codec/block_decoder.h"
#include "codec/lz_decoder.h"
#include "common/byte_order.h"
#include "format/background_layout.h"
#include "rom/game_facts.h"
#include "rom/output_buffer.h"

namespace gorv {

namespace {

// The enemy layout record: the list address, four bytes the game does not
// read, then the 8-byte enemy header whose last word is the end word.
constexpr std::uint64_t kEnemyHeaderAt = 8;
constexpr std::uint64_t kEnemyEndWordAt = kEnemyHeaderAt + 6;

}  // namespace

MapValues map_values_of(const MapHeader& h) {
  MapValues v;
  v.width = h.width;
  v.size_byte = h.size_byte;
  v.attribute = h.attribute;
  v.theme_byte = h.theme_byte;
  v.start_x = h.start_x;
  v.start_y = h.start_y;
  v.end_x = h.end_x;
  v.end_y = h.end_y;
  return v;
}

namespace {

std::uint16_t field_bits(const MapValues& a, const MapValues& b) {
  const unsigned pairs[kMapValueFieldCount][2] = {
      {a.width, b.width},
      {map_height(a.size_byte), map_height(b.size_byte)},
      {map_extra_rows(a.size_byte), map_extra_rows(b.size_byte)},
      {a.attribute, b.attribute},
      {theme_of(a.theme_byte), theme_of(b.theme_byte)},
      {effect_of(a.theme_byte), effect_of(b.theme_byte)},
      {a.theme_byte >> 6u & 3u, b.theme_byte >> 6u & 3u},
      {a.start_x, b.start_x},
      {a.start_y, b.start_y},
      {a.end_x, b.end_x},
      {a.end_y, b.end_y},
  };
  std::uint16_t bits = 0;
  for (unsigned f = 0; f < kMapValueFieldCount; ++f)
    if (pairs[f][0] != pairs[f][1]) bits = static_cast<std::uint16_t>(bits | 1u << f);
  return bits;
}

bool same_cell(const BlockCell& a, const BlockCell& b) {
  return a.type == b.type && a.d1 == b.d1 && a.d2 == b.d2 && a.d3 == b.d3 && a.d4 == b.d4;
}

// The tile and block layers square by square over the area both grids
// cover, as --compare counts them.
void compare_squares(const GameMap& before, const GameMap& now, MapChange& change) {
  const std::uint64_t old_columns = grid_columns(before.values.width);
  const std::uint64_t new_columns = grid_columns(now.values.width);
  const std::uint64_t columns = std::min(old_columns, new_columns);
  std::uint64_t rows = std::min(std::uint64_t{map_height(before.values.size_byte)},
                                std::uint64_t{map_height(now.values.size_byte)}) *
                       kScreenRows;
  // Both maps hold a tile and a cell for every square of their grids.
  const auto whole_rows = [](const GameMap& map, std::uint64_t columns) {
    return columns == 0 ? 0 : std::min(map.tiles.size(), map.cells.size()) / columns;
  };
  rows = std::min({rows, whole_rows(before, old_columns), whole_rows(now, new_columns)});
  for (std::uint64_t row = 0; row < rows; ++row) {
    const std::uint64_t old_row = row * old_columns;
    const std::uint64_t new_row = row * new_columns;
    const std::uint8_t* a = before.tiles.data() + old_row;
    const std::uint8_t* b = now.tiles.data() + new_row;
    for (std::uint64_t c = 0; c < columns; ++c) change.tiles += a[c] != b[c];
    const BlockCell* x = before.cells.data() + old_row;
    const BlockCell* y = now.cells.data() + new_row;
    for (std::uint64_t c = 0; c < columns; ++c) {
      if ((x[c].type | y[c].type) == 0) continue;
      if (x[c].type == 0)
        ++change.blocks_added;
      else if (y[c].type == 0)
        ++change.blocks_removed;
      else if (!same_cell(x[c], y[c]))
        ++change.blocks_changed;
    }
  }
}

}  // namespace

EnemyLayoutRead read_stored_enemy_layout(Bytes rom, std::uint64_t address) {
  EnemyLayoutRead read;
  const std::uint32_t list = read_be32(rom, address);
  const std::uint16_t last_word = read_be16(rom, address + kEnemyEndWordAt);
  if (last_word != kEnemyHeaderEndWord) {
    read.problem = EnemyLayoutRead::Problem::no_end_word;
    read.value = last_word;
    return read;
  }
  const std::uint8_t marker = read_u8(rom, list);
  if ((marker & 0x7F) != 0) {
    read.problem = EnemyLayoutRead::Problem::bad_marker;
    read.value = marker & 0x80u;
    return read;
  }
  // Only the entries that lie wholly inside the image are kept, and the
  // count says how many were kept.
  const std::uint64_t first = std::uint64_t{list} + 2;
  const std::uint64_t room = first <= rom.size() ? (rom.size() - first) / kEnemyEntrySize : 0;
  const std::uint64_t count = std::min<std::uint64_t>(read_u8(rom, std::uint64_t{list} + 1), room);
  EnemySection& section = read.section;
  section.present = true;
  for (std::size_t i = 0; i < section.art_load.size(); ++i)
    section.art_load[i] = read_u8(rom, address + kEnemyHeaderAt + i);
  section.entries.resize(static_cast<std::size_t>(count));
  for (std::uint64_t n = 0; n < count; ++n) {
    auto& entry = section.entries[static_cast<std::size_t>(n)];
    const std::uint64_t at = first + n * kEnemyEntrySize;
    for (std::size_t i = 0; i < entry.size(); ++i) entry[i] = read_u8(rom, at + i);
  }
  return read;
}

GameMap read_game_map(Bytes rom, const MapHeader& h) {
  const auto squares = static_cast<std::size_t>(grid_squares(h.width, h.size_byte));
  return read_game_map(
      rom, h, decode_block_cells(rom, h.block_address, h.width, squares, kAllBlockTypes).cells);
}

GameMap read_game_map(Bytes rom, const MapHeader& h, std::vector<BlockCell> cells) {
  GameMap map;
  map.values = map_values_of(h);
  OutputBuffer tiles;
  tiles.storage.resize(std::size_t{h.grid_size} + 256);  // room enough: no growing
  lz_decode(rom, h.tile_address, h.grid_size, tiles);
  const auto product = contents(tiles);
  map.tiles.assign(product.begin(), product.end());
  map.tiles.resize(static_cast<std::size_t>(grid_squares(h.width, h.size_byte)));
  map.cells = std::move(cells);
  map.background = read_background_layout(rom, h.background_address, map_theme(h));
  map.enemy = read_stored_enemy_layout(rom, h.enemy_address).section;
  return map;
}

MapChange compare_game_maps(const std::optional<GameMap>& before, const GameMap& now) {
  MapChange change;
  if (!before) {
    change.is_new = true;
    return change;
  }
  change.fields = field_bits(before->values, now.values);
  compare_squares(*before, now, change);
  change.background = before->background != now.background;
  const EnemySection& old_enemy = before->enemy;
  change.enemies_before = old_enemy.entries.size();
  change.enemies_now = now.enemy.entries.size();
  change.enemies =
      old_enemy.entries != now.enemy.entries ||
      (old_enemy.present && now.enemy.present && old_enemy.art_load != now.enemy.art_load);
  return change;
}

}  // namespace gorv
