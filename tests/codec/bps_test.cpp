// The BPS codec: the published vectors byte for byte, round trips through
// the creator and the reader, and damaged patches that must be refused with
// the right error and no output.
#include "codec/bps.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cli/messages.h"
#include "codec/bps_number.h"
#include "common/byte_order.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;
using Kind = BpsActionKind;

ByteVector text(const std::string& s) {
  return ByteVector(s.begin(), s.end());
}

TEST(BpsFormat, KnownVectors) {
  struct Vector {
    ByteVector source, target;
    std::vector<BpsAction> actions;
    ByteVector patch;
  };
  const Vector vectors[] = {
      {{},
       {},
       {},
       {0x42, 0x50, 0x53, 0x31, 0x80, 0x80, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x93, 0x1f, 0xd8, 0x5e}},
      {text("ABCDEFGH"),
       text("ABCDXFGH"),
       {{Kind::source_read, 4, 0}, {Kind::target_read, 1, 0}, {Kind::source_read, 3, 0}},
       {0x42, 0x50, 0x53, 0x31, 0x88, 0x88, 0x80, 0x8c, 0x81, 0x58, 0x88, 0x1c,
        0xb6, 0xdc, 0x68, 0x5e, 0x39, 0xaf, 0xca, 0xbb, 0xab, 0x8c, 0xf2}},
  };
  for (const Vector& v : vectors) {
    EXPECT_EQ(v.patch, bps_serialize(v.source, v.target, v.actions));
    const BpsApplyResult applied = bps_apply(v.patch, v.source);
    EXPECT_EQ(BpsError::none, applied.error);
    EXPECT_EQ(v.target, applied.target);
    // Our own choice for these pairs is the same patch.
    EXPECT_EQ(v.patch, bps_create(v.source, v.target).patch);
  }
  EXPECT_EQ(0xCBF43926u, crc32(text("123456789")));
}

TEST(BpsFormat, Numbers) {
  const std::pair<std::uint64_t, ByteVector> cases[] = {
      {0, {0x80}},         {127, {0xFF}},         {128, {0x00, 0x80}},
      {129, {0x01, 0x80}}, {16511, {0x7F, 0xFF}}, {16512, {0x00, 0x00, 0x80}},
  };
  for (const auto& [value, bytes] : cases) {
    ByteVector out;
    append_bps_number(out, value);
    EXPECT_EQ(bytes, out) << value;
    EXPECT_EQ(bytes.size(), bps_number_size(value)) << value;
  }
}

// A target built the way an import builds one: kept stretches, moved
// stretches, new bytes, padding runs, repeats of its own earlier bytes.
ByteVector import_like(const ByteVector& source, std::mt19937& random, std::size_t size) {
  ByteVector target;
  while (target.size() < size) {
    const std::size_t length = 1 + random() % (random() % 2 ? 12 : 700);
    const std::size_t at = target.size();
    for (std::size_t k = 0; k < length; ++k) {
      switch (random() % 5) {
        case 0:
          target.push_back(at + k < source.size() ? source[at + k] : 0xFF);
          break;
        case 1:
          target.push_back(source.empty() ? 0 : source[(at * 31 + k) % source.size()]);
          break;
        case 2:
          target.push_back(0xFF);
          break;
        case 3:
          target.push_back(target.empty() ? 0 : target[(at / 2 + k) % target.size()]);
          break;
        default:
          target.push_back(static_cast<std::uint8_t>(random()));
      }
    }
  }
  return target;
}

void expect_round_trip(const ByteVector& source, const ByteVector& target, std::size_t max_size) {
  const BpsCreateResult created = bps_create(source, target);
  ASSERT_EQ(BpsCreateError::none, created.error) << static_cast<int>(created.check);
  EXPECT_LE(created.patch.size(), max_size);
  const BpsApplyResult applied = bps_apply(created.patch, source);
  ASSERT_EQ(BpsError::none, applied.error) << bps_error_text(applied);
  ASSERT_EQ(target, applied.target);
}

