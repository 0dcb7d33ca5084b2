#include "format/tiled_map.h"

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <optional>

#include "common/byte_order.h"
#include "common/text.h"
#include "rom/game_facts.h"

namespace gorv {

namespace {

using Json = nlohmann::json;

// The layers and properties of docs/formats/tiled.md.
constexpr std::string_view kTilesLayer = "tiles";
constexpr std::string_view kBlocksLayer = "blocks";
constexpr std::array<std::string_view, 4> kDataLayers = {"data 1", "data 2", "data 3", "data 4"};
constexpr std::string_view kScreensLayer = "screens";
constexpr std::string_view kBackgroundLayer = "background";
constexpr std::string_view kEnemiesLayer = "enemies";
constexpr std::string_view kPositionsLayer = "positions";

constexpr std::string_view kAttributeProperty = "attribute byte";
constexpr std::string_view kThemeProperty = "theme";
constexpr std::string_view kEffectProperty = "effect";
constexpr std::string_view kThemeTopBitsProperty = "theme byte bits 7-6";
constexpr std::string_view kExtraRowsProperty = "extra rows";
constexpr std::string_view kSourceCrcProperty = "source CRC32";
constexpr std::string_view kTilesPastGridProperty = "tiles past the grid";
constexpr std::string_view kBackgroundBlockProperty = "background block";
constexpr std::string_view kEnemySectionProperty = "enemy section";
constexpr std::array<std::string_view, 3> kArtLoadProperties = {"art load 0", "art load 1",
                                                                "art load 2"};
constexpr std::string_view kEnemyType = "enemy";
constexpr std::string_view kBackgroundType = "background entry";
constexpr std::array<std::string_view, 3> kBackgroundWords = {"word A", "word B", "word C"};
// An enemy entry's fields: name, offset in the entry, bytes.
struct EntryField {
  std::string_view name;
  unsigned offset;
  unsigned size;
};
constexpr std::array<EntryField, 5> kEnemyFields = {{
    {"byte 0", 0, 1},
    {"byte 1", 1, 1},
    {"word 2", 2, 2},
    {"word 4", 4, 2},
    {"word 6", 6, 2},
}};

// The first global tile id of each tileset in the maps written here.
constexpr std::array<std::uint32_t, 3> kFirstGids = {1, 257, 385};

// The cells of the grid that the tile section holds: all of them, or where
// the game's 16-bit grid size wraps, that many.
std::uint64_t tile_cells(const MapValues& v) {
  const std::uint64_t squares = grid_squares(v.width, v.size_byte);
  return squares < 0x10000 ? squares : grid_size16(v.width, v.size_byte);
}

std::string hex_bytes(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 3);
  for (const std::uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

// --- Writing --------------------------------------------------------------

struct Writer {
  std::string out;
  int next_object = 1;

  void number(std::uint64_t n) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, n).ptr;
    out.append(buffer, end);
  }
  void signed_number(std::int64_t n) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, n).ptr;
    out.append(buffer, end);
  }
  // Names and texts here are ours: plain ASCII without quotes or backslashes.
  void quoted(std::string_view text) {
    out += '"';
    out += text;
    out += '"';
  }
  void int_property(std::string_view name, std::uint64_t value, bool last = false) {
    out += "    {\"name\": ";
    quoted(name);
    out += ", \"type\": \"int\", \"value\": ";
    number(value);
    out += last ? "}\n" : "},\n";
  }
  void string_property(std::string_view name, std::string_view value, bool last = false) {
    out += "    {\"name\": ";
    quoted(name);
    out += ", \"type\": \"string\", \"value\": ";
    quoted(value);
    out += last ? "}\n" : "},\n";
  }

  void tile_layer(int id, std::string_view name, unsigned columns, unsigned rows, bool visible,
                  const std::vector<std::uint32_t>& gids) {
    out += "  {\"type\": \"tilelayer\", \"id\": ";
    number(static_cast<std::uint64_t>(id));
    out += ", \"name\": ";
    quoted(name);
    out += ", \"x\": 0, \"y\": 0, \"width\": ";
    number(columns);
    out += ", \"height\": ";
    number(rows);
    out += ", \"opacity\": 1, \"visible\": ";
    out += visible ? "true" : "false";
    out += ",\n   \"data\": [";
    for (std::size_t i = 0; i < gids.size(); ++i) {
      if (i % columns == 0) out += "\n    ";
      number(gids[i]);
      if (i + 1 != gids.size()) out += ',';
    }
    out += "]},\n";
  }

  void object_layer_start(int id, std::string_view name, bool locked) {
    out += "  {\"type\": \"objectgroup\", \"id\": ";
    number(static_cast<std::uint64_t>(id));
    out += ", \"name\": ";
    quoted(name);
    out += ", \"x\": 0, \"y\": 0, \"opacity\": 1, \"visible\": true, \"draworder\": \"index\"";
    if (locked) out += ", \"locked\": true";
  }
  // An object without its closing brace; a point where w and h are 0.
  void object_start(std::string_view name, std::string_view type, std::int64_t x, std::int64_t y,
                    unsigned w = 0, unsigned h = 0) {
    out += "   {\"id\": ";
    number(static_cast<std::uint64_t>(next_object++));
    out += ", \"name\": ";
    quoted(name);
    out += ", \"type\": ";
    quoted(type);
    out += ", \"x\": ";
    signed_number(x);
    out += ", \"y\": ";
    signed_number(y);
    out += ", \"width\": ";
    number(w);
    out += ", \"height\": ";
    number(h);
    out += ", \"rotation\": 0, \"visible\": true";
    if (w == 0 && h == 0) out += ", \"point\": true";
  }
};

}  // namespace

