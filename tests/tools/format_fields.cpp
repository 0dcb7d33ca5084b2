// Test-only: prints the fields of a map file (through parse_map_file) or a
// theme file (split by kThemeSections) as one JSON object, for comparison
// with other readers of the formats (tests/docs/kaitai_check.py).
// Usage: format_fields map|theme FILE
#include <cstdio>
#include <string>

#include "common/file_io.h"
#include "common/text.h"
#include "format/map_file.h"
#include "format/theme_file.h"

namespace {

using namespace gorv;

std::string hex(std::span<const std::uint8_t> bytes) {
  std::string text = "\"";
  for (std::uint8_t b : bytes) text += format("%02x", unsigned{b});
  return text + "\"";
}

std::string map_fields(std::span<const std::uint8_t> bytes) {
  const ParsedMapFile parsed = parse_map_file(bytes);
  const MapFile& m = parsed.file;
  const MapValues& v = m.values;
  std::string json = format(
      "{\"problem\": %d, \"current\": %s, \"width\": %u, \"size_byte\": %u, \"attribute\": %u, "
      "\"theme_byte\": %u, \"start_x\": %u, \"start_y\": %u, \"end_x\": %u, \"end_y\": %u",
      static_cast<int>(parsed.damage.problem), m.current_layout ? "true" : "false",
      unsigned{v.width}, unsigned{v.size_byte}, unsigned{v.attribute}, unsigned{v.theme_byte},
      unsigned{v.start_x}, unsigned{v.start_y}, unsigned{v.end_x}, unsigned{v.end_y});
  json += ", \"tiles\": " + hex(m.tiles) + ", \"blocks\": [";
  const char* comma = "";
  for (std::size_t i = 0; i < m.blocks.size(); ++i) {
    const BlockCell& c = m.blocks[i];
    if (c.type == 0) continue;
    json += format("%s[%zu, %u, %u, %u, %u, %u]", comma, i, unsigned{c.type}, unsigned{c.d1},
                   unsigned{c.d2}, unsigned{c.d3}, unsigned{c.d4});
    comma = ", ";
  }
  json += "], \"background\": " + hex(m.background) + ", \"enemy\": ";
  if (!m.enemy.present) return json + "null}";
  json += "{\"art_load\": " + hex(m.enemy.art_load) + ", \"entries\": [";
  comma = "";
  for (const auto& entry : m.enemy.entries) {
    json += comma + hex(entry);
    comma = ", ";
  }
  return json + "]}}";
}

std::string theme_fields(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < theme_file_size()) return "{\"problem\": \"short\"}";
  std::size_t pos = kThemeFileMagic.size();
  std::string json = "{\"magic\": " + hex(bytes.first(pos));
  const std::size_t overrun = bytes.size() - theme_file_size();
  for (const ThemeSection& section : kThemeSections) {
    if (section.name == 'E') {
      json += ", \"overrun\": " + hex(bytes.subspan(pos, overrun));
      pos += overrun;
    }
    // Words that the file stores byte-swapped are given as their values.
    std::string value = hex(bytes.subspan(pos, section.size));
    if (section.form == ThemeSectionForm::swapped) {
      value = "[";
      for (std::size_t i = 0; i < section.size; i += 2)
        value += format("%s%u", i == 0 ? "" : ", ", bytes[pos + i] | bytes[pos + i + 1] << 8);
      value += "]";
    }
    json += format(", \"%c\": ", section.name) + value;
    pos += section.size;
  }
  return json + "}";
}

}  // namespace

int main(int argc, char** argv) {
  const std::string kind = argc == 3 ? argv[1] : "";
  std::vector<std::uint8_t> bytes;
  if ((kind != "map" && kind != "theme") || !gorv::read_whole_file(argv[2], bytes, 1u << 24)) {
    std::fprintf(stderr, "usage: format_fields map|theme FILE (a readable file)\n");
    return 2;
  }
  std::puts((kind == "map" ? map_fields(bytes) : theme_fields(bytes)).c_str());
  return 0;
}
