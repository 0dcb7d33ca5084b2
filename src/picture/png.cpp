#include "picture/png.h"

#include <zlib.h>

#include <climits>
#include <cstdlib>

namespace {

// stb_image_write's hook for the zlib stream: zlib's, in a buffer it frees
// with free(). The fastest level: the pictures are flat squares, whose
// rows the "up" filter turns into zeros, and a thorough match search costs
// several times as much for a quarter fewer bytes.
unsigned char* compress_for_stb(unsigned char* data, int size, int* out_size, int /*quality*/) {
  if (size < 0) return nullptr;
  z_stream z{};
  if (deflateInit(&z, 1) != Z_OK) return nullptr;
  const uLong bound = deflateBound(&z, static_cast<uLong>(size));
  auto* out = static_cast<unsigned char*>(std::malloc(bound));
  z.next_in = data;
  z.avail_in = static_cast<uInt>(size);
  z.next_out = out;
  z.avail_out = static_cast<uInt>(bound);
  // With room for deflateBound's bytes, one call finishes the stream.
  const bool done = out != nullptr && deflate(&z, Z_FINISH) == Z_STREAM_END;
  deflateEnd(&z);
  if (!done) {
    std::free(out);
    return nullptr;
  }
  *out_size = static_cast<int>(z.total_out);
  return out;
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
  // zeros (a fifth smaller and faster than no filter or "sub").
  stbi_write_force_png_filter = 2;
  const int ok = stbi_write_png_to_func(append, &out, static_cast<int>(picture.width),
                                        static_cast<int>(picture.height), 3, picture.rgb.data(),
                                        static_cast<int>(picture.width * 3));
  if (ok == 0) out.clear();
  return out;
}

}  // namespace gorv
