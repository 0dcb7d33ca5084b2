#include "support/block_section.h"

namespace gorv::test {

std::vector<BlockCell> read_block_section(std::span<const std::uint8_t> bytes) {
  std::vector<BlockCell> cells;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (bytes[i] < 0x80) {
      cells.insert(cells.end(), bytes[i] + 1u, BlockCell{});
      i += 1;
    } else {
      if (bytes.size() - i < 5) break;
      cells.push_back({bytes[i], bytes[i + 1], bytes[i + 2], bytes[i + 3], bytes[i + 4]});
      i += 5;
    }
  }
  return cells;
}

}  // namespace gorv::test
