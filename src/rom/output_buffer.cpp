#include "rom/output_buffer.h"

namespace gorv {

std::uint8_t get_byte(OutputBuffer& buffer) {
  if (buffer.cursor >= buffer.length) return 0;
  return buffer.storage[buffer.cursor++];
}

void put_byte(OutputBuffer& buffer, std::uint8_t value) {
  if (buffer.cursor < buffer.length) {
    buffer.storage[buffer.cursor++] = value;
    return;
  }
  // Appending; a cursor moved past the length by seek first fills the gap
  // with zeros, so no byte is ever written outside the storage.
  const std::size_t new_length = static_cast<std::size_t>(buffer.cursor) + 1;
  if (new_length > kOutputBufferCapacity) {
    buffer.full = true;
    return;
  }
  buffer.length = static_cast<std::uint16_t>(new_length);
  if (buffer.storage.size() < new_length) buffer.storage.resize(new_length);
  buffer.storage[buffer.cursor++] = value;
}

int seek(OutputBuffer& buffer, std::int32_t n, int mode) {
  switch (mode) {
    case 0:
      buffer.cursor = static_cast<std::uint16_t>(n);
      return 0;
    case 1:
      buffer.cursor = static_cast<std::uint16_t>(buffer.cursor + n);
      return 0;
    case 2:
      buffer.cursor = static_cast<std::uint16_t>(buffer.length - n);
      return 0;
    default:
      return 1;
  }
}

void reset(OutputBuffer& buffer, std::uint16_t n) {
  buffer.storage.assign(n, 0);
  buffer.cursor = n;
  buffer.length = n;
  buffer.full = false;
}

}  // namespace gorv
