// The preview's zlib streams, inflated by zlib itself.
#include "picture/deflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

namespace gorv {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes inflate_all(const Bytes& stream, std::size_t size) {
  Bytes out(size + 1);
  uLongf length = static_cast<uLongf>(out.size());
  EXPECT_EQ(Z_OK, uncompress(out.data(), &length, stream.data(), stream.size()));
  out.resize(length);
  return out;
}

TEST(PictureDeflate, ZlibInflatesWhatWasCompressed) {
  std::mt19937 random(5);
  auto noise = [&](std::size_t n) {
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(random() & 0x0F);
    return b;
  };
  std::vector<Bytes> inputs = {{}, {7}, {1, 2, 3, 1, 2, 3, 1}, Bytes(100000, 0), noise(70000)};
  // Runs of pixels of every length up to 600 bytes, and repeats at the
  // window's edge (32,768 bytes back) and just beyond it.
  Bytes runs;
  for (std::size_t n = 1; n <= 600; ++n) runs.insert(runs.end(), n, static_cast<std::uint8_t>(n));
  inputs.push_back(runs);
  for (const std::size_t distance : {std::size_t{32768}, std::size_t{32769}}) {
    Bytes far = noise(distance + 300);
    std::copy_n(far.begin(), 300, far.end() - 300);
    inputs.push_back(far);
  }
  for (const Bytes& input : inputs) {
    const Bytes stream = zlib_compress_fast(input);
    EXPECT_EQ(input, inflate_all(stream, input.size())) << input.size();
  }
  EXPECT_LT(zlib_compress_fast(inputs[3]).size(), 1000u);  // 100,000 zeros
}

}  // namespace
}  // namespace gorv
