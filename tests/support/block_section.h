// A literal reader of the block layout section of a map file, for tests.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "codec/block_cell.h"

namespace gorv::test {

// The cells the items stand for: a byte of 0x80 or more and the four after
// it make one block cell, a smaller byte b makes b + 1 empty cells. A block
// cell cut off by the end of the bytes is left out.
std::vector<BlockCell> read_block_section(std::span<const std::uint8_t> bytes);

}  // namespace gorv::test
