#include "sample_rom/sample_rom.h"

namespace gorv::sample {

void add_cartridge_header(std::vector<std::uint8_t>& rom) {
  (void)rom;
}

std::vector<std::uint8_t> build_sample_rom() {
  std::vector<std::uint8_t> rom(kSampleRomSize, 0);
  add_cartridge_header(rom);
  add_levels(rom);
  add_maps(rom);
  add_themes(rom);
  add_resources(rom);
  return rom;
}

}  // namespace gorv::sample
