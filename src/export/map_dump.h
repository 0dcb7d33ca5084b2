// -map: one map's header and four layouts, written to mapXX.gvm.
#pragma once

#include <cstdint>
#include <string>

#include "export/export_file.h"
#include "format/map_file.h"
#include "rom/map_header.h"
#include "rom/rom_image.h"

namespace gorv {

// The map file of the map whose header is `h`, built from the ROM image,
// keeping only block type `block_filter` (kAllBlockTypes: all). The report
// gets the tile layout's size report, the unhandled block types met and an
// enemy layout error. `fits` is false when the map cannot make a map file
// of at most 65,535 bytes (its offsets are 16-bit).
struct BuiltMapFile {
  MapFile file;
  std::vector<std::uint8_t> bytes;  // the serialized file, when it fits
  bool fits = false;
};
BuiltMapFile build_map_file(Report& report, Bytes rom, const MapHeader& h,
                            std::uint8_t block_filter);

// Writes map `map` to its map file. An absent map writes nothing.
ExportResult dump_map(Bytes rom, const MapExistsTable& exists, std::uint8_t map,
                      std::uint8_t block_filter);

}  // namespace gorv
