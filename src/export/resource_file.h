// -resource: the editor's resource file gorvedit.dat.
#pragma once

#include "common/console.h"
#include "rom/output_buffer.h"
#include "rom/rom_image.h"

namespace gorv {

inline constexpr const char* kResourceFileName = "gorvedit.dat";

void write_resource_file(Console& console, Bytes rom, OutputBuffer& buffer);

}  // namespace gorv
