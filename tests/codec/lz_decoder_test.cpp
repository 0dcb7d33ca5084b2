#include "codec/lz_decoder.h"

#include <gtest/gtest.h>

#include <random>

#include "support/report_shapes.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;

struct Decoded {
  ByteVector product;  // what the call appended
  LzDecodeResult result;
};

// Decodes `stream` placed at `offset` of an image, into a buffer that
// already holds `before`.
Decoded decode(const ByteVector& stream, std::uint16_t limit, ByteVector before = {},
               std::size_t offset = 0) {
  ByteVector image(offset, 0xEE);
  image.insert(image.end(), stream.begin(), stream.end());
  OutputBuffer buffer;
  reset(buffer, 0);
  for (auto b : before) put_byte(buffer, b);
  Decoded d;
  d.result = lz_decode(Bytes(image), offset, limit, buffer);
  d.product.assign(buffer.storage.begin() + static_cast<std::ptrdiff_t>(before.size()),
                   buffer.storage.begin() + buffer.length);
  return d;
}

TEST(LzDecoder, OneLiteral) {
  const auto d = decode({0x00, 0x01, 0xA3, 0x61, 0x00, 0x00}, 1);
  EXPECT_EQ(ByteVector{0x61}, d.product);
  EXPECT_EQ(1u, d.result.size);
  EXPECT_EQ(4u, d.result.compressed_size);  // the end token is never read
}

TEST(LzDecoder, ThreeHundredZerosAndTheirReport) {
  const ByteVector stream = {0x00, 0x03, 0xA3, 0x4E, 0x8C, 0x00,
                             0x01, 0xFF, 0x00, 0x2C, 0x00, 0x00};
  const auto d = decode(stream, 300, {}, 0x1234);
  EXPECT_EQ(ByteVector(300, 0), d.product);
  EXPECT_EQ(300u, d.result.size);
  EXPECT_EQ(10u, d.result.compressed_size);
  EXPECT_EQ(
      "  COMPRESSED DATA SIZE:   10 bytes\n"
      "  DECOMPRESSED DATA SIZE: 300 bytes\n"
      "  RATIO:                  3000.0 %\n"
      "\n",
      test::lz_size_report(d.result));
}

TEST(LzDecoder, WithoutALimitDecodingRunsPastTheEndToken) {
  const ByteVector stream = {0x00, 0x03, 0xA3, 0x4E, 0x8C, 0x00,
                             0x01, 0xFF, 0x00, 0x2C, 0x00, 0x00};
  const auto d = decode(stream, 0);
  ASSERT_GT(d.product.size(), 300u);
  EXPECT_EQ(d.product.size(), d.result.size);
  EXPECT_EQ(ByteVector(300, 0), ByteVector(d.product.begin(), d.product.begin() + 300));
}

TEST(LzDecoder, OverlappingCopyRepeatsThePeriod) {
  const ByteVector stream = {0x00, 0x03, 0xE8, 0xD1, 0x80, 0x61,
                             0x62, 0x63, 0x03, 0x0F, 0x00, 0x00};
  const auto d = decode(stream, 18);
  ByteVector expected;
  for (int i = 0; i < 6; ++i) expected.insert(expected.end(), {0x61, 0x62, 0x63});
  EXPECT_EQ(expected, d.product);
  EXPECT_EQ(10u, d.result.compressed_size);
}

TEST(LzDecoder, TwoLiterals) {
  const auto d = decode({0x00, 0x02, 0xD1, 0x80, 0x05, 0x05, 0x00, 0x00}, 2);
  EXPECT_EQ((ByteVector{0x05, 0x05}), d.product);
}

TEST(LzDecoder, EmptyFlagAreaGivesZerosUpToTheLimit) {
  const auto d = decode({0x00, 0x00, 0x12, 0x34}, 5);
  EXPECT_EQ(ByteVector(5, 0), d.product);
  EXPECT_EQ(5u, d.result.size);
  EXPECT_EQ(2u, d.result.compressed_size);
  const auto unlimited = decode({0x00, 0x00, 0x12, 0x34}, 0);
  EXPECT_TRUE(unlimited.product.empty());
  EXPECT_EQ(0u, unlimited.result.size);
}

TEST(LzDecoder, ShortStreamIsPaddedWithZeros) {
  // literal 'a' then the end token, limit 4.
  const auto d = decode({0x00, 0x01, 0xA3, 0x61, 0x00, 0x00}, 4);
  EXPECT_EQ((ByteVector{0x61, 0, 0, 0}), d.product);
  EXPECT_EQ(4u, d.result.size);
}

