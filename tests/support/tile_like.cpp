#include "support/tile_like.h"

#include <random>

namespace gorv::test {

std::vector<std::uint8_t> tile_like_layout(int width_screens, int height_screens,
                                           std::uint32_t seed) {
  const std::size_t cols = static_cast<std::size_t>(width_screens) * 20;
  const std::size_t rows = static_cast<std::size_t>(height_screens) * 14;
  std::vector<std::uint8_t> tiles(cols * rows, 0);
  std::mt19937 random(seed);
  auto chance = [&](unsigned percent) { return random() % 100 < percent; };
  const std::size_t ground = rows > 3 ? rows - 3 : 0;
  for (std::size_t y = 0; y < rows; ++y) {
    std::uint8_t* row = tiles.data() + y * cols;
    if (y >= ground) {
      // Ground: a surface row, then fill, with a few pits and decorations.
      for (std::size_t x = 0; x < cols; ++x) row[x] = y == ground ? 0x11 : 0x12;
      for (std::size_t x = 0; x < cols; ++x)
        if (chance(3)) row[x] = static_cast<std::uint8_t>(0x13 + random() % 4);
    } else if (y > 0 && chance(60)) {
      // Repeat the row above, nudged.
      const std::uint8_t* above = row - cols;
      for (std::size_t x = 0; x < cols; ++x) row[x] = above[x];
      if (chance(50)) row[random() % cols] = static_cast<std::uint8_t>(random());
    } else {
      // Sky with a few platforms and scattered objects.
      for (std::size_t x = 0; x < cols; ++x) {
        if (chance(4)) {
          const std::size_t length = 2 + random() % 8;
          const auto tile = static_cast<std::uint8_t>(0x20 + random() % 6);
          for (std::size_t k = 0; k < length && x < cols; ++k, ++x) row[x] = tile;
        } else if (chance(2)) {
          row[x] = static_cast<std::uint8_t>(random());
        }
      }
    }
  }
  return tiles;
}

}  // namespace gorv::test
