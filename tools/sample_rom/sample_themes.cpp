#include <cstdint>
#include <vector>

#include "codec/lz_encoder.h"
#include "sample_rom/sample_rom.h"

#include "rom/rom_image.h"

namespace gorv::sample {

namespace {

using ByteVector = std::vector<std::uint8_t>;

// The theme pointer area and where its tables go.
constexpr std::uint32_t kThemeArea = 0x7B018;
constexpr std::uint32_t kPackedTilesTable = 0x7B100;   // slot 0x7B018
constexpr std::uint32_t kPackedBlocksTable = 0x7B140;  // slot 0x7B01C
constexpr std::uint32_t kWordsTable = 0x7B180;         // slot 0x7B020
constexpr std::uint32_t kHeadOffsets = 0x7B1C0;        // slot 0x7B028, 16-bit
constexpr std::uint32_t kShortOffsets = 0x7B1E0;       // slot 0x7B02C, 16-bit
constexpr std::uint32_t kByteTable = 0x7B200;          // slot 0x7B030
constexpr std::uint32_t kHeadPointers = 0x7B240;       // reached through kHeadOffsets
constexpr std::uint32_t kShortPointers = 0x7B280;      // reached through kShortOffsets
constexpr std::uint32_t kSectionsStart = 0x80000;

constexpr std::size_t kTileBytes = 0x2C80;
constexpr std::size_t kBlockBytes = 0x1000;

// 30 bytes: fifteen colour-like words.
ByteVector head_block(unsigned t) {
  ByteVector bytes;
  for (unsigned i = 0; i < 15; ++i) {
    const unsigned word = ((i * 2 + t) & 0xE) << 8 | ((i * 3 + t * 5) & 0xE) << 4 | (i * t & 0xE);
    bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    bytes.push_back(static_cast<std::uint8_t>(word));
  }
  return bytes;
}

// 16 bytes.
ByteVector short_block(unsigned t) {
  ByteVector bytes;
  for (unsigned i = 0; i < 16; ++i) bytes.push_back(static_cast<std::uint8_t>(t * 0x10 + i));
  return bytes;
}

// 8x8 tiles of 4-bit pixels, drawn from a dozen stripe and checker shapes.
ByteVector tile_pixels(unsigned t) {
  ByteVector bytes(kTileBytes);
  for (std::size_t i = 0; i < kTileBytes; ++i) {
    const unsigned tile = static_cast<unsigned>(i / 32), row = i / 4 % 8, pair = i % 4;
    const unsigned shape = (tile * 5 + t) % 12;
    unsigned left, right;
    if (shape < 4) {
      left = right = (row + shape + t) % 16;
    } else if (shape < 8) {
      left = (row + pair) % 2 != 0 ? shape : t;
      right = (row + pair) % 2 != 0 ? t : shape;
    } else {
      left = pair * 2 + t % 4;
      right = (shape + row / 2) % 16;
    }
    bytes[i] = static_cast<std::uint8_t>(left << 4 | right);
  }
  return bytes;
}

// 2048 big-endian words of block references.
ByteVector block_words(unsigned t) {
  ByteVector bytes;
  for (unsigned i = 0; i < kBlockBytes / 2; ++i) {
    const unsigned word = (t << 12) | ((i / 4) % 64) << 2 | (i % 4);
    bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    bytes.push_back(static_cast<std::uint8_t>(word));
  }
  return bytes;
}

// 1024 big-endian words.
ByteVector table_words(unsigned t) {
  ByteVector bytes;
  for (unsigned i = 0; i < 1024; ++i) {
    const unsigned word = t << 12 | (i * 7 & 0x0FFF);
    bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    bytes.push_back(static_cast<std::uint8_t>(word));
  }
  return bytes;
}

// 256 bytes.
ByteVector table_bytes(unsigned t) {
  ByteVector bytes;
  for (unsigned i = 0; i < 256; ++i) bytes.push_back(static_cast<std::uint8_t>(i ^ (t * 0x11)));
  return bytes;
}

// Places `bytes` at `at` (kept even) and returns where they went. All ten
// themes end well before kSectionsEnd (the tests check it).
std::uint32_t place(ByteVector& rom, std::uint32_t& at, const ByteVector& bytes) {
  at = (at + 1) & ~1u;
  const std::uint32_t where = at;
  std::copy(bytes.begin(), bytes.end(), rom.begin() + where);
  at += static_cast<std::uint32_t>(bytes.size());
  return where;
}

}  // namespace

// Themes 1 to A: the tables behind the theme pointer area, and each theme's
// six sections in 0x80000-0x98FFF. Theme 0's entries stay zero.
void add_themes(std::vector<std::uint8_t>& rom) {
  set_be32(rom, kThemeArea + 0x00, kPackedTilesTable);
  set_be32(rom, kThemeArea + 0x04, kPackedBlocksTable);
  set_be32(rom, kThemeArea + 0x08, kWordsTable);
  set_be32(rom, kThemeArea + 0x10, kHeadOffsets);
  set_be32(rom, kThemeArea + 0x14, kShortOffsets);
  set_be32(rom, kThemeArea + 0x18, kByteTable);

  std::uint32_t at = kSectionsStart;
  for (unsigned t = 1; t <= 0xA; ++t) {
    const std::uint32_t head_pointer = kHeadPointers + 4 * t;
    const std::uint32_t short_pointer = kShortPointers + 4 * t;
    set_be16(rom, kHeadOffsets + 2 * t, static_cast<std::uint16_t>(head_pointer - kThemeArea));
    set_be16(rom, kShortOffsets + 2 * t, static_cast<std::uint16_t>(short_pointer - kThemeArea));
    set_be32(rom, head_pointer, place(rom, at, head_block(t)));
    set_be32(rom, short_pointer, place(rom, at, short_block(t)));
    set_be32(rom, kPackedTilesTable + 4 * t, place(rom, at, lz_compress(tile_pixels(t))));
    set_be32(rom, kPackedBlocksTable + 4 * t, place(rom, at, lz_compress(block_words(t))));
    set_be32(rom, kWordsTable + 4 * t, place(rom, at, table_words(t)));
    set_be32(rom, kByteTable + 4 * t, place(rom, at, table_bytes(t)));
  }
}

}  // namespace gorv::sample
