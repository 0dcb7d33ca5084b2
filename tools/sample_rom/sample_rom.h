// The synthetic sample ROM image: every structure the tool reads, at the
// game's fixed offsets, made entirely by this project (no byte comes from a
// real game).
//
// Where things lie in the 1 MiB image:
//   0x000100-0x0001FF  cartridge header area (checksum 0x18E, end 0x1A4)
//   fixed places       the seventeen references to the level directory
//   0x004668 etc.      resource blocks and pointers at their fixed offsets
//   0x00D8E8/0x00D934  bonus tables; 0x01A842.. level headers, 0x01AB4C count
//   0x020000-0x02FFFF  level name texts
//   0x04033A           level directory: level order pointer, map header table
//   0x040440-0x04EFFF  map headers
//   0x04F000           level order table
//   0x050000-0x078FFF  map layouts (tile, block, background, enemy)
//   0x07B018           theme pointer area; 0x07B100.. theme tables
//   0x080000-0x098FFF  theme sections
//   0x0A1000-0x0A7FFF  data behind the resource pointers
#pragma once

#include <cstdint>
#include <vector>

namespace gorv::sample {

inline constexpr std::size_t kSampleRomSize = 0x100000;

// Builds the whole 1 MiB sample image from the pieces below.
std::vector<std::uint8_t> build_sample_rom();

// The pieces; each writes its own structures into an image of at least
// kSampleRomSize bytes.
void add_cartridge_header(std::vector<std::uint8_t>& rom);  // sample_rom.cpp
void add_levels(std::vector<std::uint8_t>& rom);            // sample_levels.cpp
void add_maps(std::vector<std::uint8_t>& rom);              // sample_maps.cpp
void add_themes(std::vector<std::uint8_t>& rom);            // sample_themes.cpp
void add_resources(std::vector<std::uint8_t>& rom);         // sample_resources.cpp

}  // namespace gorv::sample
