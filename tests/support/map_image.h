// A test ROM image holding maps placed piece by piece, and the map files
// the tool makes of them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "support/bit_fields.h"

namespace gorv::test::maps {

using ByteVector = std::vector<std::uint8_t>;

inline void place(ByteVector& image, std::size_t at, const ByteVector& bytes) {
  if (image.size() < at + bytes.size()) image.resize(at + bytes.size(), 0);
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

inline void be16(ByteVector& v, unsigned value) {
  v.push_back(static_cast<std::uint8_t>(value >> 8));
  v.push_back(static_cast<std::uint8_t>(value));
}
inline void be32(ByteVector& v, std::uint32_t value) {
  be16(v, value >> 16);
  be16(v, value & 0xFFFF);
}
inline void le16(ByteVector& v, std::size_t value) {
  v.push_back(static_cast<std::uint8_t>(value));
  v.push_back(static_cast<std::uint8_t>(value >> 8));
}

// An LZ stream of literals only: every flag bit 1, then the bytes.
inline ByteVector literal_stream(const ByteVector& bytes) {
  ByteVector stream;
  const std::size_t k = (bytes.size() + 7) / 8;
  be16(stream, static_cast<unsigned>(k));
  stream.insert(stream.end(), k, 0xFF);
  stream.insert(stream.end(), bytes.begin(), bytes.end());
  return stream;
}

// The block stream of a map without blocks (X width 5, Y width 4).
inline const ByteVector kNoBlocks = {0x40, 0x54, 0xFC};

// An enemy layout at `at` with its list right behind the header.
inline ByteVector enemy_layout(std::uint32_t at, const ByteVector& art_load, std::uint8_t end_low,
                               std::uint8_t marker, const ByteVector& entries) {
  ByteVector e;
  be32(e, at + 16);
  be32(e, 0x12345678);
  e.insert(e.end(), art_load.begin(), art_load.end());
  e.push_back(0x7D);
  e.push_back(end_low);
  e.push_back(marker);
  e.push_back(static_cast<std::uint8_t>(entries.size() / 8));
  e.insert(e.end(), entries.begin(), entries.end());
  return e;
}

inline const ByteVector kArtLoad = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};

// One map of a test image: its number, the first twelve header bytes, its
// first three layouts and the parts of its enemy layout, placed by `add_map`.
struct TestMap {
  std::uint8_t number = 0;
  ByteVector head;  // map header bytes 0 to 11
  ByteVector tiles, blocks, background;
  ByteVector art_load = kArtLoad;
  std::uint8_t enemy_end_low = 0x00;  // of art_load[3], 0x7D00 when right
  std::uint8_t enemy_marker = 0x80;
  ByteVector enemy_entries;  // 8 bytes each
};

// Places the map's header at `header_at` and its layouts from `data_at` on
// (each at an even address), and points the map header table at it.
inline void add_map(ByteVector& image, const TestMap& m, std::uint32_t header_at,
                    std::uint32_t data_at) {
  const std::uint32_t table_entry = 0x40342 + 2u * m.number;
  ByteVector offset;
  be16(offset, header_at - 0x4033A);
  place(image, table_entry, offset);
  ByteVector header = m.head;
  std::uint32_t at = data_at;
  for (const ByteVector* layout : {&m.tiles, &m.blocks, &m.background}) {
    be32(header, at);
    place(image, at, *layout);
    at += static_cast<std::uint32_t>(layout->size() + 1) & ~1u;
  }
  be32(header, at);
  place(image, at, enemy_layout(at, m.art_load, m.enemy_end_low, m.enemy_marker, m.enemy_entries));
  place(image, header_at, header);
}

inline ByteVector base_image() {
  return ByteVector(0x60000, 0);
}

// First twelve header bytes of a map.
inline ByteVector head(std::uint8_t width, std::uint8_t size_byte, std::uint8_t attribute,
                       std::uint8_t theme_byte, unsigned sx, unsigned sy, unsigned ex,
                       unsigned ey) {
  ByteVector h = {width, size_byte, attribute, theme_byte};
  be16(h, sx);
  be16(h, sy);
  be16(h, ex);
  be16(h, ey);
  return h;
}

// The expected map file, put together from its parts.
inline ByteVector map_file(const ByteVector& head12, const ByteVector& tiles,
                           const ByteVector& blocks, const ByteVector& background,
                           const ByteVector& enemy) {
  ByteVector file = {'G', 'M', 'A', 'P', 0x80, 0x00};
  file.insert(file.end(), head12.begin(), head12.begin() + 4);
  for (std::size_t i = 4; i < 12; i += 2) {
    file.push_back(head12[i + 1]);
    file.push_back(head12[i]);
  }
  std::size_t at = 28;
  le16(file, at);
  for (const ByteVector* section : {&tiles, &blocks, &background, &enemy}) {
    at += section->size();
    le16(file, at);
  }
  for (const ByteVector* section : {&tiles, &blocks, &background, &enemy})
    file.insert(file.end(), section->begin(), section->end());
  return file;
}

inline ByteVector counting(std::size_t n, std::uint8_t first, std::uint8_t step = 1) {
  ByteVector bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(first + i * step);
  return bytes;
}

inline std::string size_report(unsigned compressed, unsigned size, const char* ratio) {
  return "  COMPRESSED DATA SIZE:   " + std::to_string(compressed) +
         " bytes\n  DECOMPRESSED DATA SIZE: " + std::to_string(size) +
         " bytes\n  RATIO:                  " + ratio + " %\n\n";
}

// A 1 x 1 screen map without blocks whose tiles are `tiles` as literals.
inline TestMap simple_map(std::uint8_t number, std::uint8_t attribute, std::uint8_t theme_byte,
                          const ByteVector& tiles) {
  TestMap m;
  m.number = number;
  m.head = head(1, 1, attribute, theme_byte, 0x10, 0x20, 0x30, 0x40);
  m.tiles = literal_stream(tiles);
  m.blocks = kNoBlocks;
  return m;
}

inline const ByteVector kEmptyGrid = {0x7F, 0x7F, 0x17};  // 280 empty squares
inline const std::string kLiteralReport = size_report(317, 280, "88.3");

inline std::string writing(const char* name) {
  return std::string("\nWriting map as \"") + name + "\"...\n\n";
}

// A 1 x 1 screen map with blocks of four type codes: 0x00 on squares 43 to
// 45, 0x23 (block type 0x03 with the variant bit) on squares 100 and 120,
// 0x01 on squares 10 and 11 and one entry of the unhandled type code 0x28.
struct BlockSample {
  ByteVector stream;
  std::uint64_t unhandled_position = 0;  // relative to the stream
};

inline BlockSample block_sample() {
  BitFields b;
  put_field(b, 0x40, 8);
  put_field(b, 0x54, 8);
  put_field(b, 0x00, 6);  // type code 0x00: X 3, Y 2, two more to the right
  put_field(b, 3, 5);
  put_field(b, 2, 4);
  put_field(b, 0x04, 5);
  put_field(b, 0x1F, 5);
  put_field(b, 0x23, 6);  // type code 0x23: X 0, Y 5, one more below
  put_field(b, 0, 5);
  put_field(b, 5, 4);
  put_field(b, 1, 3);
  put_field(b, 1, 1);
  put_field(b, 0xAB, 8);  // d1
  put_field(b, 5, 3);     // d3
  put_field(b, 0xCD, 8);  // d2
  put_field(b, 0xEF, 8);  // d4
  put_field(b, 0x1F, 5);
  put_field(b, 0x01, 6);  // type code 0x01: X 10, Y 0, one more to the right
  put_field(b, 10, 5);
  put_field(b, 0, 4);
  put_field(b, 0x02, 5);
  put_field(b, 7, 5);
  put_field(b, 9, 5);
  put_field(b, 0x1F, 5);
  put_field(b, 0x28, 6);  // type code 0x28: X 1, Y 1, no payload
  put_field(b, 1, 5);
  put_field(b, 1, 4);
  BlockSample sample;
  sample.unhandled_position = b.bytes.size();  // the byte holding the last bit read, + 1
  put_field(b, 0x1F, 5);
  put_field(b, 0x3F, 6);
  sample.stream = b.bytes;
  return sample;
}

}  // namespace gorv::test::maps
