// The preview's pictures, read back from their PNG bytes with libpng.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "format/map_file.h"
#include "picture/png.h"
#include "preview/compare.h"
#include "preview/draw.h"
#include "rom/game_facts.h"
#include "support/png_pixels.h"

namespace gorv {
namespace {

struct Decoded {
  unsigned width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  Rgb at(unsigned x, unsigned y) const {
    const std::size_t i = (std::size_t{y} * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

// Encodes with the tool, decodes with libpng, and checks that every pixel
// came back.
Decoded round_trip(const Picture& picture) {
  const Picture read = test::read_png(encode_png(picture));
  EXPECT_EQ(picture.width, read.width);
  EXPECT_EQ(picture.height, read.height);
  EXPECT_TRUE(picture.rgb == read.rgb);
  return {read.width, read.height, read.rgb};
}

// Through the file format and back, as the front end will get it.
MapFile through_file(const MapFile& map) {
  const ParsedMapFile parsed = parse_map_file(serialize_map_file(map));
  EXPECT_EQ(MapFileDamage::Problem::none, parsed.damage.problem);
  return parsed.file;
}

MapFile blank_map(std::uint8_t width, std::uint8_t size_byte) {
  MapFile map;
  map.values.width = width;
  map.values.size_byte = size_byte;
  map.tiles.resize(grid_size16(width, size_byte));
  for (std::size_t i = 0; i < map.tiles.size(); ++i)
    map.tiles[i] = static_cast<std::uint8_t>(i * 7 + i / 40);
  map.blocks.resize(map_squares(map.values));
  return map;
}

TEST(PreviewPicture, TilesBlocksLinesExtraRowsAndMarkers) {
  MapFile map = blank_map(2, 0x42);  // 2 x 2 screens, one extra row
  map.values.start_x = 40;           // square (2, 12), 8 pixels into it
  map.values.start_y = 200;
  map.values.end_x = 600;  // square (37, 6)
  map.values.end_y = 100;
  const unsigned cols = 40;
  map.blocks[3 * cols + 5].type = 0x83;  // plain type 0x03
  map.blocks[3 * cols + 7].type = 0xAA;  // type 0x0A, variant
  map.blocks[20 * cols + 30].type = 0x90;
  const Decoded d = round_trip(draw_preview(through_file(map), "map0a.gvm"));
  ASSERT_EQ(400u, d.width);  // the strip is wider than the 320 pixels of the map

  // Tile squares without blocks, away from lines and markers.
  for (const unsigned i : {0u, 1u, 2u, 41u, 100u, 1000u, 1119u})
    EXPECT_EQ(tile_colour(map.tiles[i]), d.at(i % cols * 8 + 4, i / cols * 8 + 4)) << i;
  // Outlines in their types' colours; the variant fills its corner.
  EXPECT_EQ(block_colour(0x03), d.at(5 * 8, 3 * 8 + 4));
  EXPECT_EQ(block_colour(0x03), d.at(5 * 8 + 7, 3 * 8 + 4));
  EXPECT_EQ(block_colour(0x0A), d.at(7 * 8 + 4, 3 * 8 + 7));
  EXPECT_EQ(block_colour(0x10), d.at(30 * 8 + 4, 20 * 8));
  EXPECT_EQ(block_colour(0x0A), d.at(7 * 8 + 2, 3 * 8 + 2));
  EXPECT_EQ(tile_colour(map.tiles[3 * cols + 5]), d.at(5 * 8 + 2, 3 * 8 + 2));
  // Screen lines: in row 4, only column 160 is white across the grid's 320
  // pixels, and in column 4 only row 112 down its 224.
  std::set<unsigned> line_columns, line_rows;
  for (unsigned x = 0; x < 320; ++x)
    if (d.at(x, 4) == kScreenLine) line_columns.insert(x);
  for (unsigned y = 0; y < 224; ++y)
    if (d.at(4, y) == kScreenLine) line_rows.insert(y);
  EXPECT_EQ((std::set<unsigned>{160}), line_columns);
  EXPECT_EQ((std::set<unsigned>{112}), line_rows);
  // The extra row: 16 pixels of two shades below the grid.
  std::set<std::uint32_t> shades;
  for (unsigned y = 224; y < 240; ++y)
    for (unsigned x = 0; x < 320; ++x)
      if (x != 160) shades.insert(d.at(x, y).r << 16 | d.at(x, y).g << 8 | d.at(x, y).b);
  EXPECT_EQ(2u, shades.size());
  EXPECT_EQ(kExtraRowBase, d.at(3, 224));
  // Markers at pixel / 16 * 8.
  EXPECT_EQ(kStartMarker, d.at(20, 100));
  EXPECT_EQ(kEndMarker, d.at(300, 50));
  // The legend shows the colour of each block type present, and no other.
  std::array<unsigned, kBlockTypeCount> swatch_pixels{};
  for (unsigned y = 240; y < d.height; ++y)
    for (unsigned x = 0; x < d.width; ++x)
      for (unsigned t = 0; t < kBlockTypeCount; ++t)
        if (d.at(x, y) == block_colour(static_cast<std::uint8_t>(t))) ++swatch_pixels[t];
  for (unsigned t = 0; t < kBlockTypeCount; ++t)
    EXPECT_EQ(t == 0x03 || t == 0x0A || t == 0x10, swatch_pixels[t] > 0) << t;
}

TEST(PreviewPicture, ScaleKeepsTheMapPartWithin4096Pixels) {
  struct Case {
    unsigned columns, rows, scale;
  };
  for (const Case c : {Case{20, 14, 8},
                       {500, 14, 8},
                       {520, 14, 7},
                       {585, 14, 7},
                       {586, 14, 6},
                       {1020, 510, 4},
                       {14, 512, 8},
                       {14, 513, 7},
                       {2048, 14, 2},
                       {5100, 14, 2}})
    EXPECT_EQ(c.scale, preview_scale(c.columns, c.rows)) << c.columns << " x " << c.rows;
}

// The largest map: its 16-bit grid size wraps, so the file holds tiles for
// the first 55,328 of its 514,080 squares; the rest show the no-data pattern.
TEST(PreviewPicture, LargestMapIsScaledAndItsWrappedTilesShowNoData) {
  MapFile map = blank_map(51, 0xC0 | 36);
  ASSERT_EQ(55328u, map.tiles.size());
  const Decoded d = round_trip(draw_preview(through_file(map), "map7d.gvm"));
  EXPECT_EQ(4080u, d.width);                // 1,020 columns at 4 pixels
  EXPECT_EQ(kExtraRowBase, d.at(4, 2039));  // 504 rows + 6 extra at 4 pixels: 2,040
  auto square = [&](std::size_t i) {
    std::set<std::uint32_t> colours;
    for (unsigned y = 0; y < 4; ++y)
      for (unsigned x = 1; x < 4; ++x) {  // column 0 may be a screen line
        const Rgb c =
            d.at(static_cast<unsigned>(i % 1020 * 4 + x), static_cast<unsigned>(i / 1020 * 4 + y));
        colours.insert(c.r << 16 | c.g << 8 | c.b);
      }
    return colours;
  };
  const auto to_key = [](Rgb c) { return std::uint32_t(c.r << 16 | c.g << 8 | c.b); };
  EXPECT_EQ(std::set<std::uint32_t>{to_key(tile_colour(map.tiles[55327]))}, square(55327));
  const std::set<std::uint32_t> no_data = {to_key(kNoDataDark), to_key(kNoDataLight)};
  for (const std::size_t i : {std::size_t{55328}, std::size_t{55329}, std::size_t{514079}})
    EXPECT_EQ(no_data, square(i)) << i;
}

// Tiles that end in the middle of a row: from the next square on, every
// pixel of the grid shows the checkerboard in phase with the picture.
TEST(PreviewPicture, NoDataPatternFromTheMiddleOfARow) {
  MapFile map = blank_map(1, 0x01);
  const PreviewGeometry g = preview_geometry(map.values);
  map.tiles.resize(3 * g.columns + 7);
  const Picture p = draw_preview(map, "map00.gvm");
  // From the third row of squares on, below the markers at the corner.
  for (unsigned py = 2 * g.scale; py < g.grid_rows * g.scale; ++py) {
    for (unsigned px = 0; px < g.columns * g.scale; ++px) {
      const std::size_t square = std::size_t{py / g.scale} * g.columns + px / g.scale;
      const Rgb expected =
          square < map.tiles.size() ? tile_colour(map.tiles[square]) : no_data_colour(px, py);
      ASSERT_EQ(expected, pixel_at(p, px, py)) << px << ", " << py;
    }
  }
}

TEST(PreviewPicture, ChangesAreMarkedExactlyWhereTheMapsDiffer) {
  MapFile old_map = blank_map(2, 0x01);
  old_map.values.start_x = old_map.values.end_x = 600;  // both in square (37, 12)
  old_map.values.start_y = old_map.values.end_y = 200;
  old_map.blocks[20].type = 0x84;
  old_map.blocks[21].type = 0x81;
  MapFile new_map = old_map;
  new_map.tiles[5] ^= 1;
  new_map.tiles[47] ^= 1;
  new_map.tiles[48] ^= 1;
  new_map.blocks[100].type = 0x8B;  // added
  new_map.blocks[20].type = 0;      // removed
  new_map.blocks[21].d1 = 0x1F;     // changed in a stored bit
  new_map.blocks[22].type = 0;      // nothing to remove
  const std::set<unsigned> expected = {5, 20, 21, 47, 48, 100};
  old_map = through_file(old_map);
  new_map = through_file(new_map);
  const Decoded plain = round_trip(draw_preview(new_map, "map01.gvm"));
  const Decoded marked =
      round_trip(draw_changes(new_map, compare_maps(old_map, new_map), "map01.gvm"));
  ASSERT_EQ(plain.width, marked.width);
  for (unsigned i = 0; i < 40 * 14; ++i) {
    const unsigned x = i % 40, y = i / 40;
    if (x >= 34 && y >= 10) continue;  // under the markers
    const Rgb was = plain.at(x * 8 + 4, y * 8 + 4);
    EXPECT_EQ(expected.count(i) ? was : dimmed(was), marked.at(x * 8 + 4, y * 8 + 4)) << i;
  }
  // The frame lies outside a lone changed square, and around a pair.
  EXPECT_EQ(kChangeMark, marked.at(5 * 8 - 1, 4));
  EXPECT_EQ(kChangeMark, marked.at(5 * 8 + 8, 4));
  EXPECT_EQ(kChangeMark, marked.at(5 * 8 + 4, 8));
  EXPECT_EQ(kChangeMark, marked.at(7 * 8 + 4, 1 * 8 - 1));
  EXPECT_NE(kChangeMark, marked.at(8 * 8, 1 * 8 + 4));  // between squares 47 and 48
}

}  // namespace
}  // namespace gorv
