#include "import/map_file_reader.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

#include <string>
#include <vector>

#include "support/map_file_maker.h"

namespace gorv {
namespace {

using test::empty_block_section;
using test::make_map_file;
using test::MapFileParts;
using Section = std::vector<std::uint8_t>;

// A 1 x 1 screen map with a blank tile layout, no blocks, theme 0 and no
// enemies.
MapFileParts small_map() {
  MapFileParts p;
  p.tile.assign(280, 0x00);
  p.block = empty_block_section(280);
  p.enemy = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00};
  return p;
}

struct Read {
  bool ok = false;
  MapRecord record;
  std::string problem;
};

Read read(const std::vector<std::uint8_t>& file) {
  Read r;
  const std::optional<MapFileError> error = read_map_file(file, r.record);
  r.ok = !error;
  if (error) r.problem = map_file_damage_text(error->damage);
  return r;
}

// The block cell array the encoder gets for a map file's block section.
bool read_block_cells(const Section& section, bool current, std::uint8_t width,
                      std::uint8_t size_byte, std::vector<BlockCell>& cells, std::string& problem) {
  MapFile file;
  file.values.width = width;
  file.values.size_byte = size_byte;
  const MapFileDamage damage =
      read_block_section(section, current, map_squares(file.values), file.blocks);
  problem = map_file_damage_text(damage);
  if (damage.problem != MapFileDamage::Problem::none) return false;
  cells = working_cells(file.blocks, file.values);
  return true;
}

TEST(MapFileReader, FileNamesHaveLowerCaseDigits) {
  EXPECT_EQ("map00.gvm", map_file_name(0x00));
  EXPECT_EQ("map2a.gvm", map_file_name(0x2A));
  EXPECT_EQ("map7d.gvm", map_file_name(0x7D));
}

TEST(MapFileReader, HeaderImageTurnsTheWordsBigEndian) {
  MapFileParts p = small_map();
  p.height_byte = 0x81;  // extra rows in bits 7-6 are kept
  p.attribute = 0x85;
  p.theme_byte = 0x20;
  p.start_x = 0x0123;
  p.start_y = 0x4567;
  p.end_x = 0x89AB;
  p.end_y = 0xCDEF;
  const Read r = read(make_map_file(p));
  ASSERT_TRUE(r.ok) << r.problem;
  const std::array<std::uint8_t, 28> expected = {0x01, 0x81, 0x85, 0x20, 0x01, 0x23,
                                                 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
  EXPECT_EQ(expected, r.record.header);
}

TEST(MapFileReader, EarlierLayoutReadsFromOffsetFourWithFiveByteRecords) {
  MapFileParts p = small_map();
  p.earlier_layout = true;
  p.start_x = 0x0102;
  p.block.clear();
  for (int i = 0; i < 280; ++i) p.block.insert(p.block.end(), {0x3F, 0, 0, 0, 0});
  const auto file = make_map_file(p);
  ASSERT_EQ(0x01, file[4]);  // byte 4 is the width: bit 7 clear
  const Read r = read(file);
  ASSERT_TRUE(r.ok) << r.problem;
  EXPECT_EQ(0x01, r.record.header[0]);
  EXPECT_EQ(0x01, r.record.header[4]);
  EXPECT_EQ(0x02, r.record.header[5]);
  EXPECT_EQ(280u, r.record.tile_layout.size());
}

TEST(MapFileReader, TileLayoutTakesOnlyTheGridSizeBytes) {
  MapFileParts p = small_map();
  for (std::size_t i = 0; i < p.tile.size(); ++i) p.tile[i] = static_cast<std::uint8_t>(i);
  const Section first = p.tile;
  p.tile.insert(p.tile.end(), {0xEE, 0xEE, 0xEE});  // a completed back-reference
  const Read r = read(make_map_file(p));
  ASSERT_TRUE(r.ok) << r.problem;
  EXPECT_EQ(first, r.record.tile_layout);
}

TEST(MapFileReader, BackgroundByTheme) {
  MapFileParts p = small_map();
  // List themes: the entries, then FF FF; an empty list is FF FF alone.
  p.theme_byte = 0x01;
  p.background = {0xFF, 0xFF};
  EXPECT_EQ((Section{0xFF, 0xFF}), read(make_map_file(p)).record.background);
  p.theme_byte = 0x3A;  // theme 10, effect bits above
  p.background = {0x00, 0x12, 0x00, 0x50, 0x00, 0x40, 0x80,
                  0x00, 0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF};
  EXPECT_EQ(p.background, read(make_map_file(p)).record.background);
  // Fixed themes: 232 bytes as they stand.
  p.theme_byte = 0x05;
  p.background.assign(232, 0);
  for (std::size_t i = 0; i < 232; ++i) p.background[i] = static_cast<std::uint8_t>(i ^ 0x5C);
  EXPECT_EQ(p.background, read(make_map_file(p)).record.background);
  // Theme 0 and themes 11 to 15: none, whatever the section holds.
  for (std::uint8_t theme : {0x00, 0x0B, 0x0F}) {
    p.theme_byte = theme;
    const Read r = read(make_map_file(p));
    ASSERT_TRUE(r.ok) << r.problem;
    EXPECT_TRUE(r.record.background.empty()) << int{theme};
  }
}

TEST(MapFileReader, EnemyRecordWithNoEntriesIs18Bytes) {
  const Read r = read(make_map_file(small_map()));
  ASSERT_TRUE(r.ok) << r.problem;
  EXPECT_EQ(
      (Section{0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x7D, 0x00, 0x80, 0x00}),
      r.record.enemy);
}

TEST(MapFileReader, EmptyEnemySectionBecomesAnEmptyList) {
  // The map dump leaves the section empty when the image's enemy layout
  // cannot be read; such a file must still import.
  MapFileParts p = small_map();
  p.enemy.clear();
  const Read r = read(make_map_file(p));
  ASSERT_TRUE(r.ok) << r.problem;
  EXPECT_EQ(
      (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7D, 0x00, 0x80, 0x00}),
      r.record.enemy);
}

TEST(MapFileReader, EnemyEntriesAreCopiedAsTheyStand) {
  MapFileParts p = small_map();
  p.enemy = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x02, 1,  2,  0x00, 0x02, 5,
             6,    7,    8,    9,    10,   0x00, 0x01, 13, 14, 15,   16};
  const Read r = read(make_map_file(p));
  ASSERT_TRUE(r.ok) << r.problem;
  Section expected = {0,    0,    0,    0,    0,    0,    0,    0,    0xA0,
                      0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x7D, 0x00, 0x80, 0x02};
  expected.insert(expected.end(), p.enemy.begin() + 7, p.enemy.end());
  EXPECT_EQ(expected, r.record.enemy);
}

