#include "export/map_dump.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

#include <filesystem>
#include <random>

#include "support/bit_fields.h"
#include "support/current_dir.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

void place(ByteVector& image, std::size_t at, const ByteVector& bytes) {
  if (image.size() < at + bytes.size()) image.resize(at + bytes.size(), 0);
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

void be16(ByteVector& v, unsigned value) {
  v.push_back(static_cast<std::uint8_t>(value >> 8));
  v.push_back(static_cast<std::uint8_t>(value));
}
void be32(ByteVector& v, std::uint32_t value) {
  be16(v, value >> 16);
  be16(v, value & 0xFFFF);
}
void le16(ByteVector& v, std::size_t value) {
  v.push_back(static_cast<std::uint8_t>(value));
  v.push_back(static_cast<std::uint8_t>(value >> 8));
}

// An LZ stream of literals only: every flag bit 1, then the bytes.
ByteVector literal_stream(const ByteVector& bytes) {
  ByteVector stream;
  const std::size_t k = (bytes.size() + 7) / 8;
  be16(stream, static_cast<unsigned>(k));
  stream.insert(stream.end(), k, 0xFF);
  stream.insert(stream.end(), bytes.begin(), bytes.end());
  return stream;
}

// The block stream of a map without blocks (X width 5, Y width 4).
const ByteVector kNoBlocks = {0x40, 0x54, 0xFC};

// An enemy layout at `at` with its list right behind the header.
ByteVector enemy_layout(std::uint32_t at, const ByteVector& art_load, std::uint8_t end_low,
                        std::uint8_t marker, const ByteVector& entries) {
  ByteVector e;
  be32(e, at + 16);
  be32(e, 0x12345678);
  e.insert(e.end(), art_load.begin(), art_load.end());
  e.push_back(0x7D);
  e.push_back(end_low);
  e.push_back(marker);
  e.push_back(static_cast<std::uint8_t>(entries.size() / 8));
  e.insert(e.end(), entries.begin(), entries.end());
  return e;
}

const ByteVector kArtLoad = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};

// One map of a test image: its number, the first twelve header bytes, its
// first three layouts and the parts of its enemy layout, placed by `add_map`.
struct TestMap {
  std::uint8_t number = 0;
  ByteVector head;  // map header bytes 0 to 11
  ByteVector tiles, blocks, background;
  ByteVector art_load = kArtLoad;
  std::uint8_t enemy_end_low = 0x00;  // of art_load[3], 0x7D00 when right
  std::uint8_t enemy_marker = 0x80;
  ByteVector enemy_entries;  // 8 bytes each
};

// Places the map's header at `header_at` and its layouts from `data_at` on
// (each at an even address), and points the map header table at it.
void add_map(ByteVector& image, const TestMap& m, std::uint32_t header_at, std::uint32_t data_at) {
  const std::uint32_t table_entry = 0x40342 + 2u * m.number;
  ByteVector offset;
  be16(offset, header_at - 0x4033A);
  place(image, table_entry, offset);
  ByteVector header = m.head;
  std::uint32_t at = data_at;
  for (const ByteVector* layout : {&m.tiles, &m.blocks, &m.background}) {
    be32(header, at);
    place(image, at, *layout);
    at += static_cast<std::uint32_t>(layout->size() + 1) & ~1u;
  }
  be32(header, at);
  place(image, at, enemy_layout(at, m.art_load, m.enemy_end_low, m.enemy_marker, m.enemy_entries));
  place(image, header_at, header);
}

ByteVector base_image() {
  return ByteVector(0x60000, 0);
}

// First twelve header bytes of a map.
ByteVector head(std::uint8_t width, std::uint8_t size_byte, std::uint8_t attribute,
                std::uint8_t theme_byte, unsigned sx, unsigned sy, unsigned ex, unsigned ey) {
  ByteVector h = {width, size_byte, attribute, theme_byte};
  be16(h, sx);
  be16(h, sy);
  be16(h, ex);
  be16(h, ey);
  return h;
}

