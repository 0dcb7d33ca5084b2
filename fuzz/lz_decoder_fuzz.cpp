// The LZ stream decoder on arbitrary bytes: the first two bytes choose the
// limit and the third how much the output buffer already holds.
#include <cstddef>
#include <cstdint>

#include "codec/lz_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const auto limit = static_cast<std::uint16_t>(data[0] << 8 | data[1]);
  gorv::OutputBuffer buffer;
  gorv::reset(buffer, static_cast<std::uint16_t>(data[2] * 200));
  const gorv::Bytes image(data + 3, size - 3);
  const auto result = gorv::lz_decode(image, 0, limit, buffer);
  if (limit != 0 && !result.buffer_full && result.size != limit) __builtin_trap();
  return 0;
}
