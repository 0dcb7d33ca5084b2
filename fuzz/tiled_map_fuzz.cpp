// The .tmj reader on arbitrary text: it either refuses the map with a
// reason or gives a map file that fits 65,535 bytes, reads back as sound,
// and survives a second trip through the .tmj form byte for byte.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "format/map_file.h"
#include "format/tiled_map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const gorv::TiledRead read =
      gorv::read_tiled_map(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!read.ok) return 0;
  const auto bytes = gorv::serialize_map_file(read.map);
  if (bytes.size() > gorv::kMaxMapFileSize) __builtin_trap();
  const gorv::ParsedMapFile parsed = gorv::parse_map_file(bytes);
  if (parsed.damage.problem != gorv::MapFileDamage::Problem::none) __builtin_trap();
  const gorv::TiledRead again = gorv::read_tiled_map(gorv::tiled_map_text(parsed.file, 0));
  if (!again.ok || gorv::serialize_map_file(again.map) != bytes) __builtin_trap();
  return 0;
}