std::string tiled_tileset_text(const TiledTileset& tileset) {
  const unsigned rows = (tileset.count + kTiledTilesetColumns - 1) / kTiledTilesetColumns;
  return format(
      "{\"type\": \"tileset\", \"version\": \"1.8\", \"name\": \"%.*s\",\n"
      " \"tilewidth\": %u, \"tileheight\": %u, \"tilecount\": %u, \"columns\": %u,\n"
      " \"margin\": 0, \"spacing\": 0,\n"
      " \"image\": \"%.*s\", \"imagewidth\": %u, \"imageheight\": %u%s}\n",
      static_cast<int>(tileset.name.size()), tileset.name.data(), kTiledTileSide, kTiledTileSide,
      tileset.count, kTiledTilesetColumns, static_cast<int>(tileset.picture.size()),
      tileset.picture.data(), kTiledTilesetColumns * kTiledTileSide, rows * kTiledTileSide,
      tileset.keyed ? (",\n \"transparentcolor\": \"" + std::string(kTiledKeyColour) + "\"").c_str()
                    : "");
}

std::string tiled_map_text(const MapFile& map, std::uint32_t source_crc) {
  const MapValues& v = map.values;
  const auto columns = static_cast<unsigned>(grid_columns(v.width));
  const auto rows = static_cast<unsigned>(grid_rows(v.size_byte));
  const std::size_t squares = std::size_t{columns} * rows;
  const std::uint64_t in_section = tile_cells(v);

  Writer w;
  w.out.reserve(squares * 20 + 4096);
  w.out += "{\"type\": \"map\", \"version\": \"1.8\", \"tiledversion\": \"1.8.2\",\n";
  w.out +=
      " \"orientation\": \"orthogonal\", \"renderorder\": \"right-down\", \"infinite\": false,\n";
  w.out += " \"width\": ";
  w.number(columns);
  w.out += ", \"height\": ";
  w.number(rows);
  w.out += ", \"tilewidth\": 16, \"tileheight\": 16, \"compressionlevel\": -1,\n";
  w.out += " \"properties\": [\n";
  w.int_property(kAttributeProperty, v.attribute);
  w.int_property(kThemeProperty, theme_of(v.theme_byte));
  w.int_property(kEffectProperty, effect_of(v.theme_byte));
  w.int_property(kThemeTopBitsProperty, v.theme_byte >> 6);
  w.int_property(kExtraRowsProperty, map_extra_rows(v.size_byte));
  if (background_form(theme_of(v.theme_byte)) == BackgroundForm::fixed)
    w.string_property(kBackgroundBlockProperty, hex_bytes(map.background));
  const std::span<const std::uint8_t> past =
      std::span(map.tiles).subspan(std::min<std::size_t>(map.tiles.size(), in_section));
  w.string_property(kTilesPastGridProperty, hex_bytes(past));
  w.string_property(kSourceCrcProperty, format("%08X", static_cast<unsigned>(source_crc)), true);
  w.out += " ],\n \"tilesets\": [\n";
  for (std::size_t t = 0; t < kTiledTilesets.size(); ++t) {
    w.out += "  {\"firstgid\": ";
    w.number(kFirstGids[t]);
    w.out += ", \"source\": ";
    w.quoted(kTiledTilesets[t].file);
    w.out += t + 1 == kTiledTilesets.size() ? "}\n" : "},\n";
  }
  w.out += " ],\n \"layers\": [\n";

  int layer = 1;
  std::vector<std::uint32_t> gids(squares, 0);
  for (std::size_t i = 0; i < squares; ++i)
    gids[i] = i < in_section && i < map.tiles.size() ? kFirstGids[0] + map.tiles[i] : 0;
  w.tile_layer(layer++, kTilesLayer, columns, rows, true, gids);
  for (std::size_t i = 0; i < squares; ++i) {
    const std::uint8_t type = i < map.blocks.size() ? map.blocks[i].type : 0;
    gids[i] = type == 0 ? 0 : kFirstGids[1] + (type & 0x7Fu);
  }
  w.tile_layer(layer++, kBlocksLayer, columns, rows, true, gids);
  for (std::size_t d = 0; d < kDataLayers.size(); ++d) {
    for (std::size_t i = 0; i < squares; ++i) {
      const BlockCell cell = i < map.blocks.size() ? map.blocks[i] : BlockCell{};
      const std::array<std::uint8_t, 4> data = {cell.d1, cell.d2, cell.d3, cell.d4};
      gids[i] = cell.type == 0 || data[d] == 0 ? 0 : kFirstGids[2] + data[d];
    }
    w.tile_layer(layer++, kDataLayers[d], columns, rows, false, gids);
  }

  // The screens, and the extra rows below the grid, as a locked frame.
  w.object_layer_start(layer++, kScreensLayer, true);
  w.out += ",\n   \"objects\": [\n";
  const unsigned screen_w = kScreenColumns * kPixelsPerSquare;
  const unsigned screen_h = kScreenRows * kPixelsPerSquare;
  for (unsigned sy = 0; sy < map_height(v.size_byte); ++sy) {
    for (unsigned sx = 0; sx < v.width; ++sx) {
      if (sx != 0 || sy != 0) w.out += ",\n";
      w.object_start(format("screen %u, %u", sx, sy), "screen", std::int64_t{sx} * screen_w,
                     std::int64_t{sy} * screen_h, screen_w, screen_h);
      w.out += '}';
    }
  }
  if (const unsigned extra = map_extra_rows(v.size_byte); extra != 0) {
    w.out += ",\n";
    w.object_start("extra rows", "extra rows", 0, std::int64_t{rows} * kPixelsPerSquare,
                   columns * kPixelsPerSquare, extra * kSquaresPerExtraRow * kPixelsPerSquare);
    w.out += '}';
  }
  w.out += "]},\n";

  // Background entries left of the map, enemies above it: only their
  // properties and their order count.
  w.object_layer_start(layer++, kBackgroundLayer, false);
  w.out += ",\n   \"objects\": [\n";
  const std::size_t entries =
      background_form(theme_of(v.theme_byte)) == BackgroundForm::list
          ? (map.background.size() >= 2 ? map.background.size() - 2 : 0) / kBackgroundEntrySize
          : 0;
  for (std::size_t n = 0; n < entries; ++n) {
    if (n != 0) w.out += ",\n";
    w.object_start(format("background %zu", n + 1), kBackgroundType,
                   -8 - 16 * static_cast<std::int64_t>(n / rows),
                   8 + 16 * static_cast<std::int64_t>(n % rows));
    w.out += ",\n    \"properties\": [\n";
    for (std::size_t word = 0; word < 3; ++word)
      w.int_property(kBackgroundWords[word],
                     get_be16(map.background, n * kBackgroundEntrySize + 2 * word), word == 2);
    w.out += "    ]}";
  }
  w.out += "]},\n";

  w.object_layer_start(layer++, kEnemiesLayer, false);
  w.out += ",\n   \"properties\": [\n";
  w.out += "    {\"name\": \"enemy section\", \"type\": \"bool\", \"value\": ";
  w.out += map.enemy.present ? "true},\n" : "false},\n";
  for (std::size_t word = 0; word < 3; ++word)
    w.int_property(kArtLoadProperties[word], get_be16(map.enemy.art_load, 2 * word), word == 2);
  w.out += "   ],\n   \"objects\": [\n";
  for (std::size_t n = 0; n < map.enemy.entries.size(); ++n) {
    if (n != 0) w.out += ",\n";
    w.object_start(format("enemy %zu", n + 1), kEnemyType,
                   8 + 16 * static_cast<std::int64_t>(n % columns),
                   -8 - 16 * static_cast<std::int64_t>(n / columns));
    w.out += ",\n    \"properties\": [\n";
    const auto& entry = map.enemy.entries[n];
    for (std::size_t f = 0; f < kEnemyFields.size(); ++f) {
      const EntryField& field = kEnemyFields[f];
      w.int_property(field.name,
                     field.size == 1 ? entry[field.offset] : get_be16(entry, field.offset),
                     f + 1 == kEnemyFields.size());
    }
    w.out += "    ]}";
  }
  w.out += "]},\n";

  w.object_layer_start(layer++, kPositionsLayer, false);
  w.out += ",\n   \"objects\": [\n";
  w.object_start("start", "start", v.start_x, v.start_y);
  w.out += "},\n";
  w.object_start("end", "end", v.end_x, v.end_y);
  w.out += "}]}\n ],\n \"nextlayerid\": ";
  w.number(static_cast<std::uint64_t>(layer));
  w.out += ", \"nextobjectid\": ";
  w.number(static_cast<std::uint64_t>(w.next_object));
  w.out += "\n}\n";
  return std::move(w.out);
}