// The expected map file, put together from its parts.
ByteVector map_file(const ByteVector& head12, const ByteVector& tiles, const ByteVector& blocks,
                    const ByteVector& background, const ByteVector& enemy) {
  ByteVector file = {'G', 'M', 'A', 'P', 0x80, 0x00};
  file.insert(file.end(), head12.begin(), head12.begin() + 4);
  for (std::size_t i = 4; i < 12; i += 2) {
    file.push_back(head12[i + 1]);
    file.push_back(head12[i]);
  }
  std::size_t at = 28;
  le16(file, at);
  for (const ByteVector* section : {&tiles, &blocks, &background, &enemy}) {
    at += section->size();
    le16(file, at);
  }
  for (const ByteVector* section : {&tiles, &blocks, &background, &enemy})
    file.insert(file.end(), section->begin(), section->end());
  return file;
}

struct Dump {
  std::string output;
  bool error = false;
};

Dump dump(const fs::path& dir, const ByteVector& image, std::uint8_t map,
          std::uint8_t filter = 0xFF) {
  Dump d;
  const MapExistsTable exists = build_map_exists_table(Bytes(image));
  test::CurrentDirGuard in(dir);
  const ExportResult result = dump_map(Bytes(image), exists, map, filter);
  d.output = report_text(result.report);
  d.error = report_has_error(result.report);
  return d;
}

ByteVector counting(std::size_t n, std::uint8_t first, std::uint8_t step = 1) {
  ByteVector bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(first + i * step);
  return bytes;
}

std::string size_report(unsigned compressed, unsigned size, const char* ratio) {
  return "  COMPRESSED DATA SIZE:   " + std::to_string(compressed) +
         " bytes\n  DECOMPRESSED DATA SIZE: " + std::to_string(size) +
         " bytes\n  RATIO:                  " + ratio + " %\n\n";
}

TEST(MapDump, HeaderFieldsAndTheWholeOutput) {
  const ByteVector tiles = counting(280, 0x20, 3);
  const ByteVector fixed = counting(232, 0x90, 5);
  TestMap m;
  m.number = 0x05;
  m.head = head(1, 0x41, 0x85, 0x25, 0x0123, 0x0456, 0xFEDC, 0x00A0);
  m.tiles = literal_stream(tiles);
  m.blocks = kNoBlocks;
  m.background = fixed;
  ByteVector image = base_image();
  add_map(image, m, 0x40440, 0x50000);

  test::TempDir dir;
  const Dump d = dump(dir.path, image, 0x05);
  const ByteVector enemy = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00};
  const ByteVector expected = map_file(m.head, tiles, {0x7F, 0x7F, 0x17}, fixed, enemy);
  const ByteVector file = test::read_file(dir.path / "map05.gvm");
  EXPECT_EQ(expected, file);
  ASSERT_GE(file.size(), 28u);
  EXPECT_EQ((ByteVector{0x01, 0x41, 0x85, 0x25, 0x23, 0x01}), ByteVector(&file[6], &file[12]));
  EXPECT_EQ((ByteVector{0x1C, 0x00}), ByteVector(&file[18], &file[20]));
  EXPECT_EQ((ByteVector{0x80, 0x00}), ByteVector(&file[4], &file[6]));
  EXPECT_EQ(file.size(), file[26] + 256u * file[27]);
  // 280 literals take 35 flag bytes: 2 + 35 + 280 bytes, 280 / 317 = 88.3 %.
  EXPECT_EQ("\nWriting map as \"map05.gvm\"...\n\n" + size_report(317, 280, "88.3"), d.output);
  EXPECT_FALSE(d.error);
  EXPECT_EQ(1u, std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()));
}

