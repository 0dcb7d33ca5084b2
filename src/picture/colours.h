// The colours of tile values and block types, and the squares drawn in
// them, as the map previews and the tilesets of other editors show them.
#pragma once

#include <cstdint>

#include "picture/picture.h"

namespace gorv {

// One colour per tile value: neighbouring values far apart, none as bright
// as the lines and outlines drawn over tiles.
Rgb tile_colour(std::uint8_t tile);

// One colour per block type (type code & 0x1F): the types the game uses
// saturated and bright, the others pale.
Rgb block_colour(std::uint8_t block_type);

// Light marks and text over tile colours, and the dark rim inside block
// outlines and around marks.
inline constexpr Rgb kLightMark{232, 232, 236};
inline constexpr Rgb kRim{0, 0, 0};

// A block over the `size` x `size` square at (x, y): an outline in its
// type's colour, a dark ring inside it where the square is large enough,
// and for the variant bit a filled top left corner (a light dot on the
// smallest squares). The inside is left as it was.
void draw_block_square(Picture& p, unsigned x, unsigned y, unsigned size, std::uint8_t type_code);

// Where a label stands in its square. Two labels on one square (a tile's
// low, a block's over it high) overlap in at most one row of a 16-pixel
// square.
enum class LabelRow { centre, low, high };

// `value` as two hexadecimal digits, centred across the `size` x `size`
// square at (x, y) and at `row` in it, dark or light, whichever stands out
// from `background`.
void draw_hex_label(Picture& p, unsigned x, unsigned y, unsigned size, std::uint8_t value,
                    Rgb background, LabelRow row = LabelRow::centre);

// The square filled with `fill` and labelled with `value`.
void draw_labelled_square(Picture& p, unsigned x, unsigned y, unsigned size, Rgb fill,
                          std::uint8_t value, LabelRow row = LabelRow::centre);

}  // namespace gorv
