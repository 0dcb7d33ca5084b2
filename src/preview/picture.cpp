#include "preview/picture.h"

#include <algorithm>

namespace gorv {

Picture make_picture(unsigned width, unsigned height, Rgb fill) {
  Picture p{width, height, {}};
  p.rgb.resize(std::size_t{width} * height * 3);
  for (std::size_t i = 0; i < p.rgb.size(); i += 3) {
    p.rgb[i] = fill.r;
    p.rgb[i + 1] = fill.g;
    p.rgb[i + 2] = fill.b;
  }
  return p;
}

void fill_rect(Picture& p, unsigned x, unsigned y, unsigned w, unsigned h, Rgb c) {
  if (x >= p.width || y >= p.height) return;
  const unsigned x_end = std::min(p.width, x + w);
  const unsigned y_end = std::min(p.height, y + h);
  for (unsigned row = y; row < y_end; ++row) {
    std::uint8_t* out = p.rgb.data() + (std::size_t{row} * p.width + x) * 3;
    for (unsigned col = x; col < x_end; ++col) {
      *out++ = c.r;
      *out++ = c.g;
      *out++ = c.b;
    }
  }
}

void frame_rect(Picture& p, unsigned x, unsigned y, unsigned w, unsigned h, Rgb c) {
  if (w == 0 || h == 0) return;
  fill_rect(p, x, y, w, 1, c);
  fill_rect(p, x, y + h - 1, w, 1, c);
  fill_rect(p, x, y, 1, h, c);
  fill_rect(p, x + w - 1, y, 1, h, c);
}

}  // namespace gorv
