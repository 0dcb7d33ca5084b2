// Store and read back (--check, the import's warnings) on maps built from
// the input: every difference has a reason and says what the cells hold,
// a lost data bit is one the block type does not keep, and the list names
// the first differences of the count. Bytes 0-3 choose the size (up to 4 x
// 4 screens, to keep the runs fast), the theme byte and whether there is an
// enemy section; each further five bytes are one square.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "format/map_file.h"
#include "format/map_read_back.h"

namespace {

std::uint8_t code_or_none(const gorv::BlockCell& cell) {
  return cell.type == 0 ? gorv::kNoBlock : static_cast<std::uint8_t>(cell.type & 0x3F);
}

std::uint8_t data(const gorv::BlockCell& cell, unsigned field) {
  const std::uint8_t bytes[] = {cell.d1, cell.d2, cell.d3, cell.d4};
  return bytes[field - 1];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  using Difference = gorv::ReadBackDifference;
  if (size < 4) return 0;
  gorv::MapFile map;
  map.values.width = static_cast<std::uint8_t>(1 + input[0] % 4);
  map.values.size_byte = static_cast<std::uint8_t>((input[1] & 0xC0) | (1 + input[1] % 4));
  map.values.theme_byte = input[2];
  map.tiles.assign(gorv::map_squares(map.values), 0);
  map.blocks.resize(gorv::map_squares(map.values));
  // Bit 7 of the type byte picks an empty square, so that runs form.
  for (std::size_t i = 0; i < map.blocks.size() && 4 + 5 * i + 4 < size; ++i) {
    const std::uint8_t* c = input + 4 + 5 * i;
    map.blocks[i] = {static_cast<std::uint8_t>(c[0] & 0x80 ? 0 : 0x80 | c[0]), c[1], c[2], c[3],
                     c[4]};
  }
  switch (gorv::background_form(gorv::theme_of(map.values.theme_byte))) {
    case gorv::BackgroundForm::list:
      map.background = {0xFF, 0xFF};
      break;
    case gorv::BackgroundForm::fixed:
      map.background.assign(gorv::kFixedBackgroundSize, input[3]);
      break;
    case gorv::BackgroundForm::none:
      break;
  }
  map.enemy.present = (input[3] & 1) != 0;
  // Through the file form, as --check reads it.
  const gorv::ParsedMapFile parsed = gorv::parse_map_file(gorv::serialize_map_file(map));
  if (parsed.damage.problem != gorv::MapFileDamage::Problem::none) __builtin_trap();
  const gorv::MapFile& file = parsed.file;
  const gorv::ReadBack back = gorv::read_back(file);
  if (back.error != gorv::BlockEncodeError::none || back.cells.size() != file.blocks.size())
    __builtin_trap();
  if (back.shown.size() != std::min<std::uint64_t>(back.count, gorv::kShownReadBackDifferences))
    __builtin_trap();
  const std::size_t cols = file.values.width * 20u;
  for (const Difference& d : back.shown) {
    if (d.kind == Difference::Kind::section) {
      // The enemy section only when the file has none; the background only
      // when a list starts with the word that marks a list held elsewhere.
      const bool indirect =
          file.background.size() >= 2 && file.background[0] == 0x80 && file.background[1] == 0x00;
      if (d.section == Difference::Section::background
              ? !indirect
              : d.section != Difference::Section::enemy_missing || file.enemy.present)
        __builtin_trap();
      continue;
    }
    if (d.kind == Difference::Kind::unstored_data) {
      const gorv::BlockCell& was = file.blocks[d.column + d.row * file.values.width * 20u];
      if (d.file_data[0] != was.d1 || d.file_data[3] != was.d4 || d.field < 1 || d.field > 2)
        __builtin_trap();
      continue;
    }
    if (d.why == Difference::Why::unexplained && d.kind != Difference::Kind::data_bits)
      __builtin_trap();
    const std::size_t square = d.column + d.row * cols;
    const gorv::BlockCell& was = file.blocks[square];
    const gorv::BlockCell& read = back.cells[square];
    if (d.file_type != code_or_none(was) || d.read_type != code_or_none(read)) __builtin_trap();
    const std::size_t head = d.at_column + d.at_row * cols;
    const bool behind_wide = d.why == Difference::Why::wide_second_square ||
                             d.why == Difference::Why::run_covers_wide_second_square;
    if (behind_wide && (head + 1 != square || (file.blocks[head].type & 0x1F) != 0x04))
      __builtin_trap();
    if (d.kind == Difference::Kind::data_bits) {
      const unsigned mask = (1u << d.kept_bits) - 1;
      if (d.kept_bits >= 8 || d.file_value == d.read_value ||
          (d.file_value & mask) != d.read_value || data(was, d.field) != d.file_value ||
          data(read, d.field) != d.read_value)
        __builtin_trap();
    }
  }
  return 0;
}
