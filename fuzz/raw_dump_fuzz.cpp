// The raw dump on arbitrary ROM images: the first three bytes give the
// address, the rest is a sparse image.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/text.h"
#include "export/raw_dump.h"
#include "sparse_image.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gorv::fuzz::enter_scratch_directory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::uint32_t address =
      std::uint32_t{data[0]} << 16 | std::uint32_t{data[1]} << 8 | data[2];
  static gorv::fuzz::SparseImage image;
  const gorv::Bytes rom = gorv::fuzz::sparse_image(image, data + 3, size - 3);
  const gorv::ExportResult result = gorv::dump_raw(rom, address);
  // Either an error line or the file; never both, never neither.
  const std::string name = gorv::format("0x%X.dat", address);
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if ((file != nullptr) != result.written) __builtin_trap();
  if (file != nullptr) std::fclose(file);
  std::remove(name.c_str());
  return 0;
}
