// A fast zlib stream for the preview's PNG files: one deflate block with
// the fixed Huffman codes and greedy matching against two candidates (the
// previous pixel and the last place with the same four bytes). Pictures of
// flat squares compress well this way, in a small fraction of the time a
// thorough match search takes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace gorv {

// `data` as a zlib stream (RFC 1950 around RFC 1951).
std::vector<std::uint8_t> zlib_compress_fast(std::span<const std::uint8_t> data);

}  // namespace gorv
