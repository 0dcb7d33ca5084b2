// The pictures of the Tiled tilesets: one 16 x 16-pixel tile a value, in
// the preview's colours, with the value printed on it.
#pragma once

#include <cstdint>
#include <vector>

#include "format/tiled_map.h"

namespace gorv {

// The tileset's picture as a PNG file.
std::vector<std::uint8_t> tileset_png(TiledTilesetId tileset);

}  // namespace gorv