std::vector<NormalisedPart> normalised_parts(std::span<const std::uint8_t> bytes,
                                             const MapFile& parsed) {
  if (!parsed.current_layout) return {NormalisedPart::earlier_layout};
  std::vector<NormalisedPart> parts;
  const std::vector<std::uint8_t> written = serialize_map_file(parsed);
  if (!std::equal(written.begin(), written.begin() + 6, bytes.begin()))
    parts.push_back(NormalisedPart::header_bytes);
  if (get_le16(bytes, kCurrentMapFileLayout.offsets) != kMapFileHeaderSize)
    parts.push_back(NormalisedPart::before_tiles);
  // The sections of each file, from its own offsets.
  auto section = [](std::span<const std::uint8_t> file, std::size_t n) {
    const std::size_t at = kCurrentMapFileLayout.offsets + 2 * n;
    return file.subspan(get_le16(file, at), get_le16(file, at + 2) - get_le16(file, at));
  };
  auto same = [&](std::size_t n) {
    const auto a = section(bytes, n);
    const auto b = section(written, n);
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  };
  if (!same(1)) parts.push_back(NormalisedPart::block_runs);
  if (!same(2)) parts.push_back(NormalisedPart::background_bytes);
  if (!same(3)) parts.push_back(NormalisedPart::enemy_bytes);
  if (get_le16(bytes, kCurrentMapFileLayout.offsets + 8) != bytes.size())
    parts.push_back(NormalisedPart::after_end);
  return parts;
}

