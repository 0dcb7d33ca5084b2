// The whole import on arbitrary map files: the input is map00.gvm, beside
// a small ROM image; a refused file must leave the image as it was, an
// accepted one must give an image padded to a whole number of MiB.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "import/importer.h"
#include "sparse_image.h"

namespace {

void write_bytes(const char* name, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gorv::fuzz::enter_scratch_directory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gorv::RomImage rom;
  rom.bytes.assign(0x400, 0x00);
  for (std::size_t i = 0; i < rom.bytes.size(); ++i) rom.bytes[i] = static_cast<std::uint8_t>(i);
  write_bytes("rom.bin", rom.bytes.data(), rom.bytes.size());
  write_bytes("map00.gvm", data, size);

  const gorv::ImportResult result = gorv::import_maps(rom, "rom.bin");

  std::vector<std::uint8_t> after;
  if (!gorv::read_whole_file("rom.bin", after)) __builtin_trap();
  if (!result.replaced) {
    if (after != rom.bytes) __builtin_trap();
  } else if (after.size() % 0x100000 != 0 || after.size() < 0x200000) {
    __builtin_trap();
  }
  return 0;
}
