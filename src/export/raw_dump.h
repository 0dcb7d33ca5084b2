// -decompress: the product of one LZ stream, written to 0x<ADDRESS>.dat.
#pragma once

#include <cstdint>

#include "common/console.h"
#include "rom/output_buffer.h"
#include "rom/rom_image.h"

namespace gorv {

void dump_raw(Console& console, Bytes rom, std::uint32_t address, OutputBuffer& buffer);

}  // namespace gorv
