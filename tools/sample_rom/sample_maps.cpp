// The sample maps: the map header table, the map headers and every map's
// four layouts (tile, block, background, enemy), in all the forms the tool
// reads. All content is made up here from a small pseudo-random generator.
//
// Where things lie:
//   0x040342  map header table, 126 big-endian offsets from 0x4033A
//   0x040440  two headers of maps that do not exist (nibbles disagree)
//   0x040478  the headers of the maps below, 28 bytes each
//   0x050000  the layouts, one after another at even addresses
#include <cstddef>
#include <initializer_list>
#include <stdexcept>

#include "codec/lz_encoder.h"
#include "common/byte_order.h"
#include "sample_rom/sample_rom.h"

#include "rom/map_header.h"

namespace gorv::sample {

namespace {

using ByteVector = std::vector<std::uint8_t>;

constexpr std::uint32_t kAbsentHeaders = 0x40440;
constexpr std::uint32_t kHeaders = 0x40478;
constexpr std::uint32_t kHeadersEnd = 0x4F000;
constexpr std::uint32_t kLayouts = 0x50000;
constexpr std::uint32_t kLayoutsEnd = 0x79000;

enum class Background { kDirect, kIndirect, kFixed, kNone };
enum class Enemies { kGood, kEmptyZeroMarker, kBadEnd, kBadMarker };

// One sample map. Its theme (the low nibble of the theme byte) decides the
// background form; `background` must agree with it.
struct MapPlan {
  std::uint8_t number;
  std::uint8_t width;      // screens
  std::uint8_t size_byte;  // extra rows in bits 7-6, height in screens in bits 5-0
  std::uint8_t attribute;  // low nibble equal to the theme's
  std::uint8_t theme_byte;
  Background background;
  Enemies enemies;
  bool all_block_types;  // every handled block type, with and without variant
  bool unhandled_block;  // one entry of a block type the tool does not handle
};

// Maps of every size and form; among them the maps that the first levels
// play on (4A 4B 2D 2E 01 00 02 0E 54 56 18 1D ...).
constexpr MapPlan kPlans[] = {
    {0x4A, 2, 0x01, 0x01, 0x01, Background::kDirect, Enemies::kGood, false, false},
    {0x4B, 3, 0x01, 0x82, 0x12, Background::kIndirect, Enemies::kGood, false, false},
    {0x2D, 2, 0x02, 0x03, 0x23, Background::kFixed, Enemies::kGood, false, false},
    {0x2E, 4, 0x41, 0x04, 0x34, Background::kDirect, Enemies::kGood, false, false},
    {0x01, 1, 0x01, 0x05, 0x05, Background::kFixed, Enemies::kGood, true, false},
    {0x00, 3, 0x02, 0x86, 0x06, Background::kIndirect, Enemies::kGood, false, false},
    {0x02, 2, 0x81, 0x07, 0x27, Background::kFixed, Enemies::kGood, false, false},
    {0x0E, 5, 0x01, 0x08, 0x18, Background::kDirect, Enemies::kGood, false, true},
    {0x54, 1, 0x03, 0x09, 0x09, Background::kFixed, Enemies::kGood, false, false},
    {0x56, 2, 0x01, 0x0A, 0xCA, Background::kDirect, Enemies::kGood, true, false},
    {0x18, 1, 0x01, 0x00, 0x00, Background::kNone, Enemies::kGood, false, false},
    {0x1D, 2, 0x01, 0x0B, 0x0B, Background::kNone, Enemies::kEmptyZeroMarker, false, false},
    {0x3D, 1, 0x02, 0x01, 0x01, Background::kDirect, Enemies::kBadEnd, false, false},
    {0x37, 2, 0x01, 0x02, 0x02, Background::kIndirect, Enemies::kBadMarker, false, false},
    {0x2C, 6, 0xC1, 0x84, 0x24, Background::kDirect, Enemies::kGood, false, false},
    {0x2B, 3, 0x01, 0x05, 0x15, Background::kFixed, Enemies::kEmptyZeroMarker, false, false},
    {0x13, 1, 0x02, 0x06, 0x06, Background::kIndirect, Enemies::kGood, false, false},
    {0x4C, 8, 0x02, 0x08, 0x08, Background::kDirect, Enemies::kGood, false, false},
    {0x49, 4, 0x03, 0x07, 0x37, Background::kFixed, Enemies::kGood, false, false},
    {0x0B, 10, 0x01, 0x0A, 0x0A, Background::kIndirect, Enemies::kGood, false, false},
    {0x05, 1, 0x01, 0x0F, 0x0F, Background::kNone, Enemies::kGood, false, false},
    {0x1F, 2, 0x41, 0x03, 0x03, Background::kFixed, Enemies::kGood, false, false},
    {0x7D, 1, 0x01, 0x02, 0x02, Background::kDirect, Enemies::kGood, false, false},
};

// A small linear congruential generator: the same maps on every build.
struct Random {
  std::uint32_t state;
};

unsigned next(Random& r, unsigned bound) {
  r.state = r.state * 1103515245u + 12345u;
  return (r.state >> 16) % bound;
}

void put_be16(ByteVector& v, unsigned value) {
  append_be16(v, static_cast<std::uint16_t>(value));
}

void place(std::vector<std::uint8_t>& rom, std::uint32_t at, const ByteVector& bytes) {
  if (at + bytes.size() > rom.size()) throw std::logic_error("sample map data past the image");
  for (std::size_t i = 0; i < bytes.size(); ++i) rom[at + i] = bytes[i];
}

unsigned columns(const MapPlan& p) {
  return p.width * 20u;
}
unsigned rows(const MapPlan& p) {
  return (p.size_byte & 0x3Fu) * 14u;
}

// Tile-like bytes, one per grid square: sky, a ground line with hills and
// gaps, platforms, and a few decorations.
ByteVector make_tiles(const MapPlan& p, Random& r) {
  const unsigned cols = columns(p);
  const unsigned height = rows(p);
  ByteVector tiles(cols * height, 0x00);
  unsigned ground = height - 3;
  for (unsigned x = 0; x < cols; ++x) {
    if (x % 6 == 0) {
      const unsigned step = next(r, 3);
      if (step == 0 && ground > height / 2) --ground;
      if (step == 2 && ground < height - 2) ++ground;
    }
    const bool gap = x > 8 && next(r, 23) == 0;
    for (unsigned y = 0; y < height; ++y) {
      std::uint8_t tile = 0x00;
      if (!gap && y == ground) tile = static_cast<std::uint8_t>(0x10 + x % 4);
      if (!gap && y > ground) tile = static_cast<std::uint8_t>(0x20 + (x + y) % 3);
      tiles[y * cols + x] = tile;
    }
  }
  const unsigned platforms = cols / 8;
  for (unsigned k = 0; k < platforms; ++k) {
    const unsigned length = 2 + next(r, 5);
    const unsigned x = next(r, cols - length);
    const unsigned y = 2 + next(r, height / 2);
    for (unsigned i = 0; i < length; ++i)
      tiles[y * cols + x + i] = static_cast<std::uint8_t>(i == 0            ? 0x30
                                                          : i == length - 1 ? 0x32
                                                                            : 0x31);
  }
  for (unsigned k = 0; k < cols / 5; ++k) {
    const unsigned x = next(r, cols);
    const unsigned y = next(r, height / 3);
    tiles[y * cols + x] = static_cast<std::uint8_t>(0x40 + next(r, 8));
  }
  return tiles;
}

// MSB-first bit packing for block layout streams.
struct BitWriter {
  ByteVector bytes;
  std::size_t count = 0;
};

void put_bits(BitWriter& w, unsigned value, unsigned width) {
  for (unsigned i = width; i-- > 0;) {
    if (w.count % 8 == 0) w.bytes.push_back(0);
    if ((value >> i) & 1u) w.bytes.back() |= static_cast<std::uint8_t>(0x80u >> (w.count % 8));
    ++w.count;
  }
}

unsigned field_width(unsigned count, unsigned narrowest) {
  unsigned width = narrowest;
  while ((1u << width) <= count) ++width;
  return width;
}

// One entry of a block layout: its head square, its run and its data.
struct BlockEntry {
  unsigned x, y;
  unsigned further;  // squares after the head
  bool down;
  std::uint8_t d1, d2, d3, d4;
};

// Payload bits of one entry, by block type.
void put_payload(BitWriter& w, std::uint8_t type, const BlockEntry& e) {
  const unsigned run = e.further << 1 | (e.down ? 1u : 0u);
  switch (type) {
    case 0x00:
    case 0x02:
    case 0x05:
    case 0x06:
    case 0x07:
    case 0x09:
      put_bits(w, run, 5);
      break;
    case 0x01:
    case 0x0A:
    case 0x0C:
    case 0x10: {
      const unsigned width = type == 0x01 ? 5 : type == 0x10 ? 3 : 4;
      put_bits(w, run, 5);
      for (unsigned k = 0; k <= e.further; ++k)
        put_bits(w, (e.d1 + k) & ((1u << width) - 1), width);
      break;
    }
    case 0x03:
      put_bits(w, e.further, 3);
      put_bits(w, e.down ? 1 : 0, 1);
      put_bits(w, e.d1, 8);
      put_bits(w, e.d3 & 7u, 3);
      put_bits(w, e.d2, 8);
      put_bits(w, e.d4, 8);
      break;
    case 0x04:
      put_bits(w, e.d1, 8);
      put_bits(w, e.d2, 8);
      put_bits(w, e.d4 & 1u, 1);
      put_bits(w, e.d3, 8);
      break;
    default:  // 0x0B, and the types the tool does not handle: no payload
      break;
  }
}

// The longest run a block type's payload can describe.
unsigned max_further(std::uint8_t type) {
  switch (type) {
    case 0x03:
      return 7;
    case 0x04:
    case 0x0B:
    case 0x08:
    case 0x0D:
    case 0x0E:
    case 0x0F:
      return 0;
    default:
      return 15;
  }
}

// An entry placed at random, its run kept inside the grid.
BlockEntry random_entry(const MapPlan& p, std::uint8_t type, Random& r) {
  BlockEntry e{};
  e.down = next(r, 3) == 0;
  const unsigned limit = max_further(type);
  e.further = limit == 0 ? 0 : next(r, limit + 1);
  const unsigned cols = columns(p);
  const unsigned height = rows(p);
  if (e.down) {
    if (e.further > height - 1) e.further = height - 1;
    e.x = next(r, cols);
    e.y = next(r, height - e.further);
  } else {
    if (e.further > cols - 1) e.further = cols - 1;
    e.x = next(r, cols - e.further);
    e.y = next(r, height);
  }
  e.d1 = static_cast<std::uint8_t>(next(r, 256));
  e.d2 = static_cast<std::uint8_t>(next(r, 256));
  e.d3 = static_cast<std::uint8_t>(next(r, 256));
  e.d4 = static_cast<std::uint8_t>(next(r, 256));
  return e;
}

// A block layout stream: groups of type codes, each with a few entries.
ByteVector make_blocks(const MapPlan& p, Random& r) {
  std::vector<std::uint8_t> codes;
  if (p.all_block_types) {
    for (std::uint8_t type :
         {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x09, 0x0A, 0x0B, 0x0C, 0x10}) {
      codes.push_back(type);
      codes.push_back(static_cast<std::uint8_t>(type | 0x20));
    }
  } else {
    codes = {0x00, 0x01, 0x03, 0x04, 0x22, 0x0B};
  }
  if (p.unhandled_block) codes.insert(codes.begin() + 2, 0x28);

  const unsigned x_width = field_width(columns(p), 5);
  const unsigned y_width = field_width(rows(p), 4);
  BitWriter w;
  put_bits(w, 0x40, 8);
  put_bits(w, x_width, 4);
  put_bits(w, y_width, 4);
  for (std::uint8_t code : codes) {
    const std::uint8_t type = code & 0x1F;
    put_bits(w, code, 6);
    const unsigned entries = type == 0x08 ? 1 : 1 + next(r, 3 + p.width);
    for (unsigned k = 0; k < entries; ++k) {
      const BlockEntry e = random_entry(p, type, r);
      put_bits(w, e.x, x_width);
      put_bits(w, e.y, y_width);
      put_payload(w, type, e);
    }
    put_bits(w, (1u << x_width) - 1, x_width);
  }
  put_bits(w, 0x3F, 6);
  return w.bytes;
}

// The background layout in the ROM form the plan asks for. An indirect
// header's entries go to `list`; the caller places them and fills in
// their address (header bytes 6 to 9).
ByteVector make_background(const MapPlan& p, Random& r, ByteVector& list) {
  ByteVector layout;
  const unsigned count = 2 + next(r, 4);
  switch (p.background) {
    case Background::kDirect:
      for (unsigned k = 0; k < count; ++k) {
        put_be16(layout, k == 1 ? 0x8000 : 0x0100 + next(r, 16));  // 0x8000 is a plain word here
        put_be16(layout, next(r, columns(p) * 16));
        put_be16(layout, next(r, rows(p) * 16));
      }
      put_be16(layout, 0xFFFF);
      break;
    case Background::kIndirect: {
      // Bases above some of the words, so their differences wrap.
      const unsigned base_b = 0x0200;
      const unsigned base_c = 0x0080;
      put_be16(layout, 0x8000);
      put_be16(layout, base_b);
      put_be16(layout, base_c);
      append_be32(layout, 0);
      for (unsigned k = 0; k < count; ++k) {
        put_be16(list, k == 0 ? 0x8000 : 0x0200 + next(r, 16));
        put_be16(list, base_b - 0x100 + next(r, 0x400));
        put_be16(list, base_c - 0x40 + next(r, 0x100));
      }
      put_be16(list, 0xFFFF);
      break;
    }
    case Background::kFixed:
      for (unsigned k = 0; k < 232; ++k) layout.push_back(static_cast<std::uint8_t>(next(r, 256)));
      break;
    case Background::kNone:
      break;
  }
  return layout;
}

// The enemy layout's header, and its entry list in `list`; the caller
// places the list and fills in its address (header bytes 0 to 3).
ByteVector make_enemies(const MapPlan& p, Random& r, ByteVector& list) {
  ByteVector header;
  append_be32(header, 0);
  append_be32(header, 0x00000000);
  put_be16(header, 0x0100 + p.number);
  put_be16(header, 0x0200 + next(r, 0x100));
  put_be16(header, 0x0300 + next(r, 0x100));
  put_be16(header, p.enemies == Enemies::kBadEnd ? 0x7D01 : 0x7D00);

  const unsigned count = p.enemies == Enemies::kEmptyZeroMarker ? 0 : 3 + next(r, 6);
  list.push_back(p.enemies == Enemies::kBadMarker         ? 0x81
                 : p.enemies == Enemies::kEmptyZeroMarker ? 0x00
                                                          : 0x80);
  list.push_back(static_cast<std::uint8_t>(count));
  static constexpr unsigned kKinds[] = {0x0014, 0x0015, 0x0003, 0x1400, 0x0016};
  for (unsigned k = 0; k < count; ++k) {
    list.push_back(static_cast<std::uint8_t>(next(r, 0x40)));
    list.push_back(static_cast<std::uint8_t>(next(r, 4)));
    put_be16(list, kKinds[k % 5]);
    put_be16(list, next(r, columns(p) * 16));
    put_be16(list, next(r, rows(p) * 16));
  }
  return header;
}

// Appends `bytes` at `at`, then moves `at` on to the next even address.
std::uint32_t append(std::vector<std::uint8_t>& rom, std::uint32_t& at, const ByteVector& bytes) {
  const std::uint32_t start = at;
  place(rom, at, bytes);
  at += static_cast<std::uint32_t>(bytes.size());
  at += at & 1u;
  if (at > kLayoutsEnd) throw std::logic_error("sample map layouts overflow their area");
  return start;
}

// The background form that the game reads for the plan's theme.
bool background_fits_theme(const MapPlan& p) {
  const unsigned theme = p.theme_byte & 0x0Fu;
  const unsigned bit = theme <= 10 ? 1u << theme : 0u;
  if ((bit & 0x556u) != 0)
    return p.background == Background::kDirect || p.background == Background::kIndirect;
  if ((bit & 0x2A8u) != 0) return p.background == Background::kFixed;
  return p.background == Background::kNone;
}

void set_header_offset(std::vector<std::uint8_t>& rom, unsigned map, std::uint32_t header_at) {
  ByteVector offset;
  put_be16(offset, header_at - kLevelDirectory);
  place(rom, kMapHeaderTable + 2 * map, offset);
}

}  // namespace

void add_maps(std::vector<std::uint8_t>& rom) {
  // Two headers whose attribute and theme nibbles disagree: every map not
  // planned below points at one of them and so does not exist.
  const ByteVector absent_a = {1, 1, 0x03, 0x05};
  const ByteVector absent_b = {2, 1, 0x0A, 0x01};
  place(rom, kAbsentHeaders, absent_a);
  place(rom, kAbsentHeaders + 28, absent_b);
  for (unsigned map = 0; map < kMapCount; ++map)
    set_header_offset(rom, map, kAbsentHeaders + (map % 2) * 28);

  std::uint32_t header_at = kHeaders;
  std::uint32_t data_at = kLayouts;
  for (const MapPlan& p : kPlans) {
    if (!background_fits_theme(p) || (p.attribute & 0x0F) != (p.theme_byte & 0x0F))
      throw std::logic_error("sample map plan disagrees with its theme");
    Random r{0x5EED0000u + p.number};
    const unsigned cols = columns(p);
    const unsigned height = rows(p);

    ByteVector header = {p.width, p.size_byte, p.attribute, p.theme_byte};
    put_be16(header, 16 + next(r, 4) * 16);                         // start x
    put_be16(header, (height - 4) * 16);                            // start y
    put_be16(header, (cols - 2) * 16 + next(r, 16));                // end x
    put_be16(header, (height - 4) * 16 + (p.size_byte >> 6) * 32);  // end y

    const ByteVector tiles = make_tiles(p, r);
    append_be32(header, append(rom, data_at, lz_compress(tiles)));
    append_be32(header, append(rom, data_at, make_blocks(p, r)));

    ByteVector background_list;
    ByteVector background = make_background(p, r, background_list);
    if (p.background == Background::kIndirect)
      set_be32(background, 6, append(rom, data_at, background_list));
    append_be32(header, append(rom, data_at, background));

    // Most enemy lists lie right behind their header; every third map's
    // lies before it.
    ByteVector enemy_list;
    ByteVector enemies = make_enemies(p, r, enemy_list);
    if (p.number % 3 == 0) {
      set_be32(enemies, 0, append(rom, data_at, enemy_list));
    } else {
      set_be32(enemies, 0, data_at + static_cast<std::uint32_t>(enemies.size()));
      enemies.insert(enemies.end(), enemy_list.begin(), enemy_list.end());
    }
    append_be32(header, append(rom, data_at, enemies));

    if (header_at + 28 > kHeadersEnd) throw std::logic_error("too many sample maps");
    place(rom, header_at, header);
    set_header_offset(rom, p.number, header_at);
    header_at += 28;
  }
}

}  // namespace gorv::sample
