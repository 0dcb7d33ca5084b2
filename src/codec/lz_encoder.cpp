#include "codec/lz_encoder.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "codec/lz_stream.h"

namespace gorv {

namespace {

struct Match {
  std::size_t length = 0;
  std::size_t distance = 0;
};

// Appends the low `count` bits of `value`, the highest first.
void put_bits(std::vector<std::uint8_t>& flags, unsigned value, unsigned count) {
  for (unsigned bit = count; bit-- > 0;) flags.push_back((value >> bit) & 1u);
}

// The search index, kept by runs of equal bytes (a run of one byte
// included) rather than by position: every position knows its run, and a
// run knows where it starts and ends and three earlier runs:
//  - same: the nearest earlier run of its byte that is two or more long
//    (-1 for none, as for the others; set for runs of two or more only);
//  - longer: the nearest earlier run of its byte that is longer than it (a
//    search for a run of a given length skips every run in between, as none
//    of them is long enough either; runs of two or more only);
//  - pair: the nearest earlier run whose last byte and the byte after it are
//    this run's last byte and the byte after it.
// Together they give, for any position, the nearest earlier position that
// shares its first two bytes (prev_position), at the cost of a pass over
// the input and a step per run, where a table of pairs would take several
// steps per position.
// (The runs are LzRun, declared in the header so that a scratch can keep
// them.)
struct SearchIndex {
  const std::uint32_t* run_of;
  const LzRun* runs;
};

const LzRun& run_at(const SearchIndex& index, std::size_t p) {
  return index.runs[index.run_of[p]];
}

// The nearest position before p whose first two bytes are those at p (p is
// not the last position), or -1. Two equal bytes c c: the position before
// p in its run, or failing that the last such pair of the previous run of
// c. Two different bytes c x: p ends its run, and so does the position
// wanted, in the run its pair link names.
std::int64_t prev_position(const SearchIndex& index, std::size_t p) {
  const LzRun& run = run_at(index, p);
  if (p + 1 < run.end) {
    if (p > run.start) return static_cast<std::int64_t>(p) - 1;
    return run.same < 0 ? -1 : std::int64_t{index.runs[run.same].end} - 2;
  }
  return run.pair < 0 ? -1 : std::int64_t{index.runs[run.pair].end} - 1;
}

// Builds the index in `scratch`, whose memory it keeps for the next input.
SearchIndex build_index(std::span<const std::uint8_t> input, LzScratch& scratch) {
  const std::size_t n = input.size();
  if (scratch.run_of.size() < n) scratch.run_of.resize(n);  // a larger one keeps its size
  std::vector<LzRun>& runs = scratch.runs;
  runs.clear();
  std::array<std::int32_t, 256> last_same;
  last_same.fill(-1);
  for (std::size_t start = 0, end = 0; start < n; start = end) {
    const std::uint8_t c = input[start];
    while (end < n && input[end] == c) ++end;
    const auto r = static_cast<std::int32_t>(runs.size());
    std::fill(scratch.run_of.begin() + static_cast<std::ptrdiff_t>(start),
              scratch.run_of.begin() + static_cast<std::ptrdiff_t>(end),
              static_cast<std::uint32_t>(r));
    LzRun run{static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end)};
    if (end - start >= 2) {
      run.same = last_same[c];
      // The nearest earlier run of c, or failing that, the one it names as
      // longer, and so on: each step skips runs no longer than the run it
      // leaves.
      std::int32_t longer = run.same;
      while (longer >= 0 && runs[longer].end - runs[longer].start <= end - start)
        longer = runs[longer].longer;
      run.longer = longer;
      last_same[c] = r;
    }
    runs.push_back(run);
  }
  // The pair links, through the latest run seen for each pair of bytes. The
  // table holds what earlier inputs left there; only the pairs that occur
  // are cleared (clearing all 65,536 would cost more than the rest of the
  // index for a map's few kilobytes).
  std::vector<std::int32_t>& last_pair = scratch.last_pair;
  last_pair.resize(65536);
  auto pair_of = [&input](const LzRun& run) {
    return static_cast<unsigned>(input[run.end - 1]) << 8 | input[run.end];
  };
  for (const LzRun& run : runs)
    if (run.end < n) last_pair[pair_of(run)] = -1;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    if (runs[r].end == n) continue;
    std::int32_t& last = last_pair[pair_of(runs[r])];
    runs[r].pair = last;
    last = static_cast<std::int32_t>(r);
  }
  return {scratch.run_of.data(), runs.data()};
}

