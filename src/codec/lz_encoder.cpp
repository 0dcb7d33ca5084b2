#include "codec/lz_encoder.h"

#include <algorithm>
#include <cstddef>

namespace gorv {

namespace {

constexpr std::size_t kWindow = 2047;
constexpr std::size_t kMaxLength = 255;
// A match is compared over at most 256 bytes; 256 agreeing bytes still give
// the capped length 255.
constexpr std::size_t kCompareSpan = 256;

struct Match {
  std::size_t length = 0;
  std::size_t distance = 0;
};

void put_bits(std::vector<std::uint8_t>& flags, unsigned value, int count) {
  for (int bit = count - 1; bit >= 0; --bit) flags.push_back((value >> bit) & 1u);
}

// Positions that share their first two bytes, linked from each position to
// the nearest earlier one: prev[p] is the previous start of the same pair.
std::vector<std::int32_t> pair_chains(std::span<const std::uint8_t> input) {
  std::vector<std::int32_t> prev(input.size(), -1);
  std::vector<std::int32_t> last(65536, -1);
  for (std::size_t p = 0; p + 1 < input.size(); ++p) {
    const unsigned key = static_cast<unsigned>(input[p]) << 8 | input[p + 1];
    prev[p] = last[key];
    last[key] = static_cast<std::int32_t>(p);
  }
  return prev;
}

// The best match at b: the longest within the window, the nearest among
// equally long ones; but where candidates match up to the end of the input
// (possible only when at most 255 bytes remain), the farthest of those.
// Only candidates that share the first two bytes can give a match of 2 or
// more; shorter best matches are emitted as literals whatever their
// distance, so they need not be found.
Match best_match(std::span<const std::uint8_t> input, const std::vector<std::int32_t>& prev,
                 std::size_t b) {
  Match best;
  const std::size_t remaining = input.size() - b;
  if (remaining < 2) return best;
  const std::size_t span = std::min(remaining, kCompareSpan);
  const bool end_in_reach = remaining <= kMaxLength;
  std::size_t farthest_to_end = 0;  // distance of the farthest candidate reaching the end
  const std::uint8_t* target = input.data() + b;

  for (std::int32_t i = prev[b]; i >= 0; i = prev[static_cast<std::size_t>(i)]) {
    const std::size_t distance = b - static_cast<std::size_t>(i);
    if (distance > kWindow) break;
    const std::uint8_t* candidate = input.data() + i;
    // A candidate that differs at the best length can neither be longer nor
    // reach the end of the input.
    if (best.length >= 2 && best.length < span && candidate[best.length] != target[best.length])
      continue;
    std::size_t length = 0;
    while (length < span && candidate[length] == target[length]) ++length;
    if (end_in_reach && length == remaining) farthest_to_end = distance;
    length = std::min(length, kMaxLength);
    if (length > best.length) best = {length, distance};
    if (!end_in_reach && best.length == kMaxLength) break;  // nothing nearer can beat it
  }
  if (farthest_to_end != 0) best = {remaining, farthest_to_end};
  return best;
}

}  // namespace

LzTokens lz_encode(std::span<const std::uint8_t> input) {
  LzTokens tokens;
  if (!input.empty()) {
    const auto prev = pair_chains(input);
    tokens.flags.push_back(1);
    tokens.data.push_back(input[0]);
    std::size_t b = 1;
    while (b < input.size()) {
      const Match m = best_match(input, prev, b);
      const unsigned high = static_cast<unsigned>(m.distance >> 8) & 7u;
      const auto low = static_cast<std::uint8_t>(m.distance & 0xFF);
      if (m.length < 2 || (m.length == 2 && m.distance > 255)) {
        tokens.flags.push_back(1);
        tokens.data.push_back(input[b]);
        b += 1;
        continue;
      }
      if (m.length <= 3 && m.distance <= 255) {
        put_bits(tokens.flags, m.length == 2 ? 0b000 : 0b001, 3);
        tokens.data.push_back(low);
      } else if (m.length <= 5) {
        put_bits(tokens.flags, 0b01u << 5 | high << 2 | static_cast<unsigned>(m.length - 3), 7);
        tokens.data.push_back(low);
      } else {
        put_bits(tokens.flags, 0b01u << 5 | high << 2 | 0b11u, 7);
        tokens.data.push_back(low);
        tokens.data.push_back(static_cast<std::uint8_t>(m.length));
      }
      b += m.length;
    }
  }
  // The end token: a long reference with length byte, distance 0, length 0.
  put_bits(tokens.flags, 0b0100011, 7);
  tokens.data.push_back(0);
  tokens.data.push_back(0);
  while (tokens.flags.size() % 8 != 0) tokens.flags.push_back(0);
  return tokens;
}

std::vector<std::uint8_t> lz_pack(const LzTokens& tokens) {
  const std::size_t flag_bytes = tokens.flags.size() / 8;
  std::vector<std::uint8_t> stream;
  stream.reserve(2 + flag_bytes + tokens.data.size());
  stream.push_back(static_cast<std::uint8_t>(flag_bytes >> 8));
  stream.push_back(static_cast<std::uint8_t>(flag_bytes));
  for (std::size_t j = 0; j < flag_bytes; ++j) {
    std::uint8_t byte = 0;
    for (std::size_t k = 0; k < 8; ++k)
      byte = static_cast<std::uint8_t>(byte << 1 | tokens.flags[8 * j + k]);
    stream.push_back(byte);
  }
  stream.insert(stream.end(), tokens.data.begin(), tokens.data.end());
  return stream;
}

std::vector<std::uint8_t> lz_compress(std::span<const std::uint8_t> input) {
  return lz_pack(lz_encode(input));
}

}  // namespace gorv
