// The -info report, run through the real binary on small hand-made images.
#include <gtest/gtest.h>

#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

using ByteVector = std::vector<std::uint8_t>;

void put16(ByteVector& rom, std::size_t at, std::uint16_t v) {
  rom[at] = static_cast<std::uint8_t>(v >> 8);
  rom[at + 1] = static_cast<std::uint8_t>(v);
}

void put32(ByteVector& rom, std::size_t at, std::uint32_t v) {
  put16(rom, at, static_cast<std::uint16_t>(v >> 16));
  put16(rom, at + 2, static_cast<std::uint16_t>(v));
}

void put_level_header(ByteVector& rom, std::size_t at, std::uint32_t name, std::int8_t part) {
  put32(rom, at, name);
  for (std::size_t i = 4; i < 9; ++i) rom[at + i] = 0x99;  // not read
  rom[at + 9] = static_cast<std::uint8_t>(part);
}

void put_bytes(ByteVector& rom, std::size_t at, const ByteVector& bytes) {
  std::copy(bytes.begin(), bytes.end(), rom.begin() + static_cast<std::ptrdiff_t>(at));
}

// Map m's header lies at 0x40440 + 28m; the table holds its offset from the
// directory start 0x4033A.
void put_map(ByteVector& rom, std::uint8_t map, const ByteVector& first_four, std::uint16_t start_x,
             std::uint16_t start_y, std::uint16_t end_x, std::uint16_t end_y) {
  const std::size_t at = 0x40440 + 28u * map;
  put16(rom, 0x40342 + 2u * map, static_cast<std::uint16_t>(at - 0x4033A));
  put_bytes(rom, at, first_four);
  put16(rom, at + 4, start_x);
  put16(rom, at + 6, start_y);
  put16(rom, at + 8, end_x);
  put16(rom, at + 10, end_y);
  put32(rom, at + 12, 0x00051234);
}

// An image with a level count of 3: levels 0 to 2 have headers of their
// own, the others share the header at 0x1AB1C.
ByteVector level_image() {
  ByteVector rom(0x50000, 0);
  put16(rom, 0x1AB4C, 3);
  put32(rom, 0x4033E, 0x4F000);
  const ByteVector order = {0x10, 0x11, 0x12, 0x13};
  put_bytes(rom, 0x4F000, order);
  rom[0x4F000 + 0x69] = 0x14;

  // Level 0: "the", spaces of three kinds, apostrophe, "of", part number 2.
  put_level_header(rom, 0x1A842, 0x20000, 2);
  put_bytes(rom, 0x20000, {0x7D, 0x20, 0x61, 0x62, 0x83, 0x73, 0x00, 0x7E, 0x84, 0x78, 0xFF});
  // Level 1: "to" first, a "the" after a space, part number 1.
  put_level_header(rom, 0x1A842 + 10, 0x20020, 1);
  put_bytes(rom, 0x20020, {0x7F, 0x20, 0x7C, 0x20, 0x70, 0xFF});
  // Level 2: "of" first, 0x7B after a space, negative part number.
  put_level_header(rom, 0x1A842 + 20, 0x20040, -1);
  put_bytes(rom, 0x20040, {0x7E, 0x20, 0x6D, 0x7C, 0x20, 0x7B, 0xFF});
  // This header lies at the level count: it is never read.
  put_level_header(rom, 0x1A842 + 30, 0x20060, 1);
  put_bytes(rom, 0x20060, {0x62, 0x61, 0x64, 0xFF});
  // The shared header: two spaces end the name, so no part suffix.
  put_level_header(rom, 0x1AB1C, 0x20080, 3);
  put_bytes(rom, 0x20080, {0x61, 0x20, 0x20, 0x62, 0xFF});

  const ByteVector path = {5, 0, 255};
  const ByteVector speed = {42, 0, 200};
  put_bytes(rom, 0xD8E8, path);
  put_bytes(rom, 0xD934, speed);
  rom[0xD8E8 + 3] = 7;  // bonuses of a level at the count: not shown
  rom[0xD934 + 3] = 8;

  put_map(rom, 0x10, {3, 0x42, 0x85, 0x15}, 0x0123, 0x0045, 0x0AB0, 0x01C0);
  put_map(rom, 0x11, {1, 0x01, 0x01, 0x01}, 0, 0, 0xFFFF, 0x8000);
  put_map(rom, 0x12, {0x10, 0x01, 0x80, 0x0A}, 0x10, 0x20, 0x30, 0x40);
  put_map(rom, 0x13, {0xFF, 0xFF, 0x0C, 0x3C}, 1, 2, 3, 4);
  put_map(rom, 0x14, {2, 0x03, 0x02, 0x22}, 0x0100, 0x0200, 0x0300, 0x0400);
  return rom;
}

struct LevelReportTest : ::testing::Test {
  TempDir dir;
  void SetUp() override { write_file(dir.path / "rom.bin", level_image()); }
  ToolRun info(const std::string& level) {
    return run_gorvtool({"rom.bin", "-info", level}, dir.path);
  }
};

