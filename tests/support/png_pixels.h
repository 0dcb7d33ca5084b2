// A PNG file's pixels as libpng reads them, independently of the tool's own
// writer; for the test binaries that link libpng.
#pragma once

#include <png.h>

#include <cstdint>
#include <vector>

#include "picture/picture.h"

namespace gorv::test {

// The picture `png` holds; an empty one when libpng cannot read it.
inline Picture read_png(const std::vector<std::uint8_t>& png) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&image, png.data(), png.size()) == 0) return {};
  image.format = PNG_FORMAT_RGB;
  Picture picture{image.width, image.height, std::vector<std::uint8_t>(PNG_IMAGE_SIZE(image))};
  if (png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) == 0) return {};
  return picture;
}

}  // namespace gorv::test
