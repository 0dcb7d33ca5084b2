// An RGB picture in memory, eight bits per channel, row by row, and the few
// drawing steps the preview is made of.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gorv {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Picture {
  unsigned width = 0;
  unsigned height = 0;
  std::vector<std::uint8_t> rgb;  // width * height * 3 bytes
};

Picture make_picture(unsigned width, unsigned height, Rgb fill);

inline Rgb pixel_at(const Picture& p, unsigned x, unsigned y) {
  const std::size_t at = (std::size_t{y} * p.width + x) * 3;
  return {p.rgb[at], p.rgb[at + 1], p.rgb[at + 2]};
}

inline void set_pixel(Picture& p, unsigned x, unsigned y, Rgb c) {
  if (x >= p.width || y >= p.height) return;
  const std::size_t at = (std::size_t{y} * p.width + x) * 3;
  p.rgb[at] = c.r;
  p.rgb[at + 1] = c.g;
  p.rgb[at + 2] = c.b;
}

// Fills the rectangle, cut to the picture.
void fill_rect(Picture& p, unsigned x, unsigned y, unsigned w, unsigned h, Rgb c);

// Draws the rectangle's one-pixel border, cut to the picture.
void frame_rect(Picture& p, unsigned x, unsigned y, unsigned w, unsigned h, Rgb c);

}  // namespace gorv
