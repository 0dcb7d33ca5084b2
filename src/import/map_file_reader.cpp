#include "import/map_file_reader.h"

#include <algorithm>
#include <utility>

#include "common/byte_order.h"
#include "rom/game_facts.h"

namespace gorv {

namespace {

// The header image's first twelve bytes, big-endian as in the ROM image.
void fill_header(const MapValues& v, std::array<std::uint8_t, kMapHeaderSize>& header) {
  header.fill(0);
  header[0] = v.width;
  header[1] = v.size_byte;
  header[2] = v.attribute;
  header[3] = v.theme_byte;
  set_be16(header, 4, v.start_x);
  set_be16(header, 6, v.start_y);
  set_be16(header, 8, v.end_x);
  set_be16(header, 10, v.end_y);
}

}  // namespace

std::vector<BlockCell> working_cells(std::vector<BlockCell> cells, const MapValues& values) {
  const std::size_t squares = map_squares(values);
  const auto cols = static_cast<std::size_t>(grid_columns(values.width));
  const std::size_t given = std::min(squares, cells.size());
  cells.resize(given);
  cells.resize(squares + cols);  // the missing squares and the sentinel row are empty
  for (std::size_t i = 0; i < given; ++i) cells[i].type = working_type_of_cell_type(cells[i].type);
  // A wide block's second square gets the placeholder, whatever it held (a
  // wide block there is not seen as one); the sentinel row stays empty.
  for (std::size_t i = 0; i < given; ++i) {
    if (block_type_of_code(code_of_working_type(cells[i].type)) == kWideBlockType &&
        cells[i].type != 0 && ++i < squares)
      cells[i].type = kPlaceholderWorkingType;
  }
  return cells;
}

std::vector<BlockCell> working_cells(const MapFile& file) {
  return working_cells(file.blocks, file.values);
}

std::vector<std::uint8_t> enemy_record(const EnemySection& enemy) {
  std::vector<std::uint8_t> record(8, 0);
  record.insert(record.end(), enemy.art_load.begin(), enemy.art_load.end());
  append_be16(record, kEnemyHeaderEndWord);
  record.push_back(0x80);
  record.push_back(static_cast<std::uint8_t>(enemy.entries.size()));
  for (const auto& entry : enemy.entries) record.insert(record.end(), entry.begin(), entry.end());
  return record;
}

std::optional<MapFileError> read_map_file(std::span<const std::uint8_t> file, MapRecord& record) {
  ParsedMapFile parsed = parse_map_file(file);
  if (parsed.damage.problem != MapFileDamage::Problem::none) return map_file_error(parsed.damage);
  MapFile& map = parsed.file;

  fill_header(map.values, record.header);
  const std::uint16_t tile_count = grid_size16(map.values.width, map.values.size_byte);
  record.tile_layout.assign(map.tiles.begin(), map.tiles.begin() + tile_count);
  record.background = std::move(map.background);
  record.enemy = enemy_record(map.enemy);

  const std::vector<BlockCell> cells = working_cells(std::move(map.blocks), map.values);
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
  return std::nullopt;
}

}  // namespace gorv
