// The level report on arbitrary ROM images: the first byte chooses the
// level, the rest is a sparse image.
#include <cstddef>
#include <cstdint>
#include <string>

#include "rom/level_info.h"
#include "sparse_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const auto level = static_cast<std::uint8_t>(data[0] % 0x6A);
  const auto image = gorv::fuzz::sparse_image(data + 1, size - 1);
  std::string output;
  gorv::Console console;
  console.capture = &output;
  gorv::MapHeader header;
  (void)gorv::print_level_info(console, gorv::Bytes(image), level, header);
  if (console.error_printed || output.find("LEVEL:") == std::string::npos) __builtin_trap();
  return 0;
}