TEST(MapDump, TileLayoutCopiesFromTheHeaderAndMayPassTheGridSize) {
  // Three long back-references with length byte: distance 28 length 4
  // (the magic), distance 1 length 255, distance 1 length 30. The last one
  // crosses the 280 squares and is completed: the section is 289 bytes.
  TestMap m;
  m.number = 0x7D;
  m.head = head(1, 1, 0x01, 0x01, 1, 2, 3, 4);
  m.tiles = {0x00, 0x03, 0x46, 0x8D, 0x18, 0x1C, 0x04, 0x01, 0xFF, 0x01, 0x1E};
  m.blocks = kNoBlocks;
  m.background = {0xFF, 0xFF};
  ByteVector image = base_image();
  add_map(image, m, 0x40440, 0x50000);

  test::TempDir dir;
  const Dump d = dump(dir.path, image, 0x7D);
  ByteVector tiles = {'G', 'M', 'A', 'P'};
  tiles.resize(289, 'P');
  EXPECT_EQ(map_file(m.head, tiles, {0x7F, 0x7F, 0x17}, {0xFF, 0xFF},
                     {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00}),
            test::read_file(dir.path / "map7d.gvm"));
  EXPECT_EQ("\nWriting map as \"map7d.gvm\"...\n\n" + size_report(11, 280, "2545.5"), d.output);
}

// A 1 x 1 screen map without blocks whose tiles are `tiles` as literals.
TestMap simple_map(std::uint8_t number, std::uint8_t attribute, std::uint8_t theme_byte,
                   const ByteVector& tiles) {
  TestMap m;
  m.number = number;
  m.head = head(1, 1, attribute, theme_byte, 0x10, 0x20, 0x30, 0x40);
  m.tiles = literal_stream(tiles);
  m.blocks = kNoBlocks;
  return m;
}

const ByteVector kEmptyGrid = {0x7F, 0x7F, 0x17};  // 280 empty squares
const std::string kLiteralReport = size_report(317, 280, "88.3");

std::string writing(const char* name) {
  return std::string("\nWriting map as \"") + name + "\"...\n\n";
}

TEST(MapDump, EveryBackgroundForm) {
  ByteVector image = base_image();
  const ByteVector tiles = counting(280, 7, 11);
  const ByteVector empty_enemy = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00};

  TestMap direct = simple_map(0x1F, 0x41, 0x01, tiles);
  direct.background = {0x00, 0x12, 0x01, 0x50, 0x00, 0x80, 0x80, 0x00,
                       0xFF, 0xF0, 0x00, 0x01, 0xFF, 0xFF, 0xAA, 0xBB};
  add_map(image, direct, 0x40440, 0x50000);

  // Bases 0x0100 and 0x0040; the second entry's B and C lie below them.
  TestMap indirect = simple_map(0x0A, 0x8A, 0x3A, tiles);
  indirect.background = {0x80, 0x00, 0x01, 0x00, 0x00, 0x40, 0x00, 0x05, 0x80, 0x00};
  place(image, 0x58000,
        {0x00, 0x12, 0x01, 0x50, 0x00, 0x80, 0x80, 0x00, 0x00, 0x20, 0x00, 0x00, 0xFF, 0xFF});
  add_map(image, indirect, 0x40460, 0x51000);

  TestMap fixed = simple_map(0x10, 0x07, 0x17, tiles);
  fixed.background = counting(240, 0xF0, 7);
  add_map(image, fixed, 0x40480, 0x52000);

  TestMap none = simple_map(0x11, 0x00, 0xC0, tiles);
  add_map(image, none, 0x404A0, 0x53000);
  TestMap high = simple_map(0x12, 0x0C, 0x0C, tiles);
  add_map(image, high, 0x404C0, 0x54000);

  test::TempDir dir;
  for (std::uint8_t map : {0x1F, 0x0A, 0x10, 0x11, 0x12}) {
    const Dump d = dump(dir.path, image, map);
    EXPECT_FALSE(d.error);
  }
  EXPECT_EQ(
      map_file(direct.head, tiles, kEmptyGrid,
               {0x00, 0x12, 0x01, 0x50, 0x00, 0x80, 0x80, 0x00, 0xFF, 0xF0, 0x00, 0x01, 0xFF, 0xFF},
               empty_enemy),
      test::read_file(dir.path / "map1f.gvm"));
  EXPECT_EQ(
      map_file(indirect.head, tiles, kEmptyGrid,
               {0x00, 0x12, 0x00, 0x50, 0x00, 0x40, 0x80, 0x00, 0xFF, 0x20, 0xFF, 0xC0, 0xFF, 0xFF},
               empty_enemy),
      test::read_file(dir.path / "map0a.gvm"));
  EXPECT_EQ(map_file(fixed.head, tiles, kEmptyGrid, counting(232, 0xF0, 7), empty_enemy),
            test::read_file(dir.path / "map10.gvm"));
  const ByteVector none_file = test::read_file(dir.path / "map11.gvm");
  EXPECT_EQ(map_file(none.head, tiles, kEmptyGrid, {}, empty_enemy), none_file);
  ASSERT_GE(none_file.size(), 28u);
  EXPECT_EQ(none_file[22], none_file[24]);  // an empty background section
  EXPECT_EQ(none_file[23], none_file[25]);
  EXPECT_EQ(map_file(high.head, tiles, kEmptyGrid, {}, empty_enemy),
            test::read_file(dir.path / "map12.gvm"));
}

