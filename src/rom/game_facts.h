// Facts of the game that every layer shares: the grid of squares, the
// names of themes and effects, the themes' background forms, the enemy
// header's end word and the numberings of block types. Each fact is stated
// once, here.
//
// Block types have four numberings, all derived from the 6-bit type code of
// a block layout stream (five bits of block type 0x00 to 0x1F, then the
// variant bit 0x20):
//   - the block type, 0x00 to 0x10: the code without its variant bit, as
//     -block takes it;
//   - the type code, as the stream stores it (0x3F ends a stream);
//   - the type byte of a map file's block cell: 0x80 | type code (0 for an
//     empty square);
//   - the working type of the encoder: type code + 1 (0 for an empty
//     square), so that an empty square sorts below every block.
#pragma once

#include <array>
#include <cstdint>

namespace gorv {

// A screen is 20 squares across and 14 down; a square is 16 pixels.
inline constexpr unsigned kScreenColumns = 20;
inline constexpr unsigned kScreenRows = 14;
inline constexpr unsigned kSquaresPerScreen = kScreenColumns * kScreenRows;  // 280
inline constexpr unsigned kPixelsPerSquare = 16;
// An extra row below the grid is two squares (32 pixels) high.
inline constexpr unsigned kSquaresPerExtraRow = 2;

// The grid of a map header's width (screens) and size byte (extra rows in
// bits 7-6, height in screens in bits 5-0).
inline constexpr unsigned map_height(std::uint8_t size_byte) {
  return size_byte & 0x3Fu;
}
inline constexpr unsigned map_extra_rows(std::uint8_t size_byte) {
  return size_byte >> 6;
}
inline constexpr std::uint64_t grid_columns(std::uint8_t width) {
  return std::uint64_t{width} * kScreenColumns;
}
inline constexpr std::uint64_t grid_rows(std::uint8_t size_byte) {
  return std::uint64_t{map_height(size_byte)} * kScreenRows;
}
// Every square of the grid, at full width.
inline constexpr std::uint64_t grid_squares(std::uint8_t width, std::uint8_t size_byte) {
  return grid_columns(width) * grid_rows(size_byte);
}
// The grid size as the game's header arithmetic keeps it: 16 bits, so it
// wraps for maps of 235 screens or more. The tile layout holds this many
// squares.
inline constexpr std::uint16_t grid_size16(std::uint8_t width, std::uint8_t size_byte) {
  return static_cast<std::uint16_t>(width * map_height(size_byte) * kSquaresPerScreen);
}

// The theme is the theme byte's low nibble; the effect is in bits 5-4.
inline constexpr std::uint8_t theme_of(std::uint8_t theme_byte) {
  return theme_byte & 0x0F;
}
inline constexpr std::uint8_t effect_of(std::uint8_t theme_byte) {
  return (theme_byte >> 4) & 3;
}

// The names reports and pictures give themes 0x0 to 0xA and the four
// effects; themes 0xB to 0xF are "unknown".
inline constexpr std::array<const char*, 11> kThemeNames = {
    "dummy", "sky", "ice", "hill", "isle", "desert", "swamp", "mtn", "under", "forest", "urban"};
inline constexpr std::array<const char*, 4> kEffectNames = {"none", "lava", "weather",
                                                            "weather + hail"};
inline constexpr const char* theme_name(std::uint8_t theme) {
  return theme < kThemeNames.size() ? kThemeNames[theme] : "unknown";
}
inline constexpr const char* effect_name(std::uint8_t effect) {
  return kEffectNames[effect & 3];
}

// docs/formats/map-file.md, "Background section".
// The background layout's form by theme: a list of 6-byte entries ended by
// FF FF (themes 1, 2, 4, 6, 8, 10), a fixed block of 232 bytes (themes 3,
// 5, 7, 9), or nothing (theme 0 and 11 to 15). One bit per theme.
enum class BackgroundForm { none, list, fixed };
inline constexpr unsigned kListBackgroundThemes = 0x556;
inline constexpr unsigned kFixedBackgroundThemes = 0x2A8;
inline constexpr std::uint64_t kFixedBackgroundSize = 232;
inline constexpr std::uint64_t kBackgroundEntrySize = 6;
inline constexpr std::uint16_t kBackgroundEndWord = 0xFFFF;
// A list whose first word is this holds, instead of the entries, two bases
// (subtracted from each entry's second and third word) and the entries'
// address: no list can start with an entry whose first word is this.
inline constexpr std::uint16_t kBackgroundIndirectMarker = 0x8000;

inline constexpr BackgroundForm background_form(unsigned theme) {
  if (theme > 15) return BackgroundForm::none;
  const unsigned bit = 1u << theme;
  if ((bit & kListBackgroundThemes) != 0) return BackgroundForm::list;
  if ((bit & kFixedBackgroundThemes) != 0) return BackgroundForm::fixed;
  return BackgroundForm::none;
}

// The enemy header's fourth art_load word; a header without it is not one.
inline constexpr std::uint16_t kEnemyHeaderEndWord = 0x7D00;
inline constexpr std::uint64_t kEnemyEntrySize = 8;

// docs/formats/block-layout-stream.md, "Blocks and their numbers".
// Block type numberings (see the top of this file).
inline constexpr std::uint8_t kBlockTypeCount = 0x11;  // block types 0x00 to 0x10
inline constexpr unsigned kTypeCodeBits = 6;
inline constexpr std::uint8_t kTypeCodeMask = 0x3F;
inline constexpr std::uint8_t kBlockTypeMask = 0x1F;  // a type code's bits 4-0
inline constexpr std::uint8_t kVariantBit = 0x20;
inline constexpr std::uint8_t kBlockEndCode = 0x3F;  // all six bits set
inline constexpr std::uint8_t kCellTypeBit = 0x80;

inline constexpr std::uint8_t block_type_of_code(std::uint8_t type_code) {
  return type_code & kBlockTypeMask;
}
inline constexpr std::uint8_t cell_type_of_code(std::uint8_t type_code) {
  return static_cast<std::uint8_t>(kCellTypeBit | type_code);
}
// A map file's type byte keeps six bits of type code; 0 is an empty square.
inline constexpr std::uint8_t code_of_cell_type(std::uint8_t cell_type) {
  return cell_type & kTypeCodeMask;
}
inline constexpr std::uint8_t working_type_of_cell_type(std::uint8_t cell_type) {
  return cell_type == 0 ? 0 : static_cast<std::uint8_t>(code_of_cell_type(cell_type) + 1);
}
inline constexpr std::uint8_t code_of_working_type(std::uint8_t working_type) {
  return static_cast<std::uint8_t>(working_type - 1);
}
inline constexpr std::uint8_t working_type_of_block_type(std::uint8_t block_type) {
  return static_cast<std::uint8_t>(block_type + 1);
}
// Block type 0x04 takes the square behind its head too; the encoder marks
// that square with this working type, which no group writes.
inline constexpr std::uint8_t kWideBlockType = 0x04;
inline constexpr std::uint8_t kPlaceholderWorkingType = 0x15;

}  // namespace gorv
