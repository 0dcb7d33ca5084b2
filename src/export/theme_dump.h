// -theme: one theme's data, written to themeX.gvt.
#pragma once

#include <cstdint>

#include "common/console.h"
#include "rom/output_buffer.h"
#include "rom/rom_image.h"

namespace gorv {

void dump_theme(Console& console, Bytes rom, std::uint8_t theme, OutputBuffer& buffer);

}  // namespace gorv
