// -map: one map's header and four layouts, written to mapXX.gvm.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "codec/block_decoder.h"
#include "export/export_file.h"
#include "format/map_file.h"
#include "rom/map_header.h"
#include "rom/rom_image.h"

namespace gorv {

// How a map is dumped.
struct MapDumpOptions {
  std::uint8_t block_filter = kAllBlockTypes;      // the one block type kept, or all
  LevelDirectory directory = kGameLevelDirectory;  // whose header and exists table
  // After the enemy layout's error and after the first entry of each
  // unhandled block type, say what the map file lacks (--all-maps).
  bool name_losses = false;
};

// The bytes of the map file of map `map`, whose header is `h`, built from
// the ROM image; nothing when the map cannot make a map file of at most
// 65,535 bytes (its offsets are 16-bit). The report gets the tile layout's
// size report, the unhandled block types met and an enemy layout error.
std::optional<std::vector<std::uint8_t>> build_map_file(Report& report, Bytes rom,
                                                        const MapHeader& h, std::uint8_t map,
                                                        const MapDumpOptions& options);

// Writes map `map` to its map file; `exists` is the exists table of the
// options' directory. An absent map writes nothing.
ExportResult dump_map(Bytes rom, const MapExistsTable& exists, std::uint8_t map,
                      const MapDumpOptions& options);

}  // namespace gorv
