// Generated inputs that look like tile layouts: one byte per grid square,
// rows of 20 squares per screen, mostly empty sky, long runs of ground,
// platforms, and rows that repeat with small changes.
#pragma once

#include <cstdint>
#include <vector>

namespace gorv::test {

std::vector<std::uint8_t> tile_like_layout(int width_screens, int height_screens,
                                           std::uint32_t seed);

}  // namespace gorv::test
