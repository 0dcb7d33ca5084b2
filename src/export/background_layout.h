// A map's background layout in its map-file form.
#pragma once

#include <cstdint>

#include "rom/output_buffer.h"
#include "rom/rom_image.h"

namespace gorv {

// Appends the map-file form of the background layout at `address` for a map
// of theme `theme` (0 to 15) at the buffer's cursor.
void read_background_layout(Bytes rom, std::uint64_t address, std::uint8_t theme,
                            OutputBuffer& out);

}  // namespace gorv
