// Reads a map file's sections and checks that an imported ROM image holds
// them where its new level directory says, independently of the tool.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "codec/block_decoder.h"
#include "codec/lz_decoder.h"
#include "rom/output_buffer.h"
#include "support/report_shapes.h"
#include "support/temp_dir.h"

namespace gorv::test::imported {

namespace fs = std::filesystem;
using ByteVector = std::vector<std::uint8_t>;

inline std::uint32_t be32(const ByteVector& image, std::size_t at) {
  return static_cast<std::uint32_t>(image.at(at) << 24 | image.at(at + 1) << 16 |
                                    image.at(at + 2) << 8 | image.at(at + 3));
}
inline std::uint16_t be16(const ByteVector& image, std::size_t at) {
  return static_cast<std::uint16_t>(image.at(at) << 8 | image.at(at + 1));
}
inline std::size_t le16(const ByteVector& file, std::size_t at) {
  return file.at(at) | std::size_t{file.at(at + 1)} << 8;
}
inline ByteVector slice(const ByteVector& bytes, std::size_t from, std::size_t count) {
  EXPECT_LE(from + count, bytes.size());
  if (from + count > bytes.size()) return {};
  return ByteVector(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                    bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

// The four sections of a map file.
struct MapFile {
  ByteVector bytes;
  bool current = true;
  std::size_t tile = 0, block = 0, background = 0, enemy = 0, end = 0;
  ByteVector section(std::size_t from, std::size_t to) const {
    return slice(bytes, from, to - from);
  }
};

inline MapFile parse_map_file(ByteVector bytes) {
  MapFile f;
  f.bytes = std::move(bytes);
  f.current = (f.bytes.at(4) & 0x80) != 0;
  const std::size_t at = f.current ? 18 : 16;
  f.tile = le16(f.bytes, at);
  f.block = le16(f.bytes, at + 2);
  f.background = le16(f.bytes, at + 4);
  f.enemy = le16(f.bytes, at + 6);
  f.end = f.current ? le16(f.bytes, at + 8) : f.bytes.size();
  return f;
}

inline MapFile parse_map_file(const fs::path& path) {
  return parse_map_file(read_file(path));
}

// Squares of a block layout section: type byte (0x80 OR type code, or 0)
// and data bytes per square. In the earlier layout every square is a
// record, and type code 0x3F marks an empty one.
inline std::vector<std::array<std::uint8_t, 5>> section_squares(const ByteVector& section,
                                                                bool current = true) {
  std::vector<std::array<std::uint8_t, 5>> squares;
  for (std::size_t pos = 0; pos < section.size();) {
    const std::uint8_t b = section[pos];
    if (!current && pos + 5 <= section.size()) {
      if ((b & 0x3F) == 0x3F) {
        squares.push_back({0, 0, 0, 0, 0});
      } else {
        squares.push_back({static_cast<std::uint8_t>(0x80 | (b & 0x3F)), section[pos + 1],
                           section[pos + 2], section[pos + 3], section[pos + 4]});
      }
      pos += 5;
    } else if (b >= 0x80 && pos + 5 <= section.size()) {
      squares.push_back(
          {b, section[pos + 1], section[pos + 2], section[pos + 3], section[pos + 4]});
      pos += 5;
    } else {
      for (int k = 0; k <= b; ++k) squares.push_back({0, 0, 0, 0, 0});
      ++pos;
    }
  }
  return squares;
}

// A square the block layout can carry back: not the one behind a block of
// type 0x04 (it takes that square too) and not of type code 0x30, which no
// group writes.
inline bool carried(const std::vector<std::array<std::uint8_t, 5>>& squares, std::size_t i) {
  if ((squares[i][0] & 0x3F) == 0x30) return false;
  return i == 0 || squares[i - 1][0] == 0 || (squares[i - 1][0] & 0x1F) != 0x04;
}

// A square as far as the stream stores it: the type byte and the data bits
// of its block type (other data bytes are what earlier entries left there).
inline std::array<std::uint8_t, 5> stored(std::array<std::uint8_t, 5> square) {
  std::array<std::uint8_t, 5> masks = {0xFF, 0, 0, 0, 0};
  switch (square[0] & 0x1F) {
    case 0x01:
      masks = {0xFF, 0x1F, 0, 0, 0};
      break;
    case 0x0A:
    case 0x0C:
      masks = {0xFF, 0x0F, 0, 0, 0};
      break;
    case 0x10:
      masks = {0xFF, 0x07, 0, 0, 0};
      break;
    case 0x03:
      masks = {0xFF, 0xFF, 0xFF, 0x07, 0xFF};
      break;
    case 0x04:
      masks = {0xFF, 0xFF, 0xFF, 0xFF, 0x01};
      break;
    default:
      break;
  }
  if (square[0] == 0) masks = {0, 0, 0, 0, 0};
  for (std::size_t k = 0; k < 5; ++k) square[k] &= masks[k];
  return square;
}

inline std::uint16_t checksum_of(const ByteVector& image) {
  std::uint16_t sum = 0;
  for (std::size_t i = 0x200; i + 1 < image.size(); i += 2)
    sum = static_cast<std::uint16_t>(sum + be16(image, i));
  return sum;
}

// Checks the four layouts that the header image at `header` points to
// against the sections of map file `f`.
inline void expect_layouts_imported(const ByteVector& image, std::size_t header, const MapFile& f) {
  const std::uint8_t width = image[header];
  const auto grid = static_cast<std::uint16_t>(width * (image[header + 1] & 0x3F) * 280);
  const std::uint32_t tile = be32(image, header + 12), block = be32(image, header + 16),
                      background = be32(image, header + 20), enemy = be32(image, header + 24);
  for (std::uint32_t address : {tile, block, background, enemy}) EXPECT_EQ(0u, address % 2);

  // Tile layout: the stream expands to the section's grid-size bytes.
  OutputBuffer out;
  reset(out, 0);
  lz_decode(image, tile, grid, out);
  const ByteVector tiles(contents(out).begin(), contents(out).end());
  EXPECT_EQ(f.section(f.tile, f.tile + grid), slice(tiles, 0, grid));

  // Block layout: every square the format carries decodes as it was.
  reset(out, 0);
  test::decode_block_layout(image, block, width, grid, 0xFF, out);
  const auto before = section_squares(f.section(f.block, f.background), f.current);
  const auto after = section_squares(ByteVector(contents(out).begin(), contents(out).end()));
  ASSERT_EQ(before.size(), after.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (carried(before, i)) {
      EXPECT_EQ(stored(before[i]), stored(after[i])) << "square " << i;
    }
  }

  // Background layout: the section's bytes (a list goes back as a direct
  // list); nothing for theme 0 and themes 11 to 15.
  const unsigned theme = image[header + 3] & 0x0F;
  const ByteVector bg = f.section(f.background, f.enemy);
  if (theme == 0 || theme > 10) {
    EXPECT_EQ(background, enemy);
  } else {
    EXPECT_EQ(bg, slice(image, background, bg.size()));
  }

  // Enemy layout: its own list behind the header, the entries as in the
  // file; an empty section (the image's layout could not be read) gives an
  // empty list.
  ByteVector en = f.section(f.enemy, f.end);
  if (en.empty()) en.assign(7, 0);
  EXPECT_EQ(enemy + 16, be32(image, enemy));
  EXPECT_EQ(0u, be32(image, enemy + 4));
  EXPECT_EQ(slice(en, 0, 6), slice(image, enemy + 8, 6));
  EXPECT_EQ((ByteVector{0x7D, 0x00, 0x80}), slice(image, enemy + 14, 3));
  EXPECT_EQ(slice(en, 6, en.size() - 6), slice(image, enemy + 17, en.size() - 6));
}

}  // namespace gorv::test::imported
