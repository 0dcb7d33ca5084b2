// Helpers of the exporter fuzz targets: a fuzz input read as a sparse ROM
// image, and a scratch directory that the exporters' files go to.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace gorv::fuzz {

// The largest image built: room for everything an import writes behind
// 0x100000.
inline constexpr std::size_t kMaxImageSize = 0x200000;

// Reads the input as an image: three bytes give its size (big-endian, at
// most kMaxImageSize), then records follow, each a three-byte offset, a
// one-byte count n and n bytes placed at that offset. Bytes that fall past
// the end of the image are dropped; the rest of the image is zero. This
// lets small inputs reach the tables at their fixed offsets.
inline std::vector<std::uint8_t> sparse_image(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return {};
  std::size_t image_size = std::size_t{data[0]} << 16 | std::size_t{data[1]} << 8 | data[2];
  if (image_size > kMaxImageSize) image_size = kMaxImageSize;
  std::vector<std::uint8_t> image(image_size);
  std::size_t at = 3;
  while (at + 4 <= size) {
    const std::size_t offset =
        std::size_t{data[at]} << 16 | std::size_t{data[at + 1]} << 8 | data[at + 2];
    const std::size_t count = data[at + 3];
    at += 4;
    for (std::size_t i = 0; i < count && at < size; ++i, ++at)
      if (offset + i < image.size()) image[offset + i] = data[at];
  }
  return image;
}

// Makes a fresh directory under the system's temporary directory the
// current one, so that files the exporters write land there. Called once
// per process from LLVMFuzzerInitialize.
inline void enter_scratch_directory() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/gorv_fuzz_XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) std::abort();
}

}  // namespace gorv::fuzz
