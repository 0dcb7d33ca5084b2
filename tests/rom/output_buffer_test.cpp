#include "rom/output_buffer.h"

#include <gtest/gtest.h>

namespace gorv {
namespace {

TEST(OutputBuffer, PutByteOverwritesInsideAndAppendsAtTheEnd) {
  OutputBuffer buffer;
  reset(buffer, 4);
  for (std::uint8_t b = 1; b <= 4; ++b) put_byte(buffer, b);
  EXPECT_EQ(8, buffer.length);
  EXPECT_EQ(8, buffer.cursor);
  buffer.cursor = 5;
  put_byte(buffer, 0xAA);
  EXPECT_EQ(8, buffer.length);
  EXPECT_EQ(6, buffer.cursor);
  const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 1, 0xAA, 3, 4};
  EXPECT_EQ(expected, std::vector<std::uint8_t>(contents(buffer).begin(), contents(buffer).end()));
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

}  // namespace
}  // namespace gorv
