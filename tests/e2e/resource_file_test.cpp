// -resource through the real binary: the whole file and the whole output.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/resource_image.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

namespace fs = std::filesystem;
using namespace test::resources;

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

TEST(ResourceFileEndToEnd, FileThatCannotBeCreated) {
  test::TempDir dir;
  fs::create_directory(dir.path / "gorvedit.dat.gorvtool-tmp");
  const test::ToolRun run = run_tool_in(dir.path, resource_image(ResourceData{}));
  EXPECT_EQ("ERROR: cannot create file \"gorvedit.dat\" (it is a folder)\n", run.output);
  EXPECT_EQ(1, run.status);
  EXPECT_FALSE(fs::exists(dir.path / "gorvedit.dat"));
}

}  // namespace
}  // namespace gorv
