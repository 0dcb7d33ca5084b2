// A test-only writer of LZ streams, token by token, so tests can place
// streams whose products they know without going through the encoder.
#pragma once

#include <cstdint>
#include <vector>

namespace gorv::test {

struct LzStreamWriter {
  std::vector<std::uint8_t> bits;  // code bits, one element each
  std::vector<std::uint8_t> data;  // data-area bytes
};

// A literal token: code 1, one data byte.
void lz_literal(LzStreamWriter& writer, std::uint8_t value);

// A long back-reference with length byte: code 0 1 h2 h1 h0 1 1, then the
// low byte of `distance` (0 to 2047) and `length` (0 to 255).
void lz_copy(LzStreamWriter& writer, std::uint16_t distance, std::uint8_t length);

// The whole stream: flag-area length, flag bytes, data bytes, with the end
// token (distance 0, length 0) and the flag area padded with 0 bits.
std::vector<std::uint8_t> lz_stream(LzStreamWriter writer);

// A stream whose product is `pattern` repeated to `size` bytes: the pattern
// as literals, then copies of at most 255 bytes at the pattern's distance.
// With `overrun` set, the last copy is 255 bytes long and may reach past
// `size`; the product is then the pattern repeated to the copies' end.
std::vector<std::uint8_t> lz_pattern_stream(const std::vector<std::uint8_t>& pattern,
                                            std::size_t size, bool overrun = false);

// The product of lz_pattern_stream with the same arguments.
std::vector<std::uint8_t> pattern_product(const std::vector<std::uint8_t>& pattern,
                                          std::size_t size, bool overrun = false);

}  // namespace gorv::test
