#include "support/bit_fields.h"

namespace gorv::test {

void put_field(BitFields& fields, std::uint32_t value, unsigned count) {
  while (count-- > 0) {
    if (fields.bits == 0) fields.bytes.push_back(0);
    const unsigned bit = (value >> count) & 1u;
    fields.bytes.back() = static_cast<std::uint8_t>(fields.bytes.back() | bit << (7 - fields.bits));
    fields.bits = (fields.bits + 1) % 8;
  }
}

}  // namespace gorv::test
