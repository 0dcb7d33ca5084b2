#include "codec/block_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "support/bit_fields.h"
#include "support/block_section.h"
#include "support/report_shapes.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;
using test::BitFields;
using test::put_field;

constexpr std::uint8_t kWidths54 = 0x54;  // X 5 bits, Y 4 bits: a 1 x 1 screen map

// A stream's marker and field widths bytes; the bit fields follow.
BitFields stream_start(std::uint8_t widths = kWidths54) {
  BitFields f;
  f.bytes = {0x40, widths};
  return f;
}

void put_entry(BitFields& f, unsigned x, unsigned y) {
  put_field(f, x, 5);
  put_field(f, y, 4);
}

void put_run(BitFields& f, unsigned further, unsigned down) {
  put_field(f, further, 4);
  put_field(f, down, 1);
}

void put_group_end(BitFields& f) {
  put_field(f, 0x1F, 5);
}
void put_end_code(BitFields& f) {
  put_field(f, 0x3F, 6);
}

struct Section {
  ByteVector bytes;
  std::vector<UnhandledBlockType> unhandled;
};

// Decodes `stream` placed at `address` of an image of 0xEE bytes, into a
// buffer that already holds two bytes.
Section decode_section(const ByteVector& stream, std::uint8_t width, std::uint16_t grid_size,
                       std::uint8_t filter = kAllBlockTypes, std::size_t address = 0) {
  ByteVector image(address, 0xEE);
  image.insert(image.end(), stream.begin(), stream.end());
  OutputBuffer out;
  reset(out, 0);
  put_byte(out, 0xD1);
  put_byte(out, 0xD2);
  Section s;
  s.unhandled = test::decode_block_layout(Bytes(image), address, width, grid_size, filter, out);
  EXPECT_FALSE(out.full);
  EXPECT_EQ(out.cursor, out.length);
  EXPECT_EQ(0xD1, out.storage[0]);
  EXPECT_EQ(0xD2, out.storage[1]);
  s.bytes.assign(out.storage.begin() + 2, out.storage.begin() + out.length);
  return s;
}

std::vector<BlockCell> decode_cells(const ByteVector& stream, std::uint8_t width,
                                    std::size_t grid_size, std::uint8_t filter = kAllBlockTypes) {
  return decode_block_cells(Bytes(stream), 0, width, grid_size, filter).cells;
}

ByteVector cell_bytes(const BlockCell& c) {
  return {c.type, c.d1, c.d2, c.d3, c.d4};
}

TEST(BlockDecoder, WorkedExampleThreeSquaresInARow) {
  const ByteVector stream = {0x40, 0x54, 0x00, 0x64, 0x4F, 0xFE};
  const auto s = decode_section(stream, 1, 280);
  ByteVector expected = {0x2A};
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), {0x80, 0, 0, 0, 0});
  expected.insert(expected.end(), {0x7F, 0x69});
  EXPECT_EQ(expected, s.bytes);
  EXPECT_TRUE(s.unhandled.empty());

  const auto cells = decode_cells(stream, 1, 280);
  ASSERT_EQ(280u, cells.size());
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const bool block = i >= 43 && i <= 45;
    const ByteVector expected = block ? ByteVector{0x80, 0, 0, 0, 0} : ByteVector(5, 0);
    EXPECT_EQ(expected, cell_bytes(cells[i])) << i;
  }
}

TEST(BlockDecoder, EndCodeFirstGivesOnlyRunBytes) {
  EXPECT_EQ((ByteVector{0x7F, 0x7F, 0x17}), decode_section({0x40, 0x54, 0xFC}, 1, 280).bytes);
}

