#include "import/map_file_reader.h"

#include <algorithm>

#include "codec/block_cell.h"
#include "codec/block_encoder.h"
#include "common/text.h"

namespace gorv {

namespace {

constexpr std::size_t kFixedBackgroundSize = 232;
constexpr unsigned kListBackgroundThemes = 0x556;
constexpr unsigned kFixedBackgroundThemes = 0x2A8;

// Block cells of type byte 0x05 (block type 0x04) take the square behind
// them too; that square gets this working type, which no group writes.
constexpr std::uint8_t kPlaceholderType = 0x15;

// Where the fields of the two header layouts stand.
struct FileLayout {
  bool current = false;
  std::size_t values = 0;      // map header bytes 0-3, then the four words
  std::size_t offsets = 0;     // the section offsets
  std::size_t header_end = 0;  // where the header ends
};

// The sections, each running from its offset to the next one's.
struct Sections {
  std::size_t tile = 0, block = 0, background = 0, enemy = 0, end = 0;
};

void append(std::vector<std::uint8_t>& out, Bytes file, std::size_t pos, std::size_t count) {
  const Bytes part = file.subspan(pos, count);
  out.insert(out.end(), part.begin(), part.end());
}

std::uint16_t read_le16(Bytes file, std::size_t offset) {
  return static_cast<std::uint16_t>(file[offset] | file[offset + 1] << 8);
}

bool read_sections(Bytes file, const FileLayout& layout, Sections& s, std::string& problem) {
  s.tile = read_le16(file, layout.offsets);
  s.block = read_le16(file, layout.offsets + 2);
  s.background = read_le16(file, layout.offsets + 4);
  s.enemy = read_le16(file, layout.offsets + 6);
  // The current layout records the end of the enemy layout section; in the
  // earlier one it runs to the end of the file.
  s.end = layout.current ? read_le16(file, layout.offsets + 8) : file.size();
  if (s.tile < layout.header_end) {
    problem = format("the tile layout section starts inside the header (offset 0x%04zX)", s.tile);
    return false;
  }
  if (s.block < s.tile || s.background < s.block || s.enemy < s.background || s.end < s.enemy) {
    problem = format(
        "the section offsets are out of order (tile 0x%04zX, block 0x%04zX, background 0x%04zX, "
        "enemy 0x%04zX, end 0x%04zX)",
        s.tile, s.block, s.background, s.enemy, s.end);
    return false;
  }
  if (s.end > file.size()) {
    problem = format("the sections end at offset 0x%04zX, past the end of the file (0x%04zX bytes)",
                     s.end, file.size());
    return false;
  }
  return true;
}

bool read_dimensions(const MapRecord& record, std::string& problem) {
  const unsigned width = record.header[0];
  const unsigned height = record.header[1] & 0x3F;
  if (width == 0 || height == 0) {
    problem = format("the map is %u x %u screens; a map needs at least one screen each way", width,
                     height);
    return false;
  }
  if (width > kMaxBlockLayoutWidth || height > kMaxBlockLayoutHeight) {
    problem = format(
        "the map is %u x %u screens; the block layout holds at most %u screens across and %u down",
        width, height, unsigned{kMaxBlockLayoutWidth}, unsigned{kMaxBlockLayoutHeight});
    return false;
  }
  return true;
}

bool read_tile_layout(Bytes file, const Sections& s, MapRecord& record, std::string& problem) {
  // The grid size, kept in 16 bits as the map dump keeps it.
  const auto size = static_cast<std::uint16_t>(record.header[0] * (record.header[1] & 0x3F) * 280);
  if (s.block - s.tile < size) {
    problem = format("the tile layout section holds 0x%04zX bytes, fewer than the 0x%04X squares",
                     s.block - s.tile, size);
    return false;
  }
  record.tile_layout.clear();
  append(record.tile_layout, file, s.tile, size);
  return true;
}

bool read_background_layout(Bytes file, const Sections& s, MapRecord& record,
                            std::string& problem) {
  const unsigned theme = record.header[3] & 0x0F;
  const unsigned theme_bit = 1u << theme;
  const std::size_t end = s.enemy;
  std::size_t pos = s.background;
  record.background.clear();
  if ((theme_bit & kListBackgroundThemes) != 0) {
    for (;;) {
      if (end - pos < 2) {
        problem = "the background layout section ends before its end word FF FF";
        return false;
      }
      if (file[pos] == 0xFF && file[pos + 1] == 0xFF) break;
      if (end - pos < 6) {
        problem = "the background layout section ends inside an entry";
        return false;
      }
      append(record.background, file, pos, 6);
      pos += 6;
    }
    record.background.push_back(0xFF);
    record.background.push_back(0xFF);
  } else if ((theme_bit & kFixedBackgroundThemes) != 0) {
    if (end - pos < kFixedBackgroundSize) {
      problem = format("the background layout section holds %zu bytes; theme %u needs %zu",
                       end - pos, theme, kFixedBackgroundSize);
      return false;
    }
    append(record.background, file, pos, kFixedBackgroundSize);
  }
  return true;
}

// The enemy layout record: the ROM form with the entry list right behind
// the enemy header. Bytes 0-3, the list's address, are set when placed.
// An empty section (what the map dump writes when the ROM image's enemy
// layout cannot be read) becomes an empty list, so that a map dumped from
// such an image can still be imported.
bool read_enemy_layout(Bytes file, const Sections& s, MapRecord& record, std::string& problem) {
  const std::size_t length = s.end - s.enemy;
  if (length == 0) {
    record.enemy = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7D, 0x00, 0x80, 0x00};
    return true;
  }
  if (length < 7) {
    problem = "the enemy layout section ends before its entry count";
    return false;
  }
  const std::uint8_t count = file[s.enemy + 6];
  const std::size_t entries = std::size_t{count} * 8;
  if (length - 7 < entries) {
    problem = format("the enemy layout section ends inside its %u entries", count);
    return false;
  }
  auto& enemy = record.enemy;
  enemy.assign(8, 0);
  append(enemy, file, s.enemy, 6);
  enemy.insert(enemy.end(), {0x7D, 0x00, 0x80, count});
  append(enemy, file, s.enemy + 7, entries);
  return true;
}

}  // namespace

