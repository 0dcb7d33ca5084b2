// A small built-in bitmap font: 5 x 7 pixel glyphs for printable ASCII,
// drawn into an RGB picture at a whole-number scale.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "preview/picture.h"

namespace gorv {

inline constexpr unsigned kGlyphWidth = 5;
inline constexpr unsigned kGlyphHeight = 7;
// A character's advance: the glyph and one column of space.
inline constexpr unsigned kGlyphAdvance = kGlyphWidth + 1;

// Seven rows of the glyph for `c`, top first; bit 4 is the leftmost pixel.
// Characters outside 0x20 to 0x7E get the glyph of '?'.
std::array<std::uint8_t, kGlyphHeight> glyph_rows(char c);

// The width in pixels of `text` at `scale` (no trailing space column).
unsigned text_width(std::string_view text, unsigned scale);

// Draws `text` with its top left corner at (x, y); pixels outside the
// picture are left out.
void draw_text(Picture& picture, unsigned x, unsigned y, std::string_view text, unsigned scale,
               Rgb colour);

}  // namespace gorv
