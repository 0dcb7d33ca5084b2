#include "common/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>

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

}  // namespace
}  // namespace gorv
