#include "support/map_file_maker.h"

#include <random>

#include "support/tile_like.h"

namespace gorv::test {

namespace {

void put_le16(std::vector<std::uint8_t>& out, std::size_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

}  // namespace

std::vector<std::uint8_t> make_map_file(const MapFileParts& p) {
  std::vector<std::uint8_t> file;
  if (p.earlier_layout) {
    file = {'G', 'M', 'A', 'P'};
  } else {
    file = {'G', 'M', 'A', 'P', 0x80, 0x00};
  }
  file.insert(file.end(), {p.width, p.height_byte, p.attribute, p.theme_byte});
  for (std::uint16_t value : {p.start_x, p.start_y, p.end_x, p.end_y}) put_le16(file, value);
  const std::size_t header = p.earlier_layout ? 24 : 28;
  std::size_t offset = header;
  for (const auto* section : {&p.tile, &p.block, &p.background, &p.enemy}) {
    put_le16(file, offset);
    offset += section->size();
  }
  if (!p.earlier_layout) put_le16(file, offset);
  for (const auto* section : {&p.tile, &p.block, &p.background, &p.enemy})
    file.insert(file.end(), section->begin(), section->end());
  return file;
}

std::vector<std::uint8_t> empty_block_section(std::size_t squares) {
  std::vector<std::uint8_t> section;
  for (; squares > 128; squares -= 128) section.push_back(0x7F);
  if (squares > 0) section.push_back(static_cast<std::uint8_t>(squares - 1));
  return section;
}

MapFileParts generated_map(int width, int height, std::uint32_t seed, int enemies) {
  std::mt19937 random(seed);
  MapFileParts p;
  p.width = static_cast<std::uint8_t>(width);
  p.height_byte = static_cast<std::uint8_t>(height);
  p.attribute = 0x01;
  p.theme_byte = 0x01;
  p.start_x = static_cast<std::uint16_t>(random() % 0x200);
  p.start_y = static_cast<std::uint16_t>(random() % 0x100);
  p.end_x = static_cast<std::uint16_t>(random() % 0x1000);
  p.end_y = static_cast<std::uint16_t>(random() % 0x400);
  p.tile = tile_like_layout(width, height, seed);

  // Blocks of the plain run types and of the value types, now and then.
  const std::size_t squares = static_cast<std::size_t>(width) * height * 280;
  std::size_t empty = 0;
  auto flush_empty = [&] {
    const auto run = empty_block_section(empty);
    p.block.insert(p.block.end(), run.begin(), run.end());
    empty = 0;
  };
  for (std::size_t i = 0; i < squares; ++i) {
    if (random() % 100 < 6) {
      flush_empty();
      static const std::uint8_t kTypes[] = {0x80, 0x81, 0x82, 0x86, 0x89, 0x8A, 0xA0};
      const std::uint8_t type = kTypes[random() % 7];
      // A value in d1 for the value types; the run types store no data.
      const auto value = static_cast<std::uint8_t>(random() % 16);
      const bool has_value = type == 0x81 || type == 0x8A;
      p.block.insert(p.block.end(), {type, has_value ? value : std::uint8_t{0}, 0, 0, 0});
    } else {
      ++empty;
    }
  }
  flush_empty();

  for (int k = 0; k < 3; ++k) {
    for (int b = 0; b < 6; ++b) p.background.push_back(static_cast<std::uint8_t>(random() % 0x7F));
  }
  p.background.insert(p.background.end(), {0xFF, 0xFF});

  p.enemy = {0x00, 0x10, 0x00, 0x20, 0x00, 0x30, static_cast<std::uint8_t>(enemies)};
  for (int k = 0; k < enemies * 8; ++k) p.enemy.push_back(static_cast<std::uint8_t>(random()));
  return p;
}

}  // namespace gorv::test
