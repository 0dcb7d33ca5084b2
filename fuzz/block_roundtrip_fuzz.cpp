// Encodes a block cell array built from the input and decodes the stream:
// every cell of a working type the format keeps must come back with its
// type code. The first two bytes choose the map size (up to 4 x 4 screens).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec/block_decoder.h"
#include "codec/block_encoder.h"

namespace {

bool kept(std::uint8_t working) {
  const bool in_order =
      (working >= 0x01 && working <= 0x11) || (working >= 0x21 && working <= 0x30);
  const unsigned block_type = (working & 0x1Fu) - 1;
  return in_order && block_type != 0x08 && (block_type < 0x0D || block_type > 0x0F);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto width = static_cast<std::uint8_t>(1 + data[0] % 4);
  const auto height = static_cast<std::uint8_t>(1 + data[1] % 4);
  const std::size_t cols = width * 20u;
  const std::size_t grid = cols * height * 14u;
  std::vector<gorv::BlockCell> cells(grid + cols);
  // Each five input bytes fill one cell; the type byte's bit 7 picks an
  // empty square so that layouts stay sparse enough to form runs.
  for (std::size_t i = 0; i < grid && 2 + 5 * i + 4 < size; ++i) {
    const std::uint8_t* c = data + 2 + 5 * i;
    cells[i] = {static_cast<std::uint8_t>(c[0] & 0x80 ? 0 : c[0] & 0x3F), c[1], c[2], c[3], c[4]};
  }
  const std::vector<gorv::BlockCell> original = cells;
  const auto encoding = gorv::encode_block_layout(cells, width, height);
  if (encoding.error != gorv::BlockEncodeError::none) __builtin_trap();
  const auto decoded =
      gorv::decode_block_cells(gorv::Bytes(encoding.stream), 0, width, grid, gorv::kAllBlockTypes);
  for (std::size_t i = 0; i < grid; ++i) {
    const std::uint8_t working = original[i].type;
    if (working == 0 && decoded.cells[i].type != 0) __builtin_trap();
    if (kept(working) && decoded.cells[i].type != (0x80 | (working - 1))) __builtin_trap();
  }
  return 0;
}
