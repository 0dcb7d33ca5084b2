#include "format/background_layout.h"

#include "common/byte_order.h"
#include "format/map_file.h"
#include "rom/game_facts.h"

namespace gorv {

namespace {

void read_list(Bytes rom, std::uint64_t address, std::vector<std::uint8_t>& out) {
  std::uint64_t at = address;
  std::uint16_t base_b = 0;
  std::uint16_t base_c = 0;
  if (rom_contains(rom, at, 2) && read_be16(rom, at) == kBackgroundIndirectMarker) {
    base_b = read_be16(rom, at + 2);
    base_c = read_be16(rom, at + 4);
    at = read_be32(rom, at + 6);
  }
  // A list that grows past the longest map file is read no further: no map
  // file is made of it (zero bytes read as entries up to the end of the
  // image).
  while (out.size() <= kMaxMapFileSize && rom_contains(rom, at, 2) &&
         read_be16(rom, at) != kBackgroundEndWord && rom_contains(rom, at, kBackgroundEntrySize)) {
    append_be16(out, read_be16(rom, at));
    append_be16(out, static_cast<std::uint16_t>(read_be16(rom, at + 2) - base_b));
    append_be16(out, static_cast<std::uint16_t>(read_be16(rom, at + 4) - base_c));
    at += kBackgroundEntrySize;
  }
  append_be16(out, kBackgroundEndWord);
}

void read_fixed(Bytes rom, std::uint64_t address, std::vector<std::uint8_t>& out) {
  for (std::uint64_t i = 0; i < kFixedBackgroundSize; ++i) {
    const std::uint64_t at = address + i;
    out.push_back(at < rom.size() ? rom[static_cast<std::size_t>(at)] : 0xFF);
  }
}

}  // namespace

std::vector<std::uint8_t> read_background_layout(Bytes rom, std::uint64_t address,
                                                 std::uint8_t theme) {
  std::vector<std::uint8_t> out;
  switch (background_form(theme)) {
    case BackgroundForm::list:
      read_list(rom, address, out);
      break;
    case BackgroundForm::fixed:
      read_fixed(rom, address, out);
      break;
    case BackgroundForm::none:
      break;
  }
  return out;
}

}  // namespace gorv
