#include "picture/picture.h"

#include <algorithm>

namespace gorv {

namespace {

// Rows at least this many pixels wide are copied rather than written
// pixel by pixel; copying a few bytes costs more than writing them.
constexpr unsigned kCopiedRowWidth = 8;

}  // namespace

Picture make_picture(unsigned width, unsigned height, Rgb fill) {
  Picture p{width, height, {}};
  p.rgb.resize(std::size_t{width} * height * 3);
  fill_rect(p, 0, 0, width, height, fill);
  return p;
}

void fill_rect(Picture& p, unsigned x, unsigned y, unsigned w, unsigned h, Rgb c) {
  if (x >= p.width || y >= p.height) return;
  const unsigned x_end = std::min(p.width, x + w);
  const unsigned y_end = std::min(p.height, y + h);
  if (x_end <= x || y_end <= y) return;
  const unsigned rows = y_end - y;
  const std::size_t row_bytes = std::size_t{x_end - x} * 3;
  const std::size_t stride = std::size_t{p.width} * 3;
  std::uint8_t* const first = p.rgb.data() + std::size_t{y} * stride + std::size_t{x} * 3;
  // A rectangle of more than a few pixels across (a picture's background,
  // a tile square) has its first row written and the rows below copied from
  // it; the rows of a narrow one are all written.
  const unsigned written = x_end - x >= kCopiedRowWidth ? 1 : rows;
  for (unsigned row = 0; row < written; ++row) {
    std::uint8_t* const out = first + row * stride;
    for (std::size_t i = 0; i < row_bytes; i += 3) {
      out[i] = c.r;
      out[i + 1] = c.g;
      out[i + 2] = c.b;
    }
  }
  for (unsigned row = written; row < rows; ++row)
    std::copy_n(first, row_bytes, first + row * stride);
}

void frame_rect(Picture& p, unsigned x, unsigned y, unsigned w, unsigned h, Rgb c) {
  if (w == 0 || h == 0) return;
  fill_rect(p, x, y, w, 1, c);
  fill_rect(p, x, y + h - 1, w, 1, c);
  fill_rect(p, x, y, 1, h, c);
  fill_rect(p, x + w - 1, y, 1, h, c);
}

}  // namespace gorv
