#include "format/game_map.h"

#include <gtest/gtest.h>

#include <functional>

namespace gorv {
namespace {

// A map of `width` x 1 screens, tiles and blocks all empty, theme byte 0x21.
GameMap blank(std::uint8_t width) {
  GameMap map;
  map.values.width = width;
  map.values.size_byte = 1;
  map.values.attribute = 0x01;
  map.values.theme_byte = 0x21;
  map.tiles.assign(width * 280u, 0);
  map.cells.assign(width * 280u, BlockCell{});
  map.enemy.present = true;
  return map;
}

struct Case {
  const char* what;
  std::uint8_t old_width, new_width;
  std::function<void(GameMap& before, GameMap& now)> edit;
  MapChange expected;
};

MapChange fields(std::initializer_list<MapValueField> list) {
  MapChange change;
  for (const MapValueField f : list)
    change.fields = static_cast<std::uint16_t>(change.fields | 1u << static_cast<unsigned>(f));
  return change;
}

TEST(CompareGameMaps, CountsWhatChangedWhereBothMapsHaveIt) {
  const Case cases[] = {
      {"tiles of the common area only", 2, 1,
       [](GameMap& before, GameMap& now) {
         before.tiles[39] = 7;      // row 0, column 39: past the new width
         before.tiles[40 + 3] = 7;  // row 1, column 3
         now.tiles[20 + 3] = 7;     // row 1, column 3 of the narrower map: the same square
         now.tiles[20 * 13 + 19] = 9;
       },
       [] {
         MapChange c = fields({MapValueField::width});
         c.tiles = 1;
         return c;
       }()},
      {"blocks added, removed, changed by type or data", 1, 1,
       [](GameMap& before, GameMap& now) {
         now.cells[0] = {0x81, 0, 0, 0, 0};
         before.cells[1] = {0x81, 0, 0, 0, 0};
         before.cells[2] = {0x81, 0, 0, 0, 0};
         now.cells[2] = {0x82, 0, 0, 0, 0};
         before.cells[3] = {0x83, 1, 2, 3, 4};
         now.cells[3] = {0x83, 1, 2, 3, 5};
         before.cells[4] = now.cells[4] = {0x84, 1, 1, 1, 1};
       },
       [] {
         MapChange c;
         c.blocks_added = 1;
         c.blocks_removed = 1;
         c.blocks_changed = 2;
         return c;
       }()},
      {"an unreadable enemy layout counts as an empty list", 1, 1,
       [](GameMap& before, GameMap& now) {
         before.enemy = {};
         now.enemy.art_load = {1, 2, 3, 4, 5, 6};
       },
       MapChange{}},
      {"enemies, background and the theme byte's three parts", 1, 1,
       [](GameMap& before, GameMap& now) {
         before.enemy.entries.resize(2);
         now.enemy.entries.resize(3);
         now.background = {0xFF, 0xFF};
         now.values.theme_byte = 0x92;  // theme 2, effect 1, bits 7-6: 2
         now.values.end_y = 1;
       },
       [] {
         MapChange c = fields({MapValueField::theme, MapValueField::effect,
                               MapValueField::theme_bits_7_6, MapValueField::end_y});
         c.background = true;
         c.enemies = true;
         c.enemies_before = 2;
         c.enemies_now = 3;
         return c;
       }()},
  };
  for (const Case& c : cases) {
    GameMap before = blank(c.old_width);
    GameMap now = blank(c.new_width);
    c.edit(before, now);
    const MapChange got = compare_game_maps(before, now);
    const MapChange& want = c.expected;
    EXPECT_EQ(got.tiles, want.tiles) << c.what;
    EXPECT_EQ(got.blocks_added, want.blocks_added) << c.what;
    EXPECT_EQ(got.blocks_removed, want.blocks_removed) << c.what;
    EXPECT_EQ(got.blocks_changed, want.blocks_changed) << c.what;
    EXPECT_EQ(got.background, want.background) << c.what;
    EXPECT_EQ(got.enemies, want.enemies) << c.what;
    EXPECT_EQ(got.enemies_before, want.enemies_before) << c.what;
    EXPECT_EQ(got.enemies_now, want.enemies_now) << c.what;
    EXPECT_EQ(got.fields, want.fields) << c.what;
    EXPECT_EQ(got.any(), want.any()) << c.what;
    EXPECT_FALSE(got.is_new) << c.what;
  }
  EXPECT_TRUE(compare_game_maps(std::nullopt, blank(1)).is_new);
}

}  // namespace
}  // namespace gorv
