// The last step of an import: the image grows to whole 1 MiB blocks and its
// cartridge header gets the new end address and checksum.
#pragma once

#include <cstdint>
#include <vector>

#include "report/report.h"
#include "rom/rom_image.h"

namespace gorv {

inline constexpr std::size_t kImageSizeUnit = 0x100000;
// The most cartridge ROM the console reads: 4 MiB.
inline constexpr std::size_t kConsoleRomLimit = 4 * kImageSizeUnit;
inline constexpr std::size_t kChecksumOffset = 0x18E;
inline constexpr std::size_t kEndAddressOffset = 0x1A4;
inline constexpr std::size_t kChecksumStart = 0x200;

// The 16-bit sum of the big-endian words from 0x200 to the end of the image
// (a last odd byte counts as a word with a low byte of 0).
std::uint16_t image_checksum(Bytes image);

// Pads the image with 0xFF to a multiple of 0x100000 bytes (never shortens
// it), writes its last offset at 0x1A4 and its checksum at 0x18E, saying
// import_adjusting and import_fixing.
void finish_image(Report& report, std::vector<std::uint8_t>& image);

}  // namespace gorv
