// The ROM image in memory, read through bounds-checked big-endian helpers.
// Offsets are file offsets; a byte past the end of the image reads as 0.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "common/byte_order.h"

namespace gorv {

using Bytes = std::span<const std::uint8_t>;

// The whole ROM image as loaded from its file.
struct RomImage {
  std::vector<std::uint8_t> bytes;
};

inline Bytes rom_bytes(const RomImage& rom) {
  return Bytes(rom.bytes);
}

// True when `count` bytes from `offset` lie wholly inside the image.
inline bool rom_contains(Bytes rom, std::uint64_t offset, std::uint64_t count) {
  return offset <= rom.size() && count <= rom.size() - offset;
}

// Reads of the image; bytes past its end read as 0.
inline std::uint8_t read_u8(Bytes rom, std::uint64_t offset) {
  return get_u8(rom, offset);
}
inline std::uint16_t read_be16(Bytes rom, std::uint64_t offset) {
  return get_be16(rom, offset);
}
inline std::uint32_t read_be32(Bytes rom, std::uint64_t offset) {
  return get_be32(rom, offset);
}

}  // namespace gorv
