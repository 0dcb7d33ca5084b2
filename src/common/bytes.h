// Comparing runs of bytes.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace gorv {

// How many bytes a and b have in common from their start, at most `most`.
// They may overlap: a copy that reads bytes it has just written compares
// the same way. Eight bytes at a time where the first differing byte is the
// lowest of a word (little-endian machines), then byte by byte.
inline std::size_t common_prefix(const std::uint8_t* a, const std::uint8_t* b, std::size_t most) {
  std::size_t n = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; n + 8 <= most; n += 8) {
      std::uint64_t x, y;
      std::memcpy(&x, a + n, 8);
      std::memcpy(&y, b + n, 8);
      if (x != y) return n + static_cast<std::size_t>(std::countr_zero(x ^ y)) / 8;
    }
  }
  while (n < most && a[n] == b[n]) ++n;
  return n;
}

}  // namespace gorv
