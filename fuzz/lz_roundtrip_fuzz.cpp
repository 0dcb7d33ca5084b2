// Encode, decode with the input's length as the limit, compare.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "codec/lz_decoder.h"
#include "codec/lz_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 65535) return 0;
  const std::span<const std::uint8_t> input(data, size);
  const auto stream = gorv::lz_compress(input);
  gorv::OutputBuffer buffer;
  gorv::reset(buffer, 0);
  gorv::lz_decode(gorv::Bytes(stream), 0, static_cast<std::uint16_t>(size), buffer);
  if (buffer.length != size || std::memcmp(buffer.storage.data(), data, size) != 0)
    __builtin_trap();
  return 0;
}