TEST(BlockDecoder, RunBytesStandForOneMoreSquareEach) {
  const auto section_of = [](std::vector<BlockCell> cells) {
    OutputBuffer out;
    reset(out, 0);
    test::write_block_section(cells, out);
    return ByteVector(contents(out).begin(), contents(out).end());
  };
  EXPECT_EQ(ByteVector{0x7F}, section_of(std::vector<BlockCell>(128)));
  EXPECT_EQ((ByteVector{0x7F, 0x00}), section_of(std::vector<BlockCell>(129)));
  EXPECT_EQ(ByteVector{0x00}, section_of(std::vector<BlockCell>(1)));
  EXPECT_EQ((ByteVector{0x7F, 0x7F}), section_of(std::vector<BlockCell>(256)));
  EXPECT_EQ((ByteVector{0x7F, 0x7F, 0x00}), section_of(std::vector<BlockCell>(257)));
  EXPECT_EQ(ByteVector{}, section_of({}));

  std::vector<BlockCell> mixed(300);
  mixed[0] = {0x81, 1, 2, 3, 4};
  mixed[130] = {0xA5, 5, 6, 7, 8};
  EXPECT_EQ((ByteVector{0x81, 1, 2, 3, 4, 0x7F, 0x00, 0xA5, 5, 6, 7, 8, 0x7F, 0x28}),
            section_of(mixed));
}

TEST(BlockDecoder, GroupEndRightAfterTheTypeCodeWritesNothing) {
  auto f = stream_start();
  put_field(f, 0x01, 6);
  put_group_end(f);
  put_end_code(f);
  EXPECT_EQ((ByteVector{0x7F, 0x7F, 0x17}), decode_section(f.bytes, 1, 280).bytes);
}

TEST(BlockDecoder, RunsGoRightAcrossTheRowEndAndDown) {
  auto f = stream_start();
  put_field(f, 0x05, 6);  // block type 0x05: run only
  put_entry(f, 19, 0);
  put_run(f, 2, 0);
  put_entry(f, 5, 3);
  put_run(f, 3, 1);
  put_group_end(f);
  put_end_code(f);
  const auto cells = decode_cells(f.bytes, 1, 280);
  std::vector<std::size_t> expected = {19, 20, 21, 65, 85, 105, 125};
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const bool block = std::find(expected.begin(), expected.end(), i) != expected.end();
    EXPECT_EQ(block ? 0x85 : 0x00, cells[i].type) << i;
  }
}

TEST(BlockDecoder, PayloadsOfEveryHandledKind) {
  auto f = stream_start();
  put_field(f, 0x21, 6);  // block type 0x01 with the variant bit: 5-bit values
  put_entry(f, 0, 0);
  put_run(f, 2, 0);
  for (unsigned v : {0x1Fu, 0x00u, 0x15u}) put_field(f, v, 5);
  put_group_end(f);
  put_field(f, 0x0A, 6);  // 4-bit values
  put_entry(f, 0, 1);
  put_run(f, 1, 1);
  for (unsigned v : {0xFu, 0x9u}) put_field(f, v, 4);
  put_group_end(f);
  put_field(f, 0x10, 6);  // 3-bit values
  put_entry(f, 3, 1);
  put_run(f, 0, 0);
  put_field(f, 0x6, 3);
  put_group_end(f);
  put_field(f, 0x03, 6);  // repeat count, direction, d1, d3, d2, d4
  put_entry(f, 10, 0);
  put_field(f, 2, 3);
  put_field(f, 1, 1);
  put_field(f, 0xA5, 8);
  put_field(f, 0x7, 3);
  put_field(f, 0x3C, 8);
  put_field(f, 0xC3, 8);
  put_group_end(f);
  put_field(f, 0x24, 6);  // d1, d2, d4, d3
  put_entry(f, 12, 5);
  put_field(f, 0x11, 8);
  put_field(f, 0x22, 8);
  put_field(f, 1, 1);
  put_field(f, 0x33, 8);
  put_group_end(f);
  put_field(f, 0x0B, 6);  // no payload
  put_entry(f, 13, 5);
  put_entry(f, 14, 5);
  put_group_end(f);
  put_end_code(f);

  const auto cells = decode_cells(f.bytes, 1, 280);
  EXPECT_EQ((ByteVector{0xA1, 0x1F, 0, 0, 0}), cell_bytes(cells[0]));
  EXPECT_EQ((ByteVector{0xA1, 0x00, 0, 0, 0}), cell_bytes(cells[1]));
  EXPECT_EQ((ByteVector{0xA1, 0x15, 0, 0, 0}), cell_bytes(cells[2]));
  EXPECT_EQ((ByteVector{0x8A, 0x0F, 0, 0, 0}), cell_bytes(cells[20]));
  EXPECT_EQ((ByteVector{0x8A, 0x09, 0, 0, 0}), cell_bytes(cells[40]));
  EXPECT_EQ((ByteVector{0x90, 0x06, 0, 0, 0}), cell_bytes(cells[23]));
  for (std::size_t i : {10u, 30u, 50u}) {
    EXPECT_EQ((ByteVector{0x83, 0xA5, 0x3C, 0x07, 0xC3}), cell_bytes(cells[i])) << i;
  }
  EXPECT_EQ(0u, cells[11].type);
  EXPECT_EQ((ByteVector{0xA4, 0x11, 0x22, 0x33, 0x01}), cell_bytes(cells[112]));
  EXPECT_EQ((ByteVector{0x8B, 0, 0, 0, 0}), cell_bytes(cells[113]));
  EXPECT_EQ((ByteVector{0x8B, 0, 0, 0, 0}), cell_bytes(cells[114]));
  std::size_t blocks = 0;
  for (const auto& c : cells) blocks += c.type != 0;
  EXPECT_EQ(12u, blocks);
}

