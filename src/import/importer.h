// -import: every map file of the current directory back into the ROM image.
#pragma once

#include <string>
#include <vector>

#include "common/console.h"
#include "import/map_file_reader.h"
#include "rom/rom_image.h"

namespace gorv {

// Reads, checks and encodes every map file, builds the new image from
// `rom` and replaces the file `rom_path` by it in one step. On any error
// the file stays as it was.
void import_maps(Console& console, const RomImage& rom, const std::string& rom_path);

// import_maps with the map files taken from `directory` ("" is the current
// directory).
void import_maps_from(Console& console, const RomImage& rom, const std::string& rom_path,
                      const std::string& directory);

// The two halves of import_maps, apart so that the tile layouts can be
// packed in between by other means (the benchmarks do).
//
// Reads and checks map00.gvm to map7d.gvm in `directory`, whichever exist,
// into `records` (tile layouts not yet packed), printing each file's name.
// A damaged or unreadable file stops it with an error: returns false.
bool read_map_files(Console& console, const std::string& directory,
                    std::vector<MapRecord>& records);

// Builds the new image from `rom` and the records, whose tile layouts are
// packed, and replaces the file `rom_path` by it. Refuses (changing
// nothing) when a layout is longer than 65,535 bytes.
void write_imported_image(Console& console, std::vector<MapRecord>& records, const RomImage& rom,
                          const std::string& rom_path);

}  // namespace gorv
