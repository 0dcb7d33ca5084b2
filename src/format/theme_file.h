// The theme file (themeX.gvt): one theme's six sections behind the magic,
// with no length or offset fields. docs/formats/theme-file.md describes it
// for implementers. The tool writes these files and never reads them back.
#pragma once

#include <array>
#include <cstdint>

namespace gorv {

inline constexpr std::array<std::uint8_t, 4> kThemeFileMagic = {'G', 'T', 'H', 'M'};

// How a section gets from the ROM image into the file.
enum class ThemeSectionForm {
  raw,      // bytes copied as they stand
  packed,   // an LZ stream, expanded with `size` as its limit
  swapped,  // big-endian words, stored with their two bytes swapped
};

// How the ROM image's theme pointer area leads to a section.
enum class ThemeSectionReach {
  direct,  // the slot's table holds a BE32 offset per theme
  area,    // the slot's table holds a BE16 per theme, an offset into the pointer area
};

struct ThemeSection {
  char name;  // A to F
  ThemeSectionForm form;
  ThemeSectionReach reach;
  std::uint32_t slot;  // ROM offset of the slot that leads to the section's table
  std::uint16_t size;  // bytes in the file (for packed: the limit)
};

// The theme pointer area of the ROM image; area offsets count from here.
inline constexpr std::uint32_t kThemePointerArea = 0x7B018;

// docs/formats/theme-file.md, "Layout".
// The sections in file order. A packed section whose last back-reference
// crosses its limit is longer by the overrun (the decoder completes it),
// and every later section moves by the same amount.
inline constexpr std::array<ThemeSection, 6> kThemeSections = {{
    {'A', ThemeSectionForm::raw, ThemeSectionReach::area, 0x7B028, 30},
    {'B', ThemeSectionForm::raw, ThemeSectionReach::area, 0x7B02C, 16},
    {'C', ThemeSectionForm::packed, ThemeSectionReach::direct, 0x7B018, 0x2C80},
    {'D', ThemeSectionForm::packed, ThemeSectionReach::direct, 0x7B01C, 0x1000},
    {'E', ThemeSectionForm::swapped, ThemeSectionReach::direct, 0x7B020, 2048},
    {'F', ThemeSectionForm::raw, ThemeSectionReach::direct, 0x7B030, 256},
}};

// 17,842 bytes when no packed section overruns.
inline constexpr std::uint32_t theme_file_size() {
  std::uint32_t size = kThemeFileMagic.size();
  for (const ThemeSection& section : kThemeSections) size += section.size;
  return size;
}

}  // namespace gorv
