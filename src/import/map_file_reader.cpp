#include "import/map_file_reader.h"

#include <algorithm>
#include <utility>

#include "rom/game_facts.h"

namespace gorv {

std::optional<MapFileError> read_map_file(std::span<const std::uint8_t> file, MapRecord& record) {
  ParsedMapFile parsed = parse_map_file(file);
  if (parsed.damage.problem != MapFileDamage::Problem::none) return map_file_error(parsed.damage);
  MapFile& map = parsed.file;

  record.header.fill(0);
  const auto values = header_values_image(map.values);
  std::copy(values.begin(), values.end(), record.header.begin());
  const std::uint16_t tile_count = grid_size16(map.values.width, map.values.size_byte);
  record.tile_layout.assign(map.tiles.begin(), map.tiles.begin() + tile_count);

  const std::vector<BlockCell> cells = working_cells(map.blocks, map.values);
  BlockEncoding encoding = encode_block_layout(cells, map.values.width, map.values.size_byte);
  record.blocks.clear();
  for (std::size_t i = 0; i < cells.size(); ++i)
    if (cells[i].type != 0) record.blocks.push_back({static_cast<std::uint32_t>(i), cells[i]});
  if (encoding.error != BlockEncodeError::none) {
    MapFileError error = map_file_error(MapFileError::Kind::cannot_encode);
    error.encode_error = encoding.error;
    error.width = map.values.width;
    error.size_byte = map.values.size_byte;
    return error;
  }
  record.block = std::move(encoding.stream);
  record.read_back = read_back(map, record.block);
  record.background = std::move(map.background);
  record.enemy = enemy_record(map.enemy);
  return std::nullopt;
}

std::optional<MapFileError> layout_too_long(const MapRecord& record) {
  constexpr std::size_t kMaxLayoutLength = 0xFFFF;
  const std::pair<MapPart, const std::vector<std::uint8_t>*> layouts[] = {
      {MapPart::tile, &record.tile},
      {MapPart::block, &record.block},
      {MapPart::background, &record.background},
      {MapPart::enemy, &record.enemy}};
  for (const auto& [part, layout] : layouts) {
    if (layout->size() <= kMaxLayoutLength) continue;
    MapFileError error = map_file_error(MapFileError::Kind::layout_too_long);
    error.layout = part;
    error.length = layout->size();
    return error;
  }
  return std::nullopt;
}

}  // namespace gorv
