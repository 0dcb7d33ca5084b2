#include "tiled/tileset_pictures.h"

#include "picture/colours.h"
#include "picture/font.h"
#include "picture/picture.h"
#include "picture/png.h"
#include "rom/game_facts.h"

namespace gorv {

namespace {

// The byte values' tiles: greys from dark to light, so that data bytes
// read apart from the tiles' colours.
Rgb byte_colour(std::uint8_t value) {
  const auto level = static_cast<std::uint8_t>(48 + value * 160 / 255);
  return {level, level, static_cast<std::uint8_t>(level + 12)};
}

// kTiledKeyColour: the blocks' tiles are transparent inside.
constexpr Rgb kKey{0xFF, 0x00, 0xFF};

}  // namespace

std::vector<std::uint8_t> tileset_png(TiledTilesetId id) {
  const TiledTileset& tileset = kTiledTilesets[static_cast<std::size_t>(id)];
  const unsigned side = kTiledTileSide;
  const unsigned rows = (tileset.count + kTiledTilesetColumns - 1) / kTiledTilesetColumns;
  Picture picture = make_picture(kTiledTilesetColumns * side, rows * side, kKey);
  for (unsigned n = 0; n < tileset.count; ++n) {
    const unsigned x = n % kTiledTilesetColumns * side;
    const unsigned y = n / kTiledTilesetColumns * side;
    const auto value = static_cast<std::uint8_t>(n);
    switch (id) {
      case TiledTilesetId::tiles:
        draw_labelled_square(picture, x, y, side, tile_colour(value), value, LabelRow::low);
        break;
      case TiledTilesetId::blocks:
        // An outline over the tile below (the inside is transparent but
        // for a band at the top in the block's colour), labelled there
        // with the type byte's low seven bits above the tile's label.
        {
          const Rgb colour = block_colour(block_type_of_code(value & kTypeCodeMask));
          fill_rect(picture, x + 2, y + 2, side - 4, kGlyphAscent, colour);
          draw_block_square(picture, x, y, side, value & kTypeCodeMask);
          draw_hex_label(picture, x, y, side, value, colour, LabelRow::high);
        }
        break;
      case TiledTilesetId::bytes:
        draw_labelled_square(picture, x, y, side, byte_colour(value), value);
        break;
    }
  }
  return encode_png(picture);
}

}  // namespace gorv
