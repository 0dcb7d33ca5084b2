// The map dump on arbitrary ROM images: the first byte chooses the map, the
// second the block filter (0x00 to 0x10, anything else all block types).
// The map's entry of the map header table (two bytes) and its 28-byte
// header follow, placed where that entry says over the sparse image that
// the rest of the input is. Apart from the records, the header survives the
// mutations that shift them: a lost header puts every layout at address 0,
// where the zeros below the level directory read as a background list as
// long as the reader allows, many times the work of a whole map.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/text.h"
#include "export/map_dump.h"
#include "sparse_image.h"

namespace {

constexpr std::size_t kFixedPart = 2 + 2 + gorv::kMapHeaderSize;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gorv::fuzz::enter_scratch_directory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kFixedPart) return 0;
  const auto map = static_cast<std::uint8_t>(data[0] % 0x7E);
  const std::uint8_t filter = data[1] <= 0x10 ? data[1] : 0xFF;
  static gorv::fuzz::SparseImage image;
  const gorv::Bytes rom = gorv::fuzz::sparse_image(image, data + kFixedPart, size - kFixedPart);
  gorv::fuzz::place_bytes(image, gorv::kMapHeaderTable + 2u * map, data + 2, 2);
  gorv::fuzz::place_bytes(image, gorv::map_header_offset(rom, map), data + 4, gorv::kMapHeaderSize);
  const gorv::MapExistsTable exists = gorv::build_map_exists_table(rom);
  const gorv::ExportResult result = gorv::dump_map(rom, exists, map, {filter});
  const std::string name = gorv::format("map%02x.gvm", unsigned{map});
  std::FILE* file = std::fopen(name.c_str(), "rb");
  // An absent map writes nothing; a map that exists is written unless it
  // is too large for a map file.
  if (!gorv::map_exists(exists, map) && file != nullptr) __builtin_trap();
  if ((file != nullptr) != result.written) __builtin_trap();
  if (file != nullptr) {
    // The header's last offset is the file's length.
    std::uint8_t header[28] = {};
    const std::size_t got = std::fread(header, 1, sizeof header, file);
    std::fseek(file, 0, SEEK_END);
    const long length = std::ftell(file);
    std::fclose(file);
    if (got != sizeof header || length != (header[26] | header[27] << 8)) __builtin_trap();
  }
  std::remove(name.c_str());
  return 0;
}
