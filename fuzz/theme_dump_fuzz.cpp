// The theme dump on arbitrary ROM images: the first byte chooses the theme
// (1 to A), the rest is a sparse image.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/text.h"
#include "export/theme_dump.h"
#include "sparse_image.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gorv::fuzz::enter_scratch_directory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const auto theme = static_cast<std::uint8_t>(1 + data[0] % 10);
  static gorv::fuzz::SparseImage image;
  const gorv::Bytes rom = gorv::fuzz::sparse_image(image, data + 1, size - 1);
  const gorv::ExportResult result = gorv::dump_theme(rom, theme);
  const std::string name = gorv::format("theme%x.gvt", unsigned{theme});
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if ((file != nullptr) != result.written) __builtin_trap();
  if (file != nullptr) std::fclose(file);
  std::remove(name.c_str());
  return 0;
}
