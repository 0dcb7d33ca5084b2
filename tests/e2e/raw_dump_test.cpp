// -decompress through the real binary on small hand-made images.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

using ByteVector = std::vector<std::uint8_t>;

// The smallest image the tool takes: one that holds the map header table.
constexpr std::size_t kSmallestImage = 0x4043E;

struct RawDumpTest : ::testing::Test {
  TempDir dir;
  // Writes `rom`, padded with zero bytes to the smallest image.
  void write_image(ByteVector rom) {
    if (rom.size() < kSmallestImage) rom.resize(kSmallestImage, 0);
    write_file(dir.path / "rom.bin", rom);
  }
  ToolRun dump(const std::string& address) {
    return run_gorvtool({"rom.bin", "-decompress", address}, dir.path);
  }
};

TEST_F(RawDumpTest, EmptyStreamAtAddressZero) {
  write_image(ByteVector(0x100, 0));
  const ToolRun run = dump("0");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output,
            "\nWriting data as \"0x0.dat\"...\n\n"
            "  COMPRESSED DATA SIZE:   2 bytes\n"
            "  DECOMPRESSED DATA SIZE: 0 bytes\n"
            "  RATIO:                  0.0 %\n"
            "\n");
  ASSERT_TRUE(std::filesystem::exists(dir.path / "0x0.dat"));
  EXPECT_TRUE(read_file(dir.path / "0x0.dat").empty());
}

TEST_F(RawDumpTest, LiteralsThenAZeroLengthToken) {
  // One flag byte of eight literals; the ninth token's code comes from the
  // first data byte ('G' = 0 1 000 11: long reference with a length byte),
  // whose distance and length bytes follow the literals and are both 0.
  ByteVector rom(0x12ABC, 0xEE);
  const ByteVector stream = {0x00, 0x01, 0xFF, 'G', 'O', 'R', 'V', 'T', 'O', 'O', 'L', 0x00, 0x00};
  rom.insert(rom.end(), stream.begin(), stream.end());
  rom.resize(rom.size() + 16, 0xEE);
  write_image(rom);

  const ToolRun run = dump("12abc");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output,
            "\nWriting data as \"0x12ABC.dat\"...\n\n"
            "  COMPRESSED DATA SIZE:   13 bytes\n"
            "  DECOMPRESSED DATA SIZE: 8 bytes\n"
            "  RATIO:                  61.5 %\n"
            "\n");
  const ByteVector expected = {'G', 'O', 'R', 'V', 'T', 'O', 'O', 'L'};
  EXPECT_EQ(read_file(dir.path / "0x12ABC.dat"), expected);

  // The same address with "0x" before its digits.
  std::filesystem::remove(dir.path / "0x12ABC.dat");
  EXPECT_EQ(dump("0x12abc").output, run.output);
  EXPECT_EQ(read_file(dir.path / "0x12ABC.dat"), expected);
}

TEST_F(RawDumpTest, AddressAtTheEndOfTheImage) {
  write_image(ByteVector(0x100, 0));
  const ToolRun run = dump("4043E");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "ERROR: address 0x4043E is beyond the end of the ROM image\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path / "0x4043E.dat"));
  EXPECT_EQ(dump("4043D").status, 0);
}

TEST_F(RawDumpTest, ProductTooLargeLeavesTheOldFileAlone) {
  // 300 long references with a length byte (code 0 1 000 11), each of
  // distance 1 and length 254: the 259th crosses 65,535 bytes.
  const int tokens = 300;
  ByteVector flags((tokens * 7 + 7) / 8, 0);
  for (int t = 0; t < tokens; ++t) {
    const int code[7] = {0, 1, 0, 0, 0, 1, 1};
    for (int b = 0; b < 7; ++b) {
      const int bit = t * 7 + b;
      if (code[b] != 0) flags[bit / 8] |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
    }
  }
  ByteVector rom(0x40, 0);
  rom.push_back(static_cast<std::uint8_t>(flags.size() >> 8));
  rom.push_back(static_cast<std::uint8_t>(flags.size()));
  rom.insert(rom.end(), flags.begin(), flags.end());
  for (int t = 0; t < tokens; ++t) {
    rom.push_back(0x01);
    rom.push_back(0xFE);
  }
  write_image(rom);
  const ByteVector old_file = {'k', 'e', 'e', 'p'};
  write_file(dir.path / "0x40.dat", old_file);

  const ToolRun run = dump("40");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("\nWriting data as \"0x40.dat\"...\n\n"), std::string::npos);
  EXPECT_NE(run.output.find("ERROR: the data at 0x40 expand to more than 65535 bytes\n"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(read_file(dir.path / "0x40.dat"), old_file);
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 2u);  // rom.bin and the old 0x40.dat; nothing left behind
}

TEST_F(RawDumpTest, OutputThatCannotBeWritten) {
  write_image(ByteVector(0x100, 0));
  std::filesystem::create_directory(dir.path / "0x0.dat");
  const ToolRun run = dump("0");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("ERROR: cannot write file \"0x0.dat\" (it is a folder)\n"),
            std::string::npos)
      << run.output;
  EXPECT_TRUE(std::filesystem::is_directory(dir.path / "0x0.dat"));
}

}  // namespace
}  // namespace gorv::test
