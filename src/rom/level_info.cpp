#include "rom/level_info.h"

#include <string_view>

namespace gorv {

namespace {

// A word code's text: capitalised when it begins the name.
void append_word(std::string& name, std::string_view word) {
  const bool first = name.empty();
  name.append(word);
  if (first) name[0] = static_cast<char>(name[0] - 0x20);
}

}  // namespace

std::string decode_level_name(Bytes rom, std::uint64_t address, std::int8_t part) {
  std::string name;
  bool ended = false;
  for (std::uint64_t at = address; at < rom.size(); ++at) {
    const std::uint8_t code = read_u8(rom, at);
    if (code == 0xFF) {
      ended = true;
      break;
    }
    if (name.size() >= kLevelNameLimit) break;
    if (code == 0x7C || code == 0x7D) {
      append_word(name, "the");
    } else if (code == 0x7E) {
      append_word(name, "of");
    } else if (code == 0x7F) {
      append_word(name, "to");
    } else if (code == 0x83) {
      name.push_back('\'');
    } else if (code <= 0x7B || code == 0x84) {
      // The letter rule: the name's first letter is a capital, and so is
      // every character after a space (a second space thus becomes 0x00,
      // which ends the name).
      std::uint8_t c = code <= 0x5F || code == 0x84 ? 0x20 : code;
      if (name.empty()) {
        if (c >= 0x61 && c <= 0x7A) c -= 0x20;
      } else if (name.back() == ' ') {
        c -= 0x20;
      }
      if (c == 0x00) break;
      name.push_back(static_cast<char>(c));
    } else {
      name.push_back(static_cast<char>(code));
    }
  }
  // A word code may have run past the limit.
  if (name.size() > kLevelNameLimit) name.resize(kLevelNameLimit);
  if (ended && part > 0) {
    name.push_back(' ');
    name.append(static_cast<std::size_t>(part), 'I');
  }
  return name;
}

LevelInfo read_level_info(Bytes rom, std::uint8_t level, LevelDirectory directory) {
  LevelInfo info;
  info.level = level;
  const auto level_count = static_cast<std::int16_t>(read_be16(rom, kLevelCount));
  info.own_header = level < level_count;
  const std::uint32_t at =
      info.own_header ? kLevelHeaders + kLevelHeaderSize * level : kSharedLevelHeader;
  const auto part = static_cast<std::int8_t>(read_u8(rom, at + 9));
  info.name = decode_level_name(rom, read_be32(rom, at), part);
  info.path_bonus = read_u8(rom, kPathBonusTable + level);
  info.speed_bonus = read_u8(rom, kSpeedBonusTable + level);
  const std::uint32_t order_pointer = directory.start + kLevelOrderPointerField;
  info.map = read_u8(rom, std::uint64_t{read_be32(rom, order_pointer)} + level);
  info.header = read_map_header(rom, info.map, directory);
  return info;
}

}  // namespace gorv
