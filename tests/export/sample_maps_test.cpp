// The sample image's maps, dumped one by one.
#include <gtest/gtest.h>

#include "cli/messages.h"

#include <filesystem>

#include "codec/lz_encoder.h"
#include "export/map_dump.h"
#include "sample_rom/sample_rom.h"
#include "support/current_dir.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

unsigned le16_at(const ByteVector& v, std::size_t at) {
  return v[at] | v[at + 1] << 8;
}

// Squares covered by a block layout section, or -1 when an item is cut off.
long block_squares(const ByteVector& section) {
  long squares = 0;
  for (std::size_t i = 0; i < section.size();) {
    if (section[i] >= 0x80) {
      if (i + 5 > section.size()) return -1;
      squares += 1;
      i += 5;
    } else {
      squares += section[i] + 1;
      i += 1;
    }
  }
  return squares;
}

// Squares of a block layout section that hold a block.
long block_cells(const ByteVector& section) {
  long cells = 0;
  for (std::size_t i = 0; i < section.size(); i += section[i] >= 0x80 ? 5 : 1)
    cells += section[i] >= 0x80;
  return cells;
}

TEST(SampleMaps, MapsOfTheFirstLevelsExist) {
  const ByteVector image = sample::build_sample_rom();
  const MapExistsTable exists = build_map_exists_table(Bytes(image));
  for (std::uint8_t map : {0x4A, 0x4B, 0x2D, 0x2E, 0x01, 0x00, 0x02, 0x0E, 0x54, 0x56, 0x18, 0x1D})
    EXPECT_TRUE(map_exists(exists, map)) << int{map};
  int count = 0;
  for (int map = 0; map < kMapCount; ++map)
    count += map_exists(exists, static_cast<std::uint8_t>(map));
  EXPECT_GE(count, 15);
  EXPECT_LE(count, 30);
  EXPECT_FALSE(map_exists(exists, 0x03));
  EXPECT_FALSE(map_exists(exists, 0x14));
}

TEST(SampleMaps, EveryMapDumpsWhole) {
  const ByteVector image = sample::build_sample_rom();
  const MapExistsTable exists = build_map_exists_table(Bytes(image));
  test::TempDir dir;
  int themes_without_background = 0, list_forms = 0, fixed_forms = 0, enemy_errors = 0,
      unhandled = 0;
  for (int number = 0; number < kMapCount; ++number) {
    const auto map = static_cast<std::uint8_t>(number);
    if (!map_exists(exists, map)) continue;
    SCOPED_TRACE(number);
    std::string output;
    {
      test::CurrentDirGuard in(dir.path);
      output = report_text(dump_map(Bytes(image), exists, map, {}).report);
    }
    char name[16];
    std::snprintf(name, sizeof name, "map%02x.gvm", number);
    const ByteVector file = test::read_file(dir.path / name);
    const MapHeader h = read_map_header(Bytes(image), map);
    ASSERT_GE(file.size(), 28u);
    EXPECT_EQ(file.size(), le16_at(file, 26));
    EXPECT_EQ(28u, le16_at(file, 18));
    const unsigned tile = 28, block = le16_at(file, 20), background = le16_at(file, 22),
                   enemy = le16_at(file, 24), end = le16_at(file, 26);
    ASSERT_TRUE(tile <= block && block <= background && background <= enemy && enemy <= end);

    // The tile layout was packed from exactly grid size bytes.
    ASSERT_GE(block - tile, h.grid_size);
    const ByteVector tiles(file.begin() + tile, file.begin() + tile + h.grid_size);
    const ByteVector packed = lz_compress(tiles);
    EXPECT_EQ(packed, ByteVector(image.begin() + h.tile_address,
                                 image.begin() + h.tile_address + packed.size()));

    const ByteVector blocks(file.begin() + block, file.begin() + background);
    EXPECT_EQ(h.grid_size, block_squares(blocks));
    EXPECT_GT(block_cells(blocks), 0);

    const unsigned background_size = enemy - background;
    const unsigned theme = map_theme(h);
    if (theme == 0 || theme > 10) {
      ++themes_without_background;
      EXPECT_EQ(0u, background_size);
    } else if (theme % 2 == 1 && theme != 1) {
      ++fixed_forms;
      EXPECT_EQ(232u, background_size);
    } else {
      ++list_forms;
      EXPECT_EQ(2u, background_size % 6);
      EXPECT_EQ(0xFF, file[enemy - 1]);
      EXPECT_EQ(0xFF, file[enemy - 2]);
    }
    if (end == enemy) {
      ++enemy_errors;
    } else {
      EXPECT_EQ(7u + 8u * file[enemy + 6], end - enemy);
    }
    unhandled += output.find("Found block-type") != std::string::npos;
  }
  EXPECT_GE(themes_without_background, 2);
  EXPECT_GE(list_forms, 4);
  EXPECT_GE(fixed_forms, 4);
  EXPECT_EQ(2, enemy_errors);
  EXPECT_EQ(1, unhandled);
}

}  // namespace
}  // namespace gorv
