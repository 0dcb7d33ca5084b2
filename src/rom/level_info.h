// The -info report of one level.
#pragma once

#include <cstdint>
#include <string>

#include "common/console.h"
#include "rom/map_header.h"
#include "rom/rom_image.h"

namespace gorv {

inline constexpr std::uint32_t kLevelCount = 0x1AB4C;
inline constexpr std::uint32_t kLevelHeaders = 0x1A842;
inline constexpr std::uint32_t kLevelHeaderSize = 10;
inline constexpr std::uint32_t kSharedLevelHeader = 0x1AB1C;
inline constexpr std::uint32_t kPathBonusTable = 0xD8E8;
inline constexpr std::uint32_t kSpeedBonusTable = 0xD934;
inline constexpr std::size_t kLevelNameLimit = 255;

// Prints the report of `level` and returns the level's map number (which
// becomes the current map); `header` receives that map's header.
std::uint8_t print_level_info(Console& console, Bytes rom, std::uint8_t level, MapHeader& header);

// Decodes the name text at `address` into plain text: letters capitalised
// after spaces, the word codes, the apostrophe, and at the end code the
// part number's " I..." suffix when `part` is above 0. Decoding also stops
// at the end of the image and after kLevelNameLimit characters of text.
std::string decode_level_name(Bytes rom, std::uint64_t address, std::int8_t part);

}  // namespace gorv
