// Picks the inputs that take a fuzz target's slow path as well: the work
// whose cost does not depend on the input's content beyond sizes (writing
// files, encoding pictures) runs for one input in n, chosen by a hash of
// the whole input, so that an input always takes the same path: a crash
// reproduces, and a corpus entry keeps the coverage it was kept for.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gorv::fuzz {

inline bool one_in(const std::uint8_t* data, std::size_t size, std::uint32_t n) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  return hash % n == 0;
}

}  // namespace gorv::fuzz
