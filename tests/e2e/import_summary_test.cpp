// What an import says after "done!": what changed in each map the game
// loads, how much room the level data took, and the warnings about an
// .orig that holds an import, bytes of other tools written over and an
// image past what the console reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "sample_rom/sample_rom.h"
#include "support/map_file_maker.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

namespace fs = std::filesystem;
using Image = std::vector<std::uint8_t>;

// The output after "done!".
std::string after_done(const std::string& output) {
  const std::size_t at = output.find("\ndone!\n");
  return at == std::string::npos ? "(no done!)\n" + output : output.substr(at + 7);
}

// The sample image, dumped with `dump_args` beside it.
struct Sample {
  TempDir dir;
  explicit Sample(std::vector<std::string> dump_args = {"--all-maps"}) {
    write_file(dir.path / "s.bin", sample::build_sample_rom());
    dump_args.insert(dump_args.begin(), "s.bin");
    // Two maps' enemy layouts cannot be read: exit status 1.
    const ToolRun dump = run_gorvtool(dump_args, dir.path);
    EXPECT_NE(dump.output.find("\n23 maps written\n"), std::string::npos) << dump.output;
  }
  ToolRun import() const { return run_gorvtool({"s.bin", "-import"}, dir.path); }
};

TEST(ImportSummary, AFilteredDumpImportedNamesTheBlocksItRemoves) {
  const Sample sample({"--all-maps", "-block", "03"});
  const ToolRun run = sample.import();
  ASSERT_EQ(run.status, 0) << run.output;
  const std::string tail = after_done(run.output);
  EXPECT_NE(tail.find("map 0x1D: 39 blocks removed\n"), std::string::npos) << tail;
  EXPECT_NE(tail.find("map 0x56: 317 blocks removed, 25 blocks changed, enemies changed (5 before, "
                      "5 now)\n"),
            std::string::npos)
      << tail;
  EXPECT_NE(tail.find("\n23 maps imported: 23 changed, 0 unchanged, 0 new\n"), std::string::npos)
      << tail;
}

TEST(ImportSummary, AReimportOfTheSameFilesChangesNothing) {
  const Sample sample;
  ASSERT_EQ(sample.import().status, 0);
  const ToolRun again = sample.import();
  ASSERT_EQ(again.status, 0) << again.output;
  EXPECT_EQ(after_done(again.output),
            "23 maps imported: 0 changed, 23 unchanged, 0 new\n"
            "level data: 0x100000 to 0x1026D4 (9940 bytes); the image is 2 MiB\n");
}

TEST(ImportSummary, NamesEachKindOfChangeInItsOrder) {
  const Sample sample;
  ASSERT_EQ(sample.import().status, 0);
  // Map 0x2B: a header value or two and three tiles; map 0x7C (not in the
  // sample image) is new.
  Image file = read_file(sample.dir.path / "map2b.gvm");
  file[7] ^= 0x40;  // extra rows
  file[10] += 1;    // start x
  file[16] += 2;    // end y
  for (const std::size_t tile : {28u, 29u, 100u}) file[tile] ^= 0x01;
  write_file(sample.dir.path / "map2b.gvm", file);
  fs::copy_file(sample.dir.path / "map2b.gvm", sample.dir.path / "map7c.gvm");
  const ToolRun run = sample.import();
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(after_done(run.output),
            "map 0x2B: 3 tiles changed, header changed (extra rows, start x, end y)\n"
            "map 0x7C: new map\n"
            "24 maps imported: 1 changed, 22 unchanged, 1 new\n"
            "level data: 0x100000 to 0x10290A (10506 bytes); the image is 2 MiB\n");
}

TEST(ImportSummary, WarnsWhenTheOrigCopyHoldsAnEarlierImport) {
  const Sample sample;
  ASSERT_EQ(sample.import().status, 0);
  fs::remove(sample.dir.path / "s.bin.orig");
  const ToolRun run = sample.import();
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(run.output.ends_with(
      "(9940 bytes); the image is 2 MiB\n"
      "WARNING: \"s.bin.orig\" holds an earlier import, not the clean image\n"))
      << run.output;
}

TEST(ImportSummary, NamesTheBytesOfOtherToolsItWroteOver) {
  const Sample sample;
  Image image = read_file(sample.dir.path / "s.bin");
  image.resize(0x200000, 0xFF);
  for (const std::size_t at : {0x100000u, 0x100001u, 0x100802u}) image[at] = 0x5A;
  image[0x102800] = 0x5A;  // past the level data: not written over
  write_file(sample.dir.path / "s.bin", image);
  const ToolRun run = sample.import();
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(run.output.ends_with(
      "WARNING: the import wrote over 3 bytes between 0x100000 and 0x100802 that were neither "
      "0x00 nor 0xFF; \"s.bin.bak\" keeps them\n"))
      << run.output;
  EXPECT_TRUE(read_file(sample.dir.path / "s.bin.bak") == image);
}

TEST(ImportSummary, WarnsOfAnImagePastWhatTheConsoleReads) {
  TempDir dir;
  write_file(dir.path / "s.bin", sample::build_sample_rom());
  // 126 maps of 10 x 8 screens whose tiles do not compress: over 3 MiB of
  // level data.
  std::mt19937 random(7);
  for (int map = 0; map < 126; ++map) {
    MapFileParts parts = generated_map(10, 8, static_cast<std::uint32_t>(map), 1);
    for (std::uint8_t& tile : parts.tile) tile = static_cast<std::uint8_t>(random());
    char name[16];
    std::snprintf(name, sizeof name, "map%02x.gvm", map);
    write_file(dir.path / name, make_map_file(parts));
  }
  const ToolRun run = run_gorvtool({"s.bin", "-import"}, dir.path);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(fs::file_size(dir.path / "s.bin"), 5u * 0x100000);
  EXPECT_NE(run.output.find("\nlevel data: 0x100000 to 0x4"), std::string::npos) << run.output;
  EXPECT_TRUE(run.output.ends_with(
      " bytes); the image is 5 MiB\n"
      "WARNING: the image is 5 MiB; the console reads at most 4 MiB of cartridge ROM\n"))
      << after_done(run.output);
}

}  // namespace
}  // namespace gorv::test