TEST(BpsRoundTrip, TrickyPairs) {
  ByteVector data(70000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * i >> 7);
  const ByteVector half(data.begin(), data.begin() + 35000);
  ByteVector swapped(data.begin() + 35000, data.end());
  swapped.insert(swapped.end(), half.begin(), half.end());
  ByteVector padded = half;
  padded.resize(1 << 20, 0xFF);
  ByteVector period3;
  for (int i = 0; i < 9000; ++i) period3.push_back(static_cast<std::uint8_t>("xyz"[i % 3]));
  struct Pair {
    ByteVector source, target;
    std::size_t max_size;  // a bound that only a good choice of actions meets
  };
  const Pair pairs[] = {
      {{}, {}, 19},
      {{}, text("A"), 21},
      {text("A"), {}, 19},
      {data, data, 26},               // one SourceRead
      {data, half, 26},               // a shorter target
      {half, data, 35100},            // new bytes at the end
      {data, swapped, 35},            // two SourceCopies
      {half, padded, 35},             // SourceRead and one run
      {{}, ByteVector(5000, 0), 30},  // a run without a source
      {{}, period3, 30},              // a TargetCopy that overlaps itself
      {period3, ByteVector(period3.rbegin(), period3.rend()), 30},
  };
  for (const Pair& p : pairs) {
    SCOPED_TRACE(testing::Message() << p.source.size() << " -> " << p.target.size());
    expect_round_trip(p.source, p.target, p.max_size);
  }
}

TEST(BpsRoundTrip, RandomPairs) {
  std::mt19937 random(7);
  for (int n = 0; n < 60; ++n) {
    ByteVector source(random() % 20000);
    const unsigned alphabet = 1 + random() % 256;
    for (auto& b : source) b = static_cast<std::uint8_t>(random() % alphabet);
    const ByteVector target = import_like(source, random, random() % 30000);
    SCOPED_TRACE(n);
    expect_round_trip(source, target, 4 * target.size() / 3 + 40);
  }
}

// A patch with a correct footer around `body` (what follows "BPS1").
ByteVector craft(const ByteVector& body, const ByteVector& source, std::uint32_t target_crc) {
  ByteVector patch = text("BPS1");
  patch.insert(patch.end(), body.begin(), body.end());
  append_le32(patch, crc32(source));
  append_le32(patch, target_crc);
  append_le32(patch, crc32(patch));
  return patch;
}

TEST(BpsApply, StructureErrors) {
  const ByteVector source = text("ABCD");
  const std::uint32_t crc = crc32(text("ABCD"));
  struct Case {
    const char* what;
    ByteVector patch;
    BpsError error;
    std::uint64_t at;
  };
  const Case cases[] = {
      {"wrong magic", {'B', 'P', 'S', '2'}, BpsError::bad_magic, 0},
      {"magic only", text("BPS1"), BpsError::patch_cut, 4},
      {"seven-byte size", craft({0, 0, 0, 0, 0, 0, 0, 0x80, 0x84, 0x80}, source, crc),
       BpsError::number_overflow, 4},
      {"64 MiB + 1", craft({0x84, 0x7F, 0x7E, 0x7E, 0x1E, 0x80, 0x80}, source, crc),
       BpsError::target_too_large, 4},
      {"metadata", craft({0x84, 0x84, 0x85, 0, 0}, source, crc), BpsError::metadata_past_end, 7},
      {"number into footer", craft({0x84, 0x84, 0x80, 0x0C}, source, crc), BpsError::patch_cut, 7},
      {"past target", craft({0x84, 0x84, 0x80, 0x90}, source, crc), BpsError::action_past_target,
       7},
      {"past source", craft({0x82, 0x84, 0x80, 0x8C}, source, crc),
       BpsError::source_read_past_source, 7},
      {"bytes into footer", craft({0x84, 0x84, 0x80, 0x8D, 'A'}, source, crc), BpsError::patch_cut,
       7},
      {"source copy before 0", craft({0x84, 0x84, 0x80, 0x8E, 0x83}, source, crc),
       BpsError::source_copy_outside, 7},
      {"source copy past end", craft({0x84, 0x84, 0x80, 0x82, 0x86, 0x82, 0x82}, source, crc),
       BpsError::source_copy_outside, 9},
      {"target copy of nothing", craft({0x84, 0x84, 0x80, 0x83, 0x80}, source, crc),
       BpsError::target_copy_outside, 7},
      {"target copy ahead", craft({0x84, 0x84, 0x80, 0x80, 0x87, 0x82}, source, crc),
       BpsError::target_copy_outside, 8},
      {"short of target", craft({0x84, 0x84, 0x80, 0x88}, source, crc), BpsError::size_mismatch, 8},
  };
  for (const Case& c : cases) {
    const BpsApplyResult r = bps_apply(c.patch, source);
    EXPECT_EQ(c.error, r.error) << c.what << ": " << bps_error_text(r);
    EXPECT_EQ(c.at, r.at) << c.what;
    EXPECT_TRUE(r.target.empty()) << c.what;
    EXPECT_FALSE(bps_error_text(r).empty()) << c.what;
  }
}

