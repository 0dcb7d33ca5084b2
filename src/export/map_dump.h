// -map: one map's header and four layouts, written to mapXX.gvm.
#pragma once

#include <cstdint>
#include <string>

#include "common/console.h"
#include "rom/map_header.h"
#include "rom/output_buffer.h"
#include "rom/rom_image.h"

namespace gorv {

// "mapXX.gvm" with XX two lower-case hexadecimal digits.
std::string map_file_name(std::uint8_t map);

void dump_map(Console& console, Bytes rom, const MapExistsTable& exists, std::uint8_t map,
              std::uint8_t block_filter, OutputBuffer& buffer);

}  // namespace gorv
