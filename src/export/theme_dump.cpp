#include "export/theme_dump.h"

#include "common/text.h"
#include "format/theme_file.h"

namespace gorv {

namespace {

// The ROM offset of `section` for `theme`, through its slot's table.
std::uint32_t section_address(Bytes rom, const ThemeSection& section, std::uint8_t theme) {
  const std::uint32_t table = read_be32(rom, section.slot);
  if (section.reach == ThemeSectionReach::direct) return read_be32(rom, table + 4ull * theme);
  const std::uint16_t area_offset = read_be16(rom, table + 2ull * theme);
  return read_be32(rom, kThemePointerArea + area_offset);
}

void put_section(Report& report, OutputBuffer& buffer, Bytes rom, const ThemeSection& section,
                 std::uint64_t from) {
  switch (section.form) {
    case ThemeSectionForm::raw:
      put_rom_bytes(buffer, rom, from, section.size);
      break;
    case ThemeSectionForm::packed:
      expand_lz(report, rom, from, section.size, buffer);
      break;
    case ThemeSectionForm::swapped:
      for (std::uint32_t i = 0; i < section.size; i += 2) {
        put_byte(buffer, read_u8(rom, from + i + 1));
        put_byte(buffer, read_u8(rom, from + i));
      }
      break;
  }
}

}  // namespace

std::string theme_file_name(std::uint8_t theme) {
  return format("theme%x.gvt", static_cast<unsigned>(theme));
}

ExportResult dump_theme(Bytes rom, std::uint8_t theme) {
  ExportResult result;
  const std::string name = theme_file_name(theme);
  OutputFile file;
  if (!start_output_file(result.report, file, name)) return result;
  say(result.report, msg::WritingTheme{name});

  OutputBuffer buffer;
  for (const std::uint8_t c : kThemeFileMagic) put_byte(buffer, c);
  for (const ThemeSection& section : kThemeSections)
    put_section(result.report, buffer, rom, section, section_address(rom, section, theme));
  result.written = finish_export_file(result.report, std::move(file), buffer);
  return result;
}

}  // namespace gorv