// Type code 0x23 at square 0 with data, type code 0x01 at squares 40-42,
// then type code 0x03 again at square 60: the 0x01 group carries values,
// so a decoder that skipped its payload would misread everything after it.
ByteVector filter_stream() {
  auto f = stream_start();
  put_field(f, 0x23, 6);
  put_entry(f, 0, 0);
  put_field(f, 1, 3);
  put_field(f, 0, 1);
  put_field(f, 0x12, 8);
  put_field(f, 0x5, 3);
  put_field(f, 0x34, 8);
  put_field(f, 0x56, 8);
  put_group_end(f);
  put_field(f, 0x01, 6);
  put_entry(f, 0, 2);
  put_run(f, 2, 0);
  for (unsigned v : {1u, 2u, 3u}) put_field(f, v, 5);
  put_group_end(f);
  put_field(f, 0x03, 6);
  put_entry(f, 0, 3);
  put_field(f, 0, 3);
  put_field(f, 0, 1);
  put_field(f, 0x9A, 8);
  put_field(f, 0x1, 3);
  put_field(f, 0xBC, 8);
  put_field(f, 0xDE, 8);
  put_group_end(f);
  put_end_code(f);
  return f.bytes;
}

TEST(BlockDecoder, FilterKeepsOneBlockTypeAndReadsEverythingElse) {
  const auto all = decode_cells(filter_stream(), 1, 280);
  EXPECT_EQ((ByteVector{0x81, 2, 0, 0, 0}), cell_bytes(all[41]));
  EXPECT_EQ((ByteVector{0x83, 0x9A, 0xBC, 0x01, 0xDE}), cell_bytes(all[60]));

  const auto kept = decode_cells(filter_stream(), 1, 280, 0x03);
  for (std::size_t i = 0; i < kept.size(); ++i) {
    const bool type_03 = (all[i].type & 0x1F) == 0x03;
    EXPECT_EQ(type_03 ? cell_bytes(all[i]) : ByteVector(5, 0), cell_bytes(kept[i])) << i;
  }
  EXPECT_EQ((ByteVector{0xA3, 0x12, 0x34, 0x05, 0x56}), cell_bytes(kept[0]));
  EXPECT_EQ((ByteVector{0xA3, 0x12, 0x34, 0x05, 0x56}), cell_bytes(kept[1]));
  EXPECT_EQ((ByteVector{0x83, 0x9A, 0xBC, 0x01, 0xDE}), cell_bytes(kept[60]));

  const auto only_01 = decode_cells(filter_stream(), 1, 280, 0x01);
  for (std::size_t i = 0; i < only_01.size(); ++i) {
    EXPECT_EQ(i >= 40 && i <= 42 ? 0x81 : 0x00, only_01[i].type) << i;
  }
}