bool read_block_cells(Bytes section, bool current_layout, std::uint8_t width,
                      std::uint8_t height_byte, std::vector<BlockCell>& cells,
                      std::string& problem) {
  const std::size_t cols = std::size_t{width} * 20;
  const std::size_t squares = cols * (height_byte & 0x3F) * 14;
  cells.assign(squares + cols, BlockCell{});

  std::size_t filled = 0;
  std::size_t pos = 0;
  while (filled < squares) {
    if (pos >= section.size()) {
      problem =
          format("the block layout section ends before the grid is filled (%zu of %zu squares)",
                 filled, squares);
      return false;
    }
    const std::uint8_t b = section[pos++];
    if (b >= 0x80 || !current_layout) {
      if (section.size() - pos < 4) {
        problem =
            format("the block layout section ends inside the block cell of square %zu", filled);
        return false;
      }
      cells[filled] = BlockCell{static_cast<std::uint8_t>((b & 0x3F) + 1), section[pos],
                                section[pos + 1], section[pos + 2], section[pos + 3]};
      pos += 4;
      ++filled;
    } else {
      // A run of empty squares; one that reaches past the array is cut there.
      filled += std::min<std::size_t>(std::size_t{b} + 1, cells.size() - filled);
    }
  }

  for (std::size_t i = 0; i < squares; ++i) {
    if ((cells[i].type & 0x1F) == 5) cells[++i].type = kPlaceholderType;
  }
  for (std::size_t i = squares; i < cells.size(); ++i) cells[i].type = 0;
  return true;
}

bool read_map_file(Bytes file, MapRecord& record, std::string& problem) {
  if (file.size() < 5) {
    problem = "the file ends inside its header";
    return false;
  }
  FileLayout layout;
  layout.current = (file[4] & 0x80) != 0;
  layout.values = layout.current ? 6 : 4;
  layout.offsets = layout.current ? 18 : 16;
  layout.header_end = layout.current ? 28 : 24;
  if (file.size() < layout.header_end) {
    problem = "the file ends inside its header";
    return false;
  }

  for (std::size_t k = 0; k < 4; ++k) record.header[k] = file[layout.values + k];
  for (std::size_t k = 0; k < 4; ++k) {
    const std::uint16_t value = read_le16(file, layout.values + 4 + 2 * k);
    record.header[4 + 2 * k] = static_cast<std::uint8_t>(value >> 8);
    record.header[5 + 2 * k] = static_cast<std::uint8_t>(value);
  }
  std::fill(record.header.begin() + 12, record.header.end(), 0);

  Sections s;
  std::vector<BlockCell> cells;
  if (!read_sections(file, layout, s, problem) || !read_dimensions(record, problem) ||
      !read_tile_layout(file, s, record, problem) ||
      !read_block_cells(file.subspan(s.block, s.background - s.block), layout.current,
                        record.header[0], record.header[1], cells, problem) ||
      !read_background_layout(file, s, record, problem) ||
      !read_enemy_layout(file, s, record, problem))
    return false;

  // Encoded last: every check of the file comes first.
  BlockEncoding encoding = encode_block_layout(cells, record.header[0], record.header[1]);
  if (!encoding.ok) {
    problem = "the block layout cannot be encoded: " + encoding.error;
    return false;
  }
  record.block = std::move(encoding.stream);
  return true;
}

}  // namespace gorv