TEST(LzDecoder, BackReferenceCrossingTheLimitIsCompleted) {
  // literal 0x41, then long reference with length byte: distance 1, length 10.
  // Code bits: 1 | 0 1 000 11 -> 1010 0011 = A3.
  const auto d = decode({0x00, 0x01, 0xA3, 0x41, 0x01, 0x0A}, 5);
  EXPECT_EQ(ByteVector(11, 0x41), d.product);
  EXPECT_EQ(5u, d.result.size);
}

TEST(LzDecoder, DistanceZeroAppendsOneZeroFewerThanTheLength) {
  // Short reference, L = 1, distance 0: code 0 0 1, then literal 0x07: 1.
  // Bits 0011 0000 = 0x30; two more tokens would follow but the limit stops.
  const auto d = decode({0x00, 0x01, 0x30, 0x00, 0x07}, 3);
  EXPECT_EQ((ByteVector{0x00, 0x00, 0x07}), d.product);
}

TEST(LzDecoder, LengthZeroAppendsNothing) {
  // Literal 0x33, long reference with length byte, distance 0x105, length 0,
  // literal 0x44. Bits: 1 | 0 1 001 11 | 1 -> 1010 0111 1000 0000.
  const auto d = decode({0x00, 0x02, 0xA7, 0x80, 0x33, 0x05, 0x00, 0x44}, 2);
  EXPECT_EQ((ByteVector{0x33, 0x44}), d.product);
}

TEST(LzDecoder, ReferenceBeforeTheBufferStartGivesZeros) {
  // Short reference, L = 1, distance 5, on an empty buffer: 0 0 1 -> 0x20.
  const auto d = decode({0x00, 0x01, 0x20, 0x05}, 3);
  EXPECT_EQ(ByteVector(3, 0), d.product);
}

TEST(LzDecoder, ReferenceReachesIntoBytesAlreadyInTheBuffer) {
  // Short reference, L = 0, distance 3: copies two bytes of the earlier content.
  const auto d = decode({0x00, 0x01, 0x00, 0x03}, 2, {0x10, 0x20, 0x30});
  EXPECT_EQ((ByteVector{0x10, 0x20}), d.product);
}

TEST(LzDecoder, StreamCutShortByTheEndOfTheImageReadsZeros) {
  // K says 200 flag bytes but the image ends after 1: the missing code bits
  // are 0 (short references of distance 0 giving one zero each).
  const auto d = decode({0x00, 0xC8, 0xFF}, 20);
  EXPECT_EQ(20u, d.product.size());
  EXPECT_EQ(0u, d.product[0]);
  const auto unlimited = decode({0x00, 0xC8, 0xFF}, 0);
  EXPECT_EQ(unlimited.product.size(), unlimited.result.size);
}

TEST(LzDecoder, OffsetPastTheEndOfTheImage) {
  OutputBuffer buffer;
  reset(buffer, 0);
  const ByteVector image = {1, 2, 3};
  const auto result = lz_decode(Bytes(image), 0xFFFFFFFFull, 16, buffer);
  EXPECT_EQ(16u, result.size);
  EXPECT_EQ(16u, buffer.length);
}

TEST(LzDecoder, FullBufferIsReported) {
  OutputBuffer buffer;
  reset(buffer, 65000);
  const ByteVector image = {0x00, 0x00};
  const auto result = lz_decode(Bytes(image), 0, 1000, buffer);
  EXPECT_TRUE(result.buffer_full);
  EXPECT_EQ(0xFFFF, buffer.length);
}

TEST(LzDecoder, ArbitraryBytesNeverOverrunAndAlwaysEnd) {
  std::mt19937 random(12345);
  for (int round = 0; round < 3000; ++round) {
    ByteVector image(random() % 64);
    for (auto& b : image) b = static_cast<std::uint8_t>(random());
    OutputBuffer buffer;
    reset(buffer, static_cast<std::uint16_t>(random() % 40));
    const std::uint64_t offset = random() % (image.size() + 3);
    const auto limit = static_cast<std::uint16_t>(random() % 3 == 0 ? 0 : random() % 3000);
    const std::uint16_t before = buffer.length;
    const auto result = lz_decode(Bytes(image), offset, limit, buffer);
    if (result.buffer_full) {
      EXPECT_EQ(kOutputBufferCapacity, buffer.length);
    } else if (limit != 0) {
      EXPECT_EQ(limit, result.size);
      EXPECT_GE(buffer.length - before, limit);
    } else {
      EXPECT_EQ(buffer.length - before, static_cast<int>(result.size));
    }
    EXPECT_GE(result.compressed_size, 2u);
  }
}

}  // namespace
}  // namespace gorv