std::size_t common_length(const std::uint8_t* a, const std::uint8_t* b, std::size_t from,
                          std::size_t span) {
  while (from < span && a[from] == b[from]) ++from;
  return from;
}

// A candidate weighed against the best so far: the longer wins, the
// nearer among equally long ones.
void weigh(Match& best, std::size_t length, std::size_t distance) {
  if (length > best.length || (length == best.length && distance < best.distance))
    best = {length, distance};
}

// The best match at b where b starts two equal bytes (c c) and more than
// 255 bytes remain, so that the end rule cannot apply. b's run of c has
// b_run bytes (at most 255). A position p in another run of c matches
// min(run left at p, b_run) bytes, and more only where exactly b_run bytes
// of c are left at p and the byte after them equals the byte after b's run
// (x). So:
//  - nearest first, the nearest run at least b_run long gives b_run or
//    more from its last b_run bytes; runs are reached from run to longer
//    run, as the ones skipped are shorter than the one left. A position in
//    b's own run before b gives b_run at distance 1. With no such run, the
//    best is the longest of the runs seen, from its first byte.
//  - every run that can give more than b_run ends right before an x: the
//    positions whose two bytes are c x, chained, name them all.
Match best_run_match(std::span<const std::uint8_t> input, const SearchIndex& index, std::size_t b) {
  Match best;
  const std::uint8_t* data = input.data();
  const std::uint8_t* target = data + b;
  const std::size_t lowest = b > kLzMaxDistance ? b - kLzMaxDistance : 0;
  const LzRun& own = run_at(index, b);
  const std::size_t b_run = std::min<std::size_t>(own.end - b, kLzMaxLength);
  bool long_enough = false;  // some candidate gives b_run bytes or more
  if (own.start < b) {
    best = {b_run, 1};
    long_enough = true;
  } else {
    for (std::int32_t r = own.same; r >= 0;) {
      const LzRun& run = index.runs[r];
      const std::size_t end = run.end;
      if (end < lowest + 2) break;  // no two bytes of this run in the window
      const std::size_t first = std::max<std::size_t>(run.start, lowest);
      if (end - first >= b_run) {
        const std::size_t p = end - b_run;
        weigh(best, common_length(data + p, target, b_run, kLzMaxLength), b - p);
        long_enough = true;
        break;
      }
      weigh(best, end - first, b - first);
      r = run.longer;
    }
  }
  if (!long_enough || b_run == kLzMaxLength) return best;
  // The runs of c that end right before an x, nearest first: the runs
  // linked by pair from b's own.
  for (std::int32_t r = own.pair; r >= 0;) {
    const LzRun& run = index.runs[r];
    const std::size_t end = run.end;
    if (end < lowest + b_run) break;
    const std::size_t p = end - b_run;
    r = run.pair;
    if (run.start > p) continue;  // the run is shorter than b_run
    if (best.length >= kLzMaxLength) break;
    // A candidate farther than the best must be longer: one that differs
    // at the best length cannot be.
    if (b - p < best.distance || data[p + best.length] == target[best.length])
      weigh(best, common_length(data + p, target, b_run, kLzMaxLength), b - p);
  }
  return best;
}

// The best match at b: the longest within the window, the nearest among
// equally long ones; but where candidates match up to the end of the input
// (possible only when at most 255 bytes remain), the farthest of those.
// Only candidates that share the first two bytes can give a match of 2 or
// more; shorter best matches are emitted as literals whatever their
// distance, so they need not be found.
Match best_match_any(std::span<const std::uint8_t> input, const SearchIndex& index, std::size_t b) {
  Match best;
  const std::size_t n = input.size();
  const std::size_t remaining = n - b;
  if (remaining < 2) return best;
  // Comparing more than 255 bytes cannot change a capped length.
  const std::size_t span = std::min(remaining, kLzMaxLength);
  const bool end_in_reach = remaining <= kLzMaxLength;
  const std::size_t lowest = b > kLzMaxDistance ? b - kLzMaxDistance : 0;
  std::size_t farthest_to_end = 0;  // distance of the farthest candidate reaching the end
  const std::uint8_t* data = input.data();
  const std::uint8_t* target = data + b;
  // Candidates of a run key (two equal bytes) stand in runs of that byte,
  // and so does b: the length of b's run decides most of the comparison.
  const bool run_key = input[b] == input[b + 1];
  const std::size_t b_run = std::min<std::size_t>(run_at(index, b).end - b, span);

  auto weigh = [&](std::size_t i, std::size_t length) {
    if (end_in_reach && length == remaining) farthest_to_end = b - i;
    length = std::min(length, kLzMaxLength);
    if (length > best.length) best = {length, b - i};  // nearer ones came first
  };

  for (std::int64_t chained = prev_position(index, b); chained >= 0;) {
    const auto i = static_cast<std::size_t>(chained);
    if (i < lowest) break;
    if (!run_key) {
      // A candidate that differs at the best length can neither be longer
      // nor reach the end of the input.
      if (best.length < 2 || best.length >= span || data[i + best.length] == target[best.length])
        weigh(i, common_length(data + i, target, 2, span));
      chained = prev_position(index, i);
    } else {
      // A run of the byte from `first` (or the window's start) to `end`,
      // with i its nearest position: a position p in it matches
      // min(end - p, b_run) bytes, and more only where end - p equals b_run.
      // Weigh the run's best position, and its farthest for the end rule,
      // then go on before the run.
      const LzRun& run = run_at(index, i);
      const std::size_t end = run.end;
      const std::size_t first = std::max<std::size_t>(run.start, lowest);
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
      if (first != run.start) break;  // the window starts inside this run
      chained = prev_position(index, first);
    }
    if (!end_in_reach && best.length == kLzMaxLength) break;  // nothing nearer can beat it
  }
  if (farthest_to_end != 0) best = {remaining, farthest_to_end};
  return best;
}

