#include "preview/compare.h"

#include <algorithm>

#include "codec/block_stream.h"
#include "format/map_read_back.h"
#include "rom/game_facts.h"

namespace gorv {

namespace {

std::vector<HeaderFieldChange> header_changes(const MapValues& a, const MapValues& b) {
  const HeaderFieldChange fields[] = {
      {HeaderField::width, 2, a.width, b.width},
      {HeaderField::size_byte, 2, a.size_byte, b.size_byte},
      {HeaderField::attribute, 2, a.attribute, b.attribute},
      {HeaderField::theme_byte, 2, a.theme_byte, b.theme_byte},
      {HeaderField::start_x, 4, a.start_x, b.start_x},
      {HeaderField::start_y, 4, a.start_y, b.start_y},
      {HeaderField::end_x, 4, a.end_x, b.end_x},
      {HeaderField::end_y, 4, a.end_y, b.end_y},
  };
  std::vector<HeaderFieldChange> changes;
  for (const auto& field : fields)
    if (field.old_value != field.new_value) changes.push_back(field);
  return changes;
}

bool same_block(const BlockCell& a, const BlockCell& b) {
  return a.type == b.type && a.d1 == b.d1 && a.d2 == b.d2 && a.d3 == b.d3 && a.d4 == b.d4;
}

// The tile of square `i`, or -1 where the file holds none.
int tile_at(const MapFile& map, std::size_t i) {
  return i < map.tiles.size() ? map.tiles[i] : -1;
}

BlockCell block_at(const std::vector<BlockCell>& cells, std::size_t i) {
  return i < cells.size() ? stored_block(cells[i]) : BlockCell{};
}

void name_square(std::vector<SquareAt>& named, unsigned x, unsigned y) {
  if (named.size() < kNamedSquares) named.push_back({x, y});
}

EntryChanges compare_enemies(const EnemySection& a, const EnemySection& b) {
  EntryChanges c;
  const std::size_t common = std::min(a.entries.size(), b.entries.size());
  for (std::size_t i = 0; i < common; ++i)
    if (a.entries[i] != b.entries[i]) ++c.changed;
  c.added = b.entries.size() - common;
  c.removed = a.entries.size() - common;
  return c;
}

}  // namespace

BlockCell stored_block(const BlockCell& cell) {
  if (cell.type == 0) return {};
  const std::uint8_t code = code_of_cell_type(cell.type);
  BlockCell kept{cell_type_of_code(code)};
  const BlockTypeFormat format = block_type_format(block_type_of_code(code));
  switch (format.payload) {
    case Payload::kRunValues:
      kept.d1 = static_cast<std::uint8_t>(cell.d1 & block_field_mask(format.value_bits));
      break;
    case Payload::kRepeatData:
      kept.d1 = cell.d1;
      kept.d2 = cell.d2;
      kept.d3 = cell.d3 & kRepeatD3Mask;
      kept.d4 = cell.d4;
      break;
    case Payload::kData:
      kept.d1 = cell.d1;
      kept.d2 = cell.d2;
      kept.d3 = cell.d3;
      kept.d4 = cell.d4 & kDataD4Mask;
      break;
    case Payload::kRun:
    case Payload::kNone:
    case Payload::kUnhandled:
      break;
  }
  return kept;
}

MapDifferences compare_maps(const MapFile& old_map, const MapFile& new_map) {
  MapDifferences d;
  d.header = header_changes(old_map.values, new_map.values);
  d.old_columns = static_cast<unsigned>(grid_columns(old_map.values.width));
  d.old_rows = static_cast<unsigned>(grid_rows(old_map.values.size_byte));
  d.new_columns = static_cast<unsigned>(grid_columns(new_map.values.width));
  d.new_rows = static_cast<unsigned>(grid_rows(new_map.values.size_byte));
  d.common_columns = std::min(d.old_columns, d.new_columns);
  d.common_rows = std::min(d.old_rows, d.new_rows);
  d.changed_squares.assign(std::size_t{d.new_columns} * d.new_rows, 0);
  // Blocks as the import stores them and the game reads them back.
  const std::vector<BlockCell> old_blocks = read_back(old_map).cells;
  const std::vector<BlockCell> new_blocks = read_back(new_map).cells;

  for (unsigned y = 0; y < d.common_rows; ++y) {
    for (unsigned x = 0; x < d.common_columns; ++x) {
      const std::size_t i_old = std::size_t{y} * d.old_columns + x;
      const std::size_t i_new = std::size_t{y} * d.new_columns + x;
      const bool tile_differs = tile_at(old_map, i_old) != tile_at(new_map, i_new);
      const BlockCell a = block_at(old_blocks, i_old);
      const BlockCell b = block_at(new_blocks, i_new);
      const bool block_differs = !same_block(a, b);
      if (tile_differs) {
        ++d.tiles_differ;
        name_square(d.tiles_at, x, y);
      }
      if (block_differs) {
        if (a.type == 0) {
          ++d.blocks.added;
          name_square(d.added_at, x, y);
        } else if (b.type == 0) {
          ++d.blocks.removed;
          name_square(d.removed_at, x, y);
        } else {
          ++d.blocks.changed;
          name_square(d.changed_at, x, y);
        }
        if (a.type != 0) d.block_types[block_type_of_code(code_of_cell_type(a.type))] = true;
        if (b.type != 0) d.block_types[block_type_of_code(code_of_cell_type(b.type))] = true;
      }
      if (tile_differs || block_differs) d.changed_squares[i_new] = 1;
    }
  }

  d.enemies = compare_enemies(old_map.enemy, new_map.enemy);
  d.enemy_header_differs = old_map.enemy.present != new_map.enemy.present ||
                           old_map.enemy.art_load != new_map.enemy.art_load;
  d.background_differs = old_map.background != new_map.background;
  return d;
}

}  // namespace gorv
