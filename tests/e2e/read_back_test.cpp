// The real binary tells the designer where the game will read other than a
// map file holds: the import's warnings, --check and --compare, on map
// files of the sample image edited to provoke each kind of difference.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/map_file.h"
#include "sample_rom/sample_rom.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

// Map 0x4A (40 x 14 squares) without its blocks, then one block or run for
// each line of the warnings, and no enemy section.
MapFile provoking(const MapFile& dumped) {
  MapFile map = dumped;
  map.blocks.assign(map.blocks.size(), BlockCell{});
  auto at = [&](unsigned x, unsigned y) -> BlockCell& { return map.blocks[x + y * 40]; };
  at(3, 1) = {0x84, 1, 2, 3, 0};  // a wide block, and a block on its second square
  at(4, 1) = {0x82, 0, 0, 0, 0};
  at(6, 1) = {0x83, 1, 2, 9, 4};             // d3 keeps three bits
  at(8, 1) = {0x88, 0, 0, 0, 0};             // a type the game does not read
  at(0, 3) = at(2, 3) = {0x80, 0, 0, 0, 0};  // a run over a square of type 0x08
  at(1, 3) = {0x88, 0, 0, 0, 0};
  at(0, 5) = at(3, 5) = {0x80, 0, 0, 0, 0};  // a run over a wide block's empty second square
  at(1, 5) = {0x84, 0, 0, 0, 0};
  map.enemy = EnemySection{};
  return map;
}

MapFile read_map(const std::filesystem::path& path) {
  return parse_map_file(read_file(path)).file;
}

void replace_all(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

TEST(ReadBack, TheImportCheckAndCompareNameWhatTheGameReads) {
  TempDir dir;
  write_file(dir.path / "sample.bin", sample::build_sample_rom());
  ASSERT_EQ(run_gorvtool({"sample.bin", "-map", "4A"}, dir.path).status, 0);
  ASSERT_EQ(run_gorvtool({"sample.bin", "-map", "4B"}, dir.path).status, 0);
  std::filesystem::rename(dir.path / "map4a.gvm", dir.path / "clean.gvm");
  const MapFile edited = provoking(read_map(dir.path / "clean.gvm"));
  write_file(dir.path / "map4a.gvm", serialize_map_file(edited));
  // Nine blocks the game does not read; the sample's background list of
  // map 0x4B starts with the indirect marker, one more difference.
  MapFile many = read_map(dir.path / "map4b.gvm");
  many.blocks.assign(many.blocks.size(), BlockCell{});
  for (unsigned x = 0; x < 9; ++x) many.blocks[x] = {0x88, 0, 0, 0, 0};
  write_file(dir.path / "map4b.gvm", serialize_map_file(many));

  const std::string expected_4a =
      "WARNING: map 0x4A: (4, 1): the file has a block of type 0x02; the game reads none (it "
      "stands on the second square of the wide block at (3, 1))\n"
      "WARNING: map 0x4A: (6, 1): d3 of block type 0x03 is 0x09; the game reads 0x01 (it keeps "
      "3 bits)\n"
      "WARNING: map 0x4A: (8, 1): the file has a block of type 0x08; the game reads none (the "
      "game reads no block of this type)\n"
      "WARNING: map 0x4A: (1, 3): the file has a block of type 0x08; the game reads a block of "
      "type 0x00 (a run of type 0x00 covers it)\n"
      "WARNING: map 0x4A: (2, 5): the file has no block; the game reads a block of type 0x00 (a "
      "run of type 0x00 covers the second square of the wide block at (1, 5))\n"
      "WARNING: map 0x4A: the file has no enemy section; the game reads an empty enemy list\n";
  std::string expected_4b;
  for (unsigned x = 0; x < 8; ++x)
    expected_4b += "WARNING: map 0x4B: (" + std::to_string(x) +
                   ", 0): the file has a block of type 0x08; the game reads none (the game reads "
                   "no block of this type)\n";
  expected_4b += "WARNING: map 0x4B: 2 more differences from the map file\n";

  // The import: after the maps left out, before the directory is written.
  const ToolRun imported = run_gorvtool({"sample.bin", "-import"}, dir.path);
  EXPECT_EQ(imported.status, 0) << imported.output;
  EXPECT_NE(
      imported.output.find("leaves it out\n" + expected_4a + expected_4b + "starting level\n"),
      std::string::npos)
      << imported.output;

  // --check: the same lines under the file's name, then its verdict.
  std::string checked_4a = expected_4a + "ERROR: \"map4a.gvm\": 6 problems\n";
  replace_all(checked_4a, "map 0x4A: ", "\"map4a.gvm\": ");
  std::string checked_4b = expected_4b + "ERROR: \"map4b.gvm\": 10 problems\n";
  replace_all(checked_4b, "map 0x4B: ", "\"map4b.gvm\": ");
  write_file(dir.path / "broken.gvm", {'G', 'M', 'A', 'P', 0x80});
  const ToolRun checked =
      run_gorvtool({"--check", "map4a.gvm", "map4b.gvm", "clean.gvm", "broken.gvm"}, dir.path);
  EXPECT_EQ(checked.status, 1);
  EXPECT_EQ(checked.output, checked_4a + checked_4b +
                                "\"clean.gvm\": no problems\n"
                                "ERROR: map file \"broken.gvm\" is damaged\n"
                                "  the file ends inside its header\n");
  const ToolRun sound = run_gorvtool({"--check", "clean.gvm"}, dir.path);
  EXPECT_EQ(sound.status, 0);
  EXPECT_EQ(sound.output, "\"clean.gvm\": no problems\n");

  // --compare: the block on the wide block's second square is no change.
  MapFile before = edited;
  before.blocks[4 + 40] = BlockCell{};
  write_file(dir.path / "before.gvm", serialize_map_file(before));
  const ToolRun compared = run_gorvtool({"--compare", "before.gvm", "map4a.gvm"}, dir.path);
  EXPECT_EQ(compared.status, 0);
  EXPECT_EQ(compared.output, "no differences\n\nWriting changes as \"map4a-changes.png\"...\n");
}

}  // namespace
}  // namespace gorv::test
