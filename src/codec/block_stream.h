// The block layout stream's bytes and fields, and what an entry of each
// block type carries after its X and Y fields. The decoder reads and the
// encoder writes by these; the type code's numberings are in
// rom/game_facts.h.
#pragma once

#include <cstdint>

namespace gorv {

// The mask of a field `bits` wide; a field of all ones is this value.
constexpr std::uint32_t block_field_mask(unsigned bits) {
  return (1u << bits) - 1;
}

// docs/formats/block-layout-stream.md, "Layout".
// Byte 0 is a marker (readers skip it), byte 1 the field widths: the X
// width in bits 7-4, the Y width in bits 3-0. The bit stream follows.
inline constexpr std::uint8_t kBlockStreamMarker = 0x40;
inline constexpr std::uint64_t kFieldWidthsOffset = 1;
inline constexpr std::uint64_t kBlockBitsOffset = 2;
inline constexpr unsigned kFieldWidthBits = 4;  // each of the two widths
inline constexpr unsigned kFieldWidthMask = block_field_mask(kFieldWidthBits);

// docs/formats/block-layout-stream.md, "Grammar".
// A group is a type code (kTypeCodeBits), its entries, and the group end:
// an X field of all ones. The end code (kBlockEndCode) ends the stream.
constexpr std::uint32_t block_group_end(unsigned x_width) {
  return block_field_mask(x_width);
}

// docs/formats/block-layout-stream.md, "Field widths by map size".
// The fewest bits a writer gives X and Y fields, and the most. Each doubling
// of the columns (from 32) or rows (from 16) takes one more.
inline constexpr unsigned kMinXWidth = 5;
inline constexpr unsigned kMaxXWidth = 10;
inline constexpr unsigned kMinYWidth = 4;
inline constexpr unsigned kMaxYWidth = 9;

// docs/formats/block-layout-stream.md, "Payloads by block type".
// The run field: n further squares, then the direction.
inline constexpr unsigned kRunCountBits = 4;
inline constexpr unsigned kDirectionBits = 1;
inline constexpr unsigned kRunRight = 0;  // head + 1, head + 2, ...
inline constexpr unsigned kRunDown = 1;   // head + cols, head + 2 × cols, ...
// Block type 0x03: n (kRepeatCountBits), direction, d1, d3 (kRepeatD3Bits),
// d2, d4. Block type 0x04: d1, d2, d4 (kDataD4Bits), d3. The other data
// fields are whole bytes.
inline constexpr unsigned kRepeatCountBits = 3;
inline constexpr unsigned kRepeatD3Bits = 3;
inline constexpr unsigned kDataD4Bits = 1;
inline constexpr unsigned kDataByteBits = 8;
inline constexpr std::uint8_t kRepeatD3Mask = block_field_mask(kRepeatD3Bits);
inline constexpr std::uint8_t kDataD4Mask = block_field_mask(kDataD4Bits);

enum class Payload {
  kRun,         // run field
  kRunValues,   // run field, then n + 1 values of `value_bits` bits (d1)
  kRepeatData,  // n, direction, d1, d3, d2, d4
  kData,        // d1, d2, d4, d3; one square
  kNone,        // nothing; one square
  kUnhandled,   // a block type the tool does not handle: nothing is read
};

struct BlockTypeFormat {
  Payload payload;
  unsigned value_bits;  // kRunValues only
};

// The format of block type `block_type` (the type code without its variant bit).
constexpr BlockTypeFormat block_type_format(unsigned block_type) {
  switch (block_type) {
    case 0x00:
    case 0x02:
    case 0x05:
    case 0x06:
    case 0x07:
    case 0x09:
      return {Payload::kRun, 0};
    case 0x01:
      return {Payload::kRunValues, 5};
    case 0x0A:
    case 0x0C:
      return {Payload::kRunValues, 4};
    case 0x10:
      return {Payload::kRunValues, 3};
    case 0x03:
      return {Payload::kRepeatData, 0};
    case 0x04:
      return {Payload::kData, 0};
    case 0x0B:
      return {Payload::kNone, 0};
    default:
      return {Payload::kUnhandled, 0};
  }
}

}  // namespace gorv