// --- Reading --------------------------------------------------------------

namespace {

struct Refused {
  TiledRefusal refusal;
};

[[noreturn]] void refuse(TiledWhere where, TiledProblem problem, std::string name = {},
                         std::array<std::uint64_t, 4> values = {}, std::string text = {}) {
  throw Refused{TiledRefusal{where, problem, std::move(name), 0, 0, values, std::move(text)}};
}
[[noreturn]] void refuse_map(TiledProblem problem, std::array<std::uint64_t, 4> values = {},
                             std::string text = {}) {
  refuse(TiledWhere::map, problem, {}, values, std::move(text));
}

const Json* member(const Json& object, std::string_view key) {
  if (!object.is_object()) return nullptr;
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

std::string string_member(const Json& object, std::string_view key) {
  const Json* value = member(object, key);
  return value != nullptr && value->is_string() ? value->get<std::string>() : std::string();
}

std::optional<std::uint64_t> unsigned_member(const Json& object, std::string_view key) {
  const Json* value = member(object, key);
  if (value == nullptr || !value->is_number_integer() || value->get<std::int64_t>() < 0)
    return std::nullopt;
  return value->get<std::uint64_t>();
}

// A property of an object, a layer or the map, by name.
const Json* property(const Json& owner, std::string_view name) {
  const Json* list = member(owner, "properties");
  if (list == nullptr || !list->is_array()) return nullptr;
  for (const Json& p : *list)
    if (p.is_object() && string_member(p, "name") == name) return member(p, "value");
  return nullptr;
}

// Where an integer's problem is told: as an object's property (`object`
// not empty) or as a property of the map or a layer.
struct Place {
  std::string object;
};

[[noreturn]] void refuse_value(const Place& place, std::string_view name, TiledProblem problem,
                               std::array<std::uint64_t, 4> values = {}) {
  if (place.object.empty()) refuse(TiledWhere::property, problem, std::string(name), values);
  refuse(TiledWhere::object, problem, place.object, values, std::string(name));
}

std::optional<std::uint64_t> integer(const Json& owner, std::string_view name, std::uint64_t max,
                                     const Place& place, bool required) {
  const Json* value = property(owner, name);
  if (value == nullptr) {
    if (required) refuse_value(place, name, TiledProblem::missing);
    return std::nullopt;
  }
  if (!value->is_number_integer()) refuse_value(place, name, TiledProblem::not_a_number);
  if (value->is_number_unsigned()) {
    const auto n = value->get<std::uint64_t>();
    if (n > max) refuse_value(place, name, TiledProblem::above_maximum, {n, max});
    return n;
  }
  const auto n = value->get<std::int64_t>();
  if (n < 0) refuse_value(place, name, TiledProblem::negative, {0 - static_cast<std::uint64_t>(n)});
  if (static_cast<std::uint64_t>(n) > max)
    refuse_value(place, name, TiledProblem::above_maximum, {static_cast<std::uint64_t>(n), max});
  return static_cast<std::uint64_t>(n);
}

std::uint64_t required(const Json& owner, std::string_view name, std::uint64_t max,
                       const Place& place = {}) {
  return *integer(owner, name, max, place, true);
}

std::vector<std::uint8_t> hex_property(const Json& map, std::string_view name) {
  const Json* value = property(map, name);
  if (value == nullptr) return {};
  if (!value->is_string()) refuse_value({}, name, TiledProblem::not_hex);
  std::vector<std::uint8_t> bytes;
  int high = -1;
  for (const char c : value->get<std::string>()) {
    if (c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == ',') {
      if (high >= 0) refuse_value({}, name, TiledProblem::not_hex);
      continue;
    }
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) refuse_value({}, name, TiledProblem::not_hex);
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<std::uint8_t>(high * 16 + digit));
      high = -1;
    }
  }
  if (high >= 0) refuse_value({}, name, TiledProblem::not_hex);
  return bytes;
}

