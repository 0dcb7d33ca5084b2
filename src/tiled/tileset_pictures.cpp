#include "tiled/tileset_pictures.h"

namespace gorv {

// The pictures come with the picture layer below the modes.
std::vector<std::uint8_t> tileset_png(TiledTilesetId) {
  return {};
}

}  // namespace gorv