TEST(BlockDecoder, LaterEntryOverwritesTypeAndItsOwnDataBytesOnly) {
  auto f = stream_start();
  put_field(f, 0x03, 6);
  put_entry(f, 5, 0);
  put_field(f, 0, 3);
  put_field(f, 0, 1);
  put_field(f, 0xAA, 8);
  put_field(f, 0x6, 3);
  put_field(f, 0xBB, 8);
  put_field(f, 0xCC, 8);
  put_group_end(f);
  put_field(f, 0x01, 6);
  put_entry(f, 5, 0);
  put_run(f, 0, 0);
  put_field(f, 0x11, 5);
  put_group_end(f);
  put_end_code(f);
  EXPECT_EQ((ByteVector{0x81, 0x11, 0xBB, 0x06, 0xCC}),
            cell_bytes(decode_cells(f.bytes, 1, 280)[5]));
}

TEST(BlockDecoder, UnhandledTypeIsReportedWithoutPayload) {
  auto f = stream_start();
  put_field(f, 0x28, 6);
  put_entry(f, 3, 2);  // ends in the second byte of the bit stream
  put_entry(f, 4, 2);  // ends with the third
  put_group_end(f);
  put_field(f, 0x00, 6);
  put_entry(f, 4, 0);
  put_run(f, 0, 0);
  put_group_end(f);
  put_end_code(f);

  const auto s = decode_section(f.bytes, 1, 280, kAllBlockTypes, 0x012340);
  ASSERT_EQ(2u, s.unhandled.size());
  EXPECT_EQ(0x28, s.unhandled[0].type_code);
  EXPECT_EQ(0x012344u, s.unhandled[0].position);
  EXPECT_EQ(0x012345u, s.unhandled[1].position);
  EXPECT_EQ("\nFound block-type 0x28 at 0x012344\n",
            test::unhandled_block_type_message(s.unhandled[0]));
  EXPECT_EQ("\nFound block-type 0x05 at 0x000007\n",
            test::unhandled_block_type_message({0x05, 0x000007}));
  // Only square 4 holds a block: the entries of 0x28 wrote nothing.
  EXPECT_EQ((ByteVector{0x03, 0x80, 0, 0, 0, 0, 0x7F, 0x7F, 0x12}), s.bytes);

  // The message comes whatever the filter keeps.
  EXPECT_EQ(2u, decode_section(f.bytes, 1, 280, 0x00).unhandled.size());
}

TEST(BlockDecoder, EveryUnhandledBlockTypeWithAndWithoutVariant) {
  for (unsigned type = 0; type < 0x20; ++type) {
    const bool handled =
        type <= 0x10 && type != 0x08 && type != 0x0D && type != 0x0E && type != 0x0F;
    for (unsigned variant : {0x00u, 0x20u}) {
      if (handled || (type | variant) == 0x3F) continue;  // 0x3F is the end code
      auto f = stream_start();
      put_field(f, type | variant, 6);
      put_entry(f, 1, 1);
      put_entry(f, 2, 1);
      put_group_end(f);
      put_end_code(f);
      const auto decoded = decode_block_cells(Bytes(f.bytes), 0, 1, 280, kAllBlockTypes);
      ASSERT_EQ(2u, decoded.unhandled.size()) << type;
      EXPECT_EQ(static_cast<std::uint8_t>(type | variant), decoded.unhandled[0].type_code);
      for (const auto& c : decoded.cells) EXPECT_EQ(0, c.type);
    }
  }
}

