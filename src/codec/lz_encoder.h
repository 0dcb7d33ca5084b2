// Packs bytes into an LZ stream that lz_decode expands back exactly.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace gorv {

// The encoder's two lists: one element (0 or 1) per code bit, and the data
// bytes, both in stream order. The flag count is a multiple of 8.
struct LzTokens {
  std::vector<std::uint8_t> flags;
  std::vector<std::uint8_t> data;
};

// Greedy parse: at every position the longest match within 2047 bytes back
// (at most 255 bytes), the nearest among equally long ones; a match that
// reaches the end of the input is taken from the farthest candidate that
// does. That last rule is kept on purpose: imports have always packed so,
// and an unchanged map must pack to the same bytes it did before (images
// compare equal, patches between them stay small). An empty input yields
// only the end token.
LzTokens lz_encode(std::span<const std::uint8_t> input);

// A run of equal bytes and its links, as the encoder's search index keeps
// it (lz_encoder.cpp says what the links are).
struct LzRun {
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  std::int32_t same = -1;
  std::int32_t longer = -1;
  std::int32_t pair = -1;
};

// Memory the encoder works in, kept from one input to the next: packing
// many inputs with one scratch takes fresh memory (and the page faults that
// come with it) once, not for every input. Its contents mean nothing
// between calls.
struct LzScratch {
  std::vector<std::uint32_t> run_of;    // each position's run
  std::vector<LzRun> runs;              // the runs, in order
  std::vector<std::int32_t> last_pair;  // the latest run seen for each two-byte pair
};

// lz_encode(input), working in `scratch`.
LzTokens lz_encode(std::span<const std::uint8_t> input, LzScratch& scratch);

// Joins the flag-area length, the flag bytes and the data bytes.
std::vector<std::uint8_t> lz_pack(const LzTokens& tokens);

// lz_pack(lz_encode(input)).
std::vector<std::uint8_t> lz_compress(std::span<const std::uint8_t> input);
std::vector<std::uint8_t> lz_compress(std::span<const std::uint8_t> input, LzScratch& scratch);

}  // namespace gorv
