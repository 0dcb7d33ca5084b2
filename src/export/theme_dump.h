// -theme: one theme's data, written to themeX.gvt.
#pragma once

#include <cstdint>
#include <string>

#include "export/export_file.h"
#include "rom/rom_image.h"

namespace gorv {

// "themeX.gvt" with X the theme in lower-case hexadecimal.
std::string theme_file_name(std::uint8_t theme);

ExportResult dump_theme(Bytes rom, std::uint8_t theme);

}  // namespace gorv
