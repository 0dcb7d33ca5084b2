// The BPS number encoding, shared by the serializer, the creator's price
// model and the reader in bps_apply.cpp. See bps.h for the format.
#pragma once

#include <cstdint>
#include <vector>

namespace gorv {

inline void append_bps_number(std::vector<std::uint8_t>& out, std::uint64_t value) {
  for (;;) {
    const auto low = static_cast<std::uint8_t>(value & 0x7F);
    value >>= 7;
    if (value == 0) {
      out.push_back(static_cast<std::uint8_t>(0x80 | low));
      return;
    }
    out.push_back(low);
    --value;
  }
}

// Bytes that append_bps_number writes for `value`.
constexpr unsigned bps_number_size(std::uint64_t value) {
  unsigned size = 1;
  while ((value >>= 7) != 0) {
    --value;
    ++size;
  }
  return size;
}

// The number after a copy action that moves a cursor from `from` to `to`.
constexpr std::uint64_t bps_cursor_move(std::int64_t from, std::int64_t to) {
  return to >= from ? static_cast<std::uint64_t>(to - from) << 1
                    : static_cast<std::uint64_t>(from - to) << 1 | 1;
}

// The number that starts an action.
constexpr std::uint64_t bps_action_number(std::uint64_t length, unsigned kind) {
  return (length - 1) << 2 | kind;
}

}  // namespace gorv