// A damaged stream can hold an unhandled entry for every bit; only the
// first ones are reported, but decoding goes on behind them.
TEST(BlockDecoder, UnhandledEntriesBeyondTheReportLimitAreDecodedButNotKept) {
  // One report per grid square, but at least 64.
  EXPECT_EQ(64u, unhandled_report_limit(0));
  EXPECT_EQ(64u, unhandled_report_limit(64));
  EXPECT_EQ(280u, unhandled_report_limit(280));
  for (std::size_t count : {std::size_t{280}, std::size_t{281}, std::size_t{200000}}) {
    auto f = stream_start();
    put_field(f, 0x08, 6);
    for (std::size_t i = 0; i < count; ++i) put_entry(f, static_cast<std::uint32_t>(i % 31), 1);
    put_group_end(f);
    put_field(f, 0x00, 6);
    put_entry(f, 7, 0);
    put_run(f, 0, 0);
    put_group_end(f);
    put_end_code(f);
    const auto decoded = decode_block_cells(Bytes(f.bytes), 0, 1, 280, kAllBlockTypes);
    EXPECT_EQ(std::min(count, std::size_t{281}), decoded.unhandled.size()) << count;
    EXPECT_EQ(std::uint64_t{1} << 0x08, decoded.unhandled_types) << count;
    for (std::size_t i = 0; i < decoded.cells.size(); ++i)
      EXPECT_EQ(i == 7 ? 0x80 : 0, decoded.cells[i].type) << count << " " << i;
  }
  EXPECT_EQ("\nFurther entries of unhandled block types are not shown\n",
            test::unhandled_block_types_omitted_message());
}

// Zero bytes read as one group or entry per few bits, for as long as the
// image goes on; decoding stops after 262,144 of them.
TEST(BlockDecoder, DamagedStreamsEndAfterAQuarterMillionGroupsAndEntries) {
  for (std::uint8_t widths : {0x00, 0x10}) {
    // With 1-bit X fields: a type 0x0B group whose entries (no payload) put
    // square 0 on every zero bit, 4 Mi of them. Behind them, a group end and
    // a type 0x00 entry for square 0, which decoding must not reach.
    // With 0-bit X fields: 6-bit empty groups.
    auto f = stream_start(widths);
    put_field(f, 0x0B, 6);
    f.bytes.resize(f.bytes.size() + 0x80000, 0x00);
    f.bytes.insert(f.bytes.end(), {0x80, 0x07, 0xFF});
    const auto decoded = decode_block_cells(Bytes(f.bytes), 0, 1, 280, kAllBlockTypes);
    for (std::size_t i = 0; i < decoded.cells.size(); ++i)
      EXPECT_EQ(i == 0 && widths == 0x10 ? 0x8B : 0, decoded.cells[i].type) << i;
  }
  // Just under the limit, an entry behind 262,000 others is still decoded.
  auto f = stream_start(0x10);
  put_field(f, 0x0B, 6);
  for (int i = 0; i < 262000; ++i) put_field(f, 0, 1);
  put_field(f, 1, 1);  // group end
  put_field(f, 0x00, 6);
  put_field(f, 0, 1);
  put_run(f, 0, 0);
  put_field(f, 1, 1);
  put_end_code(f);
  const auto decoded = decode_block_cells(Bytes(f.bytes), 0, 1, 280, kAllBlockTypes);
  EXPECT_EQ(0x80, decoded.cells[0].type);
}

TEST(BlockDecoder, SquaresOutsideTheGridAreIgnored) {
  auto f = stream_start();
  put_field(f, 0x00, 6);
  put_entry(f, 19, 13);  // the last square
  put_run(f, 3, 0);      // runs past the end of the grid
  put_entry(f, 2, 12);
  put_run(f, 15, 1);  // runs down past the bottom row
  put_entry(f, 30, 15);
  put_run(f, 0, 0);  // X and Y far outside
  put_group_end(f);
  put_end_code(f);
  const auto cells = decode_cells(f.bytes, 1, 280);
  ASSERT_EQ(280u, cells.size());
  for (std::size_t i = 0; i < cells.size(); ++i) {
    EXPECT_EQ(i == 279 || i == 242 || i == 262 ? 0x80 : 0x00, cells[i].type) << i;
  }
}

