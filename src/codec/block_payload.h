// What an entry of each block type carries in a block layout stream after
// its X and Y fields. The decoder reads and the encoder writes by this one
// table.
#pragma once

namespace gorv {

enum class Payload {
  kRun,         // run field: n (4 bits), direction (1 bit)
  kRunValues,   // run field, then n + 1 values of `value_bits` bits (d1)
  kRepeatData,  // n (3 bits), direction, d1 (8), d3 (3), d2 (8), d4 (8)
  kData,        // d1 (8), d2 (8), d4 (1), d3 (8); one square
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

// Block type 0x03: one set of data bytes for a whole run.
constexpr bool block_format_is_repeat_data(unsigned block_type) {
  return block_type_format(block_type).payload == Payload::kRepeatData;
}

}  // namespace gorv
