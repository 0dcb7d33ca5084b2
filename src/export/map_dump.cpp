#include "export/map_dump.h"

#include <string>

#include "codec/block_decoder.h"
#include "codec/lz_decoder.h"
#include "common/file_io.h"
#include "common/text.h"
#include "export/background_layout.h"
#include "export/enemy_layout.h"
#include "export/export_file.h"

namespace gorv {

namespace {

constexpr std::uint16_t kMapFileHeaderSize = 28;

// Where the header of a map file keeps the offset of each section, and the
// offset of the end of the last one (the file's length).
constexpr std::size_t kTileOffsetField = 18;
constexpr std::size_t kBlockOffsetField = 20;
constexpr std::size_t kBackgroundOffsetField = 22;
constexpr std::size_t kEnemyOffsetField = 24;
constexpr std::size_t kEndOffsetField = 26;

void set_le16(OutputBuffer& buffer, std::size_t at, std::uint16_t value) {
  buffer.storage[at] = static_cast<std::uint8_t>(value);
  buffer.storage[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Header bytes 0 to 17: magic, layout marker, the map header's size, attribute
// and theme bytes as they stand, and its four positions little-endian.
void fill_header(OutputBuffer& buffer, const MapHeader& h) {
  const std::uint8_t start[] = {'G', 'M', 'A', 'P', 0x80, 0x00};
  for (std::size_t i = 0; i < sizeof start; ++i) buffer.storage[i] = start[i];
  buffer.storage[6] = h.width;
  buffer.storage[7] = static_cast<std::uint8_t>(h.extra_rows << 6 | h.height);
  buffer.storage[8] = h.attribute;
  buffer.storage[9] = h.theme_byte;
  set_le16(buffer, 10, h.start_x);
  set_le16(buffer, 12, h.start_y);
  set_le16(buffer, 14, h.end_x);
  set_le16(buffer, 16, h.end_y);
}

}  // namespace

std::string map_file_name(std::uint8_t map) {
  return format("map%02x.gvm", static_cast<unsigned>(map));
}

void dump_map(Console& console, Bytes rom, const MapExistsTable& exists, std::uint8_t map,
              std::uint8_t block_filter, OutputBuffer& buffer) {
  const MapHeader h = read_map_header(rom, map);
  if (!map_exists(exists, map)) {
    print_error(console, "this map doesn't exist");
    pause(console);
    return;
  }

  const std::string name = map_file_name(map);
  OutputFile file;
  if (!start_export_file(console, file, name)) {
    pause(console);
    return;
  }

  reset(buffer, kMapFileHeaderSize);
  fill_header(buffer, h);
  set_le16(buffer, kTileOffsetField, buffer.cursor);
  say(console, format("\nWriting map as \"%s\"...\n\n", name.c_str()));

  const LzDecodeResult tiles = lz_decode(rom, h.tile_address, h.grid_size, buffer);
  say(console, lz_size_report(tiles));
  set_le16(buffer, kBlockOffsetField, buffer.cursor);

  const auto unhandled =
      decode_block_layout(rom, h.block_address, h.width, h.grid_size, block_filter, buffer);
  for (std::size_t i = 0; i < unhandled.size(); ++i) {
    if (i == unhandled_report_limit(h.grid_size)) {
      say(console, unhandled_block_types_omitted_message());
      pause(console);
      break;
    }
    say(console, unhandled_block_type_message(unhandled[i]));
    pause(console);
  }
  set_le16(buffer, kBackgroundOffsetField, buffer.cursor);

  read_background_layout(rom, h.background_address, map_theme(h), buffer);
  set_le16(buffer, kEnemyOffsetField, buffer.cursor);

  read_enemy_layout(console, rom, h.enemy_address, buffer);
  set_le16(buffer, kEndOffsetField, buffer.cursor);

  // The header's offsets are 16-bit: a map whose file would pass 65,535
  // bytes cannot be written correctly, so it is not written at all.
  if (!finish_export_file(console, file, buffer,
                          format("map 0x%02X is too large for a map file", map)))
    pause(console);
}

}  // namespace gorv
