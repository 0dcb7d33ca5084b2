// The whole import on arbitrary map files: the input is map00.gvm, beside
// an image of the smallest size the import takes; a refused file must leave
// the image as it was, an accepted one must give an image padded to a whole
// number of MiB. Every input starts from the same files: the image is
// written again only after an import has replaced it, and the copies an
// import keeps of it are removed.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "common/file_io.h"
#include "import/importer.h"
#include "import/level_directory.h"
#include "rom/map_header.h"
#include "sparse_image.h"

namespace {

void write_bytes(const char* name, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(name, "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

gorv::RomImage make_image() {
  gorv::RomImage rom;
  rom.bytes.resize(gorv::kMinRomImageSize);
  for (std::size_t i = 0; i < rom.bytes.size(); ++i) rom.bytes[i] = static_cast<std::uint8_t>(i);
  return rom;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gorv::fuzz::enter_scratch_directory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const gorv::RomImage rom = make_image();
  static bool image_replaced = true;  // rom.bin is not there yet
  if (image_replaced) write_bytes("rom.bin", rom.bytes.data(), rom.bytes.size());
  std::remove("rom.bin.orig");
  std::remove("rom.bin.bak");
  write_bytes("map00.gvm", data, size);

  const gorv::ImportResult result = gorv::import_maps(rom, "rom.bin");
  image_replaced = result.replaced;

  if (!result.replaced) {
    std::vector<std::uint8_t> after;
    if (!gorv::read_whole_file("rom.bin", after) || after != rom.bytes) __builtin_trap();
  } else {
    std::error_code error;
    const std::uintmax_t after = std::filesystem::file_size("rom.bin", error);
    if (error || after % 0x100000 != 0 || after < 0x200000) __builtin_trap();
  }
  return 0;
}
