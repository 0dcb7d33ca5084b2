// --patch and --apply: BPS patches between the ROM image and another image.
#pragma once

#include <string>

#include "report/report.h"
#include "rom/rom_image.h"

namespace gorv {

// Writes <image name without extension>.bps in the current directory: the
// patch that turns the image `clean_path` into `rom`. The patch is applied
// in memory and compared with the image before it is written.
Report write_patch(const RomImage& rom, const std::string& rom_path, const std::string& clean_path);

// Applies the patch `patch_path` to `rom` and writes the result as <patch
// name without extension> + the image's extension in the current
// directory, never over an existing file. Every check comes before writing.
Report apply_patch(const RomImage& rom, const std::string& rom_path, const std::string& patch_path);

}  // namespace gorv