// A tileset of the map: one of ours, or another (id -1).
struct MapTileset {
  std::uint64_t firstgid = 0;
  int ours = -1;
  std::string name;
};

std::string_view base_name(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::vector<MapTileset> read_tilesets(const Json& root) {
  std::vector<MapTileset> sets;
  const Json* list = member(root, "tilesets");
  if (list == nullptr || !list->is_array()) return sets;
  for (const Json& t : *list) {
    MapTileset set;
    set.firstgid = unsigned_member(t, "firstgid").value_or(0);
    const std::string source = string_member(t, "source");
    set.name = source.empty() ? string_member(t, "name") : std::string(base_name(source));
    for (std::size_t n = 0; n < kTiledTilesets.size(); ++n) {
      const TiledTileset& ours = kTiledTilesets[n];
      if (source.empty() ? set.name == ours.name : set.name == ours.file)
        set.ours = static_cast<int>(n);
    }
    if (set.firstgid != 0) sets.push_back(std::move(set));
  }
  std::sort(sets.begin(), sets.end(),
            [](const MapTileset& a, const MapTileset& b) { return a.firstgid < b.firstgid; });
  return sets;
}

// The flip and rotation bits of a global tile id.
constexpr std::uint32_t kGidFlagBits = 0xF0000000;

// The cells of a tile layer as global tile ids, row by row.
std::vector<std::uint32_t> layer_gids(const Json& layer, std::string_view name, std::size_t cells) {
  const std::string layer_name(name);
  const Json* data = member(layer, "data");
  std::vector<std::uint32_t> gids;
  gids.reserve(cells);
  auto damaged = [&]() { refuse_map(TiledProblem::layer_data, {gids.size()}, layer_name); };
  if (data != nullptr && data->is_array()) {
    for (const Json& g : *data) {
      if (!g.is_number_unsigned() || g.get<std::uint64_t>() > 0xFFFFFFFFu) damaged();
      gids.push_back(static_cast<std::uint32_t>(g.get<std::uint64_t>()));
    }
    if (gids.size() != cells) damaged();
    return gids;
  }
  if (data == nullptr || !data->is_string() || string_member(layer, "encoding") != "base64")
    damaged();
  const std::string compression = string_member(layer, "compression");
  if (compression == "zstd") refuse_map(TiledProblem::layer_zstd, {}, layer_name);
  if (!compression.empty() && compression != "zlib" && compression != "gzip") damaged();
  // Base64, then the bytes as they were before compression.
  std::vector<std::uint8_t> packed;
  {
    const std::string& text = data->get_ref<const std::string&>();
    packed.reserve(text.size() / 4 * 3);
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
      int value = -1;
      if (c >= 'A' && c <= 'Z') value = c - 'A';
      if (c >= 'a' && c <= 'z') value = c - 'a' + 26;
      if (c >= '0' && c <= '9') value = c - '0' + 52;
      if (c == '+') value = 62;
      if (c == '/') value = 63;
      if (c == '=' || c == '\n' || c == '\r' || c == ' ') continue;
      if (value < 0) damaged();
      bits = (bits << 6) | static_cast<std::uint32_t>(value);
      if (++count == 4) {
        packed.push_back(static_cast<std::uint8_t>(bits >> 16));
        packed.push_back(static_cast<std::uint8_t>(bits >> 8));
        packed.push_back(static_cast<std::uint8_t>(bits));
        bits = 0;
        count = 0;
      }
    }
    if (count == 1) damaged();
    if (count == 2) packed.push_back(static_cast<std::uint8_t>(bits >> 4));
    if (count == 3) {
      packed.push_back(static_cast<std::uint8_t>(bits >> 10));
      packed.push_back(static_cast<std::uint8_t>(bits >> 2));
    }
  }
  std::vector<std::uint8_t> raw;
  if (compression.empty()) {
    raw = std::move(packed);
  } else {
    // One byte more than the cells take, to see a stream that holds more.
    raw.resize(cells * 4 + 1);
    z_stream z{};
    if (inflateInit2(&z, 15 + 32) != Z_OK) damaged();  // zlib or gzip header
    z.next_in = packed.data();
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = raw.data();
    z.avail_out = static_cast<uInt>(raw.size());
    const int status = inflate(&z, Z_FINISH);
    const std::size_t produced = raw.size() - z.avail_out;
    inflateEnd(&z);
    if (status != Z_STREAM_END) damaged();
    raw.resize(produced);
  }
  if (raw.size() != cells * 4) damaged();
  for (std::size_t i = 0; i < cells; ++i) gids.push_back(get_le32(raw, i * 4));
  return gids;
}

