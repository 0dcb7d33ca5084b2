#include "preview/draw.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "common/text.h"
#include "picture/colours.h"
#include "picture/font.h"
#include "preview/compare.h"
#include "rom/game_facts.h"

namespace gorv {

namespace {

constexpr Rgb kStripBackground{22, 22, 28};

// ---- The map part ----

struct Frame {
  PreviewGeometry g;
  unsigned map_width = 0;  // pixels; the map part's height is g.strip_top
};

Frame frame_of(const MapValues& values) {
  Frame f;
  f.g = preview_geometry(values);
  f.map_width = f.g.columns * f.g.scale;
  return f;
}

// Each square the file has a tile for in the tile's colour; the squares
// past the file's tiles (the end of a row and the rows below) in the
// no-data checkerboard, whose pixel rows are of two kinds, each made once
// and copied.
void draw_tiles(Picture& p, const MapFile& map, const Frame& f) {
  std::array<Rgb, 256> palette;
  for (unsigned v = 0; v < 256; ++v) palette[v] = tile_colour(static_cast<std::uint8_t>(v));
  const unsigned s = f.g.scale;
  const unsigned cols = f.g.columns;
  const std::size_t squares = std::size_t{cols} * f.g.grid_rows;
  const std::size_t with_tile = std::min(map.tiles.size(), squares);
  for (std::size_t i = 0; i < with_tile; ++i) {
    const auto x = static_cast<unsigned>(i % cols);
    const auto y = static_cast<unsigned>(i / cols);
    fill_rect(p, x * s, y * s, s, s, palette[map.tiles[i]]);
  }
  if (with_tile == squares) return;

  const unsigned width = std::min(f.map_width, p.width);
  std::array<std::vector<std::uint8_t>, 2> kinds;  // pixel rows 0 and 2 of the pattern
  for (unsigned k = 0; k < 2; ++k) {
    for (unsigned px = 0; px < width; ++px) {
      const Rgb c = no_data_colour(px, 2 * k);
      kinds[k].insert(kinds[k].end(), {c.r, c.g, c.b});
    }
  }
  const auto first_row = static_cast<unsigned>(with_tile / cols);
  const unsigned first_column = static_cast<unsigned>(with_tile % cols) * s;
  for (unsigned py = first_row * s; py < f.g.grid_rows * s && py < p.height; ++py) {
    const unsigned from = std::min(py / s == first_row ? first_column : 0, width);
    const std::vector<std::uint8_t>& kind = kinds[(py >> 1) & 1];
    std::copy(kind.begin() + std::size_t{from} * 3, kind.end(),
              p.rgb.begin() + static_cast<std::ptrdiff_t>((std::size_t{py} * p.width + from) * 3));
  }
}

void draw_extra_rows(Picture& p, const Frame& f) {
  for (unsigned py = f.g.grid_rows * f.g.scale; py < f.g.strip_top; ++py)
    for (unsigned px = 0; px < f.map_width; ++px)
      set_pixel(p, px, py, (px + py) % 8 < 3 ? kExtraRowStripe : kExtraRowBase);
}

void draw_screen_lines(Picture& p, const Frame& f) {
  const unsigned s = f.g.scale;
  for (unsigned x = kScreenColumns; x < f.g.columns; x += kScreenColumns)
    fill_rect(p, x * s, 0, 1, f.g.strip_top, kScreenLine);
  for (unsigned y = kScreenRows; y < f.g.grid_rows; y += kScreenRows)
    fill_rect(p, 0, y * s, f.map_width, 1, kScreenLine);
}

void draw_blocks(Picture& p, const MapFile& map, const Frame& f) {
  const std::size_t squares = std::min(map.blocks.size(), std::size_t{f.g.columns} * f.g.grid_rows);
  for (std::size_t i = 0; i < squares; ++i) {
    if (map.blocks[i].type == 0) continue;
    const auto x = static_cast<unsigned>(i % f.g.columns);
    const auto y = static_cast<unsigned>(i / f.g.columns);
    draw_block_square(p, x * f.g.scale, y * f.g.scale, f.g.scale,
                      code_of_cell_type(map.blocks[i].type));
  }
}

// Start: a disc; end: a square; both with a dark rim, centred on the point
// and cut to the columns left of `right` and the rows above `bottom`.
void draw_marker(Picture& p, std::int64_t cx, std::int64_t cy, unsigned radius, bool start,
                 unsigned right, unsigned bottom) {
  const std::int64_t r = radius;
  for (std::int64_t dy = -r - 1; dy <= r + 1; ++dy) {
    for (std::int64_t dx = -r - 1; dx <= r + 1; ++dx) {
      const std::int64_t x = cx + dx;
      const std::int64_t y = cy + dy;
      if (x < 0 || y < 0 || x >= static_cast<std::int64_t>(right) ||
          y >= static_cast<std::int64_t>(bottom))
        continue;
      const std::int64_t d = start ? dx * dx + dy * dy : std::max(dx * dx, dy * dy);
      if (d <= r * r) {
        set_pixel(p, static_cast<unsigned>(x), static_cast<unsigned>(y),
                  start ? kStartMarker : kEndMarker);
      } else if (d <= (r + 1) * (r + 1)) {
        set_pixel(p, static_cast<unsigned>(x), static_cast<unsigned>(y), kRim);
      }
    }
  }
}

void draw_markers(Picture& p, const MapValues& v, const Frame& f) {
  const unsigned s = f.g.scale;
  const unsigned radius = std::max(5u, s);
  auto at = [s](std::uint16_t pixels) {
    return static_cast<std::int64_t>(pixels) * s / kPixelsPerSquare;
  };
  // Cut to the map part: a marker never spills into the strip.
  draw_marker(p, at(v.end_x), at(v.end_y), radius, false, f.map_width, f.g.strip_top);
  draw_marker(p, at(v.start_x), at(v.start_y), radius, true, f.map_width, f.g.strip_top);
}

void dim_unchanged(Picture& p, const Frame& f, const std::vector<std::uint8_t>& changed) {
  const unsigned s = f.g.scale;
  for (unsigned py = 0; py < f.g.strip_top; ++py) {
    const unsigned y = py / s;
    for (unsigned px = 0; px < f.map_width; ++px) {
      const std::size_t i = std::size_t{y} * f.g.columns + px / s;
      if (y < f.g.grid_rows && i < changed.size() && changed[i] != 0) continue;
      set_pixel(p, px, py, dimmed(pixel_at(p, px, py)));
    }
  }
}

// A frame around each group of changed squares, on the unchanged side of
// each border (inside the square at the map's edges).
void mark_changes(Picture& p, const Frame& f, const std::vector<std::uint8_t>& changed) {
  const unsigned s = f.g.scale;
  const unsigned cols = f.g.columns;
  const unsigned rows = f.g.grid_rows;
  auto is_changed = [&](std::int64_t x, std::int64_t y) {
    if (x < 0 || y < 0 || x >= static_cast<std::int64_t>(cols) ||
        y >= static_cast<std::int64_t>(rows))
      return false;
    const std::size_t i = static_cast<std::size_t>(y) * cols + static_cast<std::size_t>(x);
    return i < changed.size() && changed[i] != 0;
  };
  for (unsigned y = 0; y < rows; ++y) {
    for (unsigned x = 0; x < cols; ++x) {
      if (!is_changed(x, y)) continue;
      const unsigned px = x * s, py = y * s;
      const unsigned left = px > 0 ? px - 1 : 0;
      const unsigned top = py > 0 ? py - 1 : 0;
      const unsigned right = std::min(px + s, f.map_width - 1);
      const unsigned bottom = std::min(py + s, f.g.strip_top - 1);
      if (!is_changed(x, std::int64_t{y} - 1))
        fill_rect(p, left, top, right - left + 1, 1, kChangeMark);
      if (!is_changed(x, std::int64_t{y} + 1))
        fill_rect(p, left, bottom, right - left + 1, 1, kChangeMark);
      if (!is_changed(std::int64_t{x} - 1, y))
        fill_rect(p, left, top, 1, bottom - top + 1, kChangeMark);
      if (!is_changed(std::int64_t{x} + 1, y))
        fill_rect(p, right, top, 1, bottom - top + 1, kChangeMark);
    }
  }
}

// ---- The strip ----

// The strip's spacing, in units of its text scale: the margin around it,
// the gap between two items and the height of a row of items (its text
// with descenders and four rows of space).
constexpr unsigned kStripPad = 6;
constexpr unsigned kStripGap = 4 * kGlyphAdvance;
constexpr unsigned kStripRowHeight = kGlyphHeight + 4;

enum class Swatch { none, block, start, end, change };

struct StripItem {
  Swatch swatch = Swatch::none;
  std::uint8_t block_type = 0;
  std::string text;
  bool new_row = false;  // starts a row of its own
};

struct StripLayout {
  unsigned text_scale = 1;
  unsigned width = 0;         // of the picture
  unsigned legend_width = 0;  // every block type's entry takes as much, so they form columns
  std::vector<std::vector<StripItem>> rows;
  unsigned height = 0;
};

// As high as a capital, beside the text.
unsigned swatch_size(unsigned ts) {
  return kGlyphAscent * ts;
}

unsigned item_width(const StripItem& item, unsigned ts) {
  const unsigned swatch = item.swatch == Swatch::none ? 0 : swatch_size(ts) + 2 * ts;
  return swatch + text_width(item.text, ts);
}

std::vector<StripItem> strip_items(const MapFile& map, std::string_view file_name,
                                   const std::string& extra) {
  const MapValues& v = map.values;
  std::vector<StripItem> items;
  items.push_back({Swatch::none, 0, file_name.empty() ? "(no name)" : std::string(file_name)});
  std::string size = format("%u x %u screens", unsigned{v.width}, map_height(v.size_byte));
  if (map_extra_rows(v.size_byte) != 0)
    size += format(" + %u extra rows", map_extra_rows(v.size_byte));
  items.push_back({Swatch::none, 0, size});
  const std::uint8_t theme = theme_of(v.theme_byte);
  items.push_back({Swatch::none, 0, format("theme %s (0x%X)", theme_name(theme), unsigned{theme})});
  items.push_back({Swatch::none, 0, format("effect %s", effect_name(effect_of(v.theme_byte)))});
  items.push_back(
      {Swatch::start, 0, format("start %u, %u", unsigned{v.start_x}, unsigned{v.start_y})});
  items.push_back({Swatch::end, 0, format("end %u, %u", unsigned{v.end_x}, unsigned{v.end_y})});

  std::array<std::size_t, 32> counts{};
  const std::size_t squares = std::min(map.blocks.size(), map_squares(v));
  for (std::size_t i = 0; i < squares; ++i)
    if (map.blocks[i].type != 0)
      ++counts[block_type_of_code(code_of_cell_type(map.blocks[i].type))];
  bool first = true;
  for (unsigned t = 0; t < counts.size(); ++t) {
    if (counts[t] == 0) continue;
    items.push_back({Swatch::block, static_cast<std::uint8_t>(t),
                     format("block 0x%02X: %zu", t, counts[t]), first});
    first = false;
  }
  if (first) items.push_back({Swatch::none, 0, "no blocks", true});
  items.push_back({Swatch::none, 0,
                   map.enemy.present ? format("enemies: %zu", map.enemy.entries.size())
                                     : std::string("no enemy section")});
  if (!extra.empty()) items.push_back({Swatch::change, 0, extra, true});
  return items;
}

unsigned slot_width(const StripLayout& s, const StripItem& item) {
  return item.swatch == Swatch::block ? s.legend_width : item_width(item, s.text_scale);
}

StripLayout lay_out_strip(std::vector<StripItem> items, unsigned map_width) {
  StripLayout s;
  s.text_scale = map_width < 1200 ? 1 : map_width < 3000 ? 2 : 3;
  const unsigned ts = s.text_scale;
  s.width = std::max(map_width, 400 * ts);
  for (const auto& item : items)
    if (item.swatch == Swatch::block)
      s.legend_width = std::max(s.legend_width, item_width(item, ts));
  const unsigned pad = kStripPad * ts;
  const unsigned gap = kStripGap * ts;
  unsigned x = pad;
  for (auto& item : items) {
    const unsigned w = slot_width(s, item);
    if (s.rows.empty() || item.new_row || (x + w > s.width - pad && x > pad)) {
      s.rows.emplace_back();
      x = pad;
    }
    s.rows.back().push_back(std::move(item));
    x += w + gap;
  }
  const unsigned row_height = kStripRowHeight * ts;
  s.height = 2 * pad + static_cast<unsigned>(s.rows.size()) * row_height -
             (row_height - kGlyphHeight * ts);
  return s;
}

void draw_strip(Picture& p, const StripLayout& s, unsigned top) {
  const unsigned ts = s.text_scale;
  const unsigned pad = kStripPad * ts;
  const unsigned gap = kStripGap * ts;
  const unsigned row_height = kStripRowHeight * ts;
  const unsigned sw = swatch_size(ts);
  unsigned y = top + pad;
  for (const auto& row : s.rows) {
    unsigned x = pad;
    for (const auto& item : row) {
      switch (item.swatch) {
        case Swatch::none:
          break;
        case Swatch::block:
          fill_rect(p, x, y, sw, sw, block_colour(item.block_type));
          break;
        case Swatch::start:
        case Swatch::end:
          draw_marker(p, x + sw / 2, y + sw / 2, sw / 2 - 1, item.swatch == Swatch::start, p.width,
                      p.height);
          break;
        case Swatch::change:
          frame_rect(p, x, y, sw, sw, kChangeMark);
          break;
      }
      const unsigned text_x = x + (item.swatch == Swatch::none ? 0 : sw + 2 * ts);
      draw_text(p, text_x, y, item.text, ts, kText);
      x += slot_width(s, item) + gap;
    }
    y += row_height;
  }
}

// The picture with the strip laid out below the map part, the map part
// drawn as far as its blocks; `extra` is one more strip line when not empty.
struct Canvas {
  Frame frame;
  StripLayout strip;
  Picture picture;
};

Canvas draw_base(const MapFile& map, std::string_view file_name, const std::string& extra) {
  Canvas c;
  c.frame = frame_of(map.values);
  c.strip = lay_out_strip(strip_items(map, file_name, extra), c.frame.map_width);
  c.picture = make_picture(c.strip.width, c.frame.g.strip_top + c.strip.height, kStripBackground);
  draw_tiles(c.picture, map, c.frame);
  draw_extra_rows(c.picture, c.frame);
  draw_screen_lines(c.picture, c.frame);
  draw_blocks(c.picture, map, c.frame);
  return c;
}

}  // namespace

unsigned preview_scale(std::uint64_t columns, std::uint64_t rows) {
  const std::uint64_t longest = std::max(columns, rows);
  for (unsigned scale = 8; scale > 2; --scale)
    if (longest * scale <= kMaxPreviewSide) return scale;
  return 2;
}

PreviewGeometry preview_geometry(const MapValues& values) {
  PreviewGeometry g;
  g.columns = static_cast<unsigned>(grid_columns(values.width));
  g.grid_rows = static_cast<unsigned>(grid_rows(values.size_byte));
  g.extra_rows = map_extra_rows(values.size_byte) * kSquaresPerExtraRow;
  g.scale = preview_scale(g.columns, g.grid_rows + g.extra_rows);
  g.strip_top = (g.grid_rows + g.extra_rows) * g.scale;
  return g;
}

Picture draw_preview(const MapFile& map, std::string_view file_name) {
  Canvas c = draw_base(map, file_name, {});
  draw_markers(c.picture, map.values, c.frame);
  draw_strip(c.picture, c.strip, c.frame.g.strip_top);
  return std::move(c.picture);
}

Picture draw_changes(const MapFile& new_map, const MapDifferences& d, std::string_view file_name) {
  const auto changed = static_cast<std::size_t>(
      std::count(d.changed_squares.begin(), d.changed_squares.end(), std::uint8_t{1}));
  std::string extra = format("%zu %s changed", changed, changed == 1 ? "square" : "squares");
  if (!d.same_grid())
    extra += format(" (compared over %u x %u squares)", d.common_columns, d.common_rows);
  Canvas c = draw_base(new_map, file_name, extra);
  dim_unchanged(c.picture, c.frame, d.changed_squares);
  mark_changes(c.picture, c.frame, d.changed_squares);
  draw_markers(c.picture, new_map.values, c.frame);
  draw_strip(c.picture, c.strip, c.frame.g.strip_top);
  return std::move(c.picture);
}

}  // namespace gorv
