// The import's check of its own work: every imported map read back from the
// new image, through the new level directory, as the game would find it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "format/game_map.h"
#include "import/map_file_reader.h"
#include "rom/rom_image.h"

namespace gorv {

// Where a map read back differs from what its map file gave.
struct PackingFault {
  std::uint8_t map = 0;
  MapPart part = MapPart::header;
};

struct ImportCheck {
  // The first map that did not survive; nothing when all did.
  std::optional<PackingFault> fault;
  // Each record's map as the game will load it against record.before, in
  // record order (set only when all maps survived).
  std::vector<MapChange> changes;
};

// Reads every map of `records` (placed by write_level_directory) back from
// `image` as the game will load it: its header through the new directory's
// map header table, the tile layout unpacked to the map's grid size, the
// block layout decoded to cells, the background layout and the enemy
// record. The first difference from the record (for the block layout: from
// its working cells, as far as the encoder keeps them) is the fault.
ImportCheck check_import(Bytes image, const std::vector<MapRecord>& records);

}  // namespace gorv
