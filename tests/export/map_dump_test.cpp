#include "export/map_dump.h"

#include <gtest/gtest.h>

#include "cli/messages.h"
#include "common/text.h"

#include <filesystem>
#include <random>

#include "support/bit_fields.h"
#include "support/current_dir.h"
#include "support/map_image.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;
namespace fs = std::filesystem;
using namespace test::maps;

struct Dump {
  std::string output;
  bool error = false;
};

Dump dump(const fs::path& dir, const ByteVector& image, std::uint8_t map,
          std::uint8_t filter = 0xFF) {
  Dump d;
  const MapExistsTable exists = build_map_exists_table(Bytes(image));
  test::CurrentDirGuard in(dir);
  const ExportResult result = dump_map(Bytes(image), exists, map, {filter});
  d.output = report_text(result.report);
  d.error = report_has_error(result.report);
  return d;
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

// Each unhandled block type's loss is named once: after its first entry,
// or after the line that tells of the report cut when met only past it.
TEST(MapDump, LossesAreNamedOncePerTypeAlsoPastTheReportCut) {
  test::BitFields f;
  f.bytes = {0x40, 0x54};  // X fields of 5 bits, Y fields of 4
  for (const auto& [type, entries] : {std::pair{0x28u, 300u}, {0x0Du, 1u}}) {
    test::put_field(f, type, 6);
    for (unsigned i = 0; i < entries; ++i) test::put_field(f, (i % 20) << 4 | 1, 9);
    test::put_field(f, 0x1F, 5);
  }
  test::put_field(f, 0x3F, 6);
  ByteVector rom(0x2000, 0);
  std::copy(f.bytes.begin(), f.bytes.end(), rom.begin() + 0x1000);
  const MapHeader h{.width = 1, .size_byte = 1, .block_address = 0x1000, .grid_size = 280};
  Report report;  // the enemy layout at 0 has no end word either
  build_map_file(report, Bytes(rom), h, 0x2D, {kAllBlockTypes, kGameLevelDirectory, true});
  std::string seen;
  for (const Message& m : report)
    if (!std::holds_alternative<msg::LzSizes>(m))
      seen += std::holds_alternative<msg::UnhandledBlock>(m) ? "F " : message_text(m);
  const std::string lacks = "WARNING: map 0x2D: map2d.gvm lacks the blocks of type 0x";
  const std::string none = "; an import of it writes none\n";
  std::string expected = "F " + lacks + "28" + none;
  for (int i = 1; i < 280; ++i) expected += "F ";
  EXPECT_EQ(expected + "\nFurther entries of unhandled block types are not shown\n" + lacks + "0D" +
                none + "ERROR: End of enemy header not found. (art_load[3] = 0x0000)\n" +
                "WARNING: map 0x2D: map2d.gvm holds no enemies; an import of it writes an " +
                "empty enemy list\n",
            seen);
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

// A background list over the zeros up to the end of a 2 MiB image is far
// longer than a map file can hold, however much of it is read: no file.
TEST(MapDump, BackgroundListLongerThanAnyFile) {
  ByteVector image = base_image();
  TestMap m = simple_map(0x1F, 0x41, 0x01, counting(280, 7, 11));
  m.background = {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00};  // at 0x100000
  add_map(image, m, 0x40440, 0x50000);
  image.resize(0x200000, 0);

  test::TempDir dir;
  const Dump d = dump(dir.path, image, 0x1F);
  EXPECT_EQ(writing("map1f.gvm") + kLiteralReport + "ERROR: map 0x1F is too large for a map file\n",
            d.output);
  EXPECT_TRUE(d.error);
  EXPECT_TRUE(fs::is_empty(dir.path));
}

TEST(MapDump, FileThatCannotBeCreatedOrWritten) {
  ByteVector image = base_image();
  add_map(image, simple_map(0x05, 0x01, 0x01, counting(280, 0, 1)), 0x40440, 0x50000);

  // A directory in the file's place cannot be replaced by the file.
  test::TempDir dir;
  fs::create_directory(dir.path / "map05.gvm");
  const Dump blocked = dump(dir.path, image, 0x05);
  EXPECT_EQ(writing("map05.gvm") + size_report(317, 280, "88.3") +
                "ERROR: cannot write file \"map05.gvm\" (it is a folder)\n",
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
    gone = dump_map(Bytes(image), exists, 0x05, {});
  }
  EXPECT_EQ("ERROR: cannot create file \"map05.gvm\" (no such file)\n", report_text(gone.report));
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
