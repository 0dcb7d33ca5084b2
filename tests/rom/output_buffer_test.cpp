#include "rom/output_buffer.h"

#include <gtest/gtest.h>

namespace gorv {
namespace {

TEST(OutputBuffer, GetByteReadsAndStopsAtTheLength) {
  OutputBuffer buffer;
  reset(buffer, 0);
  put_byte(buffer, 7);
  put_byte(buffer, 9);
  EXPECT_EQ(0, seek(buffer, 0, 0));
  EXPECT_EQ(7, get_byte(buffer));
  EXPECT_EQ(9, get_byte(buffer));
  EXPECT_EQ(2, buffer.cursor);
  EXPECT_EQ(0, get_byte(buffer));
  EXPECT_EQ(2, buffer.cursor);
}

TEST(OutputBuffer, PutByteOverwritesInsideAndAppendsAtTheEnd) {
  OutputBuffer buffer;
  reset(buffer, 4);
  for (std::uint8_t b = 1; b <= 4; ++b) put_byte(buffer, b);
  EXPECT_EQ(8, buffer.length);
  EXPECT_EQ(8, buffer.cursor);
  seek(buffer, 5, 0);
  put_byte(buffer, 0xAA);
  EXPECT_EQ(8, buffer.length);
  EXPECT_EQ(6, buffer.cursor);
  const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 1, 0xAA, 3, 4};
  EXPECT_EQ(expected, std::vector<std::uint8_t>(contents(buffer).begin(), contents(buffer).end()));
}

TEST(OutputBuffer, SeekModes) {
  OutputBuffer buffer;
  reset(buffer, 10);
  EXPECT_EQ(0, seek(buffer, 3, 0));
  EXPECT_EQ(3, buffer.cursor);
  EXPECT_EQ(0, seek(buffer, -1, 1));
  EXPECT_EQ(2, buffer.cursor);
  EXPECT_EQ(0, seek(buffer, 0, 2));
  EXPECT_EQ(10, buffer.cursor);
  EXPECT_EQ(1, seek(buffer, 4, 5));
  EXPECT_EQ(10, buffer.cursor);
  EXPECT_EQ(0, seek(buffer, -11, 1));  // kept modulo 65536
  EXPECT_EQ(0xFFFF, buffer.cursor);
}

TEST(OutputBuffer, AppendPastTheCapacityReportsFullInsteadOfWrapping) {
  OutputBuffer buffer;
  reset(buffer, 0);
  for (std::size_t i = 0; i < kOutputBufferCapacity; ++i) put_byte(buffer, 1);
  EXPECT_FALSE(buffer.full);
  EXPECT_EQ(0xFFFF, buffer.length);
  put_byte(buffer, 2);
  EXPECT_TRUE(buffer.full);
  EXPECT_EQ(0xFFFF, buffer.length);
  EXPECT_EQ(0xFFFF, buffer.cursor);
  reset(buffer, 0);
  EXPECT_FALSE(buffer.full);
}

TEST(OutputBuffer, PutAfterSeekingPastTheLengthStaysInsideTheStorage) {
  OutputBuffer buffer;
  reset(buffer, 2);
  seek(buffer, 6, 0);
  put_byte(buffer, 5);
  EXPECT_EQ(7, buffer.length);
  ASSERT_GE(buffer.storage.size(), 7u);
  EXPECT_EQ(5, buffer.storage[6]);
  EXPECT_EQ(0, buffer.storage[4]);
}

}  // namespace
}  // namespace gorv
