#include "format/map_file.h"

#include <algorithm>

#include "codec/block_encoder.h"
#include "common/byte_order.h"
#include "common/text.h"
#include "rom/game_facts.h"

namespace gorv {

namespace {

using Bytes = std::span<const std::uint8_t>;

// The sections, each running from its offset to the next one's.
struct Sections {
  std::size_t tile = 0, block = 0, background = 0, enemy = 0, end = 0;
};

MapFileDamage damage(MapFileDamage::Problem problem, std::array<std::uint64_t, 5> values = {}) {
  return {problem, values};
}

MapFileDamage read_sections(Bytes file, const MapFileLayout& layout, Sections& s) {
  s.tile = get_le16(file, layout.offsets);
  s.block = get_le16(file, layout.offsets + 2);
  s.background = get_le16(file, layout.offsets + 4);
  s.enemy = get_le16(file, layout.offsets + 6);
  // The earlier layout's last section runs to the end of the file.
  s.end = layout.has_end_offset ? get_le16(file, layout.offsets + 8) : file.size();
  if (s.tile < layout.header_end)
    return damage(MapFileDamage::Problem::tile_inside_header, {s.tile});
  if (s.block < s.tile || s.background < s.block || s.enemy < s.background || s.end < s.enemy)
    return damage(MapFileDamage::Problem::offsets_out_of_order,
                  {s.tile, s.block, s.background, s.enemy, s.end});
  if (s.end > file.size())
    return damage(MapFileDamage::Problem::sections_past_end, {s.end, file.size()});
  return {};
}

MapFileDamage check_dimensions(const MapValues& v) {
  const unsigned width = v.width;
  const unsigned height = map_height(v.size_byte);
  if (width == 0 || height == 0) return damage(MapFileDamage::Problem::no_screens, {width, height});
  if (width > kMaxBlockLayoutWidth || height > kMaxBlockLayoutHeight)
    return damage(MapFileDamage::Problem::too_many_screens,
                  {width, height, kMaxBlockLayoutWidth, kMaxBlockLayoutHeight});
  return {};
}

MapFileDamage read_tiles(Bytes file, const Sections& s, MapFile& map) {
  const std::uint16_t size = grid_size16(map.values.width, map.values.size_byte);
  if (s.block - s.tile < size)
    return damage(MapFileDamage::Problem::tile_section_short, {s.block - s.tile, size});
  const Bytes section = file.subspan(s.tile, s.block - s.tile);
  map.tiles.assign(section.begin(), section.end());
  return {};
}

MapFileDamage read_background(Bytes section, MapFile& map) {
  const unsigned theme = theme_of(map.values.theme_byte);
  map.background.clear();
  switch (background_form(theme)) {
    case BackgroundForm::list: {
      std::size_t pos = 0;
      for (;;) {
        if (section.size() - pos < 2) return damage(MapFileDamage::Problem::background_no_end_word);
        if (get_be16(section, pos) == kBackgroundEndWord) break;
        if (section.size() - pos < kBackgroundEntrySize)
          return damage(MapFileDamage::Problem::background_entry_cut);
        pos += kBackgroundEntrySize;
      }
      map.background.assign(section.begin(),
                            section.begin() + static_cast<std::ptrdiff_t>(pos + 2));
      return {};
    }
    case BackgroundForm::fixed:
      if (section.size() < kFixedBackgroundSize)
        return damage(MapFileDamage::Problem::background_block_short,
                      {section.size(), theme, kFixedBackgroundSize});
      map.background.assign(section.begin(),
                            section.begin() + static_cast<std::ptrdiff_t>(kFixedBackgroundSize));
      return {};
    case BackgroundForm::none:
      return {};
  }
  return {};
}

// The section: art_load words 0 to 2, the entry count, the entries.
MapFileDamage read_enemies(Bytes section, EnemySection& enemy) {
  enemy = EnemySection{};
  if (section.empty()) return {};
  if (section.size() < 7) return damage(MapFileDamage::Problem::enemy_count_missing);
  const std::uint8_t count = section[6];
  if (section.size() - 7 < std::size_t{count} * kEnemyEntrySize)
    return damage(MapFileDamage::Problem::enemy_entries_cut, {count});
  enemy.present = true;
  std::copy_n(section.begin(), 6, enemy.art_load.begin());
  enemy.entries.resize(count);
  for (std::size_t n = 0; n < count; ++n)
    std::copy_n(section.begin() + static_cast<std::ptrdiff_t>(7 + n * kEnemyEntrySize),
                kEnemyEntrySize, enemy.entries[n].begin());
  return {};
}

}  // namespace

std::string map_file_name(std::uint8_t map) {
  return format("map%02x.gvm", static_cast<unsigned>(map));
}

MapFileDamage read_block_section(std::span<const std::uint8_t> section, bool current_layout,
                                 std::size_t squares, std::vector<BlockCell>& cells) {
  cells.assign(squares, BlockCell{});
  std::size_t filled = 0;
  std::size_t pos = 0;
  while (filled < squares) {
    if (pos >= section.size())
      return damage(MapFileDamage::Problem::block_section_short, {filled, squares});
    const std::uint8_t b = section[pos++];
    if (b >= kCellTypeBit || !current_layout) {
      if (section.size() - pos < 4) return damage(MapFileDamage::Problem::block_cell_cut, {filled});
      const std::uint8_t type = current_layout ? b : cell_type_of_code(code_of_cell_type(b));
      cells[filled++] =
          BlockCell{type, section[pos], section[pos + 1], section[pos + 2], section[pos + 3]};
      pos += 4;
    } else {
      filled += std::min<std::size_t>(std::size_t{b} + 1, squares - filled);
    }
  }
  return {};
}

std::size_t map_squares(const MapValues& values) {
  return static_cast<std::size_t>(grid_squares(values.width, values.size_byte));
}

ParsedMapFile parse_map_file(std::span<const std::uint8_t> bytes) {
  ParsedMapFile parsed;
  MapFile& map = parsed.file;
  MapFileDamage& result = parsed.damage;
  if (bytes.size() < 5) {
    result = damage(MapFileDamage::Problem::header_cut);
    return parsed;
  }
  map.current_layout = (bytes[4] & kCurrentLayoutMarker) != 0;
  const MapFileLayout& layout = map.current_layout ? kCurrentMapFileLayout : kEarlierMapFileLayout;
  if (bytes.size() < layout.header_end) {
    result = damage(MapFileDamage::Problem::header_cut);
    return parsed;
  }
  MapValues& v = map.values;
  v.width = bytes[layout.values];
  v.size_byte = bytes[layout.values + 1];
  v.attribute = bytes[layout.values + 2];
  v.theme_byte = bytes[layout.values + 3];
  v.start_x = get_le16(bytes, layout.values + 4);
  v.start_y = get_le16(bytes, layout.values + 6);
  v.end_x = get_le16(bytes, layout.values + 8);
  v.end_y = get_le16(bytes, layout.values + 10);

  Sections s;
  auto failed = [&](MapFileDamage found) {
    result = found;
    return found.problem != MapFileDamage::Problem::none;
  };
  if (failed(read_sections(bytes, layout, s)) || failed(check_dimensions(v)) ||
      failed(read_tiles(bytes, s, map)) ||
      failed(read_block_section(bytes.subspan(s.block, s.background - s.block), map.current_layout,
                                map_squares(v), map.blocks)) ||
      failed(read_background(bytes.subspan(s.background, s.enemy - s.background), map)) ||
      failed(read_enemies(bytes.subspan(s.enemy, s.end - s.enemy), map.enemy))) {
    // The file is refused: what was read of it means nothing.
  }
  return parsed;
}

std::array<std::uint8_t, 18> map_file_header_start(const MapValues& v) {
  std::array<std::uint8_t, 18> header{};
  std::copy(kMapFileMagic.begin(), kMapFileMagic.end(), header.begin());
  header[4] = kCurrentLayoutMarker;
  header[5] = 0x00;
  header[6] = v.width;
  header[7] = v.size_byte;
  header[8] = v.attribute;
  header[9] = v.theme_byte;
  set_le16(header, 10, v.start_x);
  set_le16(header, 12, v.start_y);
  set_le16(header, 14, v.end_x);
  set_le16(header, 16, v.end_y);
  return header;
}

void append_block_section(std::span<const BlockCell> cells, std::vector<std::uint8_t>& out) {
  std::size_t i = 0;
  while (i < cells.size()) {
    const BlockCell& cell = cells[i];
    if (cell.type != 0) {
      out.insert(out.end(), {cell.type, cell.d1, cell.d2, cell.d3, cell.d4});
      ++i;
      continue;
    }
    std::size_t run = 0;
    while (i + run < cells.size() && cells[i + run].type == 0) ++run;
    i += run;
    for (; run > 128; run -= 128) out.push_back(0x7F);
    out.push_back(static_cast<std::uint8_t>(run - 1));
  }
}

std::vector<std::uint8_t> serialize_map_file(const MapFile& file) {
  std::vector<std::uint8_t> out(kMapFileHeaderSize, 0);
  const auto start = map_file_header_start(file.values);
  std::copy(start.begin(), start.end(), out.begin());
  // Offsets past 65,535 cannot be written; such a file is refused by the
  // caller, so truncating them here does no harm.
  auto mark = [&](std::size_t field) {
    set_le16(out, field, static_cast<std::uint16_t>(out.size()));
  };
  const std::size_t offsets = kCurrentMapFileLayout.offsets;
  mark(offsets);
  out.insert(out.end(), file.tiles.begin(), file.tiles.end());
  mark(offsets + 2);
  append_block_section(file.blocks, out);
  mark(offsets + 4);
  out.insert(out.end(), file.background.begin(), file.background.end());
  mark(offsets + 6);
  if (file.enemy.present) {
    out.insert(out.end(), file.enemy.art_load.begin(), file.enemy.art_load.end());
    out.push_back(static_cast<std::uint8_t>(file.enemy.entries.size()));
    for (const auto& entry : file.enemy.entries) out.insert(out.end(), entry.begin(), entry.end());
  }
  mark(offsets + 8);
  return out;
}

}  // namespace gorv
