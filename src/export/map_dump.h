// -map: one map's header and four layouts, written to mapXX.gvm.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "export/export_file.h"
#include "format/map_file.h"
#include "rom/map_header.h"
#include "rom/rom_image.h"

namespace gorv {

// The bytes of the map file of the map whose header is `h`, built from the
// ROM image, keeping only block type `block_filter` (kAllBlockTypes: all);
// nothing when the map cannot make a map file of at most 65,535 bytes (its
// offsets are 16-bit). The report gets the tile layout's size report, the
// unhandled block types met and an enemy layout error.
std::optional<std::vector<std::uint8_t>> build_map_file(Report& report, Bytes rom,
                                                        const MapHeader& h,
                                                        std::uint8_t block_filter);

// Writes map `map` to its map file. An absent map writes nothing.
ExportResult dump_map(Bytes rom, const MapExistsTable& exists, std::uint8_t map,
                      std::uint8_t block_filter);

}  // namespace gorv
