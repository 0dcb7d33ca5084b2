#include "import/import_check.h"

#include <algorithm>

#include "codec/block_decoder.h"
#include "codec/block_stream.h"
#include "codec/lz_decoder.h"
#include "common/byte_order.h"
#include "common/platform.h"
#include "format/background_layout.h"
#include "import/level_directory.h"
#include "rom/game_facts.h"
#include "rom/output_buffer.h"

namespace gorv {

namespace {

bool same_bytes(Bytes image, std::uint64_t address, std::span<const std::uint8_t> expected) {
  if (address > image.size() || image.size() - address < expected.size()) return false;
  return std::equal(expected.begin(), expected.end(),
                    image.begin() + static_cast<std::ptrdiff_t>(address));
}

// The first of the record's block layout stream, background layout and
// enemy record (its list right behind it) that `image` does not hold where
// `h` says; nothing when it holds them all.
std::optional<MapPart> layout_not_held(Bytes image, const MapHeader& h, const MapRecord& record) {
  if (!same_bytes(image, h.block_address, record.block)) return MapPart::block;
  if (!same_bytes(image, h.background_address, record.background)) return MapPart::background;
  const std::span<const std::uint8_t> enemy(record.enemy);
  if (enemy.size() < 4 || read_be32(image, h.enemy_address) != h.enemy_address + 16 ||
      !same_bytes(image, h.enemy_address + 4, enemy.subspan(4)))
    return MapPart::enemy;
  return std::nullopt;
}

// True when the group of working type `working` is written to the stream:
// plain types of every block type, variants of all but the last; the
// placeholder and other working types are dropped.
bool group_written(std::uint8_t working) {
  const std::uint8_t block_type = block_type_of_code(code_of_working_type(working));
  if (working == 0 || block_type >= kBlockTypeCount) return false;
  if ((working & kVariantBit) != 0 && block_type + 1 == kBlockTypeCount) return false;
  if (working != working_type_of_block_type(block_type) &&
      working != (working_type_of_block_type(block_type) | kVariantBit))
    return false;
  return block_type_format(block_type).payload != Payload::kUnhandled;
}

// A decoded square against its working cell: the type, and the data bits
// its block type stores. Squares of a type that is not written may hold
// whatever a run of a lower type leaves there, and are not compared.
bool same_cell(const BlockCell& working, const BlockCell& decoded) {
  if (working.type == 0) return decoded.type == 0;
  if (!group_written(working.type)) return true;
  const std::uint8_t code = code_of_working_type(working.type);
  if (decoded.type != cell_type_of_code(code)) return false;
  const BlockTypeFormat format = block_type_format(block_type_of_code(code));
  switch (format.payload) {
    case Payload::kRunValues: {
      const auto mask = static_cast<std::uint8_t>(block_field_mask(format.value_bits));
      return (working.d1 & mask) == decoded.d1;
    }
    case Payload::kRepeatData:
      return working.d1 == decoded.d1 && working.d2 == decoded.d2 &&
             (working.d3 & kRepeatD3Mask) == decoded.d3 && working.d4 == decoded.d4;
    case Payload::kData:
      return working.d1 == decoded.d1 && working.d2 == decoded.d2 && working.d3 == decoded.d3 &&
             (working.d4 & kDataD4Mask) == decoded.d4;
    case Payload::kRun:
    case Payload::kNone:
    case Payload::kUnhandled:
      break;
  }
  return true;
}

std::optional<MapPart> check_map(Bytes image, const MapRecord& record) {
  const std::uint64_t table = kNewLevelDirectory + kMapHeaderTableField + 2u * record.map;
  if (table + 2 > image.size()) return MapPart::header;
  const std::uint64_t at = kNewLevelDirectory + get_be16(image, table);
  if (!same_bytes(image, at, std::span(record.header).first(kMapHeaderValuesSize)))
    return MapPart::header;
  if (at + kMapHeaderSize > image.size()) return MapPart::header;
  const MapHeader header = read_map_header(image, record.map, kImportedDirectory);

  OutputBuffer tiles;
  tiles.storage.resize(record.tile_layout.size() + 256);  // room enough: no growing
  lz_decode(image, header.tile_address, header.grid_size, tiles);
  const auto product = contents(tiles);
  if (tiles.full || !std::equal(product.begin(), product.end(), record.tile_layout.begin(),
                                record.tile_layout.end()))
    return MapPart::tile;

  // The block layout stream in the image is the one the read-back decoded
  // when the file was read (a stream that ends within itself decodes the
  // same wherever it lies): its cells are what the game reads.
  if (const auto part = layout_not_held(image, header, record)) return part;
  if (!record.read_back.stream_ended) return MapPart::block;
  const std::vector<BlockCell>& cells = record.read_back.cells;
  std::size_t kept = 0;  // filled squares that hold a block after decoding
  for (const FilledSquare& square : record.blocks) {
    if (square.square >= cells.size()) return MapPart::block;
    const BlockCell& cell = cells[square.square];
    if (!same_cell(square.cell, cell)) return MapPart::block;
    if (cell.type != 0) ++kept;
  }
  // Every other square stayed empty.
  if (record.read_back.filled != kept) return MapPart::block;

  return std::nullopt;
}

}  // namespace

std::optional<PackingFault> check_import(Bytes image, const std::vector<MapRecord>& records) {
  std::vector<std::optional<MapPart>> parts(records.size());
  for_each_on_two_threads(
      records.size(), [&](std::size_t i, std::size_t) { parts[i] = check_map(image, records[i]); });
  for (std::size_t i = 0; i < records.size(); ++i)
    if (parts[i]) return PackingFault{records[i].map, *parts[i]};
  return std::nullopt;
}

bool holds_record(Bytes image, std::uint64_t header_at, const MapHeader& h,
                  const MapRecord& record) {
  return same_bytes(image, header_at, std::span(record.header).first(kMapHeaderValuesSize)) &&
         same_bytes(image, h.tile_address, record.tile) && !layout_not_held(image, h, record);
}

GameMap game_map_after(const MapRecord& record) {
  GameMap map;
  map.values = values_of_header(record.header);
  map.cells = record.read_back.cells;
  map.tiles = record.tile_layout;
  map.tiles.resize(map.cells.size());  // one a square, as read_game_map gives them
  // As the game reads the background layout; a list that starts with the
  // indirect marker leads elsewhere in the image, which this reading of
  // the layout alone takes for an empty list (it differs either way).
  map.background = read_background_layout(record.background, 0, theme_of(map.values.theme_byte));
  map.enemy = read_enemy_record(record.enemy);
  return map;
}

}  // namespace gorv
