#include "support/lz_stream_writer.h"

namespace gorv::test {

void lz_literal(LzStreamWriter& writer, std::uint8_t value) {
  writer.bits.push_back(1);
  writer.data.push_back(value);
}

void lz_copy(LzStreamWriter& writer, std::uint16_t distance, std::uint8_t length) {
  const std::uint8_t code[] = {0,
                               1,
                               static_cast<std::uint8_t>(distance >> 10 & 1),
                               static_cast<std::uint8_t>(distance >> 9 & 1),
                               static_cast<std::uint8_t>(distance >> 8 & 1),
                               1,
                               1};
  writer.bits.insert(writer.bits.end(), code, code + 7);
  writer.data.push_back(static_cast<std::uint8_t>(distance));
  writer.data.push_back(length);
}

std::vector<std::uint8_t> lz_stream(LzStreamWriter writer) {
  lz_copy(writer, 0, 0);
  while (writer.bits.size() % 8 != 0) writer.bits.push_back(0);
  const std::size_t flag_bytes = writer.bits.size() / 8;
  std::vector<std::uint8_t> stream = {static_cast<std::uint8_t>(flag_bytes >> 8),
                                      static_cast<std::uint8_t>(flag_bytes)};
  for (std::size_t i = 0; i < flag_bytes; ++i) {
    std::uint8_t byte = 0;
    for (std::size_t b = 0; b < 8; ++b)
      byte = static_cast<std::uint8_t>(byte << 1 | writer.bits[8 * i + b]);
    stream.push_back(byte);
  }
  stream.insert(stream.end(), writer.data.begin(), writer.data.end());
  return stream;
}

std::vector<std::uint8_t> lz_pattern_stream(const std::vector<std::uint8_t>& pattern,
                                            std::size_t size, bool overrun) {
  LzStreamWriter writer;
  std::size_t produced = 0;
  for (; produced < pattern.size() && produced < size; ++produced)
    lz_literal(writer, pattern[produced]);
  while (produced < size) {
    const std::size_t length = overrun ? 255 : std::min<std::size_t>(255, size - produced);
    lz_copy(writer, static_cast<std::uint16_t>(pattern.size()), static_cast<std::uint8_t>(length));
    produced += length;
  }
  return lz_stream(writer);
}

std::vector<std::uint8_t> pattern_product(const std::vector<std::uint8_t>& pattern,
                                          std::size_t size, bool overrun) {
  std::size_t total = size;
  if (overrun && size > pattern.size()) {
    const std::size_t copies = (size - pattern.size() + 254) / 255;
    total = pattern.size() + 255 * copies;
  }
  std::vector<std::uint8_t> product(total);
  for (std::size_t i = 0; i < total; ++i) product[i] = pattern[i % pattern.size()];
  return product;
}

}  // namespace gorv::test