// The tiles of a layer over tileset `ours` as local ids; -1 for an empty cell.
std::vector<int> layer_tiles(const Json& layer, std::string_view name, unsigned columns,
                             unsigned rows, const std::vector<MapTileset>& sets,
                             TiledTilesetId ours) {
  const std::string layer_name(name);
  if (string_member(layer, "type") != "tilelayer")
    refuse_map(TiledProblem::layer_not_tiles, {}, layer_name);
  const auto w = unsigned_member(layer, "width");
  const auto h = unsigned_member(layer, "height");
  if (w != columns || h != rows)
    refuse_map(TiledProblem::layer_size, {w.value_or(0), h.value_or(0), columns, rows}, layer_name);
  const std::vector<std::uint32_t> gids = layer_gids(layer, name, std::size_t{columns} * rows);
  std::vector<int> tiles(gids.size(), -1);
  const auto want = static_cast<int>(ours);
  for (std::size_t i = 0; i < gids.size(); ++i) {
    const std::uint32_t gid = gids[i];
    if (gid == 0) continue;
    auto at = [&](TiledProblem problem, std::uint64_t value, std::string text = {}) {
      TiledRefusal r{TiledWhere::cell, problem,     layer_name,
                     i % columns,      i / columns, {value, static_cast<std::uint64_t>(want)},
                     std::move(text)};
      throw Refused{std::move(r)};
    };
    if ((gid & kGidFlagBits) != 0) at(TiledProblem::flipped_tile, gid);
    const auto set =
        std::upper_bound(sets.begin(), sets.end(), gid,
                         [](std::uint64_t g, const MapTileset& s) { return g < s.firstgid; });
    if (set == sets.begin()) at(TiledProblem::foreign_tile, gid);
    const MapTileset& found = *(set - 1);
    if (found.ours != want) at(TiledProblem::foreign_tile, gid, found.name);
    const std::uint64_t local = gid - found.firstgid;
    if (local >= kTiledTilesets[static_cast<std::size_t>(want)].count)
      at(TiledProblem::past_tileset, local, found.name);
    tiles[i] = static_cast<int>(local);
  }
  return tiles;
}

// The object's name for messages: its own, or its place in its layer.
std::string object_label(const Json& object, std::string_view layer, std::size_t index) {
  std::string name = string_member(object, "name");
  return name.empty() ? format("%.*s %zu", static_cast<int>(layer.size()), layer.data(), index + 1)
                      : name;
}

std::string object_class(const Json& object) {
  const std::string type = string_member(object, "type");
  return type.empty() ? string_member(object, "class") : type;
}

const Json& objects_of(const Json& layer) {
  static const Json kNone = Json::array();
  const Json* objects = member(layer, "objects");
  return objects != nullptr && objects->is_array() ? *objects : kNone;
}

// A point's position in whole pixels.
std::array<std::uint16_t, 2> position(const Json& object, const std::string& label) {
  const Json* x = member(object, "x");
  const Json* y = member(object, "y");
  if (x == nullptr || y == nullptr || !x->is_number() || !y->is_number())
    refuse(TiledWhere::object, TiledProblem::position, label);
  const double fx = std::round(x->get<double>());
  const double fy = std::round(y->get<double>());
  if (!(fx >= 0 && fx <= 65535 && fy >= 0 && fy <= 65535)) {
    auto clamp = [](double f) {
      return static_cast<std::uint64_t>(
          static_cast<std::int64_t>(std::isfinite(f) ? std::clamp(f, -1e15, 1e15) : 0.0));
    };
    refuse(TiledWhere::object, TiledProblem::position, label, {clamp(fx), clamp(fy)});
  }
  return {static_cast<std::uint16_t>(fx), static_cast<std::uint16_t>(fy)};
}

