#include "cli/level_report.h"

#include "common/text.h"
#include "rom/game_facts.h"

namespace gorv {

namespace {

// The attribute words of the report: "chase", then the effect's name
// unless the effect is 0.
std::string attribute_words(const MapHeader& header) {
  std::string words;
  if (map_chase(header)) words = "chase";
  const std::uint8_t effect = map_effect(header);
  if (effect != 0) {
    if (!words.empty()) words += "; ";
    words += effect_name(effect);
  }
  return words;
}

constexpr unsigned kScreenWidthPixels = kScreenColumns * kPixelsPerSquare;    // 320
constexpr unsigned kScreenHeightPixels = kScreenRows * kPixelsPerSquare;      // 224
constexpr unsigned kExtraRowPixels = kSquaresPerExtraRow * kPixelsPerSquare;  // 32

}  // namespace

std::string level_report_text(const LevelInfo& info) {
  const MapHeader& header = info.header;
  std::string text = "\n";
  text += format("LEVEL:         0x%02X\n", info.level);
  text += "NAME:          " + info.name + "\n";
  if (info.own_header) {
    text += "\n";
    text += format("PATH BONUS:    %u points\n", info.path_bonus * 1000);
    text += format("SPEED BONUS:   %u seconds\n", info.speed_bonus);
  }
  text += "\n";
  text += format("MAP:           0x%02X\n", info.map);
  text += format("LEVEL X:       %u screens (0x%04X px)\n", unsigned{header.width},
                 header.width * kScreenWidthPixels);
  const unsigned height = map_height(header.size_byte);
  const unsigned extra_rows = map_extra_rows(header.size_byte);
  if (extra_rows != 0) {
    text += format("LEVEL Y:       %u screens + %u rows (0x%04X px)\n", height,
                   extra_rows * kSquaresPerExtraRow,
                   height * kScreenHeightPixels + extra_rows * kExtraRowPixels);
  } else {
    text += format("LEVEL Y:       %u screens (0x%04X px)\n", height, height * kScreenHeightPixels);
  }
  text += format("MAP THEME:     %s (0x%X)\n", theme_name(map_theme(header)),
                 unsigned{map_theme(header)});
  text += "ATTRIBUTES:    " + attribute_words(header) + "\n";
  text += format("START X:       0x%04X px\n", unsigned{header.start_x});
  text += format("START Y:       0x%04X px\n", unsigned{header.start_y});
  text += format("END X:         0x%04X px\n", unsigned{header.end_x});
  text += format("END Y:         0x%04X px\n", unsigned{header.end_y});
  text += "\n";
  text += format("TOTAL SCREENS: %u\n", header.width * height);
  text += format("GRID SIZE:     %u squares\n", unsigned{header.grid_size});
  text += "\n\n";
  return text;
}

}  // namespace gorv
