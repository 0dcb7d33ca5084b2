#include "codec/block_decoder.h"

#include <array>
#include <utility>

#include "codec/block_stream.h"
#include "rom/game_facts.h"

namespace gorv {

namespace {

// The encoder writes a few dozen groups and at most one entry per grid
// square, so no sound stream has more than 65,535 entries. A stream with
// four times as many groups and entries is damaged (a run of zero bytes can
// read as one entry per bit, for megabytes); decoding stops there as it
// does at the end of the image.
constexpr std::size_t kMaxGroupsAndEntries = 0x40000;

static_assert(kTypeCodeBits <= 6, "BlockDecoding::unhandled_types holds a bit per type code");

// Reads fields most significant bit first from `start` on. Asking for a bit
// past the end of the image sets `ended`; the field is then incomplete and
// the caller stops.
struct BitReader {
  Bytes rom;
  std::uint64_t start = 0;
  std::uint64_t bits_read = 0;
  bool ended = false;
};

std::uint32_t read_bits(BitReader& reader, unsigned count) {
  std::uint32_t value = 0;
  while (count > 0) {  // a byte's worth of bits at a time
    const std::uint64_t offset = reader.start + reader.bits_read / 8;
    if (offset >= reader.rom.size()) {
      reader.ended = true;
      return 0;
    }
    const auto used = static_cast<unsigned>(reader.bits_read % 8);
    const unsigned take = count < 8 - used ? count : 8 - used;
    const unsigned byte = reader.rom[static_cast<std::size_t>(offset)];
    value = value << take | ((byte >> (8 - used - take)) & ((1u << take) - 1));
    reader.bits_read += take;
    count -= take;
  }
  return value;
}

// The offset just past the byte that holds the last bit read.
std::uint64_t position_after(const BitReader& reader) {
  return reader.start + (reader.bits_read + 7) / 8;
}

// One entry's squares, in run order, with what each of them receives.
struct Entry {
  std::uint64_t head = 0;
  std::uint64_t step = 1;
  unsigned further = 0;  // squares after the head
  // Per square of the longest run, value types.
  std::array<std::uint8_t, std::size_t{1} << kRunCountBits> d1{};
  std::array<std::uint8_t, 4> data{};  // d1 to d4, block types 0x03 and 0x04
};

// Reads a run's n (`count_bits` wide) and direction.
void read_run(BitReader& reader, unsigned count_bits, std::uint64_t cols, Entry& entry) {
  entry.further = read_bits(reader, count_bits);
  entry.step = read_bits(reader, kDirectionBits) == kRunDown ? cols : 1;
}

// Reads the payload of `format`; false when the image ended inside it.
bool read_payload(BitReader& reader, const BlockTypeFormat& format, std::uint64_t cols,
                  Entry& entry) {
  switch (format.payload) {
    case Payload::kRun:
    case Payload::kRunValues:
      read_run(reader, kRunCountBits, cols, entry);
      if (format.payload == Payload::kRunValues) {
        for (unsigned k = 0; k <= entry.further; ++k) {
          entry.d1[k] = static_cast<std::uint8_t>(read_bits(reader, format.value_bits));
        }
      }
      break;
    case Payload::kRepeatData:
      read_run(reader, kRepeatCountBits, cols, entry);
      entry.data[0] = static_cast<std::uint8_t>(read_bits(reader, kDataByteBits));
      entry.data[2] = static_cast<std::uint8_t>(read_bits(reader, kRepeatD3Bits));
      entry.data[1] = static_cast<std::uint8_t>(read_bits(reader, kDataByteBits));
      entry.data[3] = static_cast<std::uint8_t>(read_bits(reader, kDataByteBits));
      break;
    case Payload::kData:
      entry.data[0] = static_cast<std::uint8_t>(read_bits(reader, kDataByteBits));
      entry.data[1] = static_cast<std::uint8_t>(read_bits(reader, kDataByteBits));
      entry.data[3] = static_cast<std::uint8_t>(read_bits(reader, kDataD4Bits));
      entry.data[2] = static_cast<std::uint8_t>(read_bits(reader, kDataByteBits));
      break;
    case Payload::kNone:
    case Payload::kUnhandled:
      break;
  }
  return !reader.ended;
}

// Writes the entry's squares that lie inside the grid: the type byte and
// the data bytes the block type defines.
void write_entry(BlockDecoding& decoding, std::uint8_t type_byte, const BlockTypeFormat& format,
                 const Entry& entry) {
  std::vector<BlockCell>& cells = decoding.cells;
  for (unsigned k = 0; k <= entry.further; ++k) {
    const std::uint64_t square = entry.head + k * entry.step;
    if (square >= cells.size()) continue;
    BlockCell& cell = cells[static_cast<std::size_t>(square)];
    if (cell.type == 0) ++decoding.filled;
    cell.type = type_byte;
    if (format.payload == Payload::kRunValues) {
      cell.d1 = entry.d1[k];
    } else if (format.payload == Payload::kRepeatData || format.payload == Payload::kData) {
      cell.d1 = entry.data[0];
      cell.d2 = entry.data[1];
      cell.d3 = entry.data[2];
      cell.d4 = entry.data[3];
    }
  }
}

}  // namespace

BlockDecoding decode_block_cells(Bytes rom, std::uint64_t address, std::uint8_t width,
                                 std::size_t grid_size, std::uint8_t filter) {
  BlockDecoding result;
  result.cells.assign(grid_size, BlockCell{});
  // Without its field widths byte there is no stream to read.
  if (!rom_contains(rom, address, kBlockBitsOffset)) return result;

  const std::uint8_t widths = rom[static_cast<std::size_t>(address + kFieldWidthsOffset)];
  const unsigned x_width = widths >> kFieldWidthBits;
  const unsigned y_width = widths & kFieldWidthMask;
  // X fields of no bits all read as the group end (all ones of no bits):
  // no group holds an entry, and the decoding is empty however long the
  // stream goes on (zero bytes read as empty groups up to the limit).
  if (x_width == 0) return result;
  const std::uint32_t group_end = block_group_end(x_width);
  const std::uint64_t cols = grid_columns(width);
  const std::size_t report_limit = unhandled_report_limit(grid_size);

  BitReader reader{rom, address + kBlockBitsOffset};
  std::size_t groups_and_entries = 0;
  while (++groups_and_entries <= kMaxGroupsAndEntries) {
    const std::uint32_t code = read_bits(reader, kTypeCodeBits);
    if (reader.ended || code == kBlockEndCode) break;
    const std::uint8_t type_byte = cell_type_of_code(static_cast<std::uint8_t>(code));
    const unsigned block_type = block_type_of_code(static_cast<std::uint8_t>(code));
    const BlockTypeFormat format = block_type_format(block_type);
    const bool kept = filter == kAllBlockTypes || filter == block_type;

    for (;;) {
      const std::uint32_t x = read_bits(reader, x_width);
      if (reader.ended || x == group_end) break;
      if (++groups_and_entries > kMaxGroupsAndEntries) break;
      const std::uint32_t y = read_bits(reader, y_width);
      if (reader.ended) break;
      if (format.payload == Payload::kUnhandled) {
        result.unhandled_types |= std::uint64_t{1} << code;
        if (result.unhandled.size() <= report_limit)
          result.unhandled.push_back({static_cast<std::uint8_t>(code), position_after(reader)});
        continue;
      }
      Entry entry;
      entry.head = x + y * cols;
      if (!read_payload(reader, format, cols, entry)) break;
      if (kept) write_entry(result, type_byte, format, entry);
    }
    if (reader.ended) break;
  }
  return result;
}

}  // namespace gorv
