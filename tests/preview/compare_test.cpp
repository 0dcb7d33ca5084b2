#include "preview/compare.h"
#include "cli/compare_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rom/game_facts.h"

namespace gorv {
namespace {

using Lines = std::vector<std::string>;

MapFile blank_map(std::uint8_t width, std::uint8_t size_byte) {
  MapFile map;
  map.values.width = width;
  map.values.size_byte = size_byte;
  map.tiles.assign(grid_size16(width, size_byte), 0x11);
  map.blocks.resize(map_squares(map.values));
  return map;
}

// Cells that the importer stores alike, and cells it does not.
TEST(PreviewCompare, BlocksCountOnlyTheBitsTheImportStores) {
  struct Case {
    BlockCell old_cell, new_cell;
    bool differ;
  };
  const Case cases[] = {
      {{0x83, 1, 2, 0x0F, 4}, {0x83, 1, 2, 0x07, 4}, false},  // 0x03: d3 & 7
      {{0x83, 1, 2, 3, 4}, {0x83, 1, 2, 3, 5}, true},
      {{0x83, 1, 2, 3, 4}, {0x83, 9, 2, 3, 4}, true},
      {{0x84, 1, 2, 3, 3}, {0x84, 1, 2, 3, 1}, false},  // 0x04: d4 & 1
      {{0x84, 1, 2, 3, 0}, {0x84, 1, 2, 4, 0}, true},
      {{0x81, 0x25, 0, 0, 0}, {0x81, 0x05, 9, 9, 9}, false},  // 0x01: five bits of d1
      {{0x81, 0x15, 0, 0, 0}, {0x81, 0x05, 0, 0, 0}, true},
      {{0x8A, 0x1F, 0, 0, 0}, {0x8A, 0x0F, 0, 0, 0}, false},  // 0x0A: four bits
      {{0x90, 0x0F, 0, 0, 0}, {0x90, 0x07, 0, 0, 0}, false},  // 0x10: three bits
      {{0x90, 0x07, 0, 0, 0}, {0x90, 0x03, 0, 0, 0}, true},
      {{0x80, 1, 2, 3, 4}, {0x80, 5, 6, 7, 8}, false},  // a run type keeps no data
      {{0x8B, 1, 2, 3, 4}, {0x8B, 0, 0, 0, 0}, false},
      {{0xC3, 1, 2, 3, 4}, {0x83, 1, 2, 3, 4}, false},  // six bits of type code
      {{0xA3, 1, 2, 3, 4}, {0x83, 1, 2, 3, 4}, true},   // the variant bit counts
  };
  for (const Case& c : cases) {
    MapFile old_map = blank_map(1, 1), new_map = blank_map(1, 1);
    old_map.blocks[9] = c.old_cell;
    new_map.blocks[9] = c.new_cell;
    const MapDifferences d = compare_maps(old_map, new_map);
    EXPECT_EQ(c.differ ? 1u : 0u, d.blocks.changed) << std::hex << int{c.old_cell.type};
    EXPECT_EQ(c.differ ? 1u : 0u, d.changed_squares[9]);
  }
}

TEST(PreviewCompare, SummaryListsEachChange) {
  MapFile old_map = blank_map(1, 1);
  EXPECT_EQ(Lines{"no differences"}, describe_differences(compare_maps(old_map, old_map)));
  old_map.values.start_x = 0x40;
  old_map.blocks[3] = {0x83, 1, 2, 3, 4};
  old_map.blocks[4] = {0x8A, 1, 0, 0, 0};
  old_map.enemy.present = true;
  old_map.enemy.entries = {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 9, 9, 9, 9, 9, 9, 9}};
  MapFile new_map = old_map;
  new_map.values.start_x = 0x80;
  new_map.values.theme_byte = 0x21;
  new_map.tiles[0] = 0x12;
  new_map.tiles[279] = 0x13;
  new_map.blocks[3] = {};
  new_map.blocks[4].d1 = 2;
  new_map.blocks[200] = {0x90, 0, 0, 0, 0};
  new_map.enemy.entries[1][7] = 0;
  new_map.enemy.entries.push_back({});
  new_map.background = {0xFF, 0xFF};
  const Lines expected = {
      "theme byte: 0x00 -> 0x21",
      "start x: 0x0040 -> 0x0080",
      "tiles: 2 squares differ at (0, 0), (19, 13)",
      "blocks: 1 added at (0, 10); 1 removed at (3, 0); 1 changed at (4, 0); types 0x03, 0x0A, "
      "0x10",
      "enemies: 1 added, 0 removed, 1 changed",
      "background: differs",
  };
  EXPECT_EQ(expected, describe_differences(compare_maps(old_map, new_map)));
  new_map = old_map;
  new_map.enemy.art_load[5] = 1;
  EXPECT_EQ(Lines{"enemy header: differs"}, describe_differences(compare_maps(old_map, new_map)));
}

// A map grown by a screen to the right and one down keeps its old squares
// in the top left corner: only the common 20 x 14 squares are compared.
TEST(PreviewCompare, DifferentSizesAreComparedOverTheCommonArea) {
  const MapFile old_map = blank_map(1, 0x01);
  MapFile new_map = blank_map(2, 0x42);
  new_map.tiles[40 + 1] = 0x55;    // (1, 1): inside
  new_map.tiles[40 * 3 + 25] = 0;  // (25, 3): outside
  new_map.blocks[40 * 20 + 3].type = 0x81;
  const MapDifferences d = compare_maps(old_map, new_map);
  const Lines expected = {
      "width: 0x01 -> 0x02",
      "size byte: 0x01 -> 0x42",
      "grid: 20 x 14 squares -> 40 x 28 squares; compared over the common 20 x 14 squares",
      "tiles: 1 square differs at (1, 1)",
  };
  EXPECT_EQ(expected, describe_differences(d));
  ASSERT_EQ(40u * 28u, d.changed_squares.size());
  EXPECT_EQ(1, std::count(d.changed_squares.begin(), d.changed_squares.end(), 1));
  EXPECT_EQ(1, d.changed_squares[40 + 1]);
}

// Blocks count as the game reads them back: a block on a wide block's
// second square, or of a type the game does not read, is no change. Each
// count names its first eight squares, and the picture marks them all.
TEST(PreviewCompare, BlocksAreComparedAsTheGameReadsThemBack) {
  MapFile old_map = blank_map(1, 1);
  old_map.blocks[21] = {0x84, 1, 2, 3, 0};
  MapFile new_map = old_map;
  new_map.blocks[22] = {0x82, 0, 0, 0, 0};  // behind the wide block
  new_map.blocks[40] = {0x88, 0, 0, 0, 0};  // a type the game does not read
  EXPECT_EQ(Lines{"no differences"}, describe_differences(compare_maps(old_map, new_map)));
  for (std::size_t i = 0; i < 10; ++i) new_map.tiles[60 + 2 * i] = 0;
  const MapDifferences d = compare_maps(old_map, new_map);
  EXPECT_EQ(Lines{"tiles: 10 squares differ at (0, 3), (2, 3), (4, 3), (6, 3), (8, 3), (10, 3), "
                  "(12, 3), (14, 3), ..."},
            describe_differences(d));
  for (std::size_t i = 0; i < d.changed_squares.size(); ++i)
    EXPECT_EQ(i >= 60 && i < 80 && i % 2 == 0, d.changed_squares[i] == 1) << i;
}

}  // namespace
}  // namespace gorv
