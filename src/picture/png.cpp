#include "picture/png.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "picture/deflate.h"

namespace {

// stb_image_write's hook for the zlib stream: ours, in a buffer it frees
// with free().
unsigned char* compress_for_stb(unsigned char* data, int size, int* out_size, int /*quality*/) {
  const auto stream =
      gorv::zlib_compress_fast({data, static_cast<std::size_t>(size < 0 ? 0 : size)});
  auto* copy = static_cast<unsigned char*>(std::malloc(stream.size()));
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, stream.data(), stream.size());
  *out_size = static_cast<int>(stream.size());
  return copy;
}

}  // namespace

// The one place stb_image_write's code is compiled; its functions stay
// private to this file.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#define STBIW_ZLIB_COMPRESS compress_for_stb
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
      (std::uint64_t{picture.width} * 3 + 1) * picture.height > INT_MAX)
    return out;
  // One filter for every row: trying each per row costs more than all the
  // rest of the encoding. "Up" turns the repeated rows of a square into
  // zeros, which the compressor's previous-pixel match takes whole (a
  // fifth smaller and a little faster than no filter).
  stbi_write_force_png_filter = 2;
  const int ok = stbi_write_png_to_func(append, &out, static_cast<int>(picture.width),
                                        static_cast<int>(picture.height), 3, picture.rgb.data(),
                                        static_cast<int>(picture.width * 3));
  if (ok == 0) out.clear();
  return out;
}

}  // namespace gorv
