#include "rom/map_header.h"

namespace gorv {

std::uint32_t map_header_offset(Bytes rom, std::uint8_t map) {
  return kLevelDirectory + read_be16(rom, kMapHeaderTable + 2u * map);
}

MapHeader read_map_header(Bytes rom, std::uint8_t map) {
  const std::uint32_t at = map_header_offset(rom, map);
  MapHeader h;
  h.width = read_u8(rom, at);
  h.size_byte = read_u8(rom, at + 1);
  h.attribute = read_u8(rom, at + 2);
  h.theme_byte = read_u8(rom, at + 3);
  h.start_x = read_be16(rom, at + 4);
  h.start_y = read_be16(rom, at + 6);
  h.end_x = read_be16(rom, at + 8);
  h.end_y = read_be16(rom, at + 10);
  h.tile_address = read_be32(rom, at + kTileAddressField);
  h.block_address = read_be32(rom, at + kBlockAddressField);
  h.background_address = read_be32(rom, at + kBackgroundAddressField);
  h.enemy_address = read_be32(rom, at + kEnemyAddressField);
  h.grid_size = grid_size16(h.width, h.size_byte);
  return h;
}

MapExistsTable build_map_exists_table(Bytes rom) {
  MapExistsTable table;
  for (int map = 0; map < kMapCount; ++map) {
    const std::uint32_t at = map_header_offset(rom, static_cast<std::uint8_t>(map));
    const bool whole =
        rom_contains(rom, kMapHeaderTable + 2u * map, 2) && rom_contains(rom, at, kMapHeaderSize);
    const bool nibbles_agree = (read_u8(rom, at + 2) & 0x0F) == (read_u8(rom, at + 3) & 0x0F);
    table.entries[static_cast<std::size_t>(map)] = whole && nibbles_agree ? 0x00 : 0xFF;
  }
  return table;
}

}  // namespace gorv