// Block cells of a 1 x 1 screen map read from a section.
std::vector<BlockCell> cells_of(const Section& section, bool current = true) {
  std::vector<BlockCell> cells;
  std::string problem;
  EXPECT_TRUE(read_block_cells(section, current, 1, 1, cells, problem)) << problem;
  EXPECT_EQ(300u, cells.size());
  return cells;
}

TEST(BlockCells, RunByteAndBlockCell) {
  // 0x03: four empty squares; 0x84 and four bytes: one cell of working type 5,
  // and the square behind it the placeholder 0x15.
  Section section = {0x03, 0x84, 0x11, 0x22, 0x33, 0x44, 0xA0, 1, 2, 3, 4};
  const auto rest = empty_block_section(280 - 6);
  section.insert(section.end(), rest.begin(), rest.end());
  const auto cells = cells_of(section);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(0, cells[i].type) << i;
  EXPECT_EQ(0x05, cells[4].type);
  EXPECT_EQ((std::array<std::uint8_t, 4>{0x11, 0x22, 0x33, 0x44}),
            (std::array<std::uint8_t, 4>{cells[4].d1, cells[4].d2, cells[4].d3, cells[4].d4}));
  EXPECT_EQ(0x15, cells[5].type);  // was 0x21 from the block 0xA0
  EXPECT_EQ(1, cells[5].d1);
  EXPECT_EQ(0, cells[6].type);
}

