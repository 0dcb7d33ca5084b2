#include "format/map_read_back.h"

#include <algorithm>
#include <utility>

#include "codec/block_decoder.h"
#include "codec/block_stream.h"
#include "common/byte_order.h"
#include "rom/game_facts.h"

namespace gorv {

std::vector<BlockCell> working_cells(std::vector<BlockCell> cells, const MapValues& values) {
  const std::size_t squares = map_squares(values);
  const auto cols = static_cast<std::size_t>(grid_columns(values.width));
  const std::size_t given = std::min(squares, cells.size());
  cells.resize(given);
  cells.resize(squares + cols);  // the missing squares and the sentinel row are empty
  // A wide block's second square gets the placeholder, whatever it held (a
  // wide block there is not seen as one); the sentinel row stays empty.
  for (std::size_t i = 0; i < given; ++i) {
    if (cells[i].type == 0) continue;
    cells[i].type = working_type_of_cell_type(cells[i].type);
    if (block_type_of_code(code_of_working_type(cells[i].type)) == kWideBlockType && ++i < squares)
      cells[i].type = kPlaceholderWorkingType;
  }
  return cells;
}

std::array<std::uint8_t, kMapHeaderValuesSize> header_values_image(const MapValues& v) {
  std::array<std::uint8_t, kMapHeaderValuesSize> header{};
  header[0] = v.width;
  header[1] = v.size_byte;
  header[2] = v.attribute;
  header[3] = v.theme_byte;
  set_be16(header, 4, v.start_x);
  set_be16(header, 6, v.start_y);
  set_be16(header, 8, v.end_x);
  set_be16(header, 10, v.end_y);
  return header;
}

std::vector<std::uint8_t> enemy_record(const EnemySection& enemy) {
  std::vector<std::uint8_t> record(8, 0);
  record.insert(record.end(), enemy.art_load.begin(), enemy.art_load.end());
  append_be16(record, kEnemyHeaderEndWord);
  record.push_back(0x80);
  record.push_back(static_cast<std::uint8_t>(enemy.entries.size()));
  for (const auto& entry : enemy.entries) record.insert(record.end(), entry.begin(), entry.end());
  return record;
}

MapValues values_of_header(std::span<const std::uint8_t> h) {
  MapValues v;
  v.width = h[0];
  v.size_byte = h[1];
  v.attribute = h[2];
  v.theme_byte = h[3];
  v.start_x = get_be16(h, 4);
  v.start_y = get_be16(h, 6);
  v.end_x = get_be16(h, 8);
  v.end_y = get_be16(h, 10);
  return v;
}

// The enemy record as the game reads it: the header's art_load words up to
// the end word, the list behind the marker.
EnemySection read_enemy_record(std::span<const std::uint8_t> record) {
  EnemySection enemy;
  if (record.size() < 18 || get_be16(record, 14) != kEnemyHeaderEndWord) return enemy;
  enemy.present = true;
  std::copy_n(record.begin() + 8, enemy.art_load.size(), enemy.art_load.begin());
  const std::size_t count = record[17];
  for (std::size_t n = 0; n < count && 18 + (n + 1) * kEnemyEntrySize <= record.size(); ++n) {
    auto& entry = enemy.entries.emplace_back();
    std::copy_n(record.begin() + static_cast<std::ptrdiff_t>(18 + n * kEnemyEntrySize),
                kEnemyEntrySize, entry.begin());
  }
  return enemy;
}

namespace {

using Difference = ReadBackDifference;

// Keeps the first differences and counts them all.
void add(ReadBack& result, const Difference& difference) {
  if (result.shown.size() < kShownReadBackDifferences) result.shown.push_back(difference);
  ++result.count;
}

void add_section(ReadBack& result, Difference::Section section) {
  Difference d;
  d.section = section;
  add(result, d);
}

std::uint8_t code_or_none(const BlockCell& cell) {
  return cell.type == 0 ? kNoBlock : code_of_cell_type(cell.type);
}

// True when the import writes a group for type code `code` whose entries
// the game reads as blocks.
bool type_read(std::uint8_t code) {
  return block_type_format(block_type_of_code(code)).payload != Payload::kUnhandled;
}
bool type_stored(std::uint8_t code) {
  const std::uint8_t block_type = block_type_of_code(code);
  return block_type < kBlockTypeCount &&
         !((code & kVariantBit) != 0 && block_type + 1 == kBlockTypeCount);
}

// The data fields a block type keeps: which byte (1 to 4) and how many of
// its low bits.
struct KeptField {
  std::uint8_t field;
  std::uint8_t bits;
};
struct KeptFields {
  std::array<KeptField, 4> fields{};
  std::size_t count = 0;
  const KeptField* begin() const { return fields.data(); }
  const KeptField* end() const { return fields.data() + count; }
};
KeptFields kept_fields(const BlockTypeFormat& format) {
  switch (format.payload) {
    case Payload::kRunValues:
      return {{{{1, static_cast<std::uint8_t>(format.value_bits)}}}, 1};
    case Payload::kRepeatData:
      return {{{{1, kDataByteBits}, {2, kDataByteBits}, {3, kRepeatD3Bits}, {4, kDataByteBits}}},
              4};
    case Payload::kData:
      return {{{{1, kDataByteBits}, {2, kDataByteBits}, {3, kDataByteBits}, {4, kDataD4Bits}}}, 4};
    case Payload::kRun:
    case Payload::kNone:
    case Payload::kUnhandled:
      break;
  }
  return {};
}

std::uint8_t data_byte(const BlockCell& cell, unsigned field) {
  const std::uint8_t bytes[] = {cell.d1, cell.d2, cell.d3, cell.d4};
  return bytes[field - 1];
}

// The square's block against the one read back. `wide_head` is the square
// of the wide block whose second square this is, or `square` itself when
// it is none.
void compare_square(ReadBack& result, std::size_t cols, std::size_t square, std::size_t wide_head,
                    const BlockCell& file, const BlockCell& read) {
  Difference d;
  d.column = static_cast<std::uint32_t>(square % cols);
  d.row = static_cast<std::uint32_t>(square / cols);
  d.file_type = code_or_none(file);
  d.read_type = code_or_none(read);
  d.at_column = static_cast<std::uint32_t>(wide_head % cols);
  d.at_row = static_cast<std::uint32_t>(wide_head / cols);
  const bool behind_wide = wide_head != square;
  if (d.file_type != d.read_type) {
    if (d.file_type == kNoBlock) {
      d.kind = Difference::Kind::block_appears;
      d.why = behind_wide ? Difference::Why::run_covers_wide_second_square
                          : Difference::Why::unexplained;
    } else {
      d.kind = Difference::Kind::block_lost;
      // A block of a type that is read and stored comes back, whatever
      // runs of other types pass over it, unless the encoder or the
      // decoder is wrong.
      const bool kept = type_read(d.file_type) && type_stored(d.file_type);
      d.why = behind_wide               ? Difference::Why::wide_second_square
              : kept                    ? Difference::Why::unexplained
              : d.read_type != kNoBlock ? Difference::Why::run_covers
              : !type_read(d.file_type) ? Difference::Why::type_not_read
                                        : Difference::Why::type_not_stored;
    }
    add(result, d);
    return;
  }
  if (d.file_type == kNoBlock) return;
  d.block_type = block_type_of_code(d.file_type);
  const KeptFields kept = kept_fields(block_type_format(d.block_type));
  d.kind = Difference::Kind::data_bits;
  for (const KeptField& field : kept) {
    d.field = field.field;
    d.file_value = data_byte(file, field.field);
    d.read_value = data_byte(read, field.field);
    d.kept_bits = field.bits;
    if (d.file_value != d.read_value) add(result, d);
  }
  // The fields after those the type stores (all four, or d2 to d4) are not
  // stored at all: one difference for the square.
  d.kind = Difference::Kind::unstored_data;
  d.field = static_cast<std::uint8_t>(kept.count == 1 ? 2 : 1);
  if (kept.count > 1) return;
  d.file_data = {file.d1, file.d2, file.d3, file.d4};
  d.read_data = {read.d1, read.d2, read.d3, read.d4};
  if (!std::equal(d.file_data.begin() + d.field - 1, d.file_data.end(),
                  d.read_data.begin() + d.field - 1))
    add(result, d);
}

void compare_blocks(ReadBack& result, const MapFile& file) {
  const auto cols = static_cast<std::size_t>(grid_columns(file.values.width));
  const std::size_t squares = std::min(file.blocks.size(), result.cells.size());
  // As working_cells: the square behind a wide block that is not itself
  // behind one.
  std::size_t second = squares;
  for (std::size_t i = 0; i < squares; ++i) {
    const BlockCell& cell = file.blocks[i];
    const std::size_t wide_head = i == second ? i - 1 : i;
    if (i != second && cell.type != 0 &&
        block_type_of_code(code_of_cell_type(cell.type)) == kWideBlockType)
      second = i + 1;
    if (cell.type == 0 && result.cells[i].type == 0) continue;  // data of empty squares is ignored
    compare_square(result, cols, i, wide_head, cell, result.cells[i]);
  }
}

bool same_values(const MapValues& a, const MapValues& b) {
  return a.width == b.width && a.size_byte == b.size_byte && a.attribute == b.attribute &&
         a.theme_byte == b.theme_byte && a.start_x == b.start_x && a.start_y == b.start_y &&
         a.end_x == b.end_x && a.end_y == b.end_y;
}

// The background layout's ROM form (the file's bytes) as the game takes it
// for the theme: the entries up to the end word, or the fixed block. A list
// whose first entry starts with the indirect marker is read as a list held
// elsewhere: none of it as the file holds it.
std::vector<std::uint8_t> background_read(const std::vector<std::uint8_t>& rom_form,
                                          std::uint8_t theme_byte) {
  std::size_t length = 0;
  switch (background_form(theme_of(theme_byte))) {
    case BackgroundForm::list:
      if (rom_form.size() >= 2 && get_be16(rom_form, 0) == kBackgroundIndirectMarker) return {};
      while (length + 2 <= rom_form.size() && get_be16(rom_form, length) != kBackgroundEndWord)
        length += kBackgroundEntrySize;
      length = std::min(length + 2, rom_form.size());
      break;
    case BackgroundForm::fixed:
      length = std::min<std::size_t>(kFixedBackgroundSize, rom_form.size());
      break;
    case BackgroundForm::none:
      break;
  }
  return {rom_form.begin(), rom_form.begin() + static_cast<std::ptrdiff_t>(length)};
}

}  // namespace

ReadBack read_back(const MapFile& file, std::span<const std::uint8_t> block_stream) {
  ReadBack result;
  if (!same_values(values_of_header(header_values_image(file.values)), file.values))
    add_section(result, Difference::Section::header);

  const std::size_t squares = map_squares(file.values);
  BlockDecoding decoding =
      decode_block_cells(block_stream, 0, file.values.width, squares, kAllBlockTypes);
  result.cells = std::move(decoding.cells);
  result.stream_ended = decoding.ended;
  result.filled = decoding.filled;
  compare_blocks(result, file);

  if (background_read(file.background, file.values.theme_byte) != file.background)
    add_section(result, Difference::Section::background);
  const EnemySection enemy = read_enemy_record(enemy_record(file.enemy));
  if (!file.enemy.present)
    add_section(result, Difference::Section::enemy_missing);
  else if (!enemy.present || enemy.art_load != file.enemy.art_load ||
           enemy.entries != file.enemy.entries)
    add_section(result, Difference::Section::enemy);
  return result;
}

ReadBack read_back(const MapFile& file) {
  const BlockEncoding encoding = encode_block_layout(working_cells(file.blocks, file.values),
                                                     file.values.width, file.values.size_byte);
  if (encoding.error != BlockEncodeError::none) {
    ReadBack refused;
    refused.error = encoding.error;
    return refused;
  }
  return read_back(file, encoding.stream);
}

}  // namespace gorv