// The best match at b, as best_match_any finds it. Where b starts two equal
// bytes and the end rule cannot apply, best_run_match finds the same match
// from far fewer runs; best_match_any's walk over every run of the byte is
// left for the input's last 255 bytes, where the farthest candidate that
// reaches the end may win.
Match best_match(std::span<const std::uint8_t> input, const SearchIndex& index, std::size_t b) {
  const std::size_t remaining = input.size() - b;
  if (remaining > kLzMaxLength && input[b] == input[b + 1]) return best_run_match(input, index, b);
  return best_match_any(input, index, b);
}

}  // namespace

LzTokens lz_encode(std::span<const std::uint8_t> input) {
  LzScratch scratch;
  return lz_encode(input, scratch);
}

LzTokens lz_encode(std::span<const std::uint8_t> input, LzScratch& scratch) {
  LzTokens tokens;
  if (!input.empty()) {
    const SearchIndex index = build_index(input, scratch);
    put_bits(tokens.flags, kLzLiteral, kLzLiteralBits);
    tokens.data.push_back(input[0]);
    std::size_t b = 1;
    while (b < input.size()) {
      const Match m = best_match(input, index, b);
      const unsigned high = static_cast<unsigned>(m.distance >> 8) & kLzHighMask;
      const auto low = static_cast<std::uint8_t>(m.distance & 0xFF);
      if (m.length < kLzShortMinLength ||
          (m.length == kLzShortMinLength && m.distance > kLzMaxShortDistance)) {
        put_bits(tokens.flags, kLzLiteral, kLzLiteralBits);
        tokens.data.push_back(input[b]);
        b += 1;
        continue;
      }
      if (m.length <= kLzShortMaxLength && m.distance <= kLzMaxShortDistance) {
        put_bits(tokens.flags, lz_short_code(static_cast<unsigned>(m.length - kLzShortMinLength)),
                 kLzShortBits);
        tokens.data.push_back(low);
      } else if (m.length <= kLzLongMaxLength) {
        put_bits(tokens.flags,
                 lz_long_code(high, static_cast<unsigned>(m.length - kLzLongMinLength)),
                 kLzLongBits);
        tokens.data.push_back(low);
      } else {
        put_bits(tokens.flags, lz_long_code(high, kLzLengthByte), kLzLongBits);
        tokens.data.push_back(low);
        tokens.data.push_back(static_cast<std::uint8_t>(m.length));
      }
      b += m.length;
    }
  }
  // The end token, then 0 bits to a whole flag byte.
  put_bits(tokens.flags, kLzEndToken, kLzLongBits);
  tokens.data.push_back(0);
  tokens.data.push_back(0);
  while (tokens.flags.size() % 8 != 0) tokens.flags.push_back(0);
  return tokens;
}

std::vector<std::uint8_t> lz_pack(const LzTokens& tokens) {
  const std::size_t flag_bytes = tokens.flags.size() / 8;
  std::vector<std::uint8_t> stream;
  stream.reserve(kLzFlagLengthSize + flag_bytes + tokens.data.size());
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

std::vector<std::uint8_t> lz_compress(std::span<const std::uint8_t> input, LzScratch& scratch) {
  return lz_pack(lz_encode(input, scratch));
}

}  // namespace gorv
