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

// Reads every map of `records` (placed by write_level_directory) back from
// `image` as the game will load it: its header through the new directory's
// map header table, the tile layout unpacked to the map's grid size, the
// block layout stream (it must be the record's, whose cells the read-back
// decoded, as far as the encoder keeps the working cells), the background
// layout and the enemy record. Returns the first map that did not survive;
// nothing when all did.
std::optional<PackingFault> check_import(Bytes image, const std::vector<MapRecord>& records);

// True when `image` holds the map of `record` as the import writes it: its
// header values at `header_at`, and its four layouts where that header `h`
// says (the enemy record's list right behind it).
bool holds_record(Bytes image, std::uint64_t header_at, const MapHeader& h,
                  const MapRecord& record);

// The map as the game will load it once `record` is imported, as the check
// makes sure the new image holds it.
GameMap game_map_after(const MapRecord& record);

}  // namespace gorv