TEST(BlockCells, PlaceholderScanGoesOnBehindThePlaceholder) {
  // Three cells of block type 0x04 (one with the variant bit): the second is
  // turned into the placeholder and so does not mark the third's neighbour.
  Section section = {0x84, 0, 0, 0, 0, 0x84, 0, 0, 0, 0, 0xA4, 0, 0, 0, 0, 0x82, 0, 0, 0, 0};
  const auto rest = empty_block_section(280 - 4);
  section.insert(section.end(), rest.begin(), rest.end());
  const auto cells = cells_of(section);
  EXPECT_EQ(0x05, cells[0].type);
  EXPECT_EQ(0x15, cells[1].type);
  EXPECT_EQ(0x25, cells[2].type);
  EXPECT_EQ(0x15, cells[3].type);
}

TEST(BlockCells, ALastBlockOfType04MarksTheSentinelWhichStaysEmpty) {
  Section section = empty_block_section(279);
  section.insert(section.end(), {0x84, 9, 9, 9, 9});
  const auto cells = cells_of(section);
  EXPECT_EQ(0x05, cells[279].type);
  for (std::size_t i = 280; i < cells.size(); ++i) EXPECT_EQ(0, cells[i].type) << i;
}

TEST(BlockCells, ARunPastTheArrayIsCut) {
  // 279 empty squares, a block, then runs far past the grid and the
  // sentinel row: reading stops when the grid is full.
  Section section = empty_block_section(278);
  section.insert(section.end(), {0x81, 1, 0, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F});
  const auto cells = cells_of(section);
  EXPECT_EQ(0x02, cells[278].type);
  EXPECT_EQ(0, cells[279].type);
}

TEST(BlockCells, EarlierLayoutHasAFiveByteRecordPerSquare) {
  Section section;
  for (int i = 0; i < 280; ++i)
    section.insert(section.end(), {static_cast<std::uint8_t>(i == 7 ? 0x02 : 0x3F), 5, 6, 7, 8});
  const auto cells = cells_of(section, false);
  EXPECT_EQ(0x03, cells[7].type);  // 0x02 is a block of type code 0x02 here
  EXPECT_EQ(5, cells[7].d1);
  EXPECT_EQ(0x40, cells[8].type);
}

TEST(BlockCells, FullWidthArrayForLargeMaps) {
  // 47 screens: the cell array's length in bytes passes 65535.
  std::vector<BlockCell> cells;
  std::string problem;
  Section section = empty_block_section(47 * 280 - 1);
  section.insert(section.end(), {0x80, 0, 0, 0, 0});
  ASSERT_TRUE(read_block_cells(section, true, 47, 1, cells, problem)) << problem;
  EXPECT_EQ(47u * 280 + 47 * 20, cells.size());
  EXPECT_EQ(0x01, cells[47 * 280 - 1].type);
}

TEST(BlockCells, ASectionThatEndsEarlyIsRefused) {
  std::vector<BlockCell> cells;
  std::string problem;
  EXPECT_FALSE(read_block_cells(empty_block_section(279), true, 1, 1, cells, problem));
  EXPECT_EQ("the block layout section ends before the grid is filled (279 of 280 squares)",
            problem);
  Section cut = empty_block_section(279);
  cut.insert(cut.end(), {0x80, 1, 2});
  EXPECT_FALSE(read_block_cells(cut, true, 1, 1, cells, problem));
  EXPECT_EQ("the block layout section ends inside the block cell of square 279", problem);
}

