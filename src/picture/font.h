// A small built-in bitmap font: 5 x 9 pixel glyphs (7 rows down to the
// baseline, 2 below it) for printable ASCII, drawn from UTF-8 text, one
// glyph a character, into an RGB picture at a whole-number scale.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "picture/picture.h"

namespace gorv {

inline constexpr unsigned kGlyphWidth = 5;
// Capitals and digits fill the rows down to the baseline; the descenders
// of g, j, p, q and y and the comma's tail take the rows below it.
inline constexpr unsigned kGlyphAscent = 7;
inline constexpr unsigned kGlyphDescent = 2;
inline constexpr unsigned kGlyphHeight = kGlyphAscent + kGlyphDescent;
// A character's advance: the glyph and one column of space.
inline constexpr unsigned kGlyphAdvance = kGlyphWidth + 1;

// What characters_of gives for a byte that begins no well-formed UTF-8
// sequence (U+FFFD, which the font lacks).
inline constexpr char32_t kNotACharacter = 0xFFFD;

// The characters of UTF-8 `text`, one for each well-formed sequence and one
// kNotACharacter for each other byte (a stray continuation byte, a lead byte
// whose sequence is cut, overlong, a surrogate or past U+10FFFF).
std::u32string characters_of(std::string_view text);

// The rows of the glyph for `c`, top first; bit 4 is the leftmost pixel.
// Characters outside 0x20 to 0x7E get the glyph of '?'.
std::array<std::uint8_t, kGlyphHeight> glyph_rows(char32_t c);

// The width in pixels of UTF-8 `text` at `scale` (no trailing space column).
unsigned text_width(std::string_view text, unsigned scale);

// Draws UTF-8 `text` with its top left corner at (x, y); pixels outside the
// picture are left out.
void draw_text(Picture& picture, unsigned x, unsigned y, std::string_view text, unsigned scale,
               Rgb colour);

}  // namespace gorv