TEST(MapDump, EnemyLayoutsGoodAndBad) {
  ByteVector image = base_image();
  const ByteVector tiles = counting(280, 0x33, 5);
  TestMap bad_end = simple_map(0x20, 0x0C, 0x0C, tiles);
  bad_end.enemy_end_low = 0x01;
  add_map(image, bad_end, 0x40440, 0x50000);
  TestMap high_marker = simple_map(0x21, 0x0C, 0x0C, tiles);
  high_marker.enemy_marker = 0x81;
  add_map(image, high_marker, 0x40460, 0x51000);
  TestMap low_marker = simple_map(0x22, 0x0C, 0x0C, tiles);
  low_marker.enemy_marker = 0x01;
  add_map(image, low_marker, 0x40480, 0x52000);
  const ByteVector entries = {0x10, 0x20, 0x00, 0x14, 0x01, 0x23, 0x04, 0x56,
                              0x11, 0x21, 0x00, 0x15, 0x01, 0x24, 0x04, 0x57,
                              0x12, 0x22, 0x14, 0x00, 0x00, 0x16, 0x00, 0x14};
  TestMap zero_marker = simple_map(0x23, 0x0C, 0x0C, tiles);
  zero_marker.enemy_marker = 0x00;
  zero_marker.enemy_entries = entries;
  add_map(image, zero_marker, 0x404A0, 0x53000);
  TestMap eighty_marker = zero_marker;
  eighty_marker.number = 0x24;
  eighty_marker.enemy_marker = 0x80;
  add_map(image, eighty_marker, 0x404C0, 0x54000);

  test::TempDir dir;
  const Dump bad_end_dump = dump(dir.path, image, 0x20);
  EXPECT_EQ(writing("map20.gvm") + kLiteralReport +
                "ERROR: End of enemy header not found. (art_load[3] = 0x7D01)\n",
            bad_end_dump.output);
  EXPECT_TRUE(bad_end_dump.error);
  EXPECT_EQ(map_file(bad_end.head, tiles, kEmptyGrid, {}, {}),
            test::read_file(dir.path / "map20.gvm"));

  const Dump high = dump(dir.path, image, 0x21);
  EXPECT_EQ(writing("map21.gvm") + kLiteralReport +
                "ERROR: Expected 0x80 or 0x00 to start enemy layout data. (i = 0x80)\n",
            high.output);
  EXPECT_EQ(map_file(high_marker.head, tiles, kEmptyGrid, {}, {}),
            test::read_file(dir.path / "map21.gvm"));
  const Dump low = dump(dir.path, image, 0x22);
  EXPECT_EQ(writing("map22.gvm") + kLiteralReport +
                "ERROR: Expected 0x80 or 0x00 to start enemy layout data. (i = 0x00)\n",
            low.output);
  EXPECT_EQ(map_file(low_marker.head, tiles, kEmptyGrid, {}, {}),
            test::read_file(dir.path / "map22.gvm"));

  const ByteVector section = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x03,  //
                              0x10, 0x20, 0x00, 0x02, 0x01, 0x23, 0x04, 0x56,
                              0x11, 0x21, 0x00, 0x01, 0x01, 0x24, 0x04, 0x57,
                              0x12, 0x22, 0x14, 0x00, 0x00, 0x16, 0x00, 0x14};
  const Dump zero = dump(dir.path, image, 0x23);
  EXPECT_EQ(writing("map23.gvm") + kLiteralReport, zero.output);
  EXPECT_FALSE(zero.error);
  EXPECT_EQ(map_file(zero_marker.head, tiles, kEmptyGrid, {}, section),
            test::read_file(dir.path / "map23.gvm"));
  dump(dir.path, image, 0x24);
  EXPECT_EQ(map_file(eighty_marker.head, tiles, kEmptyGrid, {}, section),
            test::read_file(dir.path / "map24.gvm"));
}

