#include "codec/block_encoder.h"

#include <array>
#include <utility>

#include "codec/block_payload.h"
#include "common/text.h"

namespace gorv {

namespace {

constexpr std::uint8_t kMarker = 0x40;
constexpr std::uint8_t kVariantBit = 0x20;

// How many squares, the head included, a run of each block type may cover.
constexpr std::array<unsigned, 17> kRunWindow = {16, 16, 16, 8,  1, 16, 16, 16, 0,
                                                 16, 16, 1,  16, 0, 0,  0,  16};

// Fills bytes most significant bit first.
struct BitWriter {
  std::vector<std::uint8_t> bytes;
  std::uint64_t bit_count = 0;
};

void write_bits(BitWriter& writer, std::uint32_t value, unsigned count) {
  for (unsigned i = count; i-- > 0;) {
    if (writer.bit_count % 8 == 0) writer.bytes.push_back(0);
    if ((value >> i) & 1u) {
      writer.bytes.back() |= static_cast<std::uint8_t>(0x80u >> (writer.bit_count % 8));
    }
    ++writer.bit_count;
  }
}

unsigned width_for(std::uint32_t count, std::uint32_t below, unsigned bits, unsigned most) {
  while (count >= below && bits < most) {
    below *= 2;
    ++bits;
  }
  return bits;
}

struct Grid {
  std::span<BlockCell> cells;
  std::size_t size = 0;  // grid squares; the sentinel row and beyond read as empty
  std::size_t cols = 0;
};

std::uint8_t type_at(const Grid& grid, std::size_t square) {
  return square < grid.size ? grid.cells[square].type : 0;
}

struct Scan {
  unsigned matches = 0;
  unsigned last = 0;
};

// Looks at the squares `step` apart after `head` for more cells of working
// type `group`, until a square of a lower block type, or for a variant group
// one of the same block type without the variant bit.
Scan scan(const Grid& grid, std::size_t head, std::size_t step, std::uint8_t group,
          unsigned window) {
  const unsigned p = group & 0x1Fu;
  const bool variant = (group & kVariantBit) != 0;
  Scan result;
  for (unsigned k = 1; k < window; ++k) {
    const std::uint8_t m = type_at(grid, head + k * step);
    if ((m & 0x1Fu) < p) break;
    if (variant && (m & kVariantBit) == 0 && (m & 0x1Fu) == p) break;
    if (m == group) {
      ++result.matches;
      result.last = k;
    }
  }
  return result;
}

bool same_data(const BlockCell& a, const BlockCell& b) {
  return a.d1 == b.d1 && a.d2 == b.d2 && a.d3 == b.d3 && a.d4 == b.d4;
}

void write_payload(BitWriter& out, const Grid& grid, std::size_t head, std::size_t step,
                   unsigned block_type, unsigned n, unsigned down) {
  const BlockCell& cell = grid.cells[head];
  const BlockTypeFormat format = block_type_format(block_type);
  switch (format.payload) {
    case Payload::kRepeatData:
      write_bits(out, n, 3);
      write_bits(out, down, 1);
      write_bits(out, cell.d1, 8);
      write_bits(out, cell.d3 & 0x07u, 3);
      write_bits(out, cell.d2, 8);
      write_bits(out, cell.d4, 8);
      return;
    case Payload::kData:
      write_bits(out, cell.d1, 8);
      write_bits(out, cell.d2, 8);
      write_bits(out, cell.d4 & 0x01u, 1);
      write_bits(out, cell.d3, 8);
      return;
    case Payload::kNone:
    case Payload::kUnhandled:
      return;
    case Payload::kRun:
    case Payload::kRunValues:
      break;
  }
  write_bits(out, n, 4);
  write_bits(out, down, 1);
  if (format.payload != Payload::kRunValues) return;
  const unsigned value_bits = format.value_bits;
  const std::uint32_t mask = (1u << value_bits) - 1;
  for (unsigned k = 0; k <= n; ++k) {
    // Squares of a run lie inside the grid: every match is, and a run ends
    // at its last match.
    write_bits(out, grid.cells[head + k * step].d1 & mask, value_bits);
  }
}

// Writes the group of working type `group` if any square holds it.
void encode_group(BitWriter& out, const Grid& grid, const BlockFieldWidths& widths,
                  std::uint8_t group) {
  const unsigned block_type = (group & 0x1Fu) - 1;
  const unsigned window = kRunWindow[block_type];
  bool started = false;
  std::size_t i = 0;
  while (i < grid.size) {
    if (grid.cells[i].type != group) {
      ++i;
      continue;
    }
    if (!started) {
      write_bits(out, group - 1u, 6);
      started = true;
    }
    write_bits(out, static_cast<std::uint32_t>(i % grid.cols), widths.x);
    write_bits(out, static_cast<std::uint32_t>(i / grid.cols), widths.y);

    Scan right;
    Scan down;
    if (window > 1) {
      right = scan(grid, i, 1, group, window);
      down = scan(grid, i, grid.cols, group, window);
    }
    const bool go_down = right.matches < down.matches;
    const std::size_t step = go_down ? grid.cols : 1;
    unsigned n = go_down ? down.last : right.last;

    if (block_type == 0x03) {
      for (unsigned k = 1; k <= n; ++k) {
        if (!same_data(grid.cells[i + k * step], grid.cells[i])) {
          n = k - 1;
          break;
        }
      }
    }
    if (go_down) {
      for (unsigned k = 1; k <= n; ++k) {
        BlockCell& covered = grid.cells[i + k * step];
        if (covered.type == group) covered.type = 0;
      }
    }
    write_payload(out, grid, i, step, block_type, n, go_down ? 1 : 0);
    i += go_down ? 1 : n + 1;
  }
  if (started) write_bits(out, (1u << widths.x) - 1, widths.x);
}

}  // namespace

BlockFieldWidths block_field_widths(std::uint8_t width, std::uint8_t height_byte) {
  const std::uint32_t cols = std::uint32_t{width} * 20;
  const std::uint32_t rows = std::uint32_t{height_byte & 0x3Fu} * 14;
  return {width_for(cols, 32, 5, 10), width_for(rows, 16, 4, 9)};
}

BlockEncoding encode_block_layout(std::span<BlockCell> cells, std::uint8_t width,
                                  std::uint8_t height_byte) {
  BlockEncoding result;
  const unsigned height = height_byte & 0x3Fu;
  if (width == 0) {
    result.error = "the map is 0 screens wide; the block layout needs at least 1";
    return result;
  }
  if (height == 0) {
    result.error = "the map is 0 screens high; the block layout needs at least 1";
    return result;
  }
  if (width > kMaxBlockLayoutWidth) {
    result.error = format("the map is %u screens wide; the block layout holds at most %u",
                          unsigned{width}, unsigned{kMaxBlockLayoutWidth});
    return result;
  }
  if (height > kMaxBlockLayoutHeight) {
    result.error = format("the map is %u screens high; the block layout holds at most %u", height,
                          unsigned{kMaxBlockLayoutHeight});
    return result;
  }
  Grid grid{cells, std::size_t{width} * 20 * height * 14, std::size_t{width} * 20};
  if (cells.size() < grid.size + grid.cols) {
    result.error =
        format("the block cell array holds %zu cells; the map needs %zu with the row below it",
               cells.size(), grid.size + grid.cols);
    return result;
  }

  const BlockFieldWidths widths = block_field_widths(width, height_byte);
  BitWriter out;
  write_bits(out, kMarker, 8);
  write_bits(out, widths.x, 4);
  write_bits(out, widths.y, 4);
  // A group is written only where a square holds its working type: one pass
  // finds which do, so the walks over the grid are made for those alone.
  std::array<bool, 256> present{};
  for (std::size_t i = 0; i < grid.size; ++i) present[grid.cells[i].type] = true;
  for (std::uint8_t block_type = 0; block_type <= 0x0F; ++block_type) {
    const auto plain = static_cast<std::uint8_t>(block_type + 1);
    const auto variant = static_cast<std::uint8_t>(plain | kVariantBit);
    if (present[plain]) encode_group(out, grid, widths, plain);
    if (present[variant]) encode_group(out, grid, widths, variant);
  }
  if (present[0x11]) encode_group(out, grid, widths, 0x11);
  write_bits(out, 0x3F, 6);
  // The last byte's remaining bits are already 0.

  result.ok = true;
  result.stream = std::move(out.bytes);
  return result;
}

}  // namespace gorv
