// A test ROM image holding one theme's tables and sections, and the theme
// file the tool makes of them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "support/lz_stream_writer.h"

namespace gorv::test::themes {

using ByteVector = std::vector<std::uint8_t>;

// What the test image holds for the dumped theme; the streams' products are
// known from the way the streams are written.
struct ThemeData {
  ByteVector a, b, c_stream, d_stream, e, f;
  ByteVector c_product, d_product;  // as they stand in the file
};

inline ByteVector numbered(std::size_t size, unsigned seed) {
  ByteVector bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(seed + i * 13 + i / 7);
  return bytes;
}

inline ByteVector padded(ByteVector product, std::size_t limit) {
  if (product.size() < limit) product.resize(limit, 0);
  return product;
}

inline ThemeData exact_theme_data() {
  ThemeData d;
  d.a = numbered(30, 1);
  d.b = numbered(16, 2);
  const ByteVector c_pattern = numbered(64, 3), d_pattern = numbered(20, 4);
  d.c_stream = lz_pattern_stream(c_pattern, 0x2C80);
  d.c_product = pattern_product(c_pattern, 0x2C80);
  d.d_stream = lz_pattern_stream(d_pattern, 0x1000);
  d.d_product = pattern_product(d_pattern, 0x1000);
  d.e = numbered(2048, 5);
  d.e[0] = 0x12;
  d.e[1] = 0x34;
  d.f = numbered(256, 6);
  return d;
}

inline void put_be32(ByteVector& image, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

inline void put_be16(ByteVector& image, std::size_t at, std::uint16_t value) {
  image[at] = static_cast<std::uint8_t>(value >> 8);
  image[at + 1] = static_cast<std::uint8_t>(value);
}

inline void put_bytes(ByteVector& image, std::size_t at, const ByteVector& bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

// An image whose tables lead `theme` to `d` and every other theme to a decoy
// area of 0x77 bytes.
inline ByteVector theme_image(std::uint8_t theme, const ThemeData& d) {
  constexpr std::uint32_t kDecoy = 0x9F000;
  ByteVector image(0xA0000, 0);
  std::fill(image.begin() + kDecoy, image.end(), 0x77);
  const std::uint32_t c_table = 0x7C000, d_table = 0x7C100, e_table = 0x7C200, a_table = 0x7C300,
                      b_table = 0x7C400, f_table = 0x7C500;
  put_be32(image, 0x7B018, c_table);
  put_be32(image, 0x7B01C, d_table);
  put_be32(image, 0x7B020, e_table);
  put_be32(image, 0x7B024, 0x9F800);
  put_be32(image, 0x7B028, a_table);
  put_be32(image, 0x7B02C, b_table);
  put_be32(image, 0x7B030, f_table);
  put_be32(image, 0x7B018 + 0x200, kDecoy);
  for (std::uint8_t t = 0; t < 16; ++t) {
    for (std::uint32_t table : {c_table, d_table, e_table, f_table})
      put_be32(image, table + 4 * t, kDecoy);
    put_be16(image, a_table + 2 * t, 0x200);
    put_be16(image, b_table + 2 * t, 0x200);
  }
  // Section A's 16-bit offset is above 0x7FFF: it counts unsigned.
  put_be16(image, a_table + 2 * theme, 0xFFF0);
  put_be32(image, 0x7B018 + 0xFFF0, 0x90000);
  put_be16(image, b_table + 2 * theme, 0x0100);
  put_be32(image, 0x7B018 + 0x0100, 0x90100);
  put_be32(image, c_table + 4 * theme, 0x91000);
  put_be32(image, d_table + 4 * theme, 0x95000);
  put_be32(image, e_table + 4 * theme, 0x97000);
  put_be32(image, f_table + 4 * theme, 0x97800);
  put_bytes(image, 0x90000, d.a);
  put_bytes(image, 0x90100, d.b);
  put_bytes(image, 0x91000, d.c_stream);
  put_bytes(image, 0x95000, d.d_stream);
  put_bytes(image, 0x97000, d.e);
  put_bytes(image, 0x97800, d.f);
  return image;
}

// The theme file built from the data it is made of.
inline ByteVector expected_file(const ThemeData& d) {
  ByteVector file = {'G', 'T', 'H', 'M'};
  file.insert(file.end(), d.a.begin(), d.a.end());
  file.insert(file.end(), d.b.begin(), d.b.end());
  file.insert(file.end(), d.c_product.begin(), d.c_product.end());
  file.insert(file.end(), d.d_product.begin(), d.d_product.end());
  for (std::size_t i = 0; i < d.e.size(); i += 2) {
    file.push_back(d.e[i + 1]);
    file.push_back(d.e[i]);
  }
  file.insert(file.end(), d.f.begin(), d.f.end());
  return file;
}

inline const char kExactThemeOutput[] =
    "\nWriting theme as \"themea.gvt\"...\n\n"
    "  COMPRESSED DATA SIZE:   205 bytes\n"
    "  DECOMPRESSED DATA SIZE: 11392 bytes\n"
    "  RATIO:                  5557.1 %\n"
    "\n"
    "  COMPRESSED DATA SIZE:   72 bytes\n"
    "  DECOMPRESSED DATA SIZE: 4096 bytes\n"
    "  RATIO:                  5688.9 %\n"
    "\n";

}  // namespace gorv::test::themes
