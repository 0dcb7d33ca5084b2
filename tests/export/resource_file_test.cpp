#include "export/resource_file.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

#include "support/current_dir.h"
#include "support/lz_stream_writer.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

ByteVector numbered(std::size_t size, unsigned seed) {
  ByteVector bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(seed + i * 29 + i / 5);
  return bytes;
}

void put_be32(ByteVector& image, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

void put_bytes(ByteVector& image, std::size_t at, const ByteVector& bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

// One packed block of the test image: where its stream stands, the limit the
// file uses, the stream and what the file holds for it.
struct PackedBlock {
  std::uint32_t offset;
  std::size_t limit;
  ByteVector stream;
  ByteVector product;
};

PackedBlock pattern_block(std::uint32_t offset, std::size_t limit, std::size_t pattern_size,
                          unsigned seed, std::size_t produced = 0, bool overrun = false) {
  if (produced == 0) produced = limit;
  ByteVector pattern = numbered(pattern_size, seed);
  // A stream that ends early is read one token past its end token, with code
  // bits from its first data byte and data bytes from behind it: a first
  // literal of 0 and zeros behind the stream make those tokens add zeros.
  if (produced < limit) pattern[0] = 0;
  PackedBlock block{offset, limit, test::lz_pattern_stream(pattern, produced, overrun),
                    test::pattern_product(pattern, produced, overrun)};
  if (block.product.size() < limit) block.product.resize(limit, 0);
  return block;
}

struct ResourceData {
  ByteVector raw_d00c = numbered(30, 1);
  ByteVector behind_a0a02 = numbered(24, 2);
  std::vector<PackedBlock> packed = {
      pattern_block(0xCAB2, 0x240, 48, 3),  pattern_block(0x992E4, 0x1A80, 100, 4),
      pattern_block(0x5B92, 0x180, 16, 5),  pattern_block(0x5C83, 0x180, 24, 6),
      pattern_block(0x1DA86, 0x5A0, 32, 7),
  };
  ByteVector raw_12ba4 = numbered(128, 8);
  ByteVector behind_4668 = numbered(640, 9);
  ByteVector skipped = {0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5};  // the 6 bytes not taken
  ByteVector behind_a0a4e = numbered(384, 10);
};

ByteVector resource_image(const ResourceData& d) {
  ByteVector image(0xA8000, 0x66);
  put_bytes(image, 0xD00C, d.raw_d00c);
  put_be32(image, 0xA0A02, 0xA1000);
  put_bytes(image, 0xA1000, d.behind_a0a02);
  for (const PackedBlock& block : d.packed) {
    put_bytes(image, block.offset, block.stream);
    put_bytes(image, block.offset + block.stream.size(), ByteVector(4, 0));
  }
  put_bytes(image, 0x12BA4, d.raw_12ba4);
  put_be32(image, 0x4668, 0xA1100);
  put_bytes(image, 0xA1100, d.behind_4668);
  put_be32(image, 0xA0A4E, 0xA1400);
  put_bytes(image, 0xA1400, d.skipped);
  put_bytes(image, 0xA1406, d.behind_a0a4e);
  return image;
}

ByteVector expected_file(const ResourceData& d) {
  ByteVector file;
  auto add = [&file](const ByteVector& bytes) {
    file.insert(file.end(), bytes.begin(), bytes.end());
  };
  add(d.raw_d00c);
  add(d.behind_a0a02);
  for (const PackedBlock& block : d.packed) add(block.product);
  add(d.raw_12ba4);
  add(d.behind_4668);
  add(d.behind_a0a4e);
  return file;
}

struct ResourceRun {
  std::string output;
  bool error = false;
};

ResourceRun write_in(const fs::path& dir, const ByteVector& image) {
  test::CurrentDirGuard in_dir(dir);
  ResourceRun run;
  const ExportResult result = write_resource_file(Bytes(image));
  run.output = report_text(result.report);
  run.error = report_has_error(result.report);
  return run;
}

// Runs the real binary with -resource on `image`, saved as rom.bin in `dir`.
test::ToolRun run_tool_in(const fs::path& dir, const ByteVector& image) {
  test::write_file(dir / "rom.bin", image);
  return test::run_gorvtool({"rom.bin", "-resource"}, dir);
}

TEST(ResourceFileEndToEnd, WholeFileAndWholeOutput) {
  test::TempDir dir;
  const ResourceData d;
  ASSERT_LE(d.packed[2].stream.size(), 0x5C83u - 0x5B92u);
  const ByteVector image = resource_image(d);
  const test::ToolRun run = run_tool_in(dir.path, image);
  EXPECT_EQ(0, run.status);

  const ByteVector file = test::read_file(dir.path / "gorvedit.dat");
  EXPECT_EQ(10774u, file.size());
  EXPECT_EQ(expected_file(d), file);
  EXPECT_EQ(ByteVector(image.begin() + 0xD00C, image.begin() + 0xD00C + 30),
            ByteVector(file.begin(), file.begin() + 30));
  EXPECT_EQ(d.behind_a0a4e, ByteVector(file.begin() + 10390, file.end()));
  EXPECT_EQ(
      "\nWriting GorvEdit data as \"gorvedit.dat\"...\n\n"
      "  COMPRESSED DATA SIZE:   66 bytes\n"
      "  DECOMPRESSED DATA SIZE: 576 bytes\n"
      "  RATIO:                  872.7 %\n"
      "\n"
      "  COMPRESSED DATA SIZE:   193 bytes\n"
      "  DECOMPRESSED DATA SIZE: 6784 bytes\n"
      "  RATIO:                  3515.0 %\n"
      "\n"
      "  COMPRESSED DATA SIZE:   27 bytes\n"
      "  DECOMPRESSED DATA SIZE: 384 bytes\n"
      "  RATIO:                  1422.2 %\n"
      "\n"
      "  COMPRESSED DATA SIZE:   36 bytes\n"
      "  DECOMPRESSED DATA SIZE: 384 bytes\n"
      "  RATIO:                  1066.7 %\n"
      "\n"
      "  COMPRESSED DATA SIZE:   57 bytes\n"
      "  DECOMPRESSED DATA SIZE: 1440 bytes\n"
      "  RATIO:                  2526.3 %\n"
      "\n",
      run.output);
  EXPECT_EQ(2, std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()));
}

TEST(ResourceFileEndToEnd, ShortStreamsArePaddedAndLaterBlocksStay) {
  test::TempDir dir;
  ResourceData d;
  d.packed[0] = pattern_block(0xCAB2, 0x240, 48, 11, 100);
  d.packed[3] = pattern_block(0x5C83, 0x180, 24, 12, 30);
  EXPECT_EQ(0, run_tool_in(dir.path, resource_image(d)).status);
  const ByteVector file = test::read_file(dir.path / "gorvedit.dat");
  EXPECT_EQ(expected_file(d), file);
  ASSERT_EQ(10774u, file.size());
  EXPECT_EQ(ByteVector(0x240 - 100, 0), ByteVector(file.begin() + 54 + 100, file.begin() + 630));
  EXPECT_EQ(d.raw_12ba4, ByteVector(file.begin() + 9622, file.begin() + 9750));
}

TEST(ResourceFileEndToEnd, AnOverrunMovesEveryLaterBlock) {
  test::TempDir dir;
  ResourceData d;
  d.packed[4] = pattern_block(0x1DA86, 0x5A0, 32, 13, 0x5A0, true);
  const std::size_t overrun = d.packed[4].product.size() - 0x5A0;
  ASSERT_EQ(122u, overrun);
  EXPECT_EQ(0, run_tool_in(dir.path, resource_image(d)).status);
  const ByteVector file = test::read_file(dir.path / "gorvedit.dat");
  EXPECT_EQ(10774u + overrun, file.size());
  EXPECT_EQ(expected_file(d), file);
}

TEST(ResourceFile, PointersPastTheImageEndReadAsZeros) {
  test::TempDir dir;
  ByteVector image(0x20, 0x5A);
  const ResourceRun run = write_in(dir.path, image);
  // Every fixed offset lies past the end; the pointers read 0, so the three
  // indirect blocks start with the image's own bytes.
  ByteVector expected(10774, 0);
  std::fill(expected.begin() + 30, expected.begin() + 30 + 24, 0x5A);
  std::fill(expected.begin() + 9750, expected.begin() + 9750 + 0x20, 0x5A);
  std::fill(expected.begin() + 10390, expected.begin() + 10390 + 0x20 - 6, 0x5A);
  EXPECT_EQ(expected, test::read_file(dir.path / "gorvedit.dat"));
  EXPECT_FALSE(run.error);
}

TEST(ResourceFileEndToEnd, FileThatCannotBeCreated) {
  test::TempDir dir;
  fs::create_directory(dir.path / "gorvedit.dat.gorvtool-tmp");
  const test::ToolRun run = run_tool_in(dir.path, resource_image(ResourceData{}));
  EXPECT_EQ("ERROR: cannot create file \"gorvedit.dat\"\n", run.output);
  EXPECT_EQ(1, run.status);
  EXPECT_FALSE(fs::exists(dir.path / "gorvedit.dat"));
}

TEST(ResourceFile, FileThatCannotBeWrittenKeepsWhatWasThere) {
  test::TempDir dir;
  fs::create_directories(dir.path / "gorvedit.dat" / "keep");
  const ResourceRun run = write_in(dir.path, resource_image(ResourceData{}));
  EXPECT_EQ(0u, run.output.find("\nWriting GorvEdit data as \"gorvedit.dat\"...\n\n"));
  const std::string error = "ERROR: cannot write file \"gorvedit.dat\"\n";
  ASSERT_GE(run.output.size(), error.size());
  EXPECT_EQ(error, run.output.substr(run.output.size() - error.size()));
  EXPECT_TRUE(fs::is_directory(dir.path / "gorvedit.dat" / "keep"));
  EXPECT_FALSE(fs::exists(dir.path / "gorvedit.dat.gorvtool-tmp"));
}

}  // namespace
}  // namespace gorv
