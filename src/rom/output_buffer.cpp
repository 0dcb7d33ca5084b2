#include "rom/output_buffer.h"

namespace gorv {

void grow_storage(OutputBuffer& buffer) {
  // Doubling, so that appending a byte costs O(1) on average.
  const std::size_t size = buffer.storage.size();
  buffer.storage.resize(size < 256                         ? 256
                        : size * 2 < kOutputBufferCapacity ? size * 2
                                                           : kOutputBufferCapacity);
}

void reset(OutputBuffer& buffer, std::uint16_t n) {
  buffer.storage.assign(n, 0);
  buffer.cursor = n;
  buffer.length = n;
  buffer.full = false;
}

}  // namespace gorv
