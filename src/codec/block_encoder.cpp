#include "codec/block_encoder.h"

#include <array>
#include <utility>

#include "codec/block_stream.h"
#include "rom/game_facts.h"

namespace gorv {

namespace {

// On the widest map every X lies below the group end; on the tallest every
// Y fits its field.
static_assert(grid_columns(kMaxBlockLayoutWidth) <= block_field_mask(kMaxXWidth));
static_assert(grid_rows(kMaxBlockLayoutHeight) <= block_field_mask(kMaxYWidth) + 1);

// How many squares, the head included, an entry of a block type may cover:
// as many as its n field counts, or just the head.
unsigned run_window(const BlockTypeFormat& format) {
  switch (format.payload) {
    case Payload::kRun:
    case Payload::kRunValues:
      return 1u << kRunCountBits;
    case Payload::kRepeatData:
      return 1u << kRepeatCountBits;
    case Payload::kData:
    case Payload::kNone:
    case Payload::kUnhandled:
      break;
  }
  return 1;
}

// Fills bytes most significant bit first.
struct BitWriter {
  std::vector<std::uint8_t> bytes;
  std::uint64_t bit_count = 0;
};

// Writes the low `count` bits of `value`, a byte's worth at a time.
void write_bits(BitWriter& writer, std::uint32_t value, unsigned count) {
  while (count > 0) {
    const auto used = static_cast<unsigned>(writer.bit_count % 8);
    if (used == 0) writer.bytes.push_back(0);
    const unsigned take = count < 8 - used ? count : 8 - used;
    const std::uint32_t bits = (value >> (count - take)) & ((1u << take) - 1);
    writer.bytes.back() |= static_cast<std::uint8_t>(bits << (8 - used - take));
    writer.bit_count += take;
    count -= take;
  }
}

// The field width for `count` columns or rows: `bits` while they stay below
// 2^bits, one more at each doubling up to `most`.
unsigned width_for(std::uint32_t count, unsigned bits, unsigned most) {
  std::uint32_t below = 1u << bits;
  while (count >= below && bits < most) {
    below *= 2;
    ++bits;
  }
  return bits;
}

// The cells, and their working types apart: the squares covered by a run
// down are cleared there, so that no later entry writes them again.
struct Grid {
  std::span<const BlockCell> cells;
  std::span<std::uint8_t> types;
  std::size_t size = 0;  // grid squares; the sentinel row and beyond read as empty
  std::size_t cols = 0;
};

std::uint8_t type_at(const Grid& grid, std::size_t square) {
  return square < grid.size ? grid.types[square] : 0;
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
  const unsigned p = group & kBlockTypeMask;  // working types compare by their low five bits
  const bool variant = (group & kVariantBit) != 0;
  Scan result;
  for (unsigned k = 1; k < window; ++k) {
    const std::uint8_t m = type_at(grid, head + k * step);
    if ((m & kBlockTypeMask) < p) break;
    if (variant && (m & kVariantBit) == 0 && (m & kBlockTypeMask) == p) break;
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
                   const BlockTypeFormat& format, unsigned n, unsigned direction) {
  const BlockCell& cell = grid.cells[head];
  switch (format.payload) {
    case Payload::kRepeatData:
      write_bits(out, n, kRepeatCountBits);
      write_bits(out, direction, kDirectionBits);
      write_bits(out, cell.d1, kDataByteBits);
      write_bits(out, cell.d3 & kRepeatD3Mask, kRepeatD3Bits);
      write_bits(out, cell.d2, kDataByteBits);
      write_bits(out, cell.d4, kDataByteBits);
      return;
    case Payload::kData:
      write_bits(out, cell.d1, kDataByteBits);
      write_bits(out, cell.d2, kDataByteBits);
      write_bits(out, cell.d4 & kDataD4Mask, kDataD4Bits);
      write_bits(out, cell.d3, kDataByteBits);
      return;
    case Payload::kNone:
    case Payload::kUnhandled:
      return;
    case Payload::kRun:
    case Payload::kRunValues:
      break;
  }
  write_bits(out, n, kRunCountBits);
  write_bits(out, direction, kDirectionBits);
  if (format.payload != Payload::kRunValues) return;
  const unsigned value_bits = format.value_bits;
  const std::uint32_t mask = block_field_mask(value_bits);
  for (unsigned k = 0; k <= n; ++k) {
    // Squares of a run lie inside the grid: every match is, and a run ends
    // at its last match.
    write_bits(out, grid.cells[head + k * step].d1 & mask, value_bits);
  }
}

// One entry of a group: its head square and the squares its run covers.
struct Run {
  std::size_t step = 1;  // 1 right, cols down
  unsigned further = 0;  // squares after the head
};

// The run an entry at `head` takes: the direction with more squares of its
// group within the window (right on a tie), up to the last of them.
Run choose_run(const Grid& grid, std::size_t head, std::uint8_t group, unsigned window) {
  if (window <= 1) return {};
  const Scan right = scan(grid, head, 1, group, window);
  const Scan down = scan(grid, head, grid.cols, group, window);
  if (right.matches < down.matches) return {grid.cols, down.last};
  return {1, right.last};
}

// Block type 0x03 stores its data once for the whole run, so the run ends
// before the first square whose data differ from the head's.
void cut_at_data_change(const Grid& grid, std::size_t head, Run& run) {
  for (unsigned k = 1; k <= run.further; ++k) {
    if (!same_data(grid.cells[head + k * run.step], grid.cells[head])) {
      run.further = k - 1;
      return;
    }
  }
}

// A run down covers squares that the scan of the group has not reached yet;
// they are cleared so that no later entry writes them again. (A run right
// needs no clearing: the scan goes on behind it.)
void clear_covered(const Grid& grid, std::size_t head, const Run& run, std::uint8_t group) {
  for (unsigned k = 1; k <= run.further; ++k) {
    std::uint8_t& covered = grid.types[head + k * run.step];
    if (covered == group) covered = 0;
  }
}

// Writes the group of working type `group`: its type code, then an entry
// for every square that still holds it, in square order, then the group end
// (an X field of all ones). The caller writes only groups that occur.
void encode_group(BitWriter& out, const Grid& grid, const BlockFieldWidths& widths,
                  std::uint8_t group, std::span<const std::uint32_t> squares) {
  const unsigned block_type = block_type_of_code(code_of_working_type(group));
  const BlockTypeFormat format = block_type_format(block_type);
  const unsigned window = run_window(format);
  write_bits(out, code_of_working_type(group), kTypeCodeBits);
  std::size_t i = 0;
  for (const std::uint32_t square : squares) {
    // Squares a run has covered: behind a run right, or cleared by a run down.
    if (square < i || grid.types[square] != group) continue;
    i = square;
    write_bits(out, static_cast<std::uint32_t>(i % grid.cols), widths.x);
    write_bits(out, static_cast<std::uint32_t>(i / grid.cols), widths.y);
    Run run = choose_run(grid, i, group, window);
    if (format.payload == Payload::kRepeatData) cut_at_data_change(grid, i, run);
    const bool down = run.step != 1;
    if (down) clear_covered(grid, i, run, group);
    write_payload(out, grid, i, run.step, format, run.further, down ? kRunDown : kRunRight);
    i += down ? 1 : run.further + 1;
  }
  write_bits(out, block_group_end(widths.x), widths.x);
}

}  // namespace

BlockFieldWidths block_field_widths(std::uint8_t width, std::uint8_t height_byte) {
  return {width_for(static_cast<std::uint32_t>(grid_columns(width)), kMinXWidth, kMaxXWidth),
          width_for(static_cast<std::uint32_t>(grid_rows(height_byte)), kMinYWidth, kMaxYWidth)};
}

BlockEncoding encode_block_layout(std::span<const BlockCell> cells, std::uint8_t width,
                                  std::uint8_t height_byte) {
  BlockEncoding result;
  const unsigned height = map_height(height_byte);
  result.error = width == 0                       ? BlockEncodeError::no_columns
                 : height == 0                    ? BlockEncodeError::no_rows
                 : width > kMaxBlockLayoutWidth   ? BlockEncodeError::too_wide
                 : height > kMaxBlockLayoutHeight ? BlockEncodeError::too_tall
                                                  : BlockEncodeError::none;
  if (result.error != BlockEncodeError::none) return result;
  const auto size = static_cast<std::size_t>(grid_squares(width, height_byte));
  const auto cols = static_cast<std::size_t>(grid_columns(width));
  if (cells.size() < size + cols) {
    result.error = BlockEncodeError::cells_short;
    result.cells_given = cells.size();
    result.cells_needed = size + cols;
    return result;
  }
  std::vector<std::uint8_t> types(size);
  for (std::size_t i = 0; i < size; ++i) types[i] = cells[i].type;
  const Grid grid{cells, types, size, cols};

  const BlockFieldWidths widths = block_field_widths(width, height_byte);
  BitWriter out;
  write_bits(out, kBlockStreamMarker, 8);
  write_bits(out, widths.x, kFieldWidthBits);
  write_bits(out, widths.y, kFieldWidthBits);
  // The squares of each working type in square order (a counting sort), so
  // that each group visits its own squares only. Empty squares belong to no
  // group and are left out: counting them, most of a map, would make every
  // step wait for the one before on the same counter.
  std::array<std::uint32_t, 257> first{};
  for (std::size_t i = 0; i < grid.size; ++i)
    if (types[i] != 0) ++first[types[i] + 1u];
  for (std::size_t t = 1; t < first.size(); ++t) first[t] += first[t - 1];
  std::vector<std::uint32_t> squares(first.back());
  std::array<std::uint32_t, 256> next{};
  std::copy(first.begin(), first.end() - 1, next.begin());
  for (std::size_t i = 0; i < grid.size; ++i)
    if (types[i] != 0) squares[next[types[i]]++] = static_cast<std::uint32_t>(i);
  auto encode = [&](std::uint8_t group) {
    if (first[group + 1u] == first[group]) return;  // no square holds it
    encode_group(out, grid, widths, group,
                 std::span<const std::uint32_t>(squares).subspan(first[group],
                                                                 first[group + 1u] - first[group]));
  };
  // Groups go by block type, each plain one before its variant; the last
  // block type has no variant group (such cells are dropped).
  for (std::uint8_t block_type = 0; block_type < kBlockTypeCount; ++block_type) {
    const std::uint8_t plain = working_type_of_block_type(block_type);
    encode(plain);
    if (block_type + 1 < kBlockTypeCount) encode(static_cast<std::uint8_t>(plain | kVariantBit));
  }
  write_bits(out, kBlockEndCode, kTypeCodeBits);
  // The last byte's remaining bits are already 0.

  result.stream = std::move(out.bytes);
  return result;
}

}  // namespace gorv
