#include "import/level_directory.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

#include <sstream>
#include <string>
#include <vector>

namespace gorv {
namespace {

std::uint32_t be32(const std::vector<std::uint8_t>& image, std::size_t offset) {
  return static_cast<std::uint32_t>(image[offset] << 24 | image[offset + 1] << 16 |
                                    image[offset + 2] << 8 | image[offset + 3]);
}

std::uint16_t be16(const std::vector<std::uint8_t>& image, std::size_t offset) {
  return static_cast<std::uint16_t>(image[offset] << 8 | image[offset + 1]);
}

std::vector<std::uint8_t> bytes_at(const std::vector<std::uint8_t>& image, std::size_t offset,
                                   std::size_t count) {
  return std::vector<std::uint8_t>(image.begin() + static_cast<std::ptrdiff_t>(offset),
                                   image.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

// A record with distinct recognisable layouts of the given lengths.
MapRecord record_for(std::uint8_t map, std::size_t tile, std::size_t block, std::size_t background,
                     std::uint8_t enemies) {
  MapRecord r;
  r.map = map;
  for (std::size_t i = 0; i < 12; ++i) r.header[i] = static_cast<std::uint8_t>(map + i);
  r.tile.assign(tile, 0xA1);
  r.block.assign(block, 0xB2);
  r.background.assign(background, 0xC3);
  r.enemy.assign(16, 0x00);
  r.enemy.insert(r.enemy.end(), {0x80, enemies});
  r.enemy.resize(18 + 8 * std::size_t{enemies}, 0xE4);
  return r;
}

struct Written {
  std::vector<std::uint8_t> image;
  std::string text;
  std::uint64_t end = 0;
};

Written write(std::vector<MapRecord> records, std::size_t image_size = 0x100000,
              std::uint8_t fill = 0x5A) {
  Written w;
  w.image.assign(image_size, fill);
  Report report;
  w.end = write_level_directory(report, records, w.image);
  w.text = report_text(report);
  return w;
}

// The level order table, row by row as the game's level numbers run.
std::vector<std::uint8_t> expected_level_order() {
  const char* rows =
      "4A 4B 2D 2E 01 00 02 0E 54 56 18 1D 3D 37 2C 2B "
      "13 4C 49 14 16 0B 0C 3F 40 34 1C 27 21 0D 6C 4F "
      "4D 19 0A 5C 25 26 35 3E 2F 31 74 3B 5A 33 3A 57 "
      "10 59 38 05 30 55 32 0F 48 47 03 53 04 36 15 12 "
      "22 41 17 4E 58 11 39 42 3C 61 5E 5F 60 5D 62 64 "
      "67 6E 75 66 68 6D 6F 70 77 78 63 65 69 6A 6B 71 "
      "08 7C 7D 7A 7B 79 72 73 76 09 FF FF";
  std::istringstream in(rows);
  std::vector<std::uint8_t> table;
  unsigned value = 0;
  while (in >> std::hex >> value) table.push_back(static_cast<std::uint8_t>(value));
  return table;
}

TEST(LevelDirectory, WithoutMapsTheDirectoryIsStillWrittenAndTheDataEndAt100170) {
  const Written w = write({});
  EXPECT_EQ(0x100170u, w.end);
  EXPECT_EQ(0x100170u, w.image.size());  // grown with exactly the directory
  EXPECT_EQ(0u, be32(w.image, 0x100000));
  EXPECT_EQ(0x00100104u, be32(w.image, 0x100004));
  for (int m = 0; m < 126; ++m) EXPECT_EQ(0, be16(w.image, 0x100008 + 2 * m)) << m;
  const auto order = expected_level_order();
  ASSERT_EQ(108u, order.size());
  EXPECT_EQ(order, bytes_at(w.image, 0x100104, 108));
  EXPECT_EQ(
      "starting level\npointer to level order\nmap pointers\nlevel order\nlevel data\n"
      "level headers\npointers\n",
      w.text);
}

TEST(LevelDirectory, OnlyMap00) {
  const Written w = write({record_for(0x00, 0x10, 0x08, 0, 0)});
  EXPECT_EQ(0x0170, be16(w.image, 0x100008));
  for (int m = 1; m < 126; ++m) EXPECT_EQ(0, be16(w.image, 0x100008 + 2 * m)) << m;
  // The header at 0x100170: the file's twelve bytes, then the addresses.
  for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(i, w.image[0x100170 + i]);
  EXPECT_EQ(0x10018Cu, be32(w.image, 0x100170 + 12));  // tile
  EXPECT_EQ(0x10019Cu, be32(w.image, 0x100170 + 16));  // block
  EXPECT_EQ(0x1001A4u, be32(w.image, 0x100170 + 20));  // background: none, so ...
  EXPECT_EQ(0x1001A4u, be32(w.image, 0x100170 + 24));  // ... the enemy record's address
  EXPECT_EQ(std::vector<std::uint8_t>(0x10, 0xA1), bytes_at(w.image, 0x10018C, 0x10));
  EXPECT_EQ(0x1001A4u + 18, w.end);
  EXPECT_EQ(
      "starting level\npointer to level order\nmap pointers\nlevel order\nlevel data\n"
      "  appending map 0x00...\n"
      "    - tile layout (0x10018C, 0x0010)\n"
      "    - block layout (0x10019C, 0x0008)\n"
      "    - background layout (0x1001A4, 0x0000)\n"
      "    - enemy layout (0x1001A4, 0x0012)\n"
      "level headers\npointers\n",
      w.text);
}

TEST(LevelDirectory, MapsGetHeaderOffsetsInAscendingOrder) {
  const Written w = write({record_for(0x05, 4, 4, 0, 0), record_for(0x40, 4, 4, 0, 0)});
  EXPECT_EQ(0x0170, be16(w.image, 0x100008 + 2 * 0x05));
  EXPECT_EQ(0x018C, be16(w.image, 0x100008 + 2 * 0x40));
  EXPECT_EQ(0x05, w.image[0x100170]);
  EXPECT_EQ(0x40, w.image[0x10018C]);
  // The data area starts behind both headers.
  EXPECT_EQ(0x1001A8u, be32(w.image, 0x100170 + 12));
}

TEST(LevelDirectory, AllMapsPresent) {
  std::vector<MapRecord> records;
  for (int m = 0; m < 126; ++m)
    records.push_back(record_for(static_cast<std::uint8_t>(m), 2, 2, 0, 0));
  const Written w = write(records);
  for (int m = 0; m < 126; ++m) EXPECT_EQ(0x154 + 28 * (m + 1), be16(w.image, 0x100008 + 2 * m));
  EXPECT_EQ(0x0F1C, be16(w.image, 0x100008 + 2 * 0x7D));
  // The last header ends where the first map's tile layout begins.
  EXPECT_EQ(0x7D, w.image[0x100000 + 0x0F1C]);
  EXPECT_EQ(0x100000u + 0x0F1C + 28, be32(w.image, 0x100170 + 12));
  EXPECT_EQ(0x100000u + 0x0F1C + 28 + 126 * (2 + 2 + 18), w.end);
}

TEST(LevelDirectory, OddLayoutsAreFollowedByOneZeroByte) {
  // Over old bytes of 0x5A the pad must be written, not skipped.
  const Written w = write({record_for(0x00, 5, 3, 7, 1)}, 0x200000, 0x5A);
  const std::size_t tile = 0x10018C;
  EXPECT_EQ(tile, be32(w.image, 0x100170 + 12));
  EXPECT_EQ(0xA1, w.image[tile + 4]);
  EXPECT_EQ(0x00, w.image[tile + 5]);
  const std::size_t block = tile + 6;
  EXPECT_EQ(block, be32(w.image, 0x100170 + 16));
  EXPECT_EQ(0x00, w.image[block + 3]);
  const std::size_t background = block + 4;
  EXPECT_EQ(background, be32(w.image, 0x100170 + 20));
  EXPECT_EQ(0x00, w.image[background + 7]);
  const std::size_t enemy = background + 8;
  EXPECT_EQ(enemy, be32(w.image, 0x100170 + 24));
  EXPECT_EQ(enemy + 26, w.end);
  EXPECT_EQ(0x5A, w.image[w.end]);  // nothing written behind the data
  EXPECT_EQ(0x200000u, w.image.size());
}

TEST(LevelDirectory, EnemyRecordPointsAtItsOwnListSixteenBytesIn) {
  const Written w = write({record_for(0x00, 2, 2, 0, 0)});
  const std::size_t enemy = be32(w.image, 0x100170 + 24);
  EXPECT_EQ(enemy + 16, be32(w.image, enemy));
  EXPECT_EQ(0x80, w.image[enemy + 16]);
  EXPECT_EQ(0x00, w.image[enemy + 17]);
  EXPECT_EQ(enemy + 18, w.end);
}

TEST(LevelDirectory, BaseReferencesPointAtTheNewDirectory) {
  const Written w = write({});
  for (std::size_t at : {0x000690, 0x0006B8, 0x011A50, 0x019AF8})
    EXPECT_EQ(0x00100000u, be32(w.image, at)) << std::hex << at;
  for (std::size_t at : {0x00236C, 0x00BCD2, 0x011A38, 0x011AC8, 0x011D6E, 0x011DE0, 0x014C3C,
                         0x019AE0, 0x03051A, 0x03075C, 0x0307E4})
    EXPECT_EQ(0x00100004u, be32(w.image, at)) << std::hex << at;
  for (std::size_t at : {0x011A44, 0x019AEC})
    EXPECT_EQ(0x00100008u, be32(w.image, at)) << std::hex << at;
  // Nothing else below the directory changed.
  std::size_t changed = 0;
  for (std::size_t i = 0; i < 0x100000; ++i) changed += w.image[i] != 0x5A;
  EXPECT_EQ(17u * 4, changed);
}

TEST(LevelDirectory, AShortImageGrowsWithZeros) {
  const Written w = write({}, 0x80000, 0x5A);
  EXPECT_EQ(0x100170u, w.image.size());
  EXPECT_EQ(0x5A, w.image[0x7FFFF]);
  for (std::size_t i = 0x80000; i < 0x100000; ++i) ASSERT_EQ(0x00, w.image[i]) << i;
}

}  // namespace
}  // namespace gorv
