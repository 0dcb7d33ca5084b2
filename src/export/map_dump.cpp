#include "export/map_dump.h"

#include <algorithm>

#include "codec/block_decoder.h"
#include "export/enemy_layout.h"
#include "format/background_layout.h"

namespace gorv {

namespace {

MapValues map_values(const MapHeader& h) {
  MapValues v;
  v.width = h.width;
  v.size_byte = h.size_byte;
  v.attribute = h.attribute;
  v.theme_byte = h.theme_byte;
  v.start_x = h.start_x;
  v.start_y = h.start_y;
  v.end_x = h.end_x;
  v.end_y = h.end_y;
  return v;
}

// Expands the tile layout into the buffer behind the header as it stands
// while the file is being built (magic, values, the tile offset, zeros):
// the decoder measures back-references in the buffer, so a stream whose
// reference reaches before its product copies header bytes, as map files
// have always held them. Returns false when the buffer ran full.
bool expand_tiles(Report& report, Bytes rom, const MapHeader& h, MapFile& file) {
  OutputBuffer buffer;
  reset(buffer, static_cast<std::uint16_t>(kMapFileHeaderSize));
  const auto start = map_file_header_start(file.values);
  std::copy(start.begin(), start.end(), buffer.storage.begin());
  set_le16(buffer.storage, kCurrentMapFileLayout.offsets,
           static_cast<std::uint16_t>(kMapFileHeaderSize));
  expand_lz(report, rom, h.tile_address, h.grid_size, buffer);
  const auto product = contents(buffer).subspan(kMapFileHeaderSize);
  file.tiles.assign(product.begin(), product.end());
  return !buffer.full;
}

// The unhandled block types' messages, and with `name_losses` after the
// first entry of each type what the map file lacks; the types met only
// past the cut are named after the line that tells of it.
void report_unhandled(Report& report, const BlockDecoding& blocks, std::size_t grid_size,
                      std::uint8_t map, bool name_losses) {
  const std::size_t limit = unhandled_report_limit(grid_size);
  std::uint64_t named = 0;  // a bit per type code, as BlockDecoding::unhandled_types
  const auto name_loss = [&](std::uint8_t type_code) {
    const std::uint64_t bit = std::uint64_t{1} << type_code;
    if (!name_losses || (named & bit) != 0) return;
    named |= bit;
    say(report, msg::MapFileLacksBlocks{map, type_code});
  };
  for (std::size_t i = 0; i < blocks.unhandled.size(); ++i) {
    if (i == limit) {
      say(report, msg::UnhandledOmitted{});
      for (unsigned code = 0; code < 64; ++code)
        if (((blocks.unhandled_types >> code) & 1u) != 0)
          name_loss(static_cast<std::uint8_t>(code));
      return;
    }
    say(report, msg::UnhandledBlock{blocks.unhandled[i].type_code, blocks.unhandled[i].position});
    name_loss(blocks.unhandled[i].type_code);
  }
}

}  // namespace

std::optional<std::vector<std::uint8_t>> build_map_file(Report& report, Bytes rom,
                                                        const MapHeader& h, std::uint8_t map,
                                                        const MapDumpOptions& options) {
  MapFile file;
  file.values = map_values(h);
  const bool tiles_fit = expand_tiles(report, rom, h, file);
  BlockDecoding blocks =
      decode_block_cells(rom, h.block_address, h.width, h.grid_size, options.block_filter);
  report_unhandled(report, blocks, h.grid_size, map, options.name_losses);
  file.blocks = std::move(blocks.cells);
  file.background = read_background_layout(rom, h.background_address, map_theme(h));
  file.enemy = read_enemy_layout(report, rom, h.enemy_address);
  // The reader leaves the section out only after saying why.
  if (options.name_losses && !file.enemy.present) say(report, msg::MapFileLacksEnemies{map});
  if (!tiles_fit) return std::nullopt;
  std::vector<std::uint8_t> bytes = serialize_map_file(file);
  if (bytes.size() > kMaxMapFileSize) return std::nullopt;
  return bytes;
}

ExportResult dump_map(Bytes rom, const MapExistsTable& exists, std::uint8_t map,
                      const MapDumpOptions& options) {
  ExportResult result;
  Report& report = result.report;
  const MapHeader h = read_map_header(rom, map, options.directory);
  if (!map_exists(exists, map)) {
    say(report, msg::MapAbsent{});
    return result;
  }
  const std::string name = map_file_name(map);
  OutputFile file;
  if (!start_output_file(report, file, name)) return result;
  say(report, msg::WritingMap{name});
  const auto bytes = build_map_file(report, rom, h, map, options);
  result.written = finish_export_file(
      report, std::move(file),
      bytes ? std::span<const std::uint8_t>(*bytes) : std::span<const std::uint8_t>(),
      bytes.has_value(), msg::MapTooLarge{map});
  return result;
}

}  // namespace gorv
