// Expands one LZ stream of the ROM image into the output buffer.
#pragma once

#include <cstdint>

#include "rom/output_buffer.h"
#include "rom/rom_image.h"

namespace gorv {

struct LzDecodeResult {
  // The product size: the limit when one was given, else the bytes produced.
  std::uint32_t size = 0;
  // Bytes of the stream that the decoded tokens took: 2 + K + data bytes.
  std::uint64_t compressed_size = 0;
  // The output buffer ran full: the product is incomplete.
  bool buffer_full = false;
};

// Decodes the LZ stream at `offset` and appends its product at the buffer's
// cursor. `limit` 0 means no limit. Code bits and data bytes past the end of
// the image read as 0. Back-references measure their distance in the
// buffer, so one that reaches before the product reads what the buffer
// holds there (the map file's header, for a map's tile layout).
LzDecodeResult lz_decode(Bytes rom, std::uint64_t offset, std::uint16_t limit, OutputBuffer& out);

}  // namespace gorv
