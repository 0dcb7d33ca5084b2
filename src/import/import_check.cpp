#include "import/import_check.h"

#include <algorithm>

#include "codec/block_decoder.h"
#include "codec/block_stream.h"
#include "common/byte_order.h"
#include "common/platform.h"
#include "import/level_directory.h"
#include "rom/game_facts.h"

namespace gorv {

namespace {

bool same_bytes(Bytes image, std::uint64_t address, std::span<const std::uint8_t> expected) {
  if (address > image.size() || image.size() - address < expected.size()) return false;
  return std::equal(expected.begin(), expected.end(),
                    image.begin() + static_cast<std::ptrdiff_t>(address));
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

// Checks one map and says what changed against what the game loaded.
std::optional<MapPart> check_map(Bytes image, const MapRecord& record, MapChange& change) {
  const std::uint64_t table = kNewLevelDirectory + kMapHeaderTableField + 2u * record.map;
  if (table + 2 > image.size()) return MapPart::header;
  const std::uint64_t at = kNewLevelDirectory + get_be16(image, table);
  if (!same_bytes(image, at, std::span(record.header).first(kMapHeaderValuesSize)))
    return MapPart::header;
  if (at + kMapHeaderSize > image.size()) return MapPart::header;
  const MapHeader header = read_map_header(image, record.map, kImportedDirectory);
  const GameMap now = read_game_map(image, header);

  if (now.tiles != record.tile_layout) return MapPart::tile;

  std::size_t kept = 0;  // filled squares that hold a block after decoding
  std::size_t filled = 0;
  for (const BlockCell& cell : now.cells)
    if (cell.type != 0) ++filled;
  for (const FilledSquare& square : record.blocks) {
    if (square.square >= now.cells.size()) return MapPart::block;
    const BlockCell& cell = now.cells[square.square];
    if (!same_cell(square.cell, cell)) return MapPart::block;
    if (cell.type != 0) ++kept;
  }
  // Every other square stayed empty.
  if (filled != kept) return MapPart::block;

  if (!same_bytes(image, header.background_address, record.background)) return MapPart::background;
  // The record's first field is its own list's address, 16 bytes in.
  std::vector<std::uint8_t> expected = record.enemy;
  if (expected.size() >= 4) set_be32(expected, 0, header.enemy_address + 16);
  if (!same_bytes(image, header.enemy_address, expected)) return MapPart::enemy;
  change = compare_game_maps(record.before, now);
  return std::nullopt;
}

}  // namespace

ImportCheck check_import(Bytes image, const std::vector<MapRecord>& records) {
  ImportCheck check;
  std::vector<std::optional<MapPart>> parts(records.size());
  check.changes.resize(records.size());
  for_each_on_two_threads(records.size(), [&](std::size_t i, std::size_t) {
    parts[i] = check_map(image, records[i], check.changes[i]);
  });
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (parts[i]) {
      check.fault = PackingFault{records[i].map, *parts[i]};
      check.changes.clear();
      break;
    }
  }
  return check;
}

}  // namespace gorv
