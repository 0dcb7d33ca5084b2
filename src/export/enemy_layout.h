// A map's enemy layout in its map-file form.
#pragma once

#include <cstdint>

#include "common/console.h"
#include "rom/output_buffer.h"
#include "rom/rom_image.h"

namespace gorv {

// Checks the enemy layout at `address` and appends its map-file form at the
// buffer's cursor; on bad data prints one of the two error lines and
// appends nothing.
void read_enemy_layout(Console& console, Bytes rom, std::uint64_t address, OutputBuffer& out);

}  // namespace gorv