// A 1 x 1 screen map with blocks of four type codes: 0x00 on squares 43 to
// 45, 0x23 (block type 0x03 with the variant bit) on squares 100 and 120,
// 0x01 on squares 10 and 11 and one entry of the unhandled type code 0x28.
struct BlockSample {
  ByteVector stream;
  std::uint64_t unhandled_position = 0;  // relative to the stream
};

BlockSample block_sample() {
  test::BitFields b;
  test::put_field(b, 0x40, 8);
  test::put_field(b, 0x54, 8);
  test::put_field(b, 0x00, 6);  // type code 0x00: X 3, Y 2, two more to the right
  test::put_field(b, 3, 5);
  test::put_field(b, 2, 4);
  test::put_field(b, 0x04, 5);
  test::put_field(b, 0x1F, 5);
  test::put_field(b, 0x23, 6);  // type code 0x23: X 0, Y 5, one more below
  test::put_field(b, 0, 5);
  test::put_field(b, 5, 4);
  test::put_field(b, 1, 3);
  test::put_field(b, 1, 1);
  test::put_field(b, 0xAB, 8);  // d1
  test::put_field(b, 5, 3);     // d3
  test::put_field(b, 0xCD, 8);  // d2
  test::put_field(b, 0xEF, 8);  // d4
  test::put_field(b, 0x1F, 5);
  test::put_field(b, 0x01, 6);  // type code 0x01: X 10, Y 0, one more to the right
  test::put_field(b, 10, 5);
  test::put_field(b, 0, 4);
  test::put_field(b, 0x02, 5);
  test::put_field(b, 7, 5);
  test::put_field(b, 9, 5);
  test::put_field(b, 0x1F, 5);
  test::put_field(b, 0x28, 6);  // type code 0x28: X 1, Y 1, no payload
  test::put_field(b, 1, 5);
  test::put_field(b, 1, 4);
  BlockSample sample;
  sample.unhandled_position = b.bytes.size();  // the byte holding the last bit read, + 1
  test::put_field(b, 0x1F, 5);
  test::put_field(b, 0x3F, 6);
  sample.stream = b.bytes;
  return sample;
}

