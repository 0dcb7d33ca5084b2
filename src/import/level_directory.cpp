#include "import/level_directory.h"

#include <array>

#include "common/text.h"
#include "rom/map_header.h"

namespace gorv {

namespace {

constexpr std::uint32_t kLevelOrderTableAddress = kNewLevelDirectory + 0x104;
// Header offset of the first present map; the i-th (from 1) gets 0x154 + 28 i.
constexpr std::uint32_t kHeaderOffsetBase = 0x154;

// The places that hold the directory's address or that of one of its first
// three fields, in the order they are written.
struct BaseReference {
  std::uint32_t offset;
  std::uint32_t value;
};
constexpr std::array<BaseReference, 17> kBaseReferences = {{
    {0x000690, 0x00100000},
    {0x0006B8, 0x00100000},
    {0x011A50, 0x00100000},
    {0x019AF8, 0x00100000},
    {0x00236C, 0x00100004},
    {0x00BCD2, 0x00100004},
    {0x011A38, 0x00100004},
    {0x011AC8, 0x00100004},
    {0x011D6E, 0x00100004},
    {0x011DE0, 0x00100004},
    {0x014C3C, 0x00100004},
    {0x019AE0, 0x00100004},
    {0x03051A, 0x00100004},
    {0x03075C, 0x00100004},
    {0x0307E4, 0x00100004},
    {0x011A44, 0x00100008},
    {0x019AEC, 0x00100008},
}};

void put_bytes(std::vector<std::uint8_t>& image, std::uint64_t offset,
               std::span<const std::uint8_t> bytes) {
  const auto end = static_cast<std::size_t>(offset + bytes.size());
  if (image.size() < end) image.resize(end, 0x00);
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
}

void put_be16(std::vector<std::uint8_t>& image, std::uint64_t offset, std::uint32_t value) {
  const std::array<std::uint8_t, 2> bytes = {static_cast<std::uint8_t>(value >> 8),
                                             static_cast<std::uint8_t>(value)};
  put_bytes(image, offset, bytes);
}

void put_be32(std::vector<std::uint8_t>& image, std::uint64_t offset, std::uint32_t value) {
  put_be16(image, offset, value >> 16);
  put_be16(image, offset + 2, value & 0xFFFF);
}

template <std::size_t N>
void set_be32(std::array<std::uint8_t, N>& bytes, std::size_t at, std::uint64_t value) {
  for (std::size_t k = 0; k < 4; ++k)
    bytes[at + k] = static_cast<std::uint8_t>(value >> (24 - 8 * k));
}

// Writes one layout at `position`, followed by a 0x00 when its length is
// odd, records its address in header bytes `field` to `field` + 3 and
// returns the position behind it.
std::uint64_t place_layout(Console& console, const char* name, std::vector<std::uint8_t>& layout,
                           std::uint64_t position, MapRecord& record, std::size_t field,
                           std::vector<std::uint8_t>& image) {
  say(console, format("    - %s layout (0x%06llX, 0x%04zX)\n", name,
                      static_cast<unsigned long long>(position), layout.size()));
  set_be32(record.header, field, position);
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

std::uint64_t write_level_directory(Console& console, std::vector<MapRecord>& records,
                                    std::vector<std::uint8_t>& image) {
  std::uint64_t position = kNewLevelDirectory;
  say(console, "starting level\n");
  put_be32(image, position, 0);
  position += 4;

  say(console, "pointer to level order\n");
  put_be32(image, position, kLevelOrderTableAddress);
  position += 4;

  say(console, "map pointers\n");
  std::array<std::uint16_t, kMapCount> header_offsets{};
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].map < header_offsets.size())
      header_offsets[records[i].map] = static_cast<std::uint16_t>(kHeaderOffsetBase + 28 * (i + 1));
  }
  for (const std::uint16_t offset : header_offsets) {
    put_be16(image, position, offset);
    position += 2;
  }

  say(console, "level order\n");
  put_bytes(image, position, kLevelOrder);
  position += kLevelOrder.size();

  say(console, "level data\n");
  const std::uint64_t headers = position;
  position += kHeaderImageSize * records.size();
  for (MapRecord& record : records) {
    say(console, format("  appending map 0x%02X...\n", static_cast<unsigned>(record.map)));
    position = place_layout(console, "tile", record.tile, position, record, 12, image);
    position = place_layout(console, "block", record.block, position, record, 16, image);
    position = place_layout(console, "background", record.background, position, record, 20, image);
    if (record.enemy.size() >= 4) {
      // The record's first field points at its own entry list, 16 bytes in.
      std::array<std::uint8_t, 4> list{};
      set_be32(list, 0, position + 16);
      std::copy(list.begin(), list.end(), record.enemy.begin());
    }
    position = place_layout(console, "enemy", record.enemy, position, record, 24, image);
  }
  const std::uint64_t data_end = position;

  say(console, "level headers\n");
  position = headers;
  for (const MapRecord& record : records) {
    put_bytes(image, position, record.header);
    position += kHeaderImageSize;
  }

  say(console, "pointers\n");
  for (const BaseReference& reference : kBaseReferences)
    put_be32(image, reference.offset, reference.value);
  return data_end;
}

}  // namespace gorv
