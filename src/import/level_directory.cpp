#include "import/level_directory.h"

#include <algorithm>
#include <array>

#include "common/byte_order.h"

namespace gorv {

namespace {

void put_bytes(std::vector<std::uint8_t>& image, std::uint64_t offset,
               std::span<const std::uint8_t> bytes) {
  const auto end = static_cast<std::size_t>(offset + bytes.size());
  if (image.size() < end) image.resize(end, 0x00);
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

void put_be16(std::vector<std::uint8_t>& image, std::uint64_t offset, std::uint16_t value) {
  std::array<std::uint8_t, 2> bytes{};
  set_be16(bytes, 0, value);
  put_bytes(image, offset, bytes);
}

void put_be32(std::vector<std::uint8_t>& image, std::uint64_t offset, std::uint32_t value) {
  std::array<std::uint8_t, 4> bytes{};
  set_be32(bytes, 0, value);
  put_bytes(image, offset, bytes);
}

void say_phase(Report& report, ImportPhase phase) {
  say(report, msg::ImportStep{phase});
}

// Writes one layout at `position`, followed by a 0x00 when its length is
// odd, records its address in the header field `field` and returns the
// position behind it.
std::uint64_t place_layout(Report& report, MapPart part, const std::vector<std::uint8_t>& layout,
                           std::uint64_t position, MapRecord& record, std::size_t field,
                           std::vector<std::uint8_t>& image) {
  say(report, msg::ImportLayout{part, position, layout.size()});
  set_be32(record.header, field, static_cast<std::uint32_t>(position));
  put_bytes(image, position, layout);
  position += layout.size();
  if (layout.size() % 2 != 0) {
    const std::uint8_t pad = 0x00;
    put_bytes(image, position, std::span<const std::uint8_t>(&pad, 1));
    ++position;
  }
  return position;
}

}  // namespace

std::uint64_t level_data_end(const std::vector<MapRecord>& records) {
  std::uint64_t end = kNewLevelDirectory + kFirstMapHeaderField;
  for (const MapRecord& record : records) {
    end += kMapHeaderSize;
    for (const auto* layout : {&record.tile, &record.block, &record.background, &record.enemy})
      end += (layout->size() + 1) / 2 * 2;  // each layout starts at an even address
  }
  return end;
}

std::uint64_t write_level_directory(Report& report, std::vector<MapRecord>& records,
                                    std::vector<std::uint8_t>& image) {
  constexpr std::uint64_t directory = kNewLevelDirectory;
  say_phase(report, ImportPhase::starting_level);
  put_be32(image, directory + kStartingLevelField, 0);

  say_phase(report, ImportPhase::level_order_pointer);
  put_be32(image, directory + kLevelOrderPointerField, directory + kLevelOrderTableField);

  say_phase(report, ImportPhase::map_pointers);
  std::array<std::uint16_t, kMapCount> header_offsets{};
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].map < header_offsets.size())
      header_offsets[records[i].map] =
          static_cast<std::uint16_t>(kFirstMapHeaderField + kMapHeaderSize * i);
  }
  for (std::size_t map = 0; map < header_offsets.size(); ++map)
    put_be16(image, directory + kMapHeaderTableField + 2 * map, header_offsets[map]);

  say_phase(report, ImportPhase::level_order);
  put_bytes(image, directory + kLevelOrderTableField, kLevelOrder);

  say_phase(report, ImportPhase::level_data);
  const std::uint64_t headers = directory + kFirstMapHeaderField;
  std::uint64_t position = headers + kMapHeaderSize * records.size();
  for (MapRecord& record : records) {
    say(report, msg::ImportAppending{record.map});
    position = place_layout(report, MapPart::tile, record.tile, position, record, kTileAddressField,
                            image);
    position = place_layout(report, MapPart::block, record.block, position, record,
                            kBlockAddressField, image);
    position = place_layout(report, MapPart::background, record.background, position, record,
                            kBackgroundAddressField, image);
    // The record's first field points at its own entry list, 16 bytes in.
    if (record.enemy.size() >= 4)
      set_be32(record.enemy, 0, static_cast<std::uint32_t>(position + 16));
    position = place_layout(report, MapPart::enemy, record.enemy, position, record,
                            kEnemyAddressField, image);
  }
  const std::uint64_t data_end = position;

  say_phase(report, ImportPhase::level_headers);
  for (std::size_t i = 0; i < records.size(); ++i)
    put_bytes(image, headers + kMapHeaderSize * i, records[i].header);

  say_phase(report, ImportPhase::pointers);
  for (const BaseReference& reference : kBaseReferences)
    put_be32(image, reference.offset, kNewLevelDirectory + reference.field);
  return data_end;
}

}  // namespace gorv
