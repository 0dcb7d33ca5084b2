// -import: every map file of the current directory back into the ROM image.
#pragma once

#include <string>

#include "common/console.h"
#include "rom/rom_image.h"

namespace gorv {

// Reads, checks and encodes every map file, builds the new image from
// `rom` and replaces the file `rom_path` by it in one step. On any error
// the file stays as it was.
void import_maps(Console& console, const RomImage& rom, const std::string& rom_path);

}  // namespace gorv
