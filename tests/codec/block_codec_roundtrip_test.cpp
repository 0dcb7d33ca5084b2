// Encodes generated block cell arrays and decodes the streams again: every
// block that the format keeps must come back, and whatever else appears
// must be explained by a run that may cover it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

#include "codec/block_decoder.h"
#include "codec/block_encoder.h"
#include "support/block_section.h"
#include "support/report_shapes.h"

namespace gorv {
namespace {

constexpr std::uint8_t kVariant = 0x20;

// The data bits each block type stores: masks of d1, d2, d3, d4.
std::array<std::uint8_t, 4> stored_bits(unsigned block_type) {
  switch (block_type) {
    case 0x01:
      return {0x1F, 0, 0, 0};
    case 0x0A:
    case 0x0C:
      return {0x0F, 0, 0, 0};
    case 0x10:
      return {0x07, 0, 0, 0};
    case 0x03:
      return {0xFF, 0xFF, 0x07, 0xFF};
    case 0x04:
      return {0xFF, 0xFF, 0xFF, 0x01};
    default:
      return {0, 0, 0, 0};
  }
}

bool unhandled_block_type(unsigned block_type) {
  return block_type == 0x08 || (block_type >= 0x0D && block_type <= 0x0F) || block_type > 0x10;
}

// Working types that get a group: 0x01-0x11 and 0x21-0x30.
bool in_group_order(std::uint8_t working) {
  return (working >= 0x01 && working <= 0x11) || (working >= 0x21 && working <= 0x30);
}

// A working type the encoder writes and the decoder puts back.
bool kept(std::uint8_t working) {
  return in_group_order(working) && !unhandled_block_type((working & 0x1Fu) - 1);
}

// Whether a run of working type `group` may pass over a square of working
// type `other` (and so write its block there).
bool may_cover(std::uint8_t group, std::uint8_t other) {
  const unsigned p = group & 0x1Fu;
  if ((other & 0x1Fu) < p) return false;
  if ((group & kVariant) && !(other & kVariant) && (other & 0x1Fu) == p) return false;
  return other != group;
}

bool same_stored_bits(const BlockCell& a, const BlockCell& b, unsigned block_type) {
  const auto m = stored_bits(block_type);
  return (a.d1 & m[0]) == (b.d1 & m[0]) && (a.d2 & m[1]) == (b.d2 & m[1]) &&
         (a.d3 & m[2]) == (b.d3 & m[2]) && (a.d4 & m[3]) == (b.d4 & m[3]);
}

struct MapSize {
  std::uint8_t width;
  std::uint8_t height;
};

// Blocks of a few working types, scattered and in lines right and down,
// with data drawn from small pools so that neighbours often agree.
std::vector<BlockCell> generate(std::mt19937& rng, MapSize size) {
  const std::size_t cols = size.width * 20u;
  const std::size_t grid = cols * size.height * 14u;
  std::vector<BlockCell> cells(grid + cols);

  static constexpr std::uint8_t kOthers[] = {0x15, 0x31, 0x3F, 0x40, 0x09, 0x2F, 0x12, 0x32};
  std::vector<std::uint8_t> palette;
  const unsigned kinds = 1 + rng() % 6;
  for (unsigned k = 0; k < kinds; ++k) {
    if (rng() % 5 == 0) {
      palette.push_back(kOthers[rng() % std::size(kOthers)]);
    } else {
      palette.push_back(static_cast<std::uint8_t>(1 + rng() % 17 + (rng() % 2 ? kVariant : 0)));
    }
  }
  const std::uint8_t pool[] = {0x00, 0x01, 0xFF, static_cast<std::uint8_t>(rng()),
                               static_cast<std::uint8_t>(rng())};
  const auto data = [&] { return pool[rng() % std::size(pool)]; };
  const auto block = [&] {
    const bool same = rng() % 3 != 0;
    const std::uint8_t d = data();
    return BlockCell{palette[rng() % palette.size()], d, same ? d : data(), same ? d : data(),
                     same ? d : data()};
  };

  const std::size_t shapes = 1 + rng() % (grid < 2000 ? 60 : 400);
  for (std::size_t s = 0; s < shapes; ++s) {
    const std::size_t head = rng() % grid;
    const std::size_t step = rng() % 2 ? 1 : cols;
    const std::size_t length = rng() % 3 == 0 ? 1 : 1 + rng() % 24;
    const BlockCell cell = block();
    const bool mixed = rng() % 4 == 0;
    for (std::size_t k = 0; k < length && head + k * step < grid; ++k) {
      cells[head + k * step] = mixed ? block() : cell;
      if (rng() % 6 == 0) cells[head + k * step] = {};  // gaps
    }
  }
  return cells;
}

unsigned x_bits(unsigned width) {
  return width == 1 ? 5 : width <= 3 ? 6 : width <= 6 ? 7 : width <= 12 ? 8 : width <= 25 ? 9 : 10;
}
unsigned y_bits(unsigned height) {
  return height == 1    ? 4
         : height == 2  ? 5
         : height <= 4  ? 6
         : height <= 9  ? 7
         : height <= 18 ? 8
                        : 9;
}

void check_round_trip(const std::vector<BlockCell>& original, MapSize size, int round) {
  const std::size_t cols = size.width * 20u;
  const std::size_t grid = cols * size.height * 14u;
  std::vector<BlockCell> cells = original;
  const auto encoding = encode_block_layout(cells, size.width, size.height);
  ASSERT_EQ(BlockEncodeError::none, encoding.error);
  ASSERT_GE(encoding.stream.size(), 3u);
  EXPECT_EQ(0x40, encoding.stream[0]);
  EXPECT_EQ(x_bits(size.width) << 4 | y_bits(size.height), encoding.stream[1]);

  const auto decoded = decode_block_cells(Bytes(encoding.stream), 0, size.width, grid, 0xFF);
  ASSERT_EQ(grid, decoded.cells.size());

  std::size_t unhandled_cells = 0;
  for (std::size_t i = 0; i < grid; ++i) {
    const BlockCell& in = original[i];
    const BlockCell& out = decoded.cells[i];
    const std::uint8_t working = in.type;
    if (in_group_order(working) && !kept(working)) ++unhandled_cells;

    // Only runs down clear squares, and only squares of their own type.
    if (cells[i].type != working) {
      ASSERT_EQ(0, cells[i].type);
      ASSERT_TRUE(kept(working));
    }

    if (working == 0) {
      // An empty square stops every scan, so nothing lands on it.
      ASSERT_EQ(0, out.type) << "round " << round << " square " << i;
      ASSERT_EQ(0, out.d1 | out.d2 | out.d3 | out.d4);
    } else if (kept(working)) {
      ASSERT_EQ(0x80 | (working - 1), out.type) << "round " << round << " square " << i;
      ASSERT_TRUE(same_stored_bits(in, out, (working & 0x1Fu) - 1))
          << "round " << round << " square " << i;
    } else if (out.type != 0) {
      const std::uint8_t code = out.type & 0x3F;
      const auto group = static_cast<std::uint8_t>(code + 1);
      ASSERT_EQ(0x80, out.type & 0xC0);
      ASSERT_TRUE(kept(group)) << "round " << round << " square " << i;
      ASSERT_TRUE(may_cover(group, working)) << "round " << round << " square " << i;
      ASSERT_TRUE(same_stored_bits(in, out, code & 0x1Fu)) << "round " << round << " square " << i;
    }
  }
  // Each cell of a block type the decoder does not handle is an entry of its own.
  EXPECT_EQ(unhandled_cells, decoded.unhandled.size()) << "round " << round;
}

TEST(BlockCodecRoundTrip, GeneratedLayoutsComeBack) {
  // Every X and Y field width, and maps whose grid fits 16 bits.
  const MapSize sizes[] = {{1, 1},  {2, 1},  {1, 2},  {3, 3},  {4, 4},  {7, 5},
                           {13, 1}, {26, 1}, {1, 10}, {1, 19}, {12, 9}, {2, 36}};
  std::mt19937 rng(20261208);
  int round = 0;
  for (const MapSize size : sizes) {
    for (int n = 0; n < 150; ++n, ++round) {
      const auto original = generate(rng, size);
      check_round_trip(original, size, round);
      if (HasFatalFailure()) return;
    }
  }
}

TEST(BlockCodecRoundTrip, LargestMapAtFullWidth) {
  std::mt19937 rng(51);
  for (int round = 0; round < 3; ++round) {
    auto original = generate(rng, {51, 36});
    // The far corner needs every bit of the widest fields.
    const std::size_t grid = 51u * 20 * 36 * 14;
    original[grid - 1] = {0x02, 0x1F, 0, 0, 0};
    original[grid - 2] = {0x05, 0x80, 0x40, 0x01, 0x03};
    check_round_trip(original, {51, 36}, round);
    if (HasFatalFailure()) return;
  }
}

TEST(BlockCodecRoundTrip, StreamThroughTheSectionWriter) {
  // The same layout read back from the map-file section the decoder writes.
  std::mt19937 rng(7);
  for (int round = 0; round < 50; ++round) {
    const MapSize size{static_cast<std::uint8_t>(1 + round % 3), 2};
    const std::size_t grid = size.width * 20u * 28;
    auto cells = generate(rng, size);
    const auto encoding = encode_block_layout(cells, size.width, size.height);
    ASSERT_EQ(BlockEncodeError::none, encoding.error);
    std::vector<std::uint8_t> image(0x100 + encoding.stream.size(), 0xEE);
    std::copy(encoding.stream.begin(), encoding.stream.end(), image.begin() + 0x100);
    OutputBuffer out;
    reset(out, 0);
    test::decode_block_layout(Bytes(image), 0x100, size.width, static_cast<std::uint16_t>(grid),
                              0xFF, out);
    const auto from_section = test::read_block_section(contents(out));
    const auto direct = decode_block_cells(Bytes(encoding.stream), 0, size.width, grid, 0xFF);
    ASSERT_EQ(grid, from_section.size());
    for (std::size_t i = 0; i < grid; ++i) {
      const auto& a = from_section[i];
      const auto& b = direct.cells[i];
      ASSERT_TRUE(a.type == b.type && a.d1 == b.d1 && a.d2 == b.d2 && a.d3 == b.d3 && a.d4 == b.d4)
          << i;
    }
  }
}

TEST(BlockCodecRoundTrip, TruncatedStreamsDecodeSafely) {
  std::mt19937 rng(99);
  for (int round = 0; round < 200; ++round) {
    const MapSize size{static_cast<std::uint8_t>(1 + rng() % 4),
                       static_cast<std::uint8_t>(1 + rng() % 3)};
    const std::size_t grid = size.width * 20u * size.height * 14u;
    auto cells = generate(rng, size);
    const auto encoding = encode_block_layout(cells, size.width, size.height);
    ASSERT_EQ(BlockEncodeError::none, encoding.error);
    const auto& stream = encoding.stream;
    const auto whole = decode_block_cells(Bytes(stream), 0, size.width, grid, 0xFF);
    // A cut stream gives a prefix of the unhandled entries, and no block
    // where the whole stream leaves the square empty (writes never empty a
    // square).
    for (std::size_t cut = 0; cut <= stream.size(); cut += 1 + rng() % 3) {
      const Bytes part = Bytes(stream).first(cut);
      const auto d = decode_block_cells(part, 0, size.width, grid, 0xFF);
      ASSERT_EQ(grid, d.cells.size());
      ASSERT_LE(d.unhandled.size(), whole.unhandled.size());
      for (std::size_t u = 0; u < d.unhandled.size(); ++u) {
        ASSERT_EQ(whole.unhandled[u].position, d.unhandled[u].position);
      }
      for (std::size_t i = 0; i < grid; ++i) {
        if (d.cells[i].type != 0) {
          ASSERT_NE(0, whole.cells[i].type) << i;
        }
      }
    }
  }
}

}  // namespace
}  // namespace gorv