// Damaged files: each is refused with a line that says what is wrong.
std::string problem_of(const std::vector<std::uint8_t>& file) {
  const Read r = read(file);
  EXPECT_FALSE(r.ok);
  return r.problem;
}

void set_le16(std::vector<std::uint8_t>& file, std::size_t at, unsigned value) {
  file[at] = static_cast<std::uint8_t>(value);
  file[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

TEST(MapFileDamage, TruncatedFiles) {
  const auto whole = make_map_file(small_map());
  auto cut = [&](std::size_t n) {
    return std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
  };
  EXPECT_EQ("the file ends inside its header", problem_of(cut(0)));
  EXPECT_EQ("the file ends inside its header", problem_of(cut(4)));
  EXPECT_EQ("the file ends inside its header", problem_of(cut(27)));
  for (std::size_t n : {std::size_t{28}, std::size_t{128}, std::size_t{308}, std::size_t{309},
                        std::size_t{311}, whole.size() - 1})
    EXPECT_EQ(0u, problem_of(cut(n)).find("the sections end at offset 0x"))
        << n << ": " << problem_of(cut(n));
}

TEST(MapFileDamage, OffsetsOutOfOrderOrIntoTheHeader) {
  auto file = make_map_file(small_map());
  set_le16(file, 20, 20);  // block section before the tile section
  EXPECT_EQ(0u, problem_of(file).find("the section offsets are out of order"));
  file = make_map_file(small_map());
  set_le16(file, 18, 10);
  EXPECT_EQ("the tile layout section starts inside the header (offset 0x000A)", problem_of(file));
}

TEST(MapFileDamage, SectionsTooShortForTheirData) {
  MapFileParts p = small_map();
  p.tile.resize(279);  // the tile section is shorter than the grid
  EXPECT_EQ("the tile layout section holds 0x0117 bytes, fewer than the 0x0118 squares",
            problem_of(make_map_file(p)));
  p = small_map();
  p.block = empty_block_section(200);
  EXPECT_EQ(0u, problem_of(make_map_file(p)).find("the block layout section ends before"));
  p = small_map();
  p.theme_byte = 0x02;
  p.background = {0x00, 0x01, 0x00, 0x02, 0x00, 0x03};  // no end word
  EXPECT_EQ("the background layout section ends before its end word FF FF",
            problem_of(make_map_file(p)));
  p.background = {0x00, 0x01, 0x00, 0xFF, 0xFF};
  EXPECT_EQ("the background layout section ends inside an entry", problem_of(make_map_file(p)));
  p.theme_byte = 0x09;
  p.background.assign(231, 0);
  EXPECT_EQ("the background layout section holds 231 bytes; theme 9 needs 232",
            problem_of(make_map_file(p)));
  p = small_map();
  p.enemy = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ("the enemy layout section ends before its entry count", problem_of(make_map_file(p)));
  p.enemy = {1, 2, 3, 4, 5, 6, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ("the enemy layout section ends inside its 2 entries", problem_of(make_map_file(p)));
}

TEST(MapFileDamage, SizesTheBlockLayoutCannotHold) {
  MapFileParts p = small_map();
  p.width = 0;
  EXPECT_EQ("the map is 0 x 1 screens; a map needs at least one screen each way",
            problem_of(make_map_file(p)));
  p.width = 1;
  p.height_byte = 0xC0;  // extra rows, but no screens
  EXPECT_EQ("the map is 1 x 0 screens; a map needs at least one screen each way",
            problem_of(make_map_file(p)));
  p.width = 52;
  p.height_byte = 1;
  EXPECT_EQ(
      "the map is 52 x 1 screens; the block layout holds at most 51 screens across and 36 down",
      problem_of(make_map_file(p)));
  p.width = 1;
  p.height_byte = 37;
  EXPECT_EQ(0u, problem_of(make_map_file(p)).find("the map is 1 x 37 screens"));
}

}  // namespace
}  // namespace gorv
