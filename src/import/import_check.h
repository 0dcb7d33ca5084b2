// The import's check of its own work: every imported map read back from the
// new image, through the new level directory, as the game would find it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "import/map_file_reader.h"
#include "rom/rom_image.h"

namespace gorv {

// Where a map read back differs from what its map file gave.
struct PackingFault {
  std::uint8_t map = 0;
  MapPart part = MapPart::header;
};

// Reads every map of `records` (placed by write_level_directory) back from
// `image`: its header through the new directory's map header table, the
// tile layout unpacked to the map's grid size, the block layout decoded to
// cells, the background layout and the enemy record. The first difference
// from the record (for the block layout: from its working cells, as far as
// the encoder keeps them) is returned; nothing when all maps survived.
std::optional<PackingFault> find_packing_fault(Bytes image, const std::vector<MapRecord>& records);

}  // namespace gorv
