#include "import/level_directory.h"

#include <array>

#include "common/text.h"
#include "rom/map_header.h"

namespace gorv {

namespace {

constexpr std::uint32_t kLevelOrderTableAddress = kNewLevelDirectory + 0x104;
// Header offset of the first present map; the i-th (from 1) gets 0x154 + 28 i.
constexpr std::uint32_t kHeaderOffsetBase = 0x154;

// The map of each level 0x00 to 0x69, then the end mark FF FF.
constexpr std::array<std::uint8_t, 108> kLevelOrder = {
    0x4A, 0x4B, 0x2D, 0x2E, 0x01, 0x00, 0x02, 0x0E, 0x54, 0x56, 0x18, 0x1D, 0x3D, 0x37, 0x2C, 0x2B,
    0x13, 0x4C, 0x49, 0x14, 0x16, 0x0B, 0x0C, 0x3F, 0x40, 0x34, 0x1C, 0x27, 0x21, 0x0D, 0x6C, 0x4F,
    0x4D, 0x19, 0x0A, 0x5C, 0x25, 0x26, 0x35, 0x3E, 0x2F, 0x31, 0x74, 0x3B, 0x5A, 0x33, 0x3A, 0x57,
    0x10, 0x59, 0x38, 0x05, 0x30, 0x55, 0x32, 0x0F, 0x48, 0x47, 0x03, 0x53, 0x04, 0x36, 0x15, 0x12,
    0x22, 0x41, 0x17, 0x4E, 0x58, 0x11, 0x39, 0x42, 0x3C, 0x61, 0x5E, 0x5F, 0x60, 0x5D, 0x62, 0x64,
    0x67, 0x6E, 0x75, 0x66, 0x68, 0x6D, 0x6F, 0x70, 0x77, 0x78, 0x63, 0x65, 0x69, 0x6A, 0x6B, 0x71,
    0x08, 0x7C, 0x7D, 0x7A, 0x7B, 0x79, 0x72, 0x73, 0x76, 0x09, 0xFF, 0xFF};

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
