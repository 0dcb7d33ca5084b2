#include <algorithm>
#include <array>
#include <string_view>

#include "sample_rom/sample_rom.h"

#include "import/level_directory.h"
#include "rom/map_header.h"
#include "rom/rom_image.h"

namespace gorv::sample {

namespace {

constexpr std::size_t kLevelOrderTable = 0x4F000;
constexpr std::size_t kLevelHeaders = 0x1A842;
constexpr std::size_t kSharedLevelHeader = 0x1AB1C;
constexpr std::size_t kLevelCountField = 0x1AB4C;
constexpr std::size_t kPathBonusTable = 0xD8E8;
constexpr std::size_t kSpeedBonusTable = 0xD934;
constexpr std::size_t kNameTexts = 0x20000;
constexpr int kLevels = 106;
constexpr int kLevelCount = 0x30;  // levels with a header of their own

// The game's code references to its level directory: the directory start,
// the level order pointer and the map header table.
constexpr std::array<std::size_t, 4> kDirectoryReferences = {0x000690, 0x0006B8, 0x011A50,
                                                             0x019AF8};
constexpr std::array<std::size_t, 11> kLevelOrderReferences = {
    0x00236C, 0x00BCD2, 0x011A38, 0x011AC8, 0x011D6E, 0x011DE0,
    0x014C3C, 0x019AE0, 0x03051A, 0x03075C, 0x0307E4};
constexpr std::array<std::size_t, 2> kMapTableReferences = {0x011A44, 0x019AEC};

// A level name in a readable shorthand: lower-case letters stand for
// themselves, ' ' is the space code 0x20, '_' the space code 0x84, '.' the
// space code 0x00, '^' and '~' the two "the" codes 0x7C and 0x7D, '#' "of"
// (0x7E), '>' "to" (0x7F), '\'' the apostrophe (0x83), '`' and '{' the codes
// 0x60 and 0x7B, '*' the raw byte 0x85.
struct LevelName {
  std::string_view text;
  std::int8_t part;
};

constexpr std::array<LevelName, kLevelCount> kNames = {{
    {"meadow run", 0},     {"meadow run", 1},     {"meadow run", 2},      {"^ slate caves", 0},
    {"^ slate caves", 3},  {"path > ~ sky", 0},   {"gorv's lantern", -1}, {"old_mill.wheel", 2},
    {"# ice and wind", 0}, {">wer > nowhere", 1}, {"rock  slide", 4},     {"cave `den {nook", 0},
    {"amber*road", 0},     {"frost ^ frog", -3},  {"sunken docks", 1},    {"sunken docks", 2},
    {"copper hollow", 0},  {"bramble ~ bend", 5}, {"quiet lake", 0},      {"pebble gorge", 1},
    {"hill # hats", 0},    {"misty steps", -128}, {"storm tower", 1},     {"storm tower", 2},
    {"storm tower", 3},    {"glass bridge", 0},   {"ember fields", 1},    {"ember fields", 2},
    {"owl's rest", 0},     {"tumble falls", 0},   {"drift canyon", 1},    {"drift canyon", 2},
    {"nettle marsh", 0},   {"lantern alley", 0},  {"paper harbour", 1},   {"paper harbour", 2},
    {"clock yard", 0},     {"velvet dunes", 0},   {"rusty rails", 1},     {"rusty rails", 2},
    {"moss temple", 0},    {"whistle pass", 0},   {"cinder vault", 1},    {"cinder vault", 2},
    {"hollow moon", 0},    {"last light", 0},     {"gorv's castle", 1},   {"gorv's castle", 2},
}};

constexpr LevelName kSharedName = {"^ secret rooms", 0};

std::uint8_t name_code(char c) {
  switch (c) {
    case ' ':
      return 0x20;
    case '_':
      return 0x84;
    case '.':
      return 0x00;
    case '^':
      return 0x7C;
    case '~':
      return 0x7D;
    case '#':
      return 0x7E;
    case '>':
      return 0x7F;
    case '\'':
      return 0x83;
    case '`':
      return 0x60;
    case '{':
      return 0x7B;
    case '*':
      return 0x85;
    default:
      return static_cast<std::uint8_t>(c);
  }
}

// Writes the name text at `at` with its end code; returns the next free offset.
std::size_t put_name(std::vector<std::uint8_t>& rom, std::size_t at, std::string_view text) {
  for (char c : text) rom[at++] = name_code(c);
  rom[at++] = 0xFF;
  return at;
}

// A level header: name address, five bytes this tool does not read, part.
void put_level_header(std::vector<std::uint8_t>& rom, std::size_t at, std::uint32_t name,
                      std::int8_t part, std::uint8_t filler) {
  set_be32(rom, at, name);
  for (std::size_t i = 4; i < 9; ++i) rom[at + i] = static_cast<std::uint8_t>(filler + i);
  rom[at + 9] = static_cast<std::uint8_t>(part);
}

}  // namespace

void add_levels(std::vector<std::uint8_t>& rom) {
  for (auto at : kDirectoryReferences) set_be32(rom, at, kLevelDirectory);
  for (auto at : kLevelOrderReferences) set_be32(rom, at, kLevelOrderPointer);
  for (auto at : kMapTableReferences) set_be32(rom, at, kMapHeaderTable);

  set_be32(rom, kLevelDirectory, 0);  // starting level
  set_be32(rom, kLevelOrderPointer, kLevelOrderTable);
  // The level order the import writes (the map of each level, then FF FF).
  std::copy(kLevelOrder.begin(), kLevelOrder.end(), rom.begin() + kLevelOrderTable);

  set_be16(rom, kLevelCountField, kLevelCount);
  std::size_t text = kNameTexts;
  for (std::size_t level = 0; level < kNames.size(); ++level) {
    put_level_header(rom, kLevelHeaders + 10 * level, static_cast<std::uint32_t>(text),
                     kNames[level].part, static_cast<std::uint8_t>(level));
    text = put_name(rom, text, kNames[level].text);
  }
  put_level_header(rom, kSharedLevelHeader, static_cast<std::uint32_t>(text), kSharedName.part,
                   0xA0);
  put_name(rom, text, kSharedName.text);

  // The bonus tables overlap (the speed table begins 0x4C bytes into the
  // path table); only the levels below the level count show their bonuses.
  for (std::size_t level = 0; level < kLevels; ++level)
    rom[kPathBonusTable + level] = static_cast<std::uint8_t>(1 + level * 7 % 20);
  for (std::size_t level = 0; level < kLevels; ++level)
    rom[kSpeedBonusTable + level] = static_cast<std::uint8_t>(45 + level * 13 % 150);
}

}  // namespace gorv::sample
