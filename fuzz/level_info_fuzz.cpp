// The level report on arbitrary ROM images: the first byte chooses the
// level, the rest is a sparse image.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cli/level_report.h"
#include "rom/level_info.h"
#include "sparse_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const auto level = static_cast<std::uint8_t>(data[0] % 0x6A);
  static gorv::fuzz::SparseImage image;
  const gorv::Bytes rom = gorv::fuzz::sparse_image(image, data + 1, size - 1);
  const gorv::LevelInfo info = gorv::read_level_info(rom, level);
  const std::string output = gorv::level_report_text(info);
  // At most kLevelNameLimit characters of text, then " " and up to 127
  // "I"s of the part number (a signed byte).
  constexpr std::size_t kLongestName = gorv::kLevelNameLimit + 1 + 127;
  if (output.find("LEVEL:") == std::string::npos || info.name.size() > kLongestName)
    __builtin_trap();
  return 0;
}
