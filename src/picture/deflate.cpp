#include "picture/deflate.h"

#include <array>
#include <bit>
#include <cstring>

#include "common/byte_order.h"
#include "common/bytes.h"

namespace gorv {

namespace {

constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 258;
constexpr std::size_t kWindow = 32768;
constexpr std::size_t kPixelBytes = 3;  // RGB: the previous pixel lies 3 bytes back
constexpr unsigned kHashBits = 15;

// Writes bits least significant first, as deflate packs them.
struct BitWriter {
  std::vector<std::uint8_t> bytes;
  std::uint64_t pending = 0;
  unsigned count = 0;

  void put(std::uint32_t bits, unsigned n) {
    pending |= std::uint64_t{bits} << count;
    count += n;
    while (count >= 8) {
      bytes.push_back(static_cast<std::uint8_t>(pending));
      pending >>= 8;
      count -= 8;
    }
  }
  void flush() {
    if (count > 0) put(0, 8 - count);
  }
};

constexpr std::uint32_t reversed(std::uint32_t code, unsigned n) {
  std::uint32_t r = 0;
  for (unsigned i = 0; i < n; ++i) r |= ((code >> i) & 1u) << (n - 1 - i);
  return r;
}

struct Code {
  std::uint16_t bits = 0;  // already reversed for writing
  std::uint8_t length = 0;
};

// The fixed literal/length code (RFC 1951, 3.2.6).
constexpr std::array<Code, 288> kFixedCodes = [] {
  std::array<Code, 288> codes{};
  for (unsigned s = 0; s < 288; ++s) {
    std::uint32_t code = 0;
    unsigned n = 0;
    if (s < 144) {
      code = 0x30 + s, n = 8;
    } else if (s < 256) {
      code = 0x190 + (s - 144), n = 9;
    } else if (s < 280) {
      code = s - 256, n = 7;
    } else {
      code = 0xC0 + (s - 280), n = 8;
    }
    codes[s] = {static_cast<std::uint16_t>(reversed(code, n)), static_cast<std::uint8_t>(n)};
  }
  return codes;
}();

void put_symbol(BitWriter& out, unsigned symbol) {
  out.put(kFixedCodes[symbol].bits, kFixedCodes[symbol].length);
}

// Length 3 to 258: symbols 257 to 285 with 0 to 5 extra bits.
void put_length(BitWriter& out, unsigned length) {
  if (length == kMaxMatch) return put_symbol(out, 285);
  const unsigned x = length - 3;
  if (x < 8) return put_symbol(out, 257 + x);
  const unsigned n = static_cast<unsigned>(std::bit_width(x)) - 1;
  put_symbol(out, 257 + 4 * (n - 1) + ((x >> (n - 2)) & 3u));
  out.put(x & ((1u << (n - 2)) - 1), n - 2);
}

// Distance 1 to 32,768: five-bit codes 0 to 29 with 0 to 13 extra bits.
void put_distance(BitWriter& out, unsigned distance) {
  const unsigned x = distance - 1;
  if (x < 4) return out.put(reversed(x, 5), 5);
  const unsigned n = static_cast<unsigned>(std::bit_width(x)) - 1;
  out.put(reversed(2 * n + ((x >> (n - 1)) & 1u), 5), 5);
  out.put(x & ((1u << (n - 1)) - 1), n - 1);
}

std::uint32_t load32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

std::uint32_t adler32(std::span<const std::uint8_t> data) {
  std::uint32_t a = 1, b = 0;
  std::size_t i = 0;
  while (i < data.size()) {
    // 5,552 bytes is the most that cannot overflow b before the modulo.
    const std::size_t end = std::min(data.size(), i + 5552);
    for (; i < end; ++i) {
      a += data[i];
      b += a;
    }
    a %= 65521;
    b %= 65521;
  }
  return b << 16 | a;
}

}  // namespace

std::vector<std::uint8_t> zlib_compress_fast(std::span<const std::uint8_t> data) {
  BitWriter out;
  out.bytes = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary
  out.bytes.reserve(data.size() / 8 + 64);
  out.put(1, 1);  // the last block
  out.put(1, 2);  // fixed Huffman codes

  // Positions + 1 of the last place each four-byte hash was seen; 0: none.
  std::vector<std::uint32_t> last(std::size_t{1} << kHashBits, 0);
  const std::uint8_t* bytes = data.data();
  const std::size_t size = data.size();
  std::size_t i = 0;
  while (i < size) {
    std::size_t best = 0, distance = 0;
    if (i + 4 <= size) {
      const std::size_t most = std::min(kMaxMatch, size - i);
      if (i >= kPixelBytes) {
        best = common_prefix(bytes + i - kPixelBytes, bytes + i, most);
        distance = kPixelBytes;
      }
      const std::uint32_t h = (load32(bytes + i) * 2654435761u) >> (32 - kHashBits);
      const std::size_t seen = last[h];
      last[h] = static_cast<std::uint32_t>(i + 1);
      if (seen != 0 && i - (seen - 1) <= kWindow && best < most) {
        const std::size_t n = common_prefix(bytes + seen - 1, bytes + i, most);
        if (n > best) best = n, distance = i - (seen - 1);
      }
    }
    if (best >= kMinMatch) {
      put_length(out, static_cast<unsigned>(best));
      put_distance(out, static_cast<unsigned>(distance));
      i += best;
    } else {
      put_symbol(out, bytes[i]);
      ++i;
    }
  }
  put_symbol(out, 256);
  out.flush();
  append_be32(out.bytes, adler32(data));
  return std::move(out.bytes);
}

}  // namespace gorv
