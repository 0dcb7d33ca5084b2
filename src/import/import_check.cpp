#include "import/import_check.h"

#include <algorithm>

#include "codec/block_decoder.h"
#include "codec/block_stream.h"
#include "codec/lz_decoder.h"
#include "common/byte_order.h"
#include "common/platform.h"
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
  const std::uint8_t width = record.header[0];
  const std::uint8_t size_byte = record.header[1];

  OutputBuffer tiles;
  tiles.storage.resize(record.tile_layout.size() + 256);  // room enough: no growing
  lz_decode(image, get_be32(image, at + kTileAddressField), grid_size16(width, size_byte), tiles);
  const auto product = contents(tiles);
  if (tiles.full || !std::equal(product.begin(), product.end(), record.tile_layout.begin(),
                                record.tile_layout.end()))
    return MapPart::tile;

  const auto squares = static_cast<std::size_t>(grid_squares(width, size_byte));
  const BlockDecoding decoded = decode_block_cells(image, get_be32(image, at + kBlockAddressField),
                                                   width, squares, kAllBlockTypes);
  std::size_t kept = 0;  // filled squares that hold a block after decoding
  for (const FilledSquare& filled : record.blocks) {
    if (filled.square >= squares) return MapPart::block;
    const BlockCell& cell = decoded.cells[filled.square];
    if (!same_cell(filled.cell, cell)) return MapPart::block;
    if (cell.type != 0) ++kept;
  }
  // Every other square stayed empty.
  if (decoded.filled != kept) return MapPart::block;

  if (!same_bytes(image, get_be32(image, at + kBackgroundAddressField), record.background))
    return MapPart::background;
  const std::uint32_t enemy = get_be32(image, at + kEnemyAddressField);
  // The record's first field is its own list's address, 16 bytes in.
  std::vector<std::uint8_t> expected = record.enemy;
  if (expected.size() >= 4) set_be32(expected, 0, enemy + 16);
  if (!same_bytes(image, enemy, expected)) return MapPart::enemy;
  return std::nullopt;
}

}  // namespace

std::optional<PackingFault> find_packing_fault(Bytes image, const std::vector<MapRecord>& records) {
  std::vector<std::optional<MapPart>> parts(records.size());
  for_each_on_two_threads(
      records.size(), [&](std::size_t i, std::size_t) { parts[i] = check_map(image, records[i]); });
  for (std::size_t i = 0; i < records.size(); ++i)
    if (parts[i]) return PackingFault{records[i].map, *parts[i]};
  return std::nullopt;
}

}  // namespace gorv
