// The header data of one level, as the -info report shows them.
#pragma once

#include <cstdint>
#include <string>

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

struct LevelInfo {
  std::uint8_t level = 0;
  std::string name;
  // Levels below the level count have a header of their own, with bonuses;
  // the others share one header and show none.
  bool own_header = false;
  unsigned path_bonus = 0;   // thousands of points
  unsigned speed_bonus = 0;  // seconds
  std::uint8_t map = 0;      // the level's map, through the level order table
  MapHeader header;          // that map's header
};

// Level `level`'s data; its map through the level order table of
// `directory`.
LevelInfo read_level_info(Bytes rom, std::uint8_t level,
                          LevelDirectory directory = kGameLevelDirectory);

// Decodes the name text at `address` into plain text: letters capitalised
// after spaces, the word codes, the apostrophe, and at the end code the
// part number's " I..." suffix when `part` is above 0. Decoding also stops
// at the end of the image and after kLevelNameLimit characters of text.
std::string decode_level_name(Bytes rom, std::uint64_t address, std::int8_t part);

}  // namespace gorv
