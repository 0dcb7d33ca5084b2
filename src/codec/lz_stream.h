// The LZ stream's layout and token codes, as the encoder writes them and the
// decoder reads them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gorv {

// docs/formats/lz-stream.md, "Layout".
// K, the flag area's length in bytes (BE16); the flag area and the data
// area follow it.
inline constexpr std::size_t kLzFlagLengthSize = 2;

// docs/formats/lz-stream.md, "Tokens".
// Code bits in stream order (a token's first code bit is its highest here):
//   literal                           1                     data: v
//   short back-reference              0 0 L                 data: d
//   long back-reference               0 1 h2 h1 h0 c1 c0    data: low
//   long back-reference, length byte  0 1 h2 h1 h0 1 1      data: low, n
inline constexpr unsigned kLzLiteral = 0b1;  // the literal's one code bit
inline constexpr unsigned kLzShort = 0b00;   // a short back-reference's first two code bits
inline constexpr unsigned kLzLong = 0b01;    // a long back-reference's first two code bits
inline constexpr unsigned kLzLiteralBits = 1;
inline constexpr unsigned kLzKindBits = 2;   // kLzShort, kLzLong
inline constexpr unsigned kLzShortBits = 3;  // 0 0 L
inline constexpr unsigned kLzLongBits = 7;   // 0 1 h2 h1 h0 c1 c0
inline constexpr unsigned kLzHighBits = 3;   // h: bits 10-8 of a long distance
inline constexpr unsigned kLzHighMask = (1u << kLzHighBits) - 1;
inline constexpr unsigned kLzCountBits = 2;   // c
inline constexpr unsigned kLzLengthByte = 3;  // c = 3: the length n is a data byte
// n = 2 + L for a short back-reference, 3 + c for a long one without the
// length byte.
inline constexpr std::size_t kLzShortMinLength = 2;
inline constexpr std::size_t kLzShortMaxLength = kLzShortMinLength + 1;
inline constexpr std::size_t kLzLongMinLength = 3;
inline constexpr std::size_t kLzLongMaxLength = kLzLongMinLength + kLzLengthByte - 1;
// A short distance is one data byte; a long one is h × 256 + low.
inline constexpr std::size_t kLzMaxShortDistance = 0xFF;
inline constexpr std::size_t kLzMaxDistance = (std::size_t{kLzHighMask} << 8) | 0xFF;  // 2047
inline constexpr std::size_t kLzMaxLength = 0xFF;  // the length byte

// The code bits of a short back-reference with L = `extra`, the first code
// bit highest.
constexpr unsigned lz_short_code(unsigned extra) {
  return kLzShort << (kLzShortBits - kLzKindBits) | extra;
}

// The code bits of a long back-reference with distance bits 10-8 `high` and
// length code `count`, the first code bit highest.
constexpr unsigned lz_long_code(unsigned high, unsigned count) {
  return kLzLong << (kLzHighBits + kLzCountBits) | high << kLzCountBits | count;
}

// docs/formats/lz-stream.md, "The end token".
// A long back-reference with length byte, distance 0 and length 0 (data
// bytes 00 00): it appends nothing.
inline constexpr unsigned kLzEndToken = lz_long_code(0, kLzLengthByte);

// docs/formats/lz-stream.md, "Decoding, and the quirks a compatible decoder
// must keep".
// Without a limit, decoding stops after this many bytes.
inline constexpr std::uint32_t kLzMaxUnlimitedSize = 0xFFFF;

}  // namespace gorv
