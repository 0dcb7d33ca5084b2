// A test ROM image holding every piece of the resource file, and the file
// the tool makes of them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "support/lz_stream_writer.h"

namespace gorv::test::resources {

using ByteVector = std::vector<std::uint8_t>;

inline ByteVector numbered(std::size_t size, unsigned seed) {
  ByteVector bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(seed + i * 29 + i / 5);
  return bytes;
}

inline void put_be32(ByteVector& image, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

inline void put_bytes(ByteVector& image, std::size_t at, const ByteVector& bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

// One packed block of the test image: where its stream stands, the limit the
// file uses, the stream and what the file holds for it.
struct PackedBlock {
  std::uint32_t offset;
  std::size_t limit;
  ByteVector stream;
  ByteVector product;
};

inline PackedBlock pattern_block(std::uint32_t offset, std::size_t limit, std::size_t pattern_size,
                                 unsigned seed, std::size_t produced = 0, bool overrun = false) {
  if (produced == 0) produced = limit;
  ByteVector pattern = numbered(pattern_size, seed);
  // A stream that ends early is read one token past its end token, with code
  // bits from its first data byte and data bytes from behind it: a first
  // literal of 0 and zeros behind the stream make those tokens add zeros.
  if (produced < limit) pattern[0] = 0;
  PackedBlock block{offset, limit, lz_pattern_stream(pattern, produced, overrun),
                    pattern_product(pattern, produced, overrun)};
  if (block.product.size() < limit) block.product.resize(limit, 0);
  return block;
}

struct ResourceData {
  ByteVector raw_d00c = numbered(30, 1);
  ByteVector behind_a0a02 = numbered(24, 2);
  std::vector<PackedBlock> packed = {
      pattern_block(0xCAB2, 0x240, 48, 3),  pattern_block(0x992E4, 0x1A80, 100, 4),
      pattern_block(0x5B92, 0x180, 16, 5),  pattern_block(0x5C83, 0x180, 24, 6),
      pattern_block(0x1DA86, 0x5A0, 32, 7),
  };
  ByteVector raw_12ba4 = numbered(128, 8);
  ByteVector behind_4668 = numbered(640, 9);
  ByteVector skipped = {0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5};  // the 6 bytes not taken
  ByteVector behind_a0a4e = numbered(384, 10);
};

inline ByteVector resource_image(const ResourceData& d) {
  ByteVector image(0xA8000, 0x66);
  put_bytes(image, 0xD00C, d.raw_d00c);
  put_be32(image, 0xA0A02, 0xA1000);
  put_bytes(image, 0xA1000, d.behind_a0a02);
  for (const PackedBlock& block : d.packed) {
    put_bytes(image, block.offset, block.stream);
    put_bytes(image, block.offset + block.stream.size(), ByteVector(4, 0));
  }
  put_bytes(image, 0x12BA4, d.raw_12ba4);
  put_be32(image, 0x4668, 0xA1100);
  put_bytes(image, 0xA1100, d.behind_4668);
  put_be32(image, 0xA0A4E, 0xA1400);
  put_bytes(image, 0xA1400, d.skipped);
  put_bytes(image, 0xA1406, d.behind_a0a4e);
  return image;
}

inline ByteVector expected_file(const ResourceData& d) {
  ByteVector file;
  auto add = [&file](const ByteVector& bytes) {
    file.insert(file.end(), bytes.begin(), bytes.end());
  };
  add(d.raw_d00c);
  add(d.behind_a0a02);
  for (const PackedBlock& block : d.packed) add(block.product);
  add(d.raw_12ba4);
  add(d.behind_4668);
  add(d.behind_a0a4e);
  return file;
}

}  // namespace gorv::test::resources
