#include "rom/map_header.h"

namespace gorv {

namespace {

std::uint32_t table_entry_offset(LevelDirectory directory, int map) {
  return directory.start + kMapHeaderTableField + 2u * static_cast<std::uint32_t>(map);
}

}  // namespace

bool image_imported(Bytes rom) {
  if (rom.size() < kImportedLevelDirectory + kImportedFirstHeaderField) return false;
  for (const BaseReference& reference : kBaseReferences)
    if (read_be32(rom, reference.offset) != kImportedLevelDirectory + reference.field) return false;
  return true;
}

std::uint32_t map_header_offset(Bytes rom, std::uint8_t map, LevelDirectory directory) {
  return directory.start + read_be16(rom, table_entry_offset(directory, map));
}

MapHeader read_map_header(Bytes rom, std::uint8_t map, LevelDirectory directory) {
  const std::uint32_t at = map_header_offset(rom, map, directory);
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

MapExistsTable build_map_exists_table(Bytes rom, LevelDirectory directory) {
  MapExistsTable table;
  for (int map = 0; map < kMapCount; ++map) {
    const std::uint32_t entry = table_entry_offset(directory, map);
    const std::uint32_t at = map_header_offset(rom, static_cast<std::uint8_t>(map), directory);
    const bool whole = rom_contains(rom, entry, 2) && rom_contains(rom, at, kMapHeaderSize);
    const bool present = directory.imported
                             ? read_be16(rom, entry) != 0
                             : (read_u8(rom, at + 2) & 0x0F) == (read_u8(rom, at + 3) & 0x0F);
    table.entries[static_cast<std::size_t>(map)] = whole && present ? 0x00 : 0xFF;
  }
  return table;
}

}  // namespace gorv
