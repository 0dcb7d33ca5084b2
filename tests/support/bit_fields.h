// Builds bit-packed test streams field by field, most significant bit
// first, eight bits to a byte with the first bit in bit 7.
#pragma once

#include <cstdint>
#include <vector>

namespace gorv::test {

struct BitFields {
  std::vector<std::uint8_t> bytes;  // the last byte's unused bits are 0
  unsigned bits = 0;  // bits used in the last byte, 0 to 7 (0: a fresh byte comes next)
};

// Appends `value` as a field of `count` bits.
void put_field(BitFields& fields, std::uint32_t value, unsigned count);

}  // namespace gorv::test
