// The new level directory and level data area that an import writes at
// 0x100000, and the references that lead the game to them.
#pragma once

#include <cstdint>
#include <vector>

#include "common/console.h"
#include "import/map_file_reader.h"

namespace gorv {

inline constexpr std::uint32_t kNewLevelDirectory = 0x100000;

// Writes into `image`, growing it with zero bytes where it is too short:
// the starting level, the level order pointer, the map header table, the
// level order table, the map headers and every map's four layouts (each at
// an even address) from 0x100000 on, then the seventeen references to the
// new directory. `records` are the present maps in ascending map number,
// with their tile layouts packed and every layout at most 65,535 bytes
// long; their layout addresses are filled in. Prints the progress lines.
// Returns the offset just past the level data.
std::uint64_t write_level_directory(Console& console, std::vector<MapRecord>& records,
                                    std::vector<std::uint8_t>& image);

}  // namespace gorv
