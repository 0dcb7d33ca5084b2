// The pictures' building blocks: the font, and the labelled squares of
// tilesets.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "picture/colours.h"
#include "picture/font.h"
#include "picture/picture.h"

namespace gorv {
namespace {

// One character for each well-formed UTF-8 sequence, one stand-in for each
// other byte.
TEST(PictureFont, Utf8TextIsReadCharacterByCharacter) {
  constexpr char32_t X = kNotACharacter;
  struct Case {
    std::string_view text;
    std::u32string characters;
  };
  for (const Case& c : {Case{"a\xC3\xA9\xD0\xBA\xF0\x9F\x98\x80", {U'a', 0xE9, 0x43A, 0x1F600}},
                        {"\xE2\x82z\xC3", {X, X, U'z', X}},   // cut short
                        {"\xA9\xE9", {X, X}},                 // stray byte, Latin-1 byte
                        {"\xC0\xAF", {X, X}},                 // overlong
                        {"\xED\xA0\x80", {X, X, X}},          // a surrogate
                        {"\xF4\x90\x80\x80", {X, X, X, X}}})  // past U+10FFFF
    EXPECT_TRUE(characters_of(c.text) == c.characters) << c.text;
  EXPECT_EQ(3 * kGlyphAdvance - 1, text_width("\xD0\xBA\xC3\xA9g", 1));
}

// Two hex digits, each glyph where centring puts it (11 x 7 pixels in a
// 16-pixel square: from (2, 4)), in the ink that stands out from the fill,
// and nothing drawn outside the square.
TEST(PictureSquares, ALabelledSquareShowsItsValueInContrastingInk) {
  struct Case {
    std::uint8_t value;
    Rgb fill;
    Rgb ink;
  };
  constexpr Rgb kOutside{1, 2, 3};
  for (const Case& c : {Case{0x00, {20, 30, 40}, kLightMark},
                        {0x5A, {255, 232, 0}, kRim},
                        {0xFF, tile_colour(0xFF), kLightMark},
                        {0xB7, {250, 250, 170}, kRim}}) {
    Picture p = make_picture(20, 20, kOutside);
    draw_labelled_square(p, 2, 2, 16, c.fill, c.value);
    const auto high = glyph_rows(static_cast<char32_t>("0123456789ABCDEF"[c.value >> 4]));
    const auto low = glyph_rows(static_cast<char32_t>("0123456789ABCDEF"[c.value & 0x0F]));
    for (unsigned y = 0; y < 20; ++y) {
      for (unsigned x = 0; x < 20; ++x) {
        Rgb expected = kOutside;
        if (x >= 2 && x < 18 && y >= 2 && y < 18) {
          const unsigned sx = x - 2, sy = y - 2;
          bool ink = false;
          if (sy >= 4 && sy < 4 + kGlyphHeight) {
            if (sx >= 2 && sx < 2 + kGlyphWidth)
              ink = ((high[sy - 4] >> (kGlyphWidth - 1 - (sx - 2))) & 1u) != 0;
            if (sx >= 8 && sx < 8 + kGlyphWidth)
              ink = ((low[sy - 4] >> (kGlyphWidth - 1 - (sx - 8))) & 1u) != 0;
          }
          expected = ink ? c.ink : c.fill;
        }
        ASSERT_EQ(expected, pixel_at(p, x, y)) << int{c.value} << " at " << x << ", " << y;
      }
    }
  }
}

}  // namespace
}  // namespace gorv
