// The import on arbitrary map files. Every input goes through the import's
// own steps in memory: the map file read into its record and its tile
// layout packed, the new level directory and level data written into the
// image, and every map read back from it, which must give the record. One
// input in 64 (chosen by a hash of the input) also goes through the whole
// import, as map00.gvm beside an image of the smallest size taken for a ROM
// image: its file writing, padding and checksum cost twenty times the rest
// and depend on the input only through sizes. A refused file must leave the
// image as it was, an accepted one must give an image padded to a whole
// number of MiB. Every whole import starts from the same files: the image
// is written again only after an import has replaced it, and the copies an
// import keeps of it are removed.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "codec/lz_encoder.h"
#include "common/file_io.h"
#include "import/import_check.h"
#include "import/importer.h"
#include "import/level_directory.h"
#include "import/map_file_reader.h"
#include "one_in.h"
#include "rom/map_header.h"
#include "sparse_image.h"

namespace {

// The map header's 16-bit length fields: the import refuses a longer layout
// before it places any.
constexpr std::size_t kMaxLayoutLength = 0xFFFF;

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

bool layouts_fit(const gorv::MapRecord& record) {
  for (const auto* layout : {&record.tile, &record.block, &record.background, &record.enemy})
    if (layout->size() > kMaxLayoutLength) return false;
  return true;
}

// The import's steps between reading the map file and writing the image.
// The image is built in memory kept from one input to the next, as fresh
// pages for its megabyte cost more than the steps.
void import_in_memory(const gorv::RomImage& rom, const std::uint8_t* data, std::size_t size) {
  static gorv::LzScratch scratch;
  static std::vector<std::uint8_t> image;
  std::vector<gorv::MapRecord> records(1);
  if (gorv::read_map_file({data, size}, records[0])) return;
  records[0].tile = gorv::lz_compress(records[0].tile_layout, scratch);
  if (!layouts_fit(records[0])) return;
  image.assign(rom.bytes.begin(), rom.bytes.end());
  gorv::Report report;
  const std::uint64_t end = gorv::write_level_directory(report, records, image);
  if (end > image.size() || gorv::check_import(image, records)) __builtin_trap();
}

void import_whole(const gorv::RomImage& rom, const std::uint8_t* data, std::size_t size) {
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
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gorv::fuzz::enter_scratch_directory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const gorv::RomImage rom = make_image();
  import_in_memory(rom, data, size);
  if (gorv::fuzz::one_in(data, size, 64)) import_whole(rom, data, size);
  return 0;
}
