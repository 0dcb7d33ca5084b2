// The ROM image in memory, read through bounds-checked big-endian helpers.
// Offsets are file offsets; a byte past the end of the image reads as 0.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

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

inline std::uint8_t read_u8(Bytes rom, std::uint64_t offset) {
  return offset < rom.size() ? rom[static_cast<std::size_t>(offset)] : 0;
}

inline std::uint16_t read_be16(Bytes rom, std::uint64_t offset) {
  return static_cast<std::uint16_t>(read_u8(rom, offset) << 8 | read_u8(rom, offset + 1));
}

inline std::uint32_t read_be32(Bytes rom, std::uint64_t offset) {
  return static_cast<std::uint32_t>(read_be16(rom, offset)) << 16 | read_be16(rom, offset + 2);
}

// Writes a big-endian value into an image that already holds those bytes
// (for building images: the sample image, test images).
inline void write_be16(std::span<std::uint8_t> image, std::uint64_t offset, std::uint16_t value) {
  image[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(value >> 8);
  image[static_cast<std::size_t>(offset) + 1] = static_cast<std::uint8_t>(value);
}

inline void write_be32(std::span<std::uint8_t> image, std::uint64_t offset, std::uint32_t value) {
  write_be16(image, offset, static_cast<std::uint16_t>(value >> 16));
  write_be16(image, offset + 2, static_cast<std::uint16_t>(value));
}

}  // namespace gorv
