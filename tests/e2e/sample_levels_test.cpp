// The sample ROM image's cartridge header and level tables, and the level
// names the tool reads from them.
#include <gtest/gtest.h>

#include <set>

#include "sample_rom/sample_rom.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

using ByteVector = std::vector<std::uint8_t>;

std::uint32_t be16(const ByteVector& rom, std::size_t at) {
  return static_cast<std::uint32_t>(rom[at] << 8 | rom[at + 1]);
}
std::uint32_t be32(const ByteVector& rom, std::size_t at) {
  return be16(rom, at) << 16 | be16(rom, at + 2);
}

TEST(SampleRom, HeaderFieldsMatchTheImage) {
  const ByteVector rom = sample::build_sample_rom();
  ASSERT_EQ(rom.size(), 0x100000u);
  EXPECT_EQ(be32(rom, 0x1A4), 0xFFFFFu);
  std::uint32_t sum = 0;
  for (std::size_t at = 0x200; at < rom.size(); at += 2) sum += be16(rom, at);
  EXPECT_EQ(be16(rom, 0x18E), sum & 0xFFFF);
  EXPECT_EQ(sample::build_sample_rom(), rom);  // the same every time
}

TEST(SampleRom, LevelDirectoryReferencesAndTables) {
  const ByteVector rom = sample::build_sample_rom();
  for (std::size_t at : {0x000690, 0x0006B8, 0x011A50, 0x019AF8})
    EXPECT_EQ(be32(rom, at), 0x4033Au);
  for (std::size_t at : {0x00236C, 0x00BCD2, 0x011A38, 0x011AC8, 0x011D6E, 0x011DE0, 0x014C3C,
                         0x019AE0, 0x03051A, 0x03075C, 0x0307E4})
    EXPECT_EQ(be32(rom, at), 0x4033Eu) << std::hex << at;
  for (std::size_t at : {0x011A44, 0x019AEC}) EXPECT_EQ(be32(rom, at), 0x40342u);

  const std::uint32_t order = be32(rom, 0x4033E);
  std::set<std::uint8_t> maps;
  for (std::size_t level = 0; level < 106; ++level) {
    EXPECT_LE(rom[order + level], 0x7D);
    maps.insert(rom[order + level]);
  }
  EXPECT_EQ(maps.size(), 106u);

  // Every name of a level with a header of its own lies in 0x20000-0x2FFFF
  // and ends; together they use every class of code.
  const std::uint32_t count = be16(rom, 0x1AB4C);
  ASSERT_GT(count, 0u);
  ASSERT_LE(count, 0x69u);
  std::set<int> classes;
  for (std::size_t header = 0; header <= count; ++header) {
    const std::size_t at = header < count ? 0x1A842 + 10 * header : 0x1AB1C;
    std::size_t text = be32(rom, at);
    ASSERT_GE(text, 0x20000u);
    for (; text < 0x30000 && rom[text] != 0xFF; ++text) {
      const std::uint8_t c = rom[text];
      classes.insert(c <= 0x5F                ? 0
                     : c <= 0x7B              ? 1
                     : c <= 0x7F              ? c
                     : c == 0x83 || c == 0x84 ? c
                                              : 2);
    }
    ASSERT_LT(text, 0x30000u);
  }
  EXPECT_EQ(classes, (std::set<int>{0, 1, 2, 0x7C, 0x7D, 0x7E, 0x7F, 0x83, 0x84}));
}

TEST(SampleRom, LevelNamesAndBonusesAsReported) {
  TempDir dir;
  write_file(dir.path / "sample.bin", sample::build_sample_rom());
  const std::vector<std::pair<std::string, std::string>> names = {
      {"00", "Meadow Run"},      {"02", "Meadow Run II"},      {"03", "The Slate Caves"},
      {"05", "Path to the Sky"}, {"06", "Gorv's Lantern"},     {"07", "Old Mill Wheel II"},
      {"08", "Of Ice And Wind"}, {"09", "Tower to Nowhere I"}, {"0A", "Rock "},
      {"0B", "Cave @den [nook"}, {"0C", "Amber\x85road"},      {"14", "Hill of Hats"},
      {"15", "Misty Steps"},     {"30", "The Secret Rooms"},   {"69", "The Secret Rooms"},
  };
  for (const auto& [level, name] : names) {
    const ToolRun run = run_gorvtool({"sample.bin", "-info", level}, dir.path);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("\nNAME:          " + name + "\n"), std::string::npos) << run.output;
    const bool bonuses = level < "30";
    EXPECT_EQ(run.output.find("PATH BONUS:") != std::string::npos, bonuses) << level;
  }
  const ToolRun two = run_gorvtool({"sample.bin", "-info", "02"}, dir.path);
  EXPECT_NE(two.output.find("\n\nPATH BONUS:    15000 points\nSPEED BONUS:   71 seconds\n\n"),
            std::string::npos)
      << two.output;
}

}  // namespace
}  // namespace gorv::test
