#include "codec/block_encoder.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

#include "codec/block_decoder.h"
#include "support/bit_fields.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;
using test::BitFields;
using test::put_field;

// A 1 x 1 screen map (20 x 14 squares) and its sentinel row, all empty.
std::vector<BlockCell> one_screen() {
  return std::vector<BlockCell>(280 + 20);
}

ByteVector encode_ok(const std::vector<BlockCell>& cells, std::uint8_t width = 1,
                     std::uint8_t height_byte = 1) {
  const auto encoding = encode_block_layout(cells, width, height_byte);
  EXPECT_EQ(BlockEncodeError::none, encoding.error);
  return encoding.stream;
}

// Expected streams for a 1 x 1 screen map, written field by field.
BitFields expected_start() {
  BitFields f;
  f.bytes = {0x40, 0x54};
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
ByteVector finish(BitFields f) {
  put_field(f, 0x3F, 6);
  return f.bytes;
}

TEST(BlockEncoder, EmptyMapAndTheWorkedExample) {
  auto cells = one_screen();
  EXPECT_EQ((ByteVector{0x40, 0x54, 0xFC}), encode_ok(cells));

  for (std::size_t i : {43u, 44u, 45u}) cells[i].type = 0x01;
  EXPECT_EQ((ByteVector{0x40, 0x54, 0x00, 0x64, 0x4F, 0xFE}), encode_ok(cells));
}

TEST(BlockEncoder, TieGoesToTheRight) {
  auto cells = one_screen();
  for (std::size_t i : {0u, 1u, 20u}) cells[i].type = 0x01;
  auto f = expected_start();
  put_field(f, 0x00, 6);
  put_entry(f, 0, 0);
  put_run(f, 1, 0);
  put_entry(f, 0, 1);
  put_run(f, 0, 0);
  put_group_end(f);
  EXPECT_EQ(finish(f), encode_ok(cells));
  EXPECT_EQ(0x01, cells[20].type);  // not covered by a run down: kept
}

// The squares a run down covers get no entry of their own.
TEST(BlockEncoder, TwoMatchesDownBeatOneToTheRight) {
  auto cells = one_screen();
  for (std::size_t i : {0u, 1u, 20u, 40u}) cells[i].type = 0x01;
  auto f = expected_start();
  put_field(f, 0x00, 6);
  put_entry(f, 0, 0);
  put_run(f, 2, 1);
  put_entry(f, 1, 0);
  put_run(f, 0, 0);
  put_group_end(f);
  EXPECT_EQ(finish(f), encode_ok(cells));
}

TEST(BlockEncoder, RunCoversAHigherTypeThatItsOwnGroupPutsBack) {
  auto cells = one_screen();
  cells[0].type = 0x01;
  cells[1].type = 0x22;
  cells[2].type = 0x01;
  auto f = expected_start();
  put_field(f, 0x00, 6);
  put_entry(f, 0, 0);
  put_run(f, 2, 0);
  put_group_end(f);
  put_field(f, 0x21, 6);
  put_entry(f, 1, 0);
  put_run(f, 0, 0);
  put_field(f, 0, 5);  // block type 0x01 carries a value per square
  put_group_end(f);
  const auto stream = finish(f);
  EXPECT_EQ(stream, encode_ok(cells));

  const auto decoded = decode_block_cells(Bytes(stream), 0, 1, 280, kAllBlockTypes).cells;
  EXPECT_EQ(0x80, decoded[0].type);
  EXPECT_EQ(0xA1, decoded[1].type);
  EXPECT_EQ(0x80, decoded[2].type);
}

TEST(BlockEncoder, ScansStopAtLowerTypesEmptySquaresAndThePlainFormOfAVariant) {
  {  // 0x02 0x01 0x02: the square of the earlier group stops the scan
    auto cells = one_screen();
    cells[0].type = 0x02;
    cells[1].type = 0x01;
    cells[2].type = 0x02;
    auto f = expected_start();
    put_field(f, 0x00, 6);
    put_entry(f, 1, 0);
    put_run(f, 0, 0);
    put_group_end(f);
    put_field(f, 0x01, 6);
    for (unsigned x : {0u, 2u}) {
      put_entry(f, x, 0);
      put_run(f, 0, 0);
      put_field(f, 0, 5);  // the value of block type 0x01
    }
    put_group_end(f);
    EXPECT_EQ(finish(f), encode_ok(cells));
  }
  {  // 0x01 empty 0x01, and 0x21 0x01 0x21
    auto cells = one_screen();
    cells[0].type = 0x01;
    cells[2].type = 0x01;
    cells[40].type = 0x21;
    cells[41].type = 0x01;
    cells[42].type = 0x21;
    auto f = expected_start();
    put_field(f, 0x00, 6);
    for (unsigned x : {0u, 2u}) {
      put_entry(f, x, 0);
      put_run(f, 0, 0);
    }
    put_entry(f, 1, 2);
    put_run(f, 0, 0);
    put_group_end(f);
    put_field(f, 0x20, 6);
    for (unsigned x : {0u, 2u}) {
      put_entry(f, x, 2);
      put_run(f, 0, 0);
    }
    put_group_end(f);
    EXPECT_EQ(finish(f), encode_ok(cells));
  }
  {  // a plain group runs over its own variant
    auto cells = one_screen();
    cells[0].type = 0x01;
    cells[1].type = 0x21;
    cells[2].type = 0x01;
    auto f = expected_start();
    put_field(f, 0x00, 6);
    put_entry(f, 0, 0);
    put_run(f, 2, 0);
    put_group_end(f);
    put_field(f, 0x20, 6);
    put_entry(f, 1, 0);
    put_run(f, 0, 0);
    put_group_end(f);
    EXPECT_EQ(finish(f), encode_ok(cells));
  }
}

TEST(BlockEncoder, SixteenInARowMakeOneEntryASeventeenthASecond) {
  auto cells = one_screen();
  for (std::size_t i = 0; i < 16; ++i) cells[i].type = 0x01;
  auto f = expected_start();
  put_field(f, 0x00, 6);
  put_entry(f, 0, 0);
  put_run(f, 15, 0);
  put_group_end(f);
  EXPECT_EQ(finish(f), encode_ok(cells));

  cells[16].type = 0x01;
  f = expected_start();
  put_field(f, 0x00, 6);
  put_entry(f, 0, 0);
  put_run(f, 15, 0);
  put_entry(f, 16, 0);
  put_run(f, 0, 0);
  put_group_end(f);
  EXPECT_EQ(finish(f), encode_ok(cells));
}

TEST(BlockEncoder, ValueTypesCarryOneValuePerSquareOfTheRun) {
  auto cells = one_screen();
  cells[20] = {0x02, 0xE3, 9, 9, 9};  // block type 0x01: low 5 bits of d1
  cells[21] = {0x15, 0x07, 0, 0, 0};  // covered placeholder: its d1 is written too
  cells[22] = {0x02, 0x1F, 0, 0, 0};
  cells[100] = {0x2B, 0xFA, 0, 0, 0};  // 0x0A with the variant: 4 bits
  cells[101] = {0x11, 0xFD, 0, 0, 0};  // 0x10: 3 bits
  auto f = expected_start();
  put_field(f, 0x01, 6);
  put_entry(f, 0, 1);
  put_run(f, 2, 0);
  for (unsigned v : {0x03u, 0x07u, 0x1Fu}) put_field(f, v, 5);
  put_group_end(f);
  put_field(f, 0x2A, 6);
  put_entry(f, 0, 5);
  put_run(f, 0, 0);
  put_field(f, 0xA, 4);
  put_group_end(f);
  put_field(f, 0x10, 6);
  put_entry(f, 1, 5);
  put_run(f, 0, 0);
  put_field(f, 0x5, 3);
  put_group_end(f);
  EXPECT_EQ(finish(f), encode_ok(cells));
}

TEST(BlockEncoder, BlockType03ColumnWithTwoDataSets) {
  auto cells = one_screen();
  const BlockCell a{0x04, 0x11, 0x22, 0xFB, 0x44};  // d3 keeps its low 3 bits: 3
  const BlockCell b{0x04, 0x11, 0x22, 0xFB, 0x45};
  for (std::size_t i : {5u, 25u}) cells[i] = a;
  for (std::size_t i : {45u, 65u}) cells[i] = b;
  auto f = expected_start();
  put_field(f, 0x03, 6);
  for (const auto& [y, cell] : {std::pair{0u, a}, std::pair{2u, b}}) {
    put_entry(f, 5, y);
    put_field(f, 1, 3);
    put_field(f, 1, 1);
    put_field(f, cell.d1, 8);
    put_field(f, cell.d3 & 7u, 3);
    put_field(f, cell.d2, 8);
    put_field(f, cell.d4, 8);
  }
  put_group_end(f);
  EXPECT_EQ(finish(f), encode_ok(cells));
}

TEST(BlockEncoder, BlockTypes04And0BAreSingleSquares) {
  auto cells = one_screen();
  cells[0] = {0x05, 0x12, 0x34, 0x56, 0xFF};
  cells[1] = {0x05, 0x12, 0x34, 0x56, 0xFF};
  cells[2] = {0x0C, 0x99, 0x99, 0x99, 0x99};
  cells[3] = {0x0C, 0, 0, 0, 0};
  auto f = expected_start();
  put_field(f, 0x04, 6);
  for (unsigned x : {0u, 1u}) {
    put_entry(f, x, 0);
    put_field(f, 0x12, 8);
    put_field(f, 0x34, 8);
    put_field(f, 1, 1);
    put_field(f, 0x56, 8);
  }
  put_group_end(f);
  put_field(f, 0x0B, 6);
  put_entry(f, 2, 0);
  put_entry(f, 3, 0);
  put_group_end(f);
  EXPECT_EQ(finish(f), encode_ok(cells));
}

TEST(BlockEncoder, PlaceholderIsCoveredAndOutOfOrderTypesAreDropped) {
  auto cells = one_screen();
  cells[0].type = 0x01;
  cells[1].type = 0x15;
  cells[2].type = 0x01;
  cells[100].type = 0x31;
  cells[101].type = 0x3F;
  cells[102].type = 0x40;
  auto f = expected_start();
  put_field(f, 0x00, 6);
  put_entry(f, 0, 0);
  put_run(f, 2, 0);
  put_group_end(f);
  const auto stream = finish(f);
  EXPECT_EQ(stream, encode_ok(cells));
  const auto decoded = decode_block_cells(Bytes(stream), 0, 1, 280, kAllBlockTypes).cells;
  for (std::size_t i = 0; i < decoded.size(); ++i) EXPECT_EQ(i <= 2 ? 0x80 : 0, decoded[i].type);
}

TEST(BlockEncoder, UnhandledTypesBecomeBareEntries) {
  auto cells = one_screen();
  cells[43].type = 0x09;  // block type 0x08
  cells[44].type = 0x09;
  auto f = expected_start();
  put_field(f, 0x08, 6);
  put_entry(f, 3, 2);
  put_entry(f, 4, 2);
  put_group_end(f);
  const auto stream = finish(f);
  EXPECT_EQ(stream, encode_ok(cells));
  const auto decoded = decode_block_cells(Bytes(stream), 0, 1, 280, kAllBlockTypes);
  EXPECT_EQ(2u, decoded.unhandled.size());
  for (const auto& c : decoded.cells) EXPECT_EQ(0, c.type);
}

TEST(BlockEncoder, FieldWidthsFollowTheMapSize) {
  // Screens -> bits, from the widths of the X and Y values.
  const auto x_bits = [](unsigned w) {
    return w == 1 ? 5u : w <= 3 ? 6u : w <= 6 ? 7u : w <= 12 ? 8u : w <= 25 ? 9u : 10u;
  };
  const auto y_bits = [](unsigned h) {
    return h == 1 ? 4u : h == 2 ? 5u : h <= 4 ? 6u : h <= 9 ? 7u : h <= 18 ? 8u : 9u;
  };
  for (unsigned w = 1; w <= 51; ++w) {
    const auto fw = block_field_widths(static_cast<std::uint8_t>(w), 1);
    EXPECT_EQ(x_bits(w), fw.x) << w;
    EXPECT_LT(w * 20 - 1, (1u << fw.x) - 1) << w;  // below the group end
  }
  for (unsigned h = 1; h <= 36; ++h) {
    const auto fw = block_field_widths(1, static_cast<std::uint8_t>(h | 0xC0));
    EXPECT_EQ(y_bits(h), fw.y) << h;
    EXPECT_LE(h * 14 - 1, (1u << fw.y) - 1) << h;
  }
  // The widths are the stream's second byte.
  std::vector<BlockCell> cells(13 * 20 * 10 * 14 + 13 * 20);
  EXPECT_EQ(0x98, encode_ok(cells, 13, 10)[1]);
}

TEST(BlockEncoder, RefusesMapsTheStreamCannotHold) {
  std::vector<BlockCell> cells(60 * 20 * 37 * 14 + 60 * 20);
  const auto refused = [&](std::uint8_t width, std::uint8_t height_byte) {
    const auto e = encode_block_layout(cells, width, height_byte);
    const bool ok = e.error == BlockEncodeError::none;
    EXPECT_EQ(ok, !e.stream.empty());
    return ok ? std::string("accepted") : block_encode_error_text(e, width, height_byte);
  };
  EXPECT_EQ("the map is 60 screens wide; the block layout holds at most 51", refused(60, 1));
  EXPECT_EQ("the map is 52 screens wide; the block layout holds at most 51", refused(52, 1));
  EXPECT_EQ("the map is 37 screens high; the block layout holds at most 36", refused(1, 37));
  EXPECT_EQ("the map is 0 screens wide; the block layout needs at least 1", refused(0, 1));
  EXPECT_EQ("the map is 0 screens high; the block layout needs at least 1", refused(1, 0xC0));
  EXPECT_EQ("accepted", refused(51, 0x40 | 36));

  std::vector<BlockCell> short_cells(280 + 19);
  const auto e = encode_block_layout(short_cells, 1, 1);
  EXPECT_EQ(BlockEncodeError::cells_short, e.error);
  EXPECT_EQ("the block cell array holds 299 cells; the map needs 300 with the row below it",
            block_encode_error_text(e, 1, 1));
}

TEST(BlockEncoder, SentinelRowIsNeverRead) {
  // A caller that leaves blocks in the row below the map: runs still stop at
  // the bottom row and nothing is written from there.
  auto cells = one_screen();
  for (std::size_t i = 260; i < 300; ++i) cells[i].type = 0x01;
  auto f = expected_start();
  put_field(f, 0x00, 6);
  put_entry(f, 0, 13);
  put_run(f, 15, 0);
  put_entry(f, 16, 13);
  put_run(f, 3, 0);
  put_group_end(f);
  EXPECT_EQ(finish(f), encode_ok(cells));
}

}  // namespace
}  // namespace gorv
