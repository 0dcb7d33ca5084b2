// -theme: one theme's data, written to themeX.gvt.
#pragma once

#include <cstdint>
#include <string>

#include "common/console.h"
#include "rom/output_buffer.h"
#include "rom/rom_image.h"

namespace gorv {

// "themeX.gvt" with X the theme in lower-case hexadecimal.
std::string theme_file_name(std::uint8_t theme);

void dump_theme(Console& console, Bytes rom, std::uint8_t theme, OutputBuffer& buffer);

}  // namespace gorv