MapFile read_map(const Json& root) {
  if (!root.is_object() || !unsigned_member(root, "width") || !unsigned_member(root, "height"))
    refuse_map(TiledProblem::not_a_map);
  if (const Json* inf = member(root, "infinite"); inf != nullptr && inf->is_boolean() && *inf)
    refuse_map(TiledProblem::infinite);
  if (const std::string o = string_member(root, "orientation"); !o.empty() && o != "orthogonal")
    refuse_map(TiledProblem::not_orthogonal, {}, o);
  const std::uint64_t tw = unsigned_member(root, "tilewidth").value_or(0);
  const std::uint64_t th = unsigned_member(root, "tileheight").value_or(0);
  if (tw != kPixelsPerSquare || th != kPixelsPerSquare)
    refuse_map(TiledProblem::tile_size, {tw, th});
  const std::uint64_t columns = *unsigned_member(root, "width");
  const std::uint64_t rows = *unsigned_member(root, "height");
  if (columns == 0 || rows == 0 || columns % kScreenColumns != 0 || rows % kScreenRows != 0)
    refuse_map(TiledProblem::not_whole_screens, {columns, rows});
  const std::uint64_t across = columns / kScreenColumns;
  const std::uint64_t down = rows / kScreenRows;
  if (across > kMaxBlockLayoutWidth || down > kMaxBlockLayoutHeight)
    refuse_map(TiledProblem::too_many_screens,
               {across, down, kMaxBlockLayoutWidth, kMaxBlockLayoutHeight});

  MapFile map;
  MapValues& v = map.values;
  v.width = static_cast<std::uint8_t>(across);
  const std::uint64_t attribute = required(root, kAttributeProperty, 0xFF);
  const std::uint64_t theme = required(root, kThemeProperty, 0x0F);
  const std::uint64_t effect = required(root, kEffectProperty, 3);
  const std::uint64_t top = integer(root, kThemeTopBitsProperty, 3, {}, false).value_or(0);
  const std::uint64_t extra = required(root, kExtraRowsProperty, 3);
  v.size_byte = static_cast<std::uint8_t>(extra << 6 | down);
  v.attribute = static_cast<std::uint8_t>(attribute);
  v.theme_byte = static_cast<std::uint8_t>(top << 6 | effect << 4 | theme);

  // Our layers, by name, at the top level.
  std::array<const Json*, 10> found{};
  constexpr std::array<std::string_view, 10> kNames = {
      kTilesLayer,    kBlocksLayer,     kDataLayers[0], kDataLayers[1],  kDataLayers[2],
      kDataLayers[3], kBackgroundLayer, kEnemiesLayer,  kPositionsLayer, kScreensLayer};
  if (const Json* layers = member(root, "layers"); layers != nullptr && layers->is_array()) {
    for (const Json& layer : *layers) {
      const std::string name = string_member(layer, "name");
      for (std::size_t n = 0; n + 1 < kNames.size(); ++n) {
        if (name != kNames[n]) continue;
        if (found[n] != nullptr) refuse_map(TiledProblem::layer_doubled, {}, name);
        found[n] = &layer;
      }
    }
  }
  const std::vector<MapTileset> sets = read_tilesets(root);
  const auto cols = static_cast<unsigned>(columns);
  const auto rws = static_cast<unsigned>(rows);
  const std::size_t squares = std::size_t{cols} * rws;

  if (found[0] == nullptr) refuse_map(TiledProblem::layer_missing, {}, std::string(kTilesLayer));
  const std::vector<int> tiles =
      layer_tiles(*found[0], kTilesLayer, cols, rws, sets, TiledTilesetId::tiles);
  const std::uint64_t in_section = tile_cells(v);
  map.tiles.reserve(in_section);
  for (std::size_t i = 0; i < squares; ++i) {
    if (i < in_section) {
      map.tiles.push_back(static_cast<std::uint8_t>(std::max(tiles[i], 0)));
    } else if (tiles[i] >= 0) {
      TiledRefusal r{TiledWhere::cell,
                     TiledProblem::past_tile_section,
                     std::string(kTilesLayer),
                     i % cols,
                     i / cols,
                     {in_section},
                     {}};
      throw Refused{std::move(r)};
    }
  }
  const std::vector<std::uint8_t> past = hex_property(root, kTilesPastGridProperty);
  map.tiles.insert(map.tiles.end(), past.begin(), past.end());

  map.blocks.assign(squares, BlockCell{});
  if (found[1] != nullptr) {
    const std::vector<int> types =
        layer_tiles(*found[1], kBlocksLayer, cols, rws, sets, TiledTilesetId::blocks);
    for (std::size_t i = 0; i < squares; ++i)
      if (types[i] >= 0) map.blocks[i].type = static_cast<std::uint8_t>(kCellTypeBit | types[i]);
  }
  for (std::size_t d = 0; d < kDataLayers.size(); ++d) {
    if (found[2 + d] == nullptr) continue;
    const std::vector<int> bytes =
        layer_tiles(*found[2 + d], kDataLayers[d], cols, rws, sets, TiledTilesetId::bytes);
    for (std::size_t i = 0; i < squares; ++i) {
      BlockCell& cell = map.blocks[i];
      if (cell.type == 0 || bytes[i] < 0) continue;  // data on an empty square means nothing
      const auto b = static_cast<std::uint8_t>(bytes[i]);
      std::array<std::uint8_t*, 4> fields = {&cell.d1, &cell.d2, &cell.d3, &cell.d4};
      *fields[d] = b;
    }
  }

  // Start and end.
  if (found[8] == nullptr)
    refuse_map(TiledProblem::layer_missing, {}, std::string(kPositionsLayer));
  for (const std::string_view which : {std::string_view("start"), std::string_view("end")}) {
    const Json* point = nullptr;
    std::uint64_t count = 0;
    for (const Json& object : objects_of(*found[8])) {
      if (string_member(object, "name") != which) continue;
      ++count;
      point = &object;
    }
    if (count == 0)
      refuse(TiledWhere::object, TiledProblem::object_missing, std::string(which), {},
             std::string(kPositionsLayer));
    if (count > 1)
      refuse(TiledWhere::object, TiledProblem::object_doubled, std::string(which), {count});
    const auto xy = position(*point, std::string(which));
    (which == "start" ? v.start_x : v.end_x) = xy[0];
    (which == "start" ? v.start_y : v.end_y) = xy[1];
  }

  // The background, by the theme's form.
  const BackgroundForm form = background_form(static_cast<unsigned>(theme));
  if (found[6] != nullptr) {
    const Json& objects = objects_of(*found[6]);
    for (std::size_t n = 0; n < objects.size(); ++n) {
      const Json& object = objects[n];
      if (object_class(object) != kBackgroundType) continue;
      const Place place{object_label(object, kBackgroundLayer, n)};
      if (form != BackgroundForm::list)
        refuse(TiledWhere::object, TiledProblem::no_background_list, place.object, {theme});
      for (std::size_t word = 0; word < 3; ++word) {
        const std::uint64_t value = required(object, kBackgroundWords[word], 0xFFFF, place);
        if (word == 0 && value == kBackgroundEndWord)
          refuse(TiledWhere::object, TiledProblem::end_word, place.object);
        append_be16(map.background, static_cast<std::uint16_t>(value));
      }
    }
  }
  if (form == BackgroundForm::list) append_be16(map.background, kBackgroundEndWord);
  if (form == BackgroundForm::fixed) {
    if (property(root, kBackgroundBlockProperty) == nullptr)
      refuse_value({}, kBackgroundBlockProperty, TiledProblem::missing);
    map.background = hex_property(root, kBackgroundBlockProperty);
    if (map.background.size() != kFixedBackgroundSize)
      refuse_value({}, kBackgroundBlockProperty, TiledProblem::wrong_length,
                   {map.background.size(), kFixedBackgroundSize});
  }

  // The enemies.
  if (found[7] != nullptr) {
    const Json& layer = *found[7];
    const Json* present = property(layer, kEnemySectionProperty);
    if (present != nullptr && !present->is_boolean())
      refuse_value({}, kEnemySectionProperty, TiledProblem::not_bool);
    map.enemy.present = present == nullptr || present->get<bool>();
    const Json& objects = objects_of(layer);
    for (std::size_t n = 0; n < objects.size(); ++n) {
      const Json& object = objects[n];
      if (object_class(object) != kEnemyType) continue;
      const Place place{object_label(object, kEnemiesLayer, n)};
      if (!map.enemy.present)
        refuse(TiledWhere::object, TiledProblem::no_enemy_section, place.object);
      if (map.enemy.entries.size() == 0xFF)
        refuse(TiledWhere::object, TiledProblem::too_many_enemies, place.object, {0xFF});
      std::array<std::uint8_t, 8> entry{};
      for (const EntryField& field : kEnemyFields) {
        const std::uint64_t value =
            required(object, field.name, field.size == 1 ? 0xFF : 0xFFFF, place);
        if (field.size == 1)
          entry[field.offset] = static_cast<std::uint8_t>(value);
        else
          set_be16(entry, field.offset, static_cast<std::uint16_t>(value));
      }
      map.enemy.entries.push_back(entry);
    }
    if (map.enemy.present) {
      for (std::size_t word = 0; word < 3; ++word)
        set_be16(map.enemy.art_load, 2 * word,
                 static_cast<std::uint16_t>(required(layer, kArtLoadProperties[word], 0xFFFF)));
    }
  }
  return map;
}

}  // namespace

