#include "sample_rom/sample_rom.h"

#include "rom/rom_image.h"

#include <string_view>

namespace gorv::sample {

namespace {

constexpr std::size_t kChecksumField = 0x18E;
constexpr std::size_t kEndAddressField = 0x1A4;
constexpr std::size_t kChecksumStart = 0x200;

// Writes `text` at `at`, padded with spaces to `width` bytes.
void put_text(std::vector<std::uint8_t>& rom, std::size_t at, std::string_view text,
              std::size_t width) {
  for (std::size_t i = 0; i < width; ++i)
    rom[at + i] = static_cast<std::uint8_t>(i < text.size() ? text[i] : ' ');
}

}  // namespace

void add_cartridge_header(std::vector<std::uint8_t>& rom) {
  // Our own wording throughout; only the two fields the import rewrites
  // (checksum and end address) have a fixed meaning.
  put_text(rom, 0x100, "GORVTOOL SAMPLE", 16);
  put_text(rom, 0x110, "SYNTHETIC 2026", 16);
  put_text(rom, 0x120, "GORVAN SAMPLE IMAGE FOR GORVTOOL", 48);
  put_text(rom, 0x150, "GORVAN SAMPLE IMAGE FOR GORVTOOL", 48);
  put_text(rom, 0x180, "SAMPLE-0001", 14);
  set_be32(rom, 0x1A0, 0);  // start address
  set_be32(rom, 0x1A8, 0);
  put_text(rom, 0x1B0, "", 0x50);
}

std::vector<std::uint8_t> build_sample_rom() {
  std::vector<std::uint8_t> rom(kSampleRomSize, 0);
  add_cartridge_header(rom);
  add_levels(rom);
  add_maps(rom);
  add_themes(rom);
  add_resources(rom);

  // The end address and the checksum over everything from 0x200 on, as an
  // import leaves them.
  set_be32(rom, kEndAddressField, static_cast<std::uint32_t>(rom.size() - 1));
  std::uint16_t sum = 0;
  for (std::size_t at = kChecksumStart; at + 1 < rom.size(); at += 2)
    sum = static_cast<std::uint16_t>(sum + (rom[at] << 8 | rom[at + 1]));
  set_be16(rom, kChecksumField, sum);
  return rom;
}

}  // namespace gorv::sample
