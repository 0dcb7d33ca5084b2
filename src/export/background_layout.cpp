#include "export/background_layout.h"

namespace gorv {

namespace {

// Themes whose background layout is a list of (A, B, C) entries, and themes
// whose background layout is a fixed block of bytes, one bit per theme.
constexpr unsigned kListThemes = 0x556;
constexpr unsigned kFixedThemes = 0x2A8;
constexpr std::uint8_t kLastThemeWithLayout = 10;

constexpr std::uint16_t kIndirectMarker = 0x8000;
constexpr std::uint16_t kEndWord = 0xFFFF;
constexpr std::uint64_t kEntrySize = 6;
constexpr std::uint64_t kFixedSize = 232;

void put_be16(OutputBuffer& out, std::uint16_t value) {
  put_byte(out, static_cast<std::uint8_t>(value >> 8));
  put_byte(out, static_cast<std::uint8_t>(value));
}

// The list form: entries up to the end word, B and C made relative to the
// bases of an indirect header, then the end bytes. A list cut short by the
// end of the image ends with its last whole entry.
void read_list(Bytes rom, std::uint64_t address, OutputBuffer& out) {
  std::uint64_t at = address;
  std::uint16_t base_b = 0;
  std::uint16_t base_c = 0;
  if (rom_contains(rom, at, 2) && read_be16(rom, at) == kIndirectMarker) {
    base_b = read_be16(rom, at + 2);
    base_c = read_be16(rom, at + 4);
    at = read_be32(rom, at + 6);
  }
  while (!out.full && rom_contains(rom, at, 2) && read_be16(rom, at) != kEndWord &&
         rom_contains(rom, at, kEntrySize)) {
    put_be16(out, read_be16(rom, at));
    put_be16(out, static_cast<std::uint16_t>(read_be16(rom, at + 2) - base_b));
    put_be16(out, static_cast<std::uint16_t>(read_be16(rom, at + 4) - base_c));
    at += kEntrySize;
  }
  put_be16(out, kEndWord);
}

// The fixed form, copied as it stands; bytes past the end of the image
// count as 0xFF.
void read_fixed(Bytes rom, std::uint64_t address, OutputBuffer& out) {
  for (std::uint64_t i = 0; i < kFixedSize; ++i) {
    const std::uint64_t at = address + i;
    put_byte(out, at < rom.size() ? rom[static_cast<std::size_t>(at)] : 0xFF);
  }
}

}  // namespace

void read_background_layout(Bytes rom, std::uint64_t address, std::uint8_t theme,
                            OutputBuffer& out) {
  if (theme > kLastThemeWithLayout) return;
  const unsigned bit = 1u << theme;
  if ((bit & kListThemes) != 0) {
    read_list(rom, address, out);
  } else if ((bit & kFixedThemes) != 0) {
    read_fixed(rom, address, out);
  }
}

}  // namespace gorv
