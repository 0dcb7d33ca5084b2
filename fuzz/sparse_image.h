// Helpers of the exporter fuzz targets: a fuzz input read as a sparse ROM
// image, and a scratch directory that the exporters' files go to.
#pragma once

#include <sanitizer/asan_interface.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace gorv::fuzz {

// The largest image built: room for everything an import writes behind
// 0x100000.
inline constexpr std::size_t kMaxImageSize = 0x200000;

// The memory the images are built in, kept from one input to the next: a
// fresh zeroed megabyte per input cost more than everything the exporters
// do with it. Only the bytes an input placed are cleared for the next one.
struct SparseImage {
  std::vector<std::uint8_t> memory = std::vector<std::uint8_t>(kMaxImageSize);
  std::size_t size = 0;
  std::vector<std::pair<std::size_t, std::size_t>> placed;  // offset and count
};

// Places `count` bytes at `offset` in the image; bytes past its end are
// dropped.
inline void place_bytes(SparseImage& image, std::size_t offset, const std::uint8_t* bytes,
                        std::size_t count) {
  if (offset >= image.size) return;
  const std::size_t kept = std::min(count, image.size - offset);
  std::copy(bytes, bytes + kept, image.memory.data() + offset);
  image.placed.emplace_back(offset, kept);
}

// Reads the input as an image: three bytes give its size (big-endian, at
// most kMaxImageSize), then records follow, each a three-byte offset, a
// one-byte count n and n bytes placed at that offset. Bytes that fall past
// the end of the image are dropped; the rest of the image is zero. This
// lets small inputs reach the tables at their fixed offsets. The memory
// past the image's end is poisoned, so that AddressSanitizer reports a read
// beyond the image as it would in a vector of the image's size; a target
// may place more bytes (place_bytes) before it reads the image.
inline std::span<const std::uint8_t> sparse_image(SparseImage& image, const std::uint8_t* data,
                                                  std::size_t size) {
  std::uint8_t* const memory = image.memory.data();
  ASAN_UNPOISON_MEMORY_REGION(memory + image.size, kMaxImageSize - image.size);
  for (const auto& [offset, count] : image.placed)
    std::fill(memory + offset, memory + offset + count, std::uint8_t{0});
  image.placed.clear();
  image.size = 0;
  if (size >= 3) {
    const std::size_t wanted = std::size_t{data[0]} << 16 | std::size_t{data[1]} << 8 | data[2];
    image.size = wanted < kMaxImageSize ? wanted : kMaxImageSize;
  }
  std::size_t at = 3;
  while (at + 4 <= size) {
    const std::size_t offset =
        std::size_t{data[at]} << 16 | std::size_t{data[at + 1]} << 8 | data[at + 2];
    const std::size_t count = std::min<std::size_t>(data[at + 3], size - (at + 4));
    at += 4;
    place_bytes(image, offset, data + at, count);
    at += count;
  }
  ASAN_POISON_MEMORY_REGION(memory + image.size, kMaxImageSize - image.size);
  return {memory, image.size};
}

// Makes a fresh directory the current one, so that files the exporters
// write land there, and removes it when the process exits. It lies under
// $TMPDIR when that is set, else in memory (/dev/shm) where there is such
// a file system: the exporters flush every file to the disk, which on a
// disk costs more than the rest of an input. Called once per process from
// LLVMFuzzerInitialize.
inline void enter_scratch_directory() {
  const char* base = std::getenv("TMPDIR");
  struct stat shm {};
  if (base == nullptr)
    base = stat("/dev/shm", &shm) == 0 && S_ISDIR(shm.st_mode) ? "/dev/shm" : "/tmp";
  static std::string path;
  path = std::string(base) + "/gorv_fuzz_XXXXXX";
  if (mkdtemp(path.data()) == nullptr || chdir(path.c_str()) != 0) std::abort();
  std::atexit([] {
    std::error_code error;
    std::filesystem::remove_all(path, error);
  });
}

}  // namespace gorv::fuzz
