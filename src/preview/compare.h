// What differs between two map files: header values, the tile and block
// layers square by square over the area both grids cover, the enemy
// entries by their place in the list, and the background section.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec/block_cell.h"
#include "format/map_file.h"

namespace gorv {

enum class HeaderField {
  width,
  size_byte,
  attribute,
  theme_byte,
  start_x,
  start_y,
  end_x,
  end_y,
};

struct HeaderFieldChange {
  HeaderField field;
  unsigned digits;  // hexadecimal digits the field is shown with: 2 or 4
  unsigned old_value;
  unsigned new_value;
};

struct EntryChanges {
  std::size_t added = 0;
  std::size_t removed = 0;
  std::size_t changed = 0;
  std::size_t total() const { return added + removed + changed; }
};

// A square of the new map's grid, counted from 0 at the top left.
struct SquareAt {
  unsigned column = 0, row = 0;
  bool operator==(const SquareAt&) const = default;
};
// The squares of each count that are named; the rest are only counted.
inline constexpr std::size_t kNamedSquares = 8;

struct MapDifferences {
  std::vector<HeaderFieldChange> header;  // in header order
  // The grids in squares, and the area compared: the columns and rows both
  // maps have, counted from the top left corner.
  unsigned old_columns = 0, old_rows = 0;
  unsigned new_columns = 0, new_rows = 0;
  unsigned common_columns = 0, common_rows = 0;
  std::size_t tiles_differ = 0;  // squares of the common area
  // Squares of the common area whose blocks differ as the game reads them
  // after an import (the file's blocks stored and read back).
  EntryChanges blocks;
  // The first kNamedSquares squares of each count, in square order.
  std::vector<SquareAt> tiles_at, added_at, removed_at, changed_at;
  // The block types (type code & 0x1F) of the cells, old and new, of the
  // squares counted in `blocks`.
  std::array<bool, 32> block_types{};
  EntryChanges enemies;
  bool enemy_header_differs = false;  // section present or art_load words
  bool background_differs = false;
  // One byte per square of the new map's grid, row by row: 1 where the
  // square is counted in `tiles_differ` or `blocks`. Squares outside the
  // common area are 0.
  std::vector<std::uint8_t> changed_squares;

  bool same_grid() const { return old_columns == new_columns && old_rows == new_rows; }
};

// A cell as read back: the type byte by its 6-bit type code, and only the
// data bits the block type's stream entry carries. An empty square stays
// all zero.
BlockCell stored_block(const BlockCell& cell);

MapDifferences compare_maps(const MapFile& old_map, const MapFile& new_map);

}  // namespace gorv