TEST(BlockDecoder, EndOfImageBeforeTheEndCodeKeepsWhatWasDecoded) {
  auto f = stream_start();
  put_field(f, 0x00, 6);
  put_entry(f, 1, 0);
  put_run(f, 0, 0);
  put_entry(f, 2, 0);
  put_run(f, 0, 0);
  // Cut inside the second entry's run field: only the first entry counts.
  const std::size_t bits = 6 + 9 + 5 + 9 + 2;
  ByteVector cut(f.bytes.begin(), f.bytes.begin() + 2 + static_cast<std::ptrdiff_t>(bits / 8 + 1));
  cut.back() &= static_cast<std::uint8_t>(0xFF << (8 - bits % 8));
  const auto cells = decode_cells(cut, 1, 280);
  for (std::size_t i = 0; i < cells.size(); ++i) EXPECT_EQ(i == 1 ? 0x80 : 0, cells[i].type) << i;

  // No field widths byte at all, or an address past the image.
  EXPECT_EQ((ByteVector{0x7F, 0x7F, 0x17}), decode_section({0x40}, 1, 280).bytes);
  const ByteVector image = {0x40, 0x54, 0xFC};
  OutputBuffer out;
  reset(out, 0);
  EXPECT_TRUE(
      test::decode_block_layout(Bytes(image), 0xFFFFFFFFFFFFFFFFull, 1, 3, 0xFF, out).empty());
  EXPECT_EQ(ByteVector{0x02}, ByteVector(contents(out).begin(), contents(out).end()));
}

TEST(BlockDecoder, WidestFieldsAreRead) {
  BitFields f = stream_start(0xFF);  // 15-bit X and Y fields
  put_field(f, 0x00, 6);
  put_field(f, 7, 15);
  put_field(f, 1, 15);
  put_run(f, 1, 0);
  put_field(f, 0x7FFF, 15);
  put_end_code(f);
  const auto cells = decode_cells(f.bytes, 2, 40 * 28);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    EXPECT_EQ(i == 47 || i == 48 ? 0x80 : 0, cells[i].type) << i;
  }
}

TEST(BlockDecoder, ArbitraryBytesStayInsideTheArray) {
  std::mt19937 rng(1234);
  for (int round = 0; round < 4000; ++round) {
    ByteVector image(rng() % 80);
    for (auto& b : image) b = static_cast<std::uint8_t>(rng());
    // Bias towards real-looking streams: small widths, end codes, long runs.
    if (round % 3 == 0 && image.size() > 1) image[1] = static_cast<std::uint8_t>(0x54 + rng() % 3);
    if (round % 5 == 0 && !image.empty()) image.back() = 0xFF;
    const std::uint64_t address = image.empty() ? 0 : rng() % (image.size() + 3);
    const auto width = static_cast<std::uint8_t>(rng() % 4 == 0 ? rng() : rng() % 3);
    const auto grid = static_cast<std::uint16_t>(rng() % 4 == 0 ? rng() : rng() % 900);
    const auto filter = static_cast<std::uint8_t>(rng() % 2 ? 0xFF : rng() % 0x12);

    OutputBuffer out;
    reset(out, 0);
    const auto unhandled =
        test::decode_block_layout(Bytes(image), address, width, grid, filter, out);
    ASSERT_FALSE(out.full);
    const ByteVector section(contents(out).begin(), contents(out).end());
    const auto cells = test::read_block_section(section);
    ASSERT_EQ(std::size_t{grid}, cells.size()) << round;
    for (const auto& c : cells) {
      ASSERT_TRUE(c.type == 0 || (c.type & 0xC0) == 0x80);
      if (filter != 0xFF && c.type != 0) {
        ASSERT_EQ(filter, c.type & 0x1F);
      }
    }
    for (const auto& u : unhandled) {
      ASSERT_LE(u.position, image.size());
      ASSERT_LT(u.type_code, 0x40);
    }
  }
}

}  // namespace
}  // namespace gorv
