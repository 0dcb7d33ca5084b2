// -map through the real binary: a map with every layout, and an absent map.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "support/map_image.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

using namespace test::maps;

TEST(MapDump, ThroughTheRealBinary) {
  ByteVector image = base_image();
  const ByteVector tiles = counting(280, 0x40, 1);
  const BlockSample blocks = block_sample();
  TestMap m = simple_map(0x2D, 0x06, 0x06, tiles);
  m.blocks = blocks.stream;
  m.background = {0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0xFF, 0xFF};
  m.enemy_entries = {0x01, 0x02, 0x00, 0x15, 0x03, 0x04, 0x05, 0x06};
  add_map(image, m, 0x40440, 0x56000);
  add_map(image, simple_map(0x30, 0x03, 0x05, tiles), 0x40460, 0x57000);
  test::TempDir dir;
  test::write_file(dir.path / "rom.bin", image);
  test::write_file(dir.path / "map30.gvm", {'o', 'l', 'd'});

  char message[64];
  std::snprintf(message, sizeof message, "\nFound block-type 0x28 at 0x%06llX\n",
                static_cast<unsigned long long>(0x56000 + 318 + blocks.unhandled_position));
  const ByteVector background = {0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0xFF, 0xFF};
  const ByteVector enemy = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x01, 0x01,
                            0x02, 0x00, 0x01, 0x03, 0x04, 0x05, 0x06};
  const ByteVector cell_23 = {0xA3, 0xAB, 0xCD, 0x05, 0xEF};
  ByteVector only_03 = {0x63};
  only_03.insert(only_03.end(), cell_23.begin(), cell_23.end());
  only_03.push_back(0x12);
  only_03.insert(only_03.end(), cell_23.begin(), cell_23.end());
  only_03.insert(only_03.end(), {0x7F, 0x1E});

  const test::ToolRun run = test::run_gorvtool({"rom.bin", "-map", "2d", "-block", "3"}, dir.path);
  EXPECT_EQ(writing("map2d.gvm") + kLiteralReport + message, run.output);
  EXPECT_EQ(0, run.status);
  EXPECT_EQ(map_file(m.head, tiles, only_03, background, enemy),
            test::read_file(dir.path / "map2d.gvm"));

  const test::ToolRun absent = test::run_gorvtool({"rom.bin", "-map", "30"}, dir.path);
  EXPECT_EQ("ERROR: this map doesn't exist\n", absent.output);
  EXPECT_EQ((ByteVector{'o', 'l', 'd'}), test::read_file(dir.path / "map30.gvm"));
}

}  // namespace
}  // namespace gorv
