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

// Memory the encoder works in, kept from one input to the next: packing
// many inputs with one scratch takes fresh memory (and the page faults that
// come with it) once, not for every input. Its contents mean nothing
// between calls.
struct LzScratch {
  std::vector<std::int32_t> last;  // the latest position of each two-byte key
  std::vector<std::int32_t> prev;
  std::vector<std::uint32_t> run_start;
  std::vector<std::uint32_t> run_end;
  std::vector<std::int32_t> longer_run;
};

// lz_encode(input), working in `scratch`.
LzTokens lz_encode(std::span<const std::uint8_t> input, LzScratch& scratch);

// Joins the flag-area length, the flag bytes and the data bytes.
std::vector<std::uint8_t> lz_pack(const LzTokens& tokens);

// lz_pack(lz_encode(input)).
std::vector<std::uint8_t> lz_compress(std::span<const std::uint8_t> input);
std::vector<std::uint8_t> lz_compress(std::span<const std::uint8_t> input, LzScratch& scratch);

}  // namespace gorv
