// A map's enemy layout, read from the ROM image into its map-file form.
#pragma once

#include <cstdint>

#include "format/map_file.h"
#include "report/report.h"
#include "rom/rom_image.h"

namespace gorv {

// Checks the enemy layout at `address` and returns its map-file form. On
// bad data (no end word in the enemy header, or a list marker other than
// 0x80 and 0x00) the report gets the error and the section stays empty.
EnemySection read_enemy_layout(Report& report, Bytes rom, std::uint64_t address);

}  // namespace gorv
