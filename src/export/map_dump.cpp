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

void report_unhandled(Report& report, const BlockDecoding& blocks, std::size_t grid_size) {
  const std::size_t limit = unhandled_report_limit(grid_size);
  for (std::size_t i = 0; i < blocks.unhandled.size(); ++i) {
    if (i == limit) {
      say(report, msg::UnhandledOmitted{});
      return;
    }
    say(report, msg::UnhandledBlock{blocks.unhandled[i].type_code, blocks.unhandled[i].position});
  }
}

}  // namespace

std::optional<std::vector<std::uint8_t>> build_map_file(Report& report, Bytes rom,
                                                        const MapHeader& h,
                                                        std::uint8_t block_filter) {
  MapFile file;
  file.values = map_values(h);
  const bool tiles_fit = expand_tiles(report, rom, h, file);
  BlockDecoding blocks =
      decode_block_cells(rom, h.block_address, h.width, h.grid_size, block_filter);
  report_unhandled(report, blocks, h.grid_size);
  file.blocks = std::move(blocks.cells);
  file.background = read_background_layout(rom, h.background_address, map_theme(h));
  file.enemy = read_enemy_layout(report, rom, h.enemy_address);
  if (!tiles_fit) return std::nullopt;
  std::vector<std::uint8_t> bytes = serialize_map_file(file);
  if (bytes.size() > kMaxMapFileSize) return std::nullopt;
  return bytes;
}

ExportResult dump_map(Bytes rom, const MapExistsTable& exists, std::uint8_t map,
                      std::uint8_t block_filter) {
  ExportResult result;
  Report& report = result.report;
  const MapHeader h = read_map_header(rom, map);
  if (!map_exists(exists, map)) {
    say(report, msg::MapAbsent{});
    return result;
  }
  const std::string name = map_file_name(map);
  OutputFile file;
  if (!start_output_file(report, file, name)) return result;
  say(report, msg::WritingMap{name});
  const auto bytes = build_map_file(report, rom, h, block_filter);
  result.written = finish_export_file(
      report, std::move(file),
      bytes ? std::span<const std::uint8_t>(*bytes) : std::span<const std::uint8_t>(),
      bytes.has_value(), msg::MapTooLarge{map});
  return result;
}

}  // namespace gorv
