#include "import/image_finish.h"

#include <algorithm>

namespace gorv {

std::uint16_t image_checksum(Bytes image) {
  std::uint32_t sum = 0;
  std::size_t offset = kChecksumStart;
  for (; offset + 1 < image.size(); offset += 2) sum += image[offset] << 8 | image[offset + 1];
  if (offset < image.size()) sum += image[offset] << 8;
  return static_cast<std::uint16_t>(sum);
}

void finish_image(Console& console, std::vector<std::uint8_t>& image) {
  say(console, "\nadjusting file size...");
  // Large enough for the header fields below, then whole blocks.
  std::size_t size = std::max(image.size(), kChecksumStart);
  size = (size + kImageSizeUnit - 1) / kImageSizeUnit * kImageSizeUnit;
  image.resize(size, 0xFF);
  const auto end = static_cast<std::uint32_t>(size - 1);
  image[kEndAddressOffset] = static_cast<std::uint8_t>(end >> 24);
  image[kEndAddressOffset + 1] = static_cast<std::uint8_t>(end >> 16);
  image[kEndAddressOffset + 2] = static_cast<std::uint8_t>(end >> 8);
  image[kEndAddressOffset + 3] = static_cast<std::uint8_t>(end);

  say(console, "\nfixing checksum...");
  const std::uint16_t sum = image_checksum(image);
  image[kChecksumOffset] = static_cast<std::uint8_t>(sum >> 8);
  image[kChecksumOffset + 1] = static_cast<std::uint8_t>(sum);
}

}  // namespace gorv
