#include "support/lz_literal_search.h"

namespace gorv::test {

namespace {

void put_bits(std::vector<std::uint8_t>& flags, unsigned value, int count) {
  for (int bit = count - 1; bit >= 0; --bit) flags.push_back((value >> bit) & 1u);
}

}  // namespace

LzTokens lz_encode_literal(std::span<const std::uint8_t> input) {
  LzTokens tokens;
  const std::size_t n = input.size();
  if (n > 0) {
    tokens.flags.push_back(1);
    tokens.data.push_back(input[0]);
  }
  std::size_t b = 1;
  while (b < n) {
    // Search: candidates from the farthest to the nearest.
    std::size_t e = 0;
    std::size_t d = 0xFFFF;
    bool search_ended = false;
    for (std::size_t i = b > 2047 ? b - 2047 : 0; i < b && !search_ended; ++i) {
      const std::size_t dc = b - i;
      std::size_t f = 0;
      std::size_t length = 255;
      for (; f <= 255; ++f) {
        if (b + f >= n) {
          length = f;
          search_ended = true;
          break;
        }
        if (input[i + (f % dc)] != input[b + f]) {
          length = f;
          break;
        }
      }
      if (length > e) {
        e = length;
        d = dc;
      } else if (length == e && dc < d) {
        d = dc;
      }
    }
    // Emit.
    const unsigned h = static_cast<unsigned>(d >> 8) & 7u;
    const auto low = static_cast<std::uint8_t>(d & 0xFF);
    if (e <= 1 || (e == 2 && d > 255)) {
      put_bits(tokens.flags, 1, 1);
      tokens.data.push_back(input[b]);
      b += 1;
    } else if (e == 2) {
      put_bits(tokens.flags, 0b000, 3);
      tokens.data.push_back(low);
      b += 2;
    } else if (e == 3 && d <= 255) {
      put_bits(tokens.flags, 0b001, 3);
      tokens.data.push_back(low);
      b += 3;
    } else if (e == 3) {
      put_bits(tokens.flags, 0b0100000 | h << 2, 7);
      tokens.data.push_back(low);
      b += 3;
    } else if (e == 4) {
      put_bits(tokens.flags, 0b0100001 | h << 2, 7);
      tokens.data.push_back(low);
      b += 4;
    } else if (e == 5) {
      put_bits(tokens.flags, 0b0100010 | h << 2, 7);
      tokens.data.push_back(low);
      b += 5;
    } else {
      put_bits(tokens.flags, 0b0100011 | h << 2, 7);
      tokens.data.push_back(low);
      tokens.data.push_back(static_cast<std::uint8_t>(e));
      b += e;
    }
  }
  put_bits(tokens.flags, 0b0100011, 7);
  tokens.data.push_back(0);
  tokens.data.push_back(0);
  while (tokens.flags.size() % 8 != 0) tokens.flags.push_back(0);
  return tokens;
}

}  // namespace gorv::test
