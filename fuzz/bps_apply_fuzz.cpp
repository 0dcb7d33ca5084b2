// The BPS reader on arbitrary patches against a small fixed source. When the
// first byte is odd, the rest gets a footer with the right source and patch
// CRC32s, so that the fuzzer gets past those checks to the actions
// themselves; when even, the rest is the patch as it is.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec/bps.h"
#include "common/byte_order.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const std::vector<std::uint8_t> source = [] {
    std::vector<std::uint8_t> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 / 5);
    return bytes;
  }();
  std::vector<std::uint8_t> patch(data + 1, data + size);
  if ((data[0] & 1) && patch.size() >= 12) {
    gorv::set_le32(patch, patch.size() - 12, gorv::crc32(source));
    gorv::set_le32(patch, patch.size() - 4, gorv::crc32(std::span(patch).first(patch.size() - 4)));
  }
  const gorv::BpsApplyResult result = gorv::bps_apply(patch, source);
  if (result.error != gorv::BpsError::none) {
    if (!result.target.empty()) __builtin_trap();
  } else if (result.target.size() > gorv::kBpsMaxImageSize) {
    __builtin_trap();
  }
  return 0;
}