TEST(MapDump, BlockFilterKeepsOneTypeAndUnhandledTypesAreReported) {
  ByteVector image = base_image();
  const ByteVector tiles = counting(280, 0x40, 1);
  const BlockSample blocks = block_sample();
  TestMap m = simple_map(0x2D, 0x06, 0x06, tiles);
  m.blocks = blocks.stream;
  m.background = {0xFF, 0xFF};
  add_map(image, m, 0x40440, 0x56000);
  const std::uint64_t block_address = 0x56000 + 318;  // behind the 317-byte tile stream

  const ByteVector cell_00 = {0x80, 0, 0, 0, 0};
  const ByteVector cell_23 = {0xA3, 0xAB, 0xCD, 0x05, 0xEF};
  const ByteVector enemy = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00};
  auto join = [](std::initializer_list<ByteVector> parts) {
    ByteVector all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  const ByteVector every = join({{0x09, 0x81, 7, 0, 0, 0, 0x81, 9, 0, 0, 0, 0x1E},
                                 cell_00,
                                 cell_00,
                                 cell_00,
                                 {0x35},
                                 cell_23,
                                 {0x12},
                                 cell_23,
                                 {0x7F, 0x1E}});
  const ByteVector only_03 = join({{0x63}, cell_23, {0x12}, cell_23, {0x7F, 0x1E}});
  const ByteVector only_01 = {0x09, 0x81, 7, 0, 0, 0, 0x81, 9, 0, 0, 0, 0x7F, 0x7F, 0x0B};

  char message[64];
  std::snprintf(message, sizeof message, "\nFound block-type 0x28 at 0x%06llX\n",
                static_cast<unsigned long long>(block_address + blocks.unhandled_position));
  test::TempDir all_dir, dir_03, dir_01;
  const Dump all = dump(all_dir.path, image, 0x2D);
  EXPECT_EQ(writing("map2d.gvm") + kLiteralReport + message, all.output);
  EXPECT_EQ(map_file(m.head, tiles, every, {0xFF, 0xFF}, enemy),
            test::read_file(all_dir.path / "map2d.gvm"));

  EXPECT_EQ(writing("map2d.gvm") + kLiteralReport + message,
            dump(dir_03.path, image, 0x2D, 3).output);
  EXPECT_EQ(map_file(m.head, tiles, only_03, {0xFF, 0xFF}, enemy),
            test::read_file(dir_03.path / "map2d.gvm"));
  dump(dir_01.path, image, 0x2D, 1);
  EXPECT_EQ(map_file(m.head, tiles, only_01, {0xFF, 0xFF}, enemy),
            test::read_file(dir_01.path / "map2d.gvm"));
}

TEST(MapDump, ThroughTheRealBinary) {
  ByteVector image = base_image();
  const ByteVector tiles = counting(280, 0x40, 1);
  const BlockSample blocks = block_sample();
  TestMap m = simple_map(0x2D, 0x06, 0x06, tiles);
  m.blocks = blocks.stream;
  m.background = {0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0xFF, 0xFF};
  m.enemy_entries = {0x01, 0x02, 0x00, 0x15, 0x03, 0x04, 0x05, 0x06};
  add_map(image, m, 0x40440, 0x56000);
  add_map(image, simple_map(0x30, 0x03, 0x05, tiles), 0x40460, 0x57000);
  test::TempDir dir;
  test::write_file(dir.path / "rom.bin", image);
  test::write_file(dir.path / "map30.gvm", {'o', 'l', 'd'});

  char message[64];
  std::snprintf(message, sizeof message, "\nFound block-type 0x28 at 0x%06llX\n",
                static_cast<unsigned long long>(0x56000 + 318 + blocks.unhandled_position));
  const ByteVector background = {0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0xFF, 0xFF};
  const ByteVector enemy = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x01, 0x01,
                            0x02, 0x00, 0x01, 0x03, 0x04, 0x05, 0x06};
  const ByteVector cell_23 = {0xA3, 0xAB, 0xCD, 0x05, 0xEF};
  ByteVector only_03 = {0x63};
  only_03.insert(only_03.end(), cell_23.begin(), cell_23.end());
  only_03.push_back(0x12);
  only_03.insert(only_03.end(), cell_23.begin(), cell_23.end());
  only_03.insert(only_03.end(), {0x7F, 0x1E});

  const test::ToolRun run = test::run_gorvtool({"rom.bin", "-map", "2d", "-block", "3"}, dir.path);
  EXPECT_EQ(writing("map2d.gvm") + kLiteralReport + message, run.output);
  EXPECT_EQ(0, run.status);
  EXPECT_EQ(map_file(m.head, tiles, only_03, background, enemy),
            test::read_file(dir.path / "map2d.gvm"));

  const test::ToolRun absent = test::run_gorvtool({"rom.bin", "-map", "30"}, dir.path);
  EXPECT_EQ("ERROR: this map doesn't exist\n", absent.output);
  EXPECT_EQ((ByteVector{'o', 'l', 'd'}), test::read_file(dir.path / "map30.gvm"));
}

