// The -info report of one level.
#pragma once

#include <cstdint>
#include <string>

#include "common/console.h"
#include "rom/map_header.h"
#include "rom/rom_image.h"

namespace gorv {

// Prints the report of `level` and returns the level's map number (which
// becomes the current map); `header` receives that map's header.
std::uint8_t print_level_info(Console& console, Bytes rom, std::uint8_t level, MapHeader& header);

}  // namespace gorv
