#include "import/image_finish.h"

#include <algorithm>

#include "common/byte_order.h"

namespace gorv {

std::uint16_t image_checksum(Bytes image) {
  std::uint32_t sum = 0;
  std::size_t offset = kChecksumStart;
  for (; offset + 1 < image.size(); offset += 2) sum += image[offset] << 8 | image[offset + 1];
  if (offset < image.size()) sum += image[offset] << 8;
  return static_cast<std::uint16_t>(sum);
}

void finish_image(Report& report, std::vector<std::uint8_t>& image) {
  say(report, msg::ImportAdjusting{});
  // Large enough for the header fields below, then whole blocks.
  std::size_t size = std::max(image.size(), kChecksumStart);
  size = (size + kImageSizeUnit - 1) / kImageSizeUnit * kImageSizeUnit;
  image.resize(size, 0xFF);
  const auto end = static_cast<std::uint32_t>(size - 1);
  set_be32(image, kEndAddressOffset, end);

  say(report, msg::ImportFixing{});
  const std::uint16_t sum = image_checksum(image);
  set_be16(image, kChecksumOffset, sum);
}

}  // namespace gorv