TEST(MapDump, AbsentMapWritesNothing) {
  ByteVector image = base_image();
  TestMap m = simple_map(0x30, 0x03, 0x05, counting(280, 0, 1));
  add_map(image, m, 0x40440, 0x50000);
  test::TempDir dir;
  const ByteVector old = {'o', 'l', 'd'};
  test::write_file(dir.path / "map30.gvm", old);

  const Dump d = dump(dir.path, image, 0x30);
  EXPECT_EQ("ERROR: this map doesn't exist\n", d.output);
  EXPECT_TRUE(d.error);
  EXPECT_EQ(old, test::read_file(dir.path / "map30.gvm"));
  EXPECT_EQ(1u, std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()));

  test::TempDir empty;
  EXPECT_EQ("ERROR: this map doesn't exist\n", dump(empty.path, image, 0x30).output);
  EXPECT_TRUE(fs::is_empty(empty.path));
}

TEST(MapDump, FileOfAtMost65535Bytes) {
  // 232 x 1 screens: 64,960 tile bytes and 508 empty run bytes; with the
  // header and an enemy section of four entries the file is 65,535 bytes,
  // one entry more would take it past.
  ByteVector image = base_image();
  TestMap fits;
  fits.number = 0x41;
  fits.head = head(232, 1, 0x00, 0x00, 0, 0, 0, 0);
  fits.tiles = {0x00, 0x00};
  fits.blocks = kNoBlocks;
  fits.enemy_entries = ByteVector(32, 0x44);
  add_map(image, fits, 0x40440, 0x50000);
  TestMap too_large = fits;
  too_large.number = 0x42;
  too_large.enemy_entries = ByteVector(40, 0x44);
  add_map(image, too_large, 0x40460, 0x51000);

  test::TempDir dir;
  const ByteVector old = {'o', 'l', 'd'};
  test::write_file(dir.path / "map42.gvm", old);
  const std::string report = size_report(2, 64960, "3248000.0");
  const Dump ok = dump(dir.path, image, 0x41);
  EXPECT_EQ(writing("map41.gvm") + report, ok.output);
  ByteVector blocks(507, 0x7F);
  blocks.push_back(0x3F);  // 64,960 = 507 x 128 + 64
  ByteVector enemy = kArtLoad;
  enemy.push_back(4);
  enemy.insert(enemy.end(), 32, 0x44);
  const ByteVector file = test::read_file(dir.path / "map41.gvm");
  EXPECT_EQ(map_file(fits.head, ByteVector(64960, 0), blocks, {}, enemy), file);
  EXPECT_EQ(65535u, file.size());

  const Dump large = dump(dir.path, image, 0x42);
  EXPECT_EQ(writing("map42.gvm") + report + "ERROR: map 0x42 is too large for a map file\n",
            large.output);
  EXPECT_TRUE(large.error);
  EXPECT_EQ(old, test::read_file(dir.path / "map42.gvm"));
  EXPECT_EQ(2u, std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()));
}

