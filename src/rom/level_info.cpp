#include "rom/level_info.h"

#include <array>
#include <string_view>

#include "common/text.h"

namespace gorv {

namespace {

constexpr std::array<const char*, 11> kThemeNames = {
    "dummy", "sky", "ice", "hill", "isle", "desert", "swamp", "mtn", "under", "forest", "urban"};

const char* theme_name(std::uint8_t theme) {
  return theme < kThemeNames.size() ? kThemeNames[theme] : "unknown";
}

// A word code's text: capitalised when it begins the name.
void append_word(std::string& name, std::string_view word) {
  const bool first = name.empty();
  name.append(word);
  if (first) name[0] = static_cast<char>(name[0] - 0x20);
}

// The attribute words of the report: "chase", then the weather effect.
std::string attribute_words(const MapHeader& header) {
  static constexpr std::array<const char*, 4> kEffects = {"", "lava", "weather", "weather + hail"};
  std::string words;
  if (map_chase(header)) words = "chase";
  const std::uint8_t effect = map_effect(header);
  if (effect != 0) {
    if (!words.empty()) words += "; ";
    words += kEffects[effect];
  }
  return words;
}

}  // namespace

std::string decode_level_name(Bytes rom, std::uint64_t address, std::int8_t part) {
  std::string name;
  bool ended = false;
  for (std::uint64_t at = address; at < rom.size(); ++at) {
    const std::uint8_t code = read_u8(rom, at);
    if (code == 0xFF) {
      ended = true;
      break;
    }
    if (name.size() >= kLevelNameLimit) break;
    if (code == 0x7C || code == 0x7D) {
      append_word(name, "the");
    } else if (code == 0x7E) {
      append_word(name, "of");
    } else if (code == 0x7F) {
      append_word(name, "to");
    } else if (code == 0x83) {
      name.push_back('\'');
    } else if (code <= 0x7B || code == 0x84) {
      // The letter rule: the name's first letter is a capital, and so is
      // every character after a space (a second space thus becomes 0x00,
      // which ends the name).
      std::uint8_t c = code <= 0x5F || code == 0x84 ? 0x20 : code;
      if (name.empty()) {
        if (c >= 0x61 && c <= 0x7A) c -= 0x20;
      } else if (name.back() == ' ') {
        c -= 0x20;
      }
      if (c == 0x00) break;
      name.push_back(static_cast<char>(c));
    } else {
      name.push_back(static_cast<char>(code));
    }
  }
  // A word code may have run past the limit.
  if (name.size() > kLevelNameLimit) name.resize(kLevelNameLimit);
  if (ended && part > 0) {
    name.push_back(' ');
    name.append(static_cast<std::size_t>(part), 'I');
  }
  return name;
}

std::uint8_t print_level_info(Console& console, Bytes rom, std::uint8_t level, MapHeader& header) {
  const auto level_count = static_cast<std::int16_t>(read_be16(rom, kLevelCount));
  const bool own_header = level < level_count;
  const std::uint32_t at =
      own_header ? kLevelHeaders + kLevelHeaderSize * level : kSharedLevelHeader;
  const std::uint32_t name_address = read_be32(rom, at);
  const auto part = static_cast<std::int8_t>(read_u8(rom, at + 9));
  const std::string name = decode_level_name(rom, name_address, part);

  const unsigned path_bonus = read_u8(rom, kPathBonusTable + level);
  const unsigned speed_bonus = read_u8(rom, kSpeedBonusTable + level);
  const std::uint8_t map = read_u8(rom, std::uint64_t{read_be32(rom, kLevelOrderPointer)} + level);
  header = read_map_header(rom, map);

  std::string text = "\n";
  text += format("LEVEL:         0x%02X\n", level);
  text += "NAME:          " + name + "\n";
  if (own_header) {
    text += "\n";
    text += format("PATH BONUS:    %u points\n", path_bonus * 1000);
    text += format("SPEED BONUS:   %u seconds\n", speed_bonus);
  }
  text += "\n";
  text += format("MAP:           0x%02X\n", map);
  text += format("LEVEL X:       %u screens (0x%04X px)\n", unsigned{header.width},
                 header.width * 320u);
  if (header.extra_rows != 0) {
    text += format("LEVEL Y:       %u screens + %u rows (0x%04X px)\n", unsigned{header.height},
                   header.extra_rows * 2u, header.height * 224u + header.extra_rows * 32u);
  } else {
    text += format("LEVEL Y:       %u screens (0x%04X px)\n", unsigned{header.height},
                   header.height * 224u);
  }
  text += format("MAP THEME:     %s (0x%X)\n", theme_name(map_theme(header)),
                 unsigned{map_theme(header)});
  text += "ATTRIBUTES:    " + attribute_words(header) + "\n";
  text += format("START X:       0x%04X px\n", unsigned{header.start_x});
  text += format("START Y:       0x%04X px\n", unsigned{header.start_y});
  text += format("END X:         0x%04X px\n", unsigned{header.end_x});
  text += format("END Y:         0x%04X px\n", unsigned{header.end_y});
  text += "\n";
  text += format("TOTAL SCREENS: %u\n", header.width * unsigned{header.height});
  text += format("GRID SIZE:     %u squares\n", unsigned{header.grid_size});
  text += "\n\n";
  say(console, text);
  return map;
}

}  // namespace gorv