TEST(BpsApply, ChecksInOrder) {
  const ByteVector source = text("ABCDEFGH");
  const ByteVector patch = bps_create(source, text("ABCDXFGH")).patch;
  ASSERT_FALSE(patch.empty());
  const auto expect = [](const ByteVector& p, const ByteVector& s, BpsError error,
                         std::uint64_t expected, std::uint64_t found) {
    const BpsApplyResult r = bps_apply(p, s);
    EXPECT_EQ(error, r.error) << bps_error_text(r);
    EXPECT_EQ(expected, r.expected);
    EXPECT_EQ(found, r.found);
    EXPECT_EQ(crc32(s), r.source_crc);
    EXPECT_EQ(get_le32(p, p.size() - 12), r.patch_source_crc);
    EXPECT_TRUE(r.target.empty());
  };
  ByteVector damaged = patch;
  damaged[9] ^= 0x20;  // the TargetRead byte: the patch's CRC, before the wrong source
  expect(damaged, text("ABC"), BpsError::patch_crc_mismatch, get_le32(patch, patch.size() - 4),
         crc32(std::span(damaged).first(damaged.size() - 4)));
  expect(patch, text("ABC"), BpsError::source_size_mismatch, 8, 3);
  expect(patch, text("ABCDEFGX"), BpsError::source_crc_mismatch, crc32(source),
         crc32(text("ABCDEFGX")));
  const ByteVector lying = craft({0x88, 0x88, 0x80, 0x9C}, source, 0x12345678);
  expect(lying, source, BpsError::target_crc_mismatch, 0x12345678, crc32(source));
}

// Every shorter patch and every patch with one bit flipped is refused as
// damaged, with no output.
TEST(BpsApply, EveryCutAndEveryFlip) {
  std::mt19937 random(3);
  ByteVector source(3000);
  for (auto& b : source) b = static_cast<std::uint8_t>(random() % 7);
  const ByteVector target = import_like(source, random, 5000);
  const ByteVector patch = bps_create(source, target).patch;
  ASSERT_GT(patch.size(), 100u);
  const auto expect_damaged = [&](const ByteVector& p, const std::string& what) {
    const BpsApplyResult r = bps_apply(p, source);
    EXPECT_NE(BpsError::none, r.error) << what;
    EXPECT_FALSE(bps_is_for_another_source(r.error)) << what << ": " << bps_error_text(r);
    EXPECT_TRUE(r.target.empty()) << what;
  };
  for (std::size_t size = 0; size < patch.size(); ++size)
    expect_damaged(ByteVector(patch.begin(), patch.begin() + size),
                   "cut at " + std::to_string(size));
  for (std::size_t at = 0; at < patch.size(); ++at) {
    ByteVector flipped = patch;
    flipped[at] ^= static_cast<std::uint8_t>(1u << (at % 8));
    expect_damaged(flipped, "bit flipped at " + std::to_string(at));
  }
}

}  // namespace
}  // namespace gorv
