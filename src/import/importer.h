// -import: every map file of a directory back into the ROM image.
#pragma once

#include <string>
#include <vector>

#include "common/report.h"
#include "import/map_file_reader.h"
#include "rom/rom_image.h"

namespace gorv {

struct ImportResult {
  Report report;
  bool replaced = false;  // the image file now holds the imported image
};

// Reads, checks and encodes map00.gvm to map7d.gvm of `directory` ("" is
// the current directory), builds the new image from `rom` and replaces the
// file `rom_path` by it in one step, after keeping the old image as
// `rom_path`.bak (and, before the first import, as `rom_path`.orig). Refuses
// an image too short to be a ROM image and a folder without map files; warns
// of maps of the image that no map file brings back and of map file names
// in the wrong case. On any error the file stays as it was.
//
// The new image is built in `rom`'s memory (copying 2 MiB into fresh pages
// costs more than packing many maps): a caller that needs the old image
// afterwards passes a copy.
ImportResult import_maps(RomImage rom, const std::string& rom_path,
                         const std::string& directory = {});

// The two halves of import_maps, apart so that the tile layouts can be
// packed in between by other means (the benchmarks do).
//
// Reads and checks the map files that exist into `records`, saying each
// file's name, with each record's tile layout packed into record.tile or
// left for the caller to pack. A damaged or unreadable file stops it:
// returns false.
enum class TileLayouts { unpacked, packed };
bool read_map_files(Report& report, const std::string& directory, std::vector<MapRecord>& records,
                    TileLayouts tiles);

// Builds the new image from `rom` and the records, whose tile layouts are
// packed, and replaces the file `rom_path` by it. Refuses (changing
// nothing) when a layout is longer than 65,535 bytes.
bool write_imported_image(Report& report, std::vector<MapRecord>& records, const RomImage& rom,
                          const std::string& rom_path);

}  // namespace gorv
