#include "codec/crc32.h"

#include <zlib.h>

#include <algorithm>

namespace gorv {

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
  uLong crc = ::crc32(0L, Z_NULL, 0);
  // zlib takes a length of unsigned int: a gigabyte at a time.
  for (std::size_t at = 0; at < bytes.size();) {
    const auto chunk = static_cast<uInt>(std::min<std::size_t>(bytes.size() - at, 1u << 30));
    crc = ::crc32(crc, bytes.data() + at, chunk);
    at += chunk;
  }
  return static_cast<std::uint32_t>(crc);
}

}  // namespace gorv