TiledRead read_tiled_map(std::string_view text) {
  TiledRead result;
  const std::size_t first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
  if (first != std::string_view::npos && text[first] == '<') {
    result.refusal.problem = TiledProblem::xml_map;
    return result;
  }
  Json root;
  try {
    root = Json::parse(text.begin(), text.end());
  } catch (const Json::parse_error& e) {
    result.refusal.problem = TiledProblem::not_json;
    result.refusal.values[0] = e.byte;
    return result;
  } catch (const Json::exception&) {  // a number past every number type
    result.refusal.problem = TiledProblem::json_number;
    return result;
  }
  try {
    result.map = read_map(root);
  } catch (Refused& refused) {
    result.refusal = std::move(refused.refusal);
    return result;
  }
  const std::vector<std::uint8_t> bytes = serialize_map_file(result.map);
  if (bytes.size() > kMaxMapFileSize) {
    result.refusal.problem = TiledProblem::file_too_large;
    result.refusal.values[0] = bytes.size();
    return result;
  }
  if (const Json* value = property(root, kSourceCrcProperty);
      value != nullptr && value->is_string()) {
    const std::string& s = value->get_ref<const std::string&>();
    std::uint32_t n = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), n, 16);
    if (error == std::errc() && end == s.data() + s.size() && !s.empty()) {
      result.source_crc = n;
      result.has_source_crc = true;
    }
  }
  result.ok = true;
  return result;
}

}  // namespace gorv
