#include "codec/lz_encoder.h"

#include <algorithm>
#include <cstddef>

namespace gorv {

namespace {

constexpr std::size_t kWindow = 2047;
constexpr std::size_t kMaxLength = 255;

struct Match {
  std::size_t length = 0;
  std::size_t distance = 0;
};

void put_bits(std::vector<std::uint8_t>& flags, unsigned value, int count) {
  for (int bit = count - 1; bit >= 0; --bit) flags.push_back((value >> bit) & 1u);
}

// The search index: positions that share their first two bytes are linked
// from each to the nearest earlier one (prev), and every position knows the
// run of equal bytes it stands in (run_start, run_end), so that a run of
// equal bytes can be weighed as a whole instead of position by position.
struct SearchIndex {
  std::vector<std::int32_t> prev;
  std::vector<std::uint32_t> run_start;
  std::vector<std::uint32_t> run_end;
};

SearchIndex build_index(std::span<const std::uint8_t> input) {
  const std::size_t n = input.size();
  SearchIndex index;
  index.prev.assign(n, -1);
  index.run_start.resize(n);
  index.run_end.resize(n);
  std::vector<std::int32_t> last(65536, -1);
  for (std::size_t p = 0; p + 1 < n; ++p) {
    const unsigned key = static_cast<unsigned>(input[p]) << 8 | input[p + 1];
    index.prev[p] = last[key];
    last[key] = static_cast<std::int32_t>(p);
  }
  for (std::size_t p = 0; p < n; ++p)
    index.run_start[p] =
        p > 0 && input[p] == input[p - 1] ? index.run_start[p - 1] : static_cast<std::uint32_t>(p);
  for (std::size_t p = n; p-- > 0;)
    index.run_end[p] = p + 1 < n && input[p] == input[p + 1] ? index.run_end[p + 1]
                                                             : static_cast<std::uint32_t>(p + 1);
  return index;
}

std::size_t common_length(const std::uint8_t* a, const std::uint8_t* b, std::size_t from,
                          std::size_t span) {
  while (from < span && a[from] == b[from]) ++from;
  return from;
}

// The best match at b: the longest within the window, the nearest among
// equally long ones; but where candidates match up to the end of the input
// (possible only when at most 255 bytes remain), the farthest of those.
// Only candidates that share the first two bytes can give a match of 2 or
// more; shorter best matches are emitted as literals whatever their
// distance, so they need not be found.
Match best_match(std::span<const std::uint8_t> input, const SearchIndex& index, std::size_t b) {
  Match best;
  const std::size_t n = input.size();
  const std::size_t remaining = n - b;
  if (remaining < 2) return best;
  // Comparing more than 255 bytes cannot change a capped length.
  const std::size_t span = std::min(remaining, kMaxLength);
  const bool end_in_reach = remaining <= kMaxLength;
  const std::size_t lowest = b > kWindow ? b - kWindow : 0;
  std::size_t farthest_to_end = 0;  // distance of the farthest candidate reaching the end
  const std::uint8_t* data = input.data();
  const std::uint8_t* target = data + b;
  // Candidates of a run key (two equal bytes) stand in runs of that byte,
  // and so does b: the length of b's run decides most of the comparison.
  const bool run_key = input[b] == input[b + 1];
  const std::size_t b_run = std::min<std::size_t>(index.run_end[b] - b, span);

  auto weigh = [&](std::size_t i, std::size_t length) {
    if (end_in_reach && length == remaining) farthest_to_end = b - i;
    length = std::min(length, kMaxLength);
    if (length > best.length) best = {length, b - i};  // nearer ones came first
  };

  for (std::int32_t chained = index.prev[b]; chained >= 0;) {
    const auto i = static_cast<std::size_t>(chained);
    if (i < lowest) break;
    if (!run_key) {
      // A candidate that differs at the best length can neither be longer
      // nor reach the end of the input.
      if (best.length < 2 || best.length >= span || data[i + best.length] == target[best.length])
        weigh(i, common_length(data + i, target, 2, span));
      chained = index.prev[i];
    } else {
      // A run of the byte from `first` (or the window's start) to `end`,
      // with i its nearest position: a position p in it matches
      // min(end - p, b_run) bytes, and more only where end - p equals b_run.
      // Weigh the run's best position, and its farthest for the end rule,
      // then go on before the run.
      const std::size_t end = index.run_end[i];
      const std::size_t first = std::max<std::size_t>(index.run_start[i], lowest);
      auto length_at = [&](std::size_t p) {
        const std::size_t p_run = std::min(end - p, span);
        return p_run != b_run ? std::min(p_run, b_run)
                              : common_length(data + p, target, p_run, span);
      };
      std::size_t pick = i;  // the nearest reaches b's run length: it is the best
      if (std::min(end - i, span) < b_run)
        pick = std::min(end - first, span) < b_run ? first : end - b_run;
      weigh(pick, length_at(pick));
      if (end_in_reach && length_at(first) == remaining) farthest_to_end = b - first;
      if (first != index.run_start[i]) break;  // the window starts inside this run
      chained = index.prev[first];
    }
    if (!end_in_reach && best.length == kMaxLength) break;  // nothing nearer can beat it
  }
  if (farthest_to_end != 0) best = {remaining, farthest_to_end};
  return best;
}

}  // namespace

LzTokens lz_encode(std::span<const std::uint8_t> input) {
  LzTokens tokens;
  if (!input.empty()) {
    const SearchIndex index = build_index(input);
    tokens.flags.push_back(1);
    tokens.data.push_back(input[0]);
    std::size_t b = 1;
    while (b < input.size()) {
      const Match m = best_match(input, index, b);
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