TEST_F(LevelReportTest, OwnHeaderWithBonusesExtraRowsChaseAndLava) {
  const ToolRun run = info("00");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output,
            "\n"
            "LEVEL:         0x00\n"
            "NAME:          The Ab's of X II\n"
            "\n"
            "PATH BONUS:    5000 points\n"
            "SPEED BONUS:   42 seconds\n"
            "\n"
            "MAP:           0x10\n"
            "LEVEL X:       3 screens (0x03C0 px)\n"
            "LEVEL Y:       2 screens + 2 rows (0x01E0 px)\n"
            "MAP THEME:     desert (0x5)\n"
            "ATTRIBUTES:    chase; lava\n"
            "START X:       0x0123 px\n"
            "START Y:       0x0045 px\n"
            "END X:         0x0AB0 px\n"
            "END Y:         0x01C0 px\n"
            "\n"
            "TOTAL SCREENS: 6\n"
            "GRID SIZE:     1680 squares\n"
            "\n\n");
}

TEST_F(LevelReportTest, NoAttributesAndZeroBonuses) {
  const ToolRun run = info("01");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output,
            "\n"
            "LEVEL:         0x01\n"
            "NAME:          To the P I\n"
            "\n"
            "PATH BONUS:    0 points\n"
            "SPEED BONUS:   0 seconds\n"
            "\n"
            "MAP:           0x11\n"
            "LEVEL X:       1 screens (0x0140 px)\n"
            "LEVEL Y:       1 screens (0x00E0 px)\n"
            "MAP THEME:     sky (0x1)\n"
            "ATTRIBUTES:    \n"
            "START X:       0x0000 px\n"
            "START Y:       0x0000 px\n"
            "END X:         0xFFFF px\n"
            "END Y:         0x8000 px\n"
            "\n"
            "TOTAL SCREENS: 1\n"
            "GRID SIZE:     280 squares\n"
            "\n\n");
}

TEST_F(LevelReportTest, LastLevelBelowTheCountWithChaseOnly) {
  const ToolRun run = info("02");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output,
            "\n"
            "LEVEL:         0x02\n"
            "NAME:          Of Mthe [\n"
            "\n"
            "PATH BONUS:    255000 points\n"
            "SPEED BONUS:   200 seconds\n"
            "\n"
            "MAP:           0x12\n"
            "LEVEL X:       16 screens (0x1400 px)\n"
            "LEVEL Y:       1 screens (0x00E0 px)\n"
            "MAP THEME:     urban (0xA)\n"
            "ATTRIBUTES:    chase\n"
            "START X:       0x0010 px\n"
            "START Y:       0x0020 px\n"
            "END X:         0x0030 px\n"
            "END Y:         0x0040 px\n"
            "\n"
            "TOTAL SCREENS: 16\n"
            "GRID SIZE:     4480 squares\n"
            "\n\n");
}

TEST_F(LevelReportTest, AtTheCountSharedHeaderUnknownThemeWeatherAndHail) {
  const ToolRun run = info("03");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output,
            "\n"
            "LEVEL:         0x03\n"
            "NAME:          A \n"
            "\n"
            "MAP:           0x13\n"
            "LEVEL X:       255 screens (0x13EC0 px)\n"
            "LEVEL Y:       63 screens + 6 rows (0x3780 px)\n"
            "MAP THEME:     unknown (0xC)\n"
            "ATTRIBUTES:    weather + hail\n"
            "START X:       0x0001 px\n"
            "START Y:       0x0002 px\n"
            "END X:         0x0003 px\n"
            "END Y:         0x0004 px\n"
            "\n"
            "TOTAL SCREENS: 16065\n"
            "GRID SIZE:     41752 squares\n"
            "\n\n");
}

TEST_F(LevelReportTest, LastLevelWithWeather) {
  const ToolRun run = info("69");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output,
            "\n"
            "LEVEL:         0x69\n"
            "NAME:          A \n"
            "\n"
            "MAP:           0x14\n"
            "LEVEL X:       2 screens (0x0280 px)\n"
            "LEVEL Y:       3 screens (0x02A0 px)\n"
            "MAP THEME:     ice (0x2)\n"
            "ATTRIBUTES:    weather\n"
            "START X:       0x0100 px\n"
            "START Y:       0x0200 px\n"
            "END X:         0x0300 px\n"
            "END Y:         0x0400 px\n"
            "\n"
            "TOTAL SCREENS: 6\n"
            "GRID SIZE:     1680 squares\n"
            "\n\n");
}

TEST(LevelReport, ImageCutShortReadsAsZeros) {
  TempDir dir;
  // The smallest image the tool takes (it ends with the map header table),
  // holding only the level count and level headers: level 5's name lies
  // past its end, and so do its map's header and layouts.
  ByteVector rom(0x4043E, 0);
  put16(rom, 0x1AB4C, 0x30);
  put32(rom, 0x1A842 + 50, 0x50000);
  put16(rom, 0x40342, 0x7000);  // map 0's header at 0x4733A
  write_file(dir.path / "short.bin", rom);
  const ToolRun run = run_gorvtool({"short.bin", "-info", "05"}, dir.path);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output,
            "\n"
            "LEVEL:         0x05\n"
            "NAME:          \n"
            "\n"
            "PATH BONUS:    0 points\n"
            "SPEED BONUS:   0 seconds\n"
            "\n"
            "MAP:           0x00\n"
            "LEVEL X:       0 screens (0x0000 px)\n"
            "LEVEL Y:       0 screens (0x0000 px)\n"
            "MAP THEME:     dummy (0x0)\n"
            "ATTRIBUTES:    \n"
            "START X:       0x0000 px\n"
            "START Y:       0x0000 px\n"
            "END X:         0x0000 px\n"
            "END Y:         0x0000 px\n"
            "\n"
            "TOTAL SCREENS: 0\n"
            "GRID SIZE:     0 squares\n"
            "\n\n");
}

}  // namespace
}  // namespace gorv::test
