#include "common/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/platform.h"

#include "support/temp_dir.h"

namespace gorv {
namespace {

TEST(ReadWholeFile, StopsOneBytePastTheLimit) {
  test::TempDir dir;
  const auto path = (dir.path / "data.bin").string();
  std::vector<std::uint8_t> data(200000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7);
  test::write_file(path, data);

  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(read_whole_file(path, bytes));
  EXPECT_EQ(bytes, data);
  ASSERT_TRUE(read_whole_file(path, bytes, data.size()));
  EXPECT_EQ(bytes, data);
  for (std::size_t limit :
       {data.size() - 1, std::size_t{65535}, std::size_t{65536}, std::size_t{0}}) {
    EXPECT_FALSE(read_whole_file(path, bytes, limit)) << limit;
    EXPECT_EQ(bytes.size(), limit + 1) << limit;
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), data.begin())) << limit;
  }
}

#ifndef _WIN32
TEST(ReadWholeFile, AnEndlessDeviceStopsAtTheLimit) {
  std::vector<std::uint8_t> bytes;
  EXPECT_FALSE(read_whole_file("/dev/zero", bytes, 300000));
  EXPECT_EQ(bytes.size(), 300001u);
}
#endif

// A copy of a file with one name is a second name of it; a file with two
// names already is copied byte by byte, so that the copy never shares its
// contents with a name the tool does not manage. Either way the copy holds
// the file's bytes once put in place, and a read-only copy name is kept.
TEST(CopyOutputFile, LinksAFileOfOneNameAndWritesAnyOther) {
  test::TempDir dir;
  const std::vector<std::uint8_t> data = {1, 2, 3, 4, 5};
  const auto image = (dir.path / "image.bin").string();
  const auto copy = (dir.path / "image.bin.bak").string();
  test::write_file(image, data);
  for (const bool second_name : {false, true}) {
    const auto other = (dir.path / "other.bin").string();
    if (second_name) std::filesystem::create_hard_link(image, other);
    OutputFile out;
    ASSERT_TRUE(copy_output_file(out, copy, image, data)) << second_name;
    ASSERT_TRUE(place_output_file(out)) << second_name;
    EXPECT_EQ(data, test::read_file(copy)) << second_name;
    EXPECT_EQ(!second_name, same_file(copy, image)) << second_name;
    EXPECT_FALSE(path_exists(copy + ".gorvtool-tmp")) << second_name;
    std::filesystem::remove(copy);
  }
  test::write_file(copy, {9});
  std::filesystem::permissions(copy, std::filesystem::perms::owner_read);
  OutputFile out;
  EXPECT_FALSE(copy_output_file(out, copy, image, data));
  EXPECT_EQ(std::vector<std::uint8_t>{9}, test::read_file(copy));
  EXPECT_FALSE(path_exists(copy + ".gorvtool-tmp"));
}

}  // namespace
}  // namespace gorv
