#include "picture/colours.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "picture/font.h"
#include "rom/game_facts.h"

namespace gorv {

namespace {

// Hand-picked for block types 0x00 to 0x10: saturated, bright and far
// apart in hue, so that outlines stand out from the muted tile colours.
constexpr std::array<Rgb, kBlockTypeCount> kBlockColours = {{
    {255, 48, 48},    // 0x00 red
    {255, 144, 0},    // 0x01 orange
    {255, 232, 0},    // 0x02 yellow
    {150, 255, 40},   // 0x03 lime
    {0, 200, 90},     // 0x04 green
    {0, 255, 210},    // 0x05 aquamarine
    {0, 190, 255},    // 0x06 sky blue
    {50, 90, 255},    // 0x07 blue
    {150, 80, 255},   // 0x08 violet
    {255, 40, 255},   // 0x09 magenta
    {255, 120, 190},  // 0x0A pink
    {250, 250, 170},  // 0x0B cream
    {200, 130, 60},   // 0x0C brown
    {170, 170, 20},   // 0x0D olive
    {0, 150, 150},    // 0x0E teal
    {170, 200, 255},  // 0x0F pale blue
    {255, 170, 130},  // 0x10 salmon
}};

Rgb from_hsl(double h, double s, double l) {
  const double c = (1 - std::fabs(2 * l - 1)) * s;
  const double hp = h * 6;
  const double x = c * (1 - std::fabs(std::fmod(hp, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  switch (static_cast<int>(hp) % 6) {
    case 0:
      r = c, g = x;
      break;
    case 1:
      r = x, g = c;
      break;
    case 2:
      g = c, b = x;
      break;
    case 3:
      g = x, b = c;
      break;
    case 4:
      r = x, b = c;
      break;
    default:
      r = c, b = x;
      break;
  }
  const double m = l - c / 2;
  auto channel = [m](double v) { return static_cast<std::uint8_t>(std::lround((v + m) * 255)); };
  return {channel(r), channel(g), channel(b)};
}

}  // namespace

// Neighbouring values lie far apart in hue (steps of the golden ratio
// around the circle) and differ in lightness (three levels) and
// saturation (two levels).
Rgb tile_colour(std::uint8_t tile) {
  constexpr double kGoldenStep = 0.6180339887498949;
  const double hue = std::fmod(tile * kGoldenStep, 1.0);
  constexpr double kLightness[3] = {0.30, 0.44, 0.58};
  constexpr double kSaturation[2] = {0.45, 0.70};
  return from_hsl(hue, kSaturation[(tile / 3) % 2], kLightness[tile % 3]);
}

Rgb block_colour(std::uint8_t block_type) {
  if (block_type < kBlockTypeCount) return kBlockColours[block_type];
  // Types the game's stream does not use: pale tints.
  return from_hsl((block_type - kBlockTypeCount) / 15.0, 0.35, 0.82);
}

void draw_block_square(Picture& p, unsigned x, unsigned y, unsigned size, std::uint8_t type_code) {
  const Rgb c = block_colour(block_type_of_code(type_code));
  frame_rect(p, x, y, size, size, c);
  if (size >= 6) frame_rect(p, x + 1, y + 1, size - 2, size - 2, kRim);
  if ((type_code & kVariantBit) == 0) return;
  if (size >= 4) {
    const unsigned k = size / 2 + 1;
    for (unsigned dy = 0; dy < k; ++dy) fill_rect(p, x, y + dy, k - dy, 1, c);
  } else {
    set_pixel(p, x + 1, y + 1, kLightMark);
  }
}

void draw_hex_label(Picture& p, unsigned x, unsigned y, unsigned size, std::uint8_t value,
                    Rgb background, LabelRow row) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  const char text[2] = {kDigits[value >> 4], kDigits[value & 0x0F]};
  const std::string_view label(text, 2);
  // Perceived brightness (ITU-R BT.601 weights), from 0 to 255,000.
  const unsigned brightness = 299u * background.r + 587u * background.g + 114u * background.b;
  const Rgb ink = brightness > 140'000 ? kRim : kLightMark;
  const unsigned width = text_width(label, 1);
  // Digits stand on the baseline: only the ascent is centred.
  const unsigned left = size > width ? (size - width) / 2 : 0;
  const unsigned room = size > kGlyphAscent ? size - kGlyphAscent : 0;
  const unsigned top = row == LabelRow::centre ? room / 2
                       : row == LabelRow::low  ? (room > 0 ? room - 1 : 0)
                                               : std::min(2u, room);
  draw_text(p, x + left, y + top, label, 1, ink);
}

void draw_labelled_square(Picture& p, unsigned x, unsigned y, unsigned size, Rgb fill,
                          std::uint8_t value, LabelRow row) {
  fill_rect(p, x, y, size, size, fill);
  draw_hex_label(p, x, y, size, value, fill, row);
}

}  // namespace gorv
