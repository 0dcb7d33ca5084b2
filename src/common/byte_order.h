// Byte-order helpers, the only ones in the tool. The ROM image and the
// patches' structures are big-endian; the map file's header and the BPS
// footer are little-endian. Reads past the end of the span give 0 for the
// missing bytes, so a damaged file can be read without a bounds check at
// every field; writes need the room to be there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace gorv {

inline std::uint8_t get_u8(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
  return offset < bytes.size() ? bytes[static_cast<std::size_t>(offset)] : 0;
}

inline std::uint16_t get_be16(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
  return static_cast<std::uint16_t>(get_u8(bytes, offset) << 8 | get_u8(bytes, offset + 1));
}

inline std::uint32_t get_be32(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
  return std::uint32_t{get_be16(bytes, offset)} << 16 | get_be16(bytes, offset + 2);
}

inline std::uint16_t get_le16(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
  return static_cast<std::uint16_t>(get_u8(bytes, offset) | get_u8(bytes, offset + 1) << 8);
}

inline std::uint32_t get_le32(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
  return get_le16(bytes, offset) | std::uint32_t{get_le16(bytes, offset + 2)} << 16;
}

inline void set_be16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value >> 8);
  bytes[offset + 1] = static_cast<std::uint8_t>(value);
}

inline void set_be32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
  set_be16(bytes, offset, static_cast<std::uint16_t>(value >> 16));
  set_be16(bytes, offset + 2, static_cast<std::uint16_t>(value));
}

inline void set_le16(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

inline void set_le32(std::span<std::uint8_t> bytes, std::size_t offset, std::uint32_t value) {
  set_le16(bytes, offset, static_cast<std::uint16_t>(value));
  set_le16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

inline void append_be16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value >> 8));
  out.push_back(static_cast<std::uint8_t>(value));
}

inline void append_be32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  append_be16(out, static_cast<std::uint16_t>(value >> 16));
  append_be16(out, static_cast<std::uint16_t>(value));
}

inline void append_le32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

}  // namespace gorv
