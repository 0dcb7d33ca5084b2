#include "rom/output_buffer.h"

namespace gorv {

void put_byte(OutputBuffer& buffer, std::uint8_t value) {
  if (buffer.cursor < buffer.length) {
    buffer.storage[buffer.cursor++] = value;
    return;
  }
  // Appending.
  const std::size_t new_length = static_cast<std::size_t>(buffer.cursor) + 1;
  if (new_length > kOutputBufferCapacity) {
    buffer.full = true;
    return;
  }
  buffer.length = static_cast<std::uint16_t>(new_length);
  if (buffer.storage.size() < new_length) buffer.storage.resize(new_length);
  buffer.storage[buffer.cursor++] = value;
}

void reset(OutputBuffer& buffer, std::uint16_t n) {
  buffer.storage.assign(n, 0);
  buffer.cursor = n;
  buffer.length = n;
  buffer.full = false;
}

}  // namespace gorv
