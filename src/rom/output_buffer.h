// The growable byte buffer every exporter builds its file in: a 16-bit
// cursor and a 16-bit length, so a product holds at most 65,535 bytes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace gorv {

inline constexpr std::size_t kOutputBufferCapacity = 65535;

struct OutputBuffer {
  std::vector<std::uint8_t> storage;  // at least `length` bytes; those past it mean nothing
  std::uint16_t cursor = 0;
  std::uint16_t length = 0;
  // Set when a put_byte would have taken the length past 65,535 bytes; the
  // byte is then dropped. Callers turn this into an error.
  bool full = false;
};

// Overwrites at the cursor, or appends when the cursor is at the length;
// the cursor then advances. An append past the capacity sets `full` instead.
// Makes room to append (put_byte calls it when the storage is used up).
void grow_storage(OutputBuffer& buffer);
inline void put_byte(OutputBuffer& buffer, std::uint8_t value) {
  if (buffer.cursor < buffer.length) {
    buffer.storage[buffer.cursor++] = value;
    return;
  }
  if (buffer.cursor >= kOutputBufferCapacity) {
    buffer.full = true;
    return;
  }
  if (buffer.storage.size() <= buffer.cursor) grow_storage(buffer);
  ++buffer.length;
  buffer.storage[buffer.cursor++] = value;
}

// Cursor and length become n; the first n bytes are zero.
void reset(OutputBuffer& buffer, std::uint16_t n);

// The bytes that a write-out puts in a file: storage[0] to storage[length-1].
inline std::span<const std::uint8_t> contents(const OutputBuffer& buffer) {
  return std::span<const std::uint8_t>(buffer.storage.data(), buffer.length);
}

}  // namespace gorv
