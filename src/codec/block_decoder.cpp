#include "codec/block_decoder.h"

namespace gorv {

// Placeholder until the block layout decoder is built.
std::string unhandled_block_type_message(const UnhandledBlockType& event) {
  (void)event;
  return {};
}

std::vector<UnhandledBlockType> decode_block_layout(Bytes rom, std::uint64_t address,
                                                    std::uint8_t width, std::uint16_t grid_size,
                                                    std::uint8_t filter, OutputBuffer& out) {
  (void)rom;
  (void)address;
  (void)width;
  (void)grid_size;
  (void)filter;
  (void)out;
  return {};
}

}  // namespace gorv
