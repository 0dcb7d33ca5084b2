// -import: every map file of a directory back into the ROM image.
#pragma once

#include <string>
#include <vector>

#include "import/map_file_reader.h"
#include "report/report.h"
#include "rom/map_header.h"
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

// True when `path` is named like a backup copy an import keeps (it ends in
// .orig or .bak, in any letter case): no import goes into such a file.
bool is_backup_name(const std::string& path);

// The maps the game loaded from an image: the image and its directory.
struct LoadedMaps {
  Bytes image;
  LevelDirectory directory;
  MapExistsTable exists;
};
LoadedMaps loaded_maps(Bytes image);

// import_maps' first step: reads and checks the map files of `directory`
// that exist into `records`, in map order, saying each file's name, each
// record's tile layout packed into record.tile and, with `before`, the map
// the game loaded into record.before. A damaged or unreadable file stops
// it: returns false.
bool read_map_files(Report& report, const std::string& directory, std::vector<MapRecord>& records,
                    const LoadedMaps* before = nullptr);

}  // namespace gorv
