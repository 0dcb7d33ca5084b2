// A map's background layout, read from the ROM image into its map-file form.
#pragma once

#include <cstdint>
#include <vector>

#include "rom/rom_image.h"

namespace gorv {

// The map-file form of the background layout at `address` for a map of
// theme `theme` (0 to 15): for a list theme the entries up to the end word,
// B and C made relative to the bases of an indirect header, then FF FF (a
// list cut short by the end of the image ends with its last whole entry; a
// list is read only until it passes kMaxMapFileSize bytes, as no map file
// can hold a longer one);
// for a fixed theme the 232 bytes as they stand, bytes past the end of the
// image counting as 0xFF; nothing for the other themes.
std::vector<std::uint8_t> read_background_layout(Bytes rom, std::uint64_t address,
                                                 std::uint8_t theme);

}  // namespace gorv
