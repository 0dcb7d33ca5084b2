#include "preview/png.h"

#include <climits>

// The one place stb_image_write's code is compiled; its functions stay
// private to this file.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace gorv {

namespace {

void append(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(context);
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<std::uint8_t> encode_png(const Picture& picture) {
  std::vector<std::uint8_t> out;
  if (picture.width == 0 || picture.height == 0 ||
      picture.rgb.size() != std::size_t{picture.width} * picture.height * 3 ||
      picture.width > INT_MAX / 3 || picture.height > INT_MAX)
    return out;
  // Trying every row filter costs several times the whole encoding; our
  // pictures are runs of flat colour, which the "up" filter (each square's
  // rows repeat) serves well.
  stbi_write_force_png_filter = 2;
  const int ok = stbi_write_png_to_func(append, &out, static_cast<int>(picture.width),
                                        static_cast<int>(picture.height), 3, picture.rgb.data(),
                                        static_cast<int>(picture.width * 3));
  if (ok == 0) out.clear();
  return out;
}

}  // namespace gorv
