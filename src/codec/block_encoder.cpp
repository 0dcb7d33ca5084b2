#include "codec/block_encoder.h"

namespace gorv {

// Placeholder until the block layout encoder is built.
BlockEncoding encode_block_layout(std::span<BlockCell> cells, std::uint8_t width,
                                  std::uint8_t height_byte) {
  (void)cells;
  (void)width;
  (void)height_byte;
  BlockEncoding result;
  result.error = "the block layout encoder is not built yet";
  return result;
}

}  // namespace gorv
