#include "export/theme_dump.h"

#include <string>

#include "codec/lz_decoder.h"
#include "common/file_io.h"
#include "common/text.h"
#include "export/export_file.h"

namespace gorv {

namespace {

// The theme pointer area: each slot holds the ROM offset of a per-theme table.
constexpr std::uint32_t kThemeArea = 0x7B018;
constexpr std::uint32_t kSectionCSlot = 0x7B018;  // BE32 offsets of LZ streams
constexpr std::uint32_t kSectionDSlot = 0x7B01C;  // BE32 offsets of LZ streams
constexpr std::uint32_t kSectionESlot = 0x7B020;  // BE32 offsets of word blocks
constexpr std::uint32_t kSectionASlot = 0x7B028;  // BE16 offsets into the area
constexpr std::uint32_t kSectionBSlot = 0x7B02C;  // BE16 offsets into the area
constexpr std::uint32_t kSectionFSlot = 0x7B030;  // BE32 offsets of byte blocks

constexpr std::uint32_t kSectionASize = 30;
constexpr std::uint32_t kSectionBSize = 16;
constexpr std::uint16_t kSectionCLimit = 0x2C80;
constexpr std::uint16_t kSectionDLimit = 0x1000;
constexpr std::uint32_t kSectionEWords = 1024;
constexpr std::uint32_t kSectionFSize = 256;

// A section reached through a table of 32-bit ROM offsets.
std::uint32_t direct_section(Bytes rom, std::uint32_t slot, std::uint8_t theme) {
  return read_be32(rom, read_be32(rom, slot) + 4ull * theme);
}

// A section reached through a table of 16-bit offsets into the pointer area,
// where the section's 32-bit ROM offset stands.
std::uint32_t area_section(Bytes rom, std::uint32_t slot, std::uint8_t theme) {
  const std::uint16_t v = read_be16(rom, read_be32(rom, slot) + 2ull * theme);
  return read_be32(rom, kThemeArea + v);
}

void put_rom_bytes(OutputBuffer& buffer, Bytes rom, std::uint64_t from, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) put_byte(buffer, read_u8(rom, from + i));
}

// Decodes one packed section and says its size report.
void put_lz_section(Console& console, OutputBuffer& buffer, Bytes rom, std::uint32_t from,
                    std::uint16_t limit) {
  say(console, lz_size_report(lz_decode(rom, from, limit, buffer)));
}

}  // namespace

std::string theme_file_name(std::uint8_t theme) {
  return format("theme%x.gvt", static_cast<unsigned>(theme));
}

void dump_theme(Console& console, Bytes rom, std::uint8_t theme, OutputBuffer& buffer) {
  const std::string name = theme_file_name(theme);
  OutputFile file;
  if (!start_export_file(console, file, name)) return;
  say(console, format("\nWriting theme as \"%s\"...\n\n", name.c_str()));

  reset(buffer, 0);
  for (char c : {'G', 'T', 'H', 'M'}) put_byte(buffer, static_cast<std::uint8_t>(c));
  put_rom_bytes(buffer, rom, area_section(rom, kSectionASlot, theme), kSectionASize);
  put_rom_bytes(buffer, rom, area_section(rom, kSectionBSlot, theme), kSectionBSize);
  put_lz_section(console, buffer, rom, direct_section(rom, kSectionCSlot, theme), kSectionCLimit);
  put_lz_section(console, buffer, rom, direct_section(rom, kSectionDSlot, theme), kSectionDLimit);
  // The words are big-endian in the ROM and stored with their bytes swapped.
  const std::uint64_t words = direct_section(rom, kSectionESlot, theme);
  for (std::uint32_t i = 0; i < kSectionEWords; ++i) {
    put_byte(buffer, read_u8(rom, words + 2 * i + 1));
    put_byte(buffer, read_u8(rom, words + 2 * i));
  }
  put_rom_bytes(buffer, rom, direct_section(rom, kSectionFSlot, theme), kSectionFSize);

  finish_export_file(console, file, buffer);
}

}  // namespace gorv