TEST(MapDump, FileThatCannotBeCreatedOrWritten) {
  ByteVector image = base_image();
  add_map(image, simple_map(0x05, 0x01, 0x01, counting(280, 0, 1)), 0x40440, 0x50000);

  // A directory in the file's place cannot be replaced by the file.
  test::TempDir dir;
  fs::create_directory(dir.path / "map05.gvm");
  const Dump blocked = dump(dir.path, image, 0x05);
  EXPECT_EQ(writing("map05.gvm") + size_report(317, 280, "88.3") +
                "ERROR: cannot write file \"map05.gvm\"\n",
            blocked.output);
  EXPECT_TRUE(blocked.error);
  EXPECT_TRUE(fs::is_directory(dir.path / "map05.gvm"));
  EXPECT_EQ(1u, std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()));

  // The current directory has been removed: nothing can be created in it,
  // whoever runs the test.
  ExportResult gone;
  const MapExistsTable exists = build_map_exists_table(Bytes(image));
  test::TempDir parent;
  fs::create_directory(parent.path / "gone");
  {
    test::CurrentDirGuard in(parent.path / "gone");
    fs::remove(parent.path / "gone");
    gone = dump_map(Bytes(image), exists, 0x05, 0xFF);
  }
  EXPECT_EQ("ERROR: cannot create file \"map05.gvm\"\n", report_text(gone.report));
  EXPECT_TRUE(report_has_error(gone.report));
  EXPECT_TRUE(fs::is_empty(parent.path));
}

TEST(MapDump, ArbitraryHeadersAndLayoutsNeverBreakTheFile) {
  // Random header bytes and layout addresses inside, across and past the
  // end of a random image: every dump either writes a consistent file or
  // says that the map is too large and writes none.
  std::mt19937 random(5);
  test::TempDir dir;
  for (int round = 0; round < 150; ++round) {
    SCOPED_TRACE(round);
    ByteVector image(0x40500 + random() % 0x2000);
    for (auto& b : image) b = static_cast<std::uint8_t>(random());
    place(image, 0x40342, {0x01, 0x06});  // map 0 at 0x40440
    ByteVector header = {static_cast<std::uint8_t>(random() % 12),
                         static_cast<std::uint8_t>(random() % 256), 0x00, 0x00};
    header[3] = static_cast<std::uint8_t>(random() & 0xF0);  // theme 0: nibbles agree
    header[2] = static_cast<std::uint8_t>(random() & 0xF0);
    if (round % 2 == 1) header[2] = header[3] = static_cast<std::uint8_t>(round % 16);
    for (int i = 0; i < 8; ++i) header.push_back(static_cast<std::uint8_t>(random()));
    for (int i = 0; i < 4; ++i)
      be32(header, static_cast<std::uint32_t>(random() % (image.size() + 64)));
    place(image, 0x40440, header);
    fs::remove(dir.path / "map00.gvm");

    const Dump d =
        dump(dir.path, image, 0x00, static_cast<std::uint8_t>(round % 3 == 0 ? 0xFF : round % 17));
    if (!fs::exists(dir.path / "map00.gvm")) {
      EXPECT_NE(std::string::npos, d.output.find("ERROR: map 0x00 is too large for a map file\n"));
      continue;
    }
    const ByteVector file = test::read_file(dir.path / "map00.gvm");
    ASSERT_GE(file.size(), 28u);
    EXPECT_EQ(ByteVector(header.begin(), header.begin() + 4), ByteVector(&file[6], &file[10]));
    unsigned previous = 28;
    for (std::size_t at = 18; at < 28; at += 2) {
      const unsigned offset = file[at] | file[at + 1] << 8;
      EXPECT_LE(previous, offset);
      previous = offset;
    }
    EXPECT_EQ(file.size(), previous);
  }
}

}  // namespace
}  // namespace gorv
