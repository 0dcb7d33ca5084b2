// Bytes that a text-mode file would change (0x0A, 0x0D and 0x1A: line
// feed, carriage return and the end-of-file mark) pass unchanged from the
// ROM image into every file the tool writes. The image is full of them: in
// the data, in the pointers that lead to it, in the stream headers and in
// everything around. The expected files are put together here from the data
// placed in the image.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

using ByteVector = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

// Line feeds alone, carriage returns alone, both in either order, runs of
// them and end-of-file marks, with a few other bytes between.
const ByteVector kTextModeBytes = {0x0A, 0x0D, 0x1A, 0x0D, 0x0A, 0x0A, 0x1A, 0x1A,
                                   0x0D, 0x0D, 0x0A, 0x1A, 0x0D, 0x00, 0xFF, 0x0A,
                                   0x0D, 0x0D, 0x0D, 0x0A, 0x1A, 0x0A, 0x0A, 0x7F};

ByteVector text_mode_bytes(std::size_t size, std::size_t seed) {
  ByteVector bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = kTextModeBytes[(seed + i + i / kTextModeBytes.size()) % kTextModeBytes.size()];
  return bytes;
}

void put_be32(ByteVector& image, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

void put_be16(ByteVector& image, std::size_t at, std::uint16_t value) {
  image[at] = static_cast<std::uint8_t>(value >> 8);
  image[at + 1] = static_cast<std::uint8_t>(value);
}

void put_bytes(ByteVector& image, std::size_t at, const ByteVector& bytes) {
  ASSERT_LE(at + bytes.size(), image.size());
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

// An LZ stream of literals only: K flag bytes of 0xFF (eight literal codes
// each), then the 8K literal bytes. The decoder reads one token past the
// last literal, with its code bits from the first data byte; that byte is
// 0x47 (0 1 000 11: a reference with a length byte), and the stream is
// followed by two bytes whose second, the length, is 0: that token adds
// nothing. The product is the literals.
struct LiteralStream {
  ByteVector stream;   // with the two bytes behind it
  ByteVector product;  // the literals
};

LiteralStream literal_stream(std::uint8_t flag_bytes, std::size_t seed) {
  LiteralStream lz;
  lz.product = text_mode_bytes(8u * flag_bytes, seed);
  lz.product[0] = 0x47;
  lz.stream = {0x00, flag_bytes};
  lz.stream.insert(lz.stream.end(), flag_bytes, 0xFF);
  lz.stream.insert(lz.stream.end(), lz.product.begin(), lz.product.end());
  lz.stream.push_back(0x0A);  // distance, unused
  lz.stream.push_back(0x00);  // length 0
  return lz;
}

ByteVector padded(ByteVector bytes, std::size_t size) {
  if (bytes.size() < size) bytes.resize(size, 0);
  return bytes;
}

void append(ByteVector& to, const ByteVector& bytes) {
  to.insert(to.end(), bytes.begin(), bytes.end());
}

constexpr std::uint8_t kTheme = 0xA;
constexpr std::uint32_t kRawDumpAddress = 0x0D0D0A;

// Everything the image holds for theme A, the resource file and the raw
// dump, and where.
struct ImageData {
  ByteVector theme_a = text_mode_bytes(30, 1);
  ByteVector theme_b = text_mode_bytes(16, 2);
  LiteralStream theme_c = literal_stream(0x1A, 3);
  LiteralStream theme_d = literal_stream(0x0D, 4);
  ByteVector theme_e = text_mode_bytes(2048, 5);
  ByteVector theme_f = text_mode_bytes(256, 6);

  ByteVector raw_d00c = text_mode_bytes(30, 7);
  ByteVector behind_a0a02 = text_mode_bytes(24, 8);
  // At 0xCAB2, 0x992E4, 0x5B92, 0x5C83 and 0x1DA86, with their limits.
  std::vector<LiteralStream> packed = {literal_stream(0x1A, 9), literal_stream(0x0A, 10),
                                       literal_stream(0x0D, 11), literal_stream(0x1A, 12),
                                       literal_stream(0x0A, 13)};
  ByteVector raw_12ba4 = text_mode_bytes(128, 14);
  ByteVector behind_4668 = text_mode_bytes(640, 15);
  ByteVector behind_a0a4e = text_mode_bytes(384, 16);

  LiteralStream raw_dump = literal_stream(0x1A, 17);

  // Map 0x0A: one screen of 20 x 14 squares, theme A (a background list).
  ByteVector map_header = {0x01, 0x01, 0x0A, 0x1A,  // width, height, attribute, theme
                           0x0D, 0x0A, 0x1A, 0x0A, 0x0A, 0x1A, 0x0D, 0x0D};  // start, end
  LiteralStream tiles = literal_stream(0x1A, 18);
  ByteVector art_load = {0x0A, 0x0D, 0x1A, 0x0A, 0x0D, 0x0D};
  ByteVector enemy_entries = text_mode_bytes(8 * 0x0A, 19);
};

// Fields of a block layout stream, most significant bit first.
struct BitWriter {
  ByteVector bytes;
  int used = 8;  // bits used in the last byte
  void put(unsigned value, int width) {
    for (int bit = width - 1; bit >= 0; --bit) {
      if (used == 8) {
        bytes.push_back(0);
        used = 0;
      }
      if ((value >> bit) & 1u) bytes.back() |= static_cast<std::uint8_t>(0x80u >> used);
      ++used;
    }
  }
};

// Field widths X 5, Y 4 for 20 x 14 squares. Blocks of types 03, 04, 01 and
// 0A (with the variant bit) whose data bytes and the empty runs between them
// are line feeds, carriage returns and end-of-file marks.
ByteVector block_stream() {
  BitWriter w;
  w.put(0x03, 6);  // square 11: one block, d1 0A, d3 5, d2 0D, d4 1A
  w.put(11, 5), w.put(0, 4), w.put(0, 3), w.put(0, 1);
  w.put(0x0A, 8), w.put(5, 3), w.put(0x0D, 8), w.put(0x1A, 8);
  w.put(31, 5);
  w.put(0x04, 6);  // square 26: d1 1A, d2 0A, d4 1, d3 0D
  w.put(6, 5), w.put(1, 4), w.put(0x1A, 8), w.put(0x0A, 8), w.put(1, 1), w.put(0x0D, 8);
  w.put(31, 5);
  w.put(0x01, 6);  // squares 54 and 55, to the right: d1 0A and 0D
  w.put(14, 5), w.put(2, 4), w.put(0x02, 5), w.put(0x0A, 5), w.put(0x0D, 5);
  w.put(31, 5);
  w.put(0x2A, 6);  // squares 67 and 87, down: d1 0D and 0A
  w.put(7, 5), w.put(3, 4), w.put(0x03, 5), w.put(0x0D, 4), w.put(0x0A, 4);
  w.put(31, 5);
  w.put(0x3F, 6);
  ByteVector stream = {0x40, 0x54};
  append(stream, w.bytes);
  return stream;
}

// The block layout section of block_stream(): empty runs of 11, 14, 27,
// 11, 19 and 192 squares between the blocks.
const ByteVector kBlockSection = {0x0A, 0x83, 0x0A, 0x0D, 0x05, 0x1A, 0x0D, 0x84, 0x1A, 0x0A,
                                  0x0D, 0x01, 0x1A, 0x81, 0x0A, 0x00, 0x00, 0x00, 0x81, 0x0D,
                                  0x00, 0x00, 0x00, 0x0A, 0xAA, 0x0D, 0x00, 0x00, 0x00, 0x12,
                                  0xAA, 0x0A, 0x00, 0x00, 0x00, 0x7F, 0x3F};

// Background: an indirect header with bases 0x0100 and 0x0200, and its list.
const ByteVector kBackgroundHeader = {0x80, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x0D, 0x0E, 0x1A};
const ByteVector kBackgroundList = {0x0A, 0x0D, 0x1B, 0x0A, 0x0C, 0x1A, 0x1A,
                                    0x0A, 0x01, 0x0D, 0x02, 0x0A, 0xFF, 0xFF};
const ByteVector kBackgroundSection = {0x0A, 0x0D, 0x1A, 0x0A, 0x0A, 0x1A, 0x1A,
                                       0x0A, 0x00, 0x0D, 0x00, 0x0A, 0xFF, 0xFF};

void put_le16(ByteVector& file, std::size_t at, std::size_t value) {
  file[at] = static_cast<std::uint8_t>(value);
  file[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr std::uint32_t kPackedOffsets[5] = {0xCAB2, 0x992E4, 0x5B92, 0x5C83, 0x1DA86};
constexpr std::size_t kPackedLimits[5] = {0x240, 0x1A80, 0x180, 0x180, 0x5A0};

ByteVector text_mode_image(const ImageData& d) {
  ByteVector image = text_mode_bytes(0x100000, 0);

  // Theme tables and the places they lead to, at offsets made of the same
  // bytes.
  const std::uint32_t c_table = 0x0A1A00, d_table = 0x0A1A40, e_table = 0x0A1A80,
                      a_table = 0x0A1AC0, b_table = 0x0A1B00, f_table = 0x0A1B40;
  put_be32(image, 0x7B018, c_table);
  put_be32(image, 0x7B01C, d_table);
  put_be32(image, 0x7B020, e_table);
  put_be32(image, 0x7B028, a_table);
  put_be32(image, 0x7B02C, b_table);
  put_be32(image, 0x7B030, f_table);
  put_be16(image, a_table + 2 * kTheme, 0x0A0D);
  put_be32(image, 0x7B018 + 0x0A0D, 0x0D0A0A);
  put_be16(image, b_table + 2 * kTheme, 0x0D1A);
  put_be32(image, 0x7B018 + 0x0D1A, 0x0D1A0A);
  put_be32(image, c_table + 4 * kTheme, 0x0A0D0A);
  put_be32(image, d_table + 4 * kTheme, 0x0A1D0A);
  put_be32(image, e_table + 4 * kTheme, 0x0B0A0A);
  put_be32(image, f_table + 4 * kTheme, 0x0B1A0D);
  put_bytes(image, 0x0D0A0A, d.theme_a);
  put_bytes(image, 0x0D1A0A, d.theme_b);
  put_bytes(image, 0x0A0D0A, d.theme_c.stream);
  put_bytes(image, 0x0A1D0A, d.theme_d.stream);
  put_bytes(image, 0x0B0A0A, d.theme_e);
  put_bytes(image, 0x0B1A0D, d.theme_f);

  // The resource file's blocks.
  put_bytes(image, 0xD00C, d.raw_d00c);
  put_be32(image, 0xA0A02, 0x0C0A0D);
  put_bytes(image, 0x0C0A0D, d.behind_a0a02);
  for (std::size_t i = 0; i < 5; ++i) put_bytes(image, kPackedOffsets[i], d.packed[i].stream);
  put_bytes(image, 0x12BA4, d.raw_12ba4);
  put_be32(image, 0x4668, 0x0C1A0A);
  put_bytes(image, 0x0C1A0A, d.behind_4668);
  put_be32(image, 0xA0A4E, 0x0C0D1A);
  put_bytes(image, 0x0C0D1A + 6, d.behind_a0a4e);

  put_bytes(image, kRawDumpAddress, d.raw_dump.stream);

  // Map 0x0A: its header 0x0D0A bytes into the level directory, its layouts
  // behind the raw dump's stream.
  put_be16(image, 0x40342 + 2 * 0x0A, 0x0D0A);
  ByteVector header = d.map_header;
  for (std::uint32_t address : {0x0D1D0Au, 0x0D1E0Du, 0x0D0E0Au, 0x0D0F0Au})
    for (int i = 0; i < 4; ++i)
      header.push_back(static_cast<std::uint8_t>(address >> (24 - 8 * i)));
  put_bytes(image, 0x4033A + 0x0D0A, header);
  put_bytes(image, 0x0D1D0A, d.tiles.stream);
  put_bytes(image, 0x0D1E0D, block_stream());
  put_bytes(image, 0x0D0E0A, kBackgroundHeader);
  put_bytes(image, 0x0D0E1A, kBackgroundList);
  ByteVector enemy = {0x00, 0x0D, 0x0F, 0x1A, 0x0A, 0x0D, 0x1A, 0x0A};  // list address, 4 bytes
  append(enemy, d.art_load);
  append(enemy, {0x7D, 0x00});
  put_bytes(image, 0x0D0F0A, enemy);
  ByteVector list = {0x80, 0x0A};
  append(list, d.enemy_entries);
  put_bytes(image, 0x0D0F1A, list);
  return image;
}

ByteVector expected_theme_file(const ImageData& d) {
  ByteVector file = {'G', 'T', 'H', 'M'};
  append(file, d.theme_a);
  append(file, d.theme_b);
  append(file, padded(d.theme_c.product, 0x2C80));
  append(file, padded(d.theme_d.product, 0x1000));
  for (std::size_t i = 0; i < d.theme_e.size(); i += 2) {
    file.push_back(d.theme_e[i + 1]);
    file.push_back(d.theme_e[i]);
  }
  append(file, d.theme_f);
  return file;
}

ByteVector expected_resource_file(const ImageData& d) {
  ByteVector file;
  append(file, d.raw_d00c);
  append(file, d.behind_a0a02);
  for (std::size_t i = 0; i < 5; ++i) append(file, padded(d.packed[i].product, kPackedLimits[i]));
  append(file, d.raw_12ba4);
  append(file, d.behind_4668);
  append(file, d.behind_a0a4e);
  return file;
}

ByteVector expected_map_file(const ImageData& d) {
  ByteVector file = {'G', 'M', 'A', 'P', 0x80, 0x00};
  append(file, ByteVector(d.map_header.begin(), d.map_header.begin() + 4));
  for (std::size_t i = 4; i < 12; i += 2) {
    file.push_back(d.map_header[i + 1]);
    file.push_back(d.map_header[i]);
  }
  file.resize(28);
  put_le16(file, 18, file.size());
  append(file, padded(d.tiles.product, 280));
  put_le16(file, 20, file.size());
  append(file, kBlockSection);
  put_le16(file, 22, file.size());
  append(file, kBackgroundSection);
  put_le16(file, 24, file.size());
  append(file, d.art_load);
  file.push_back(0x0A);
  append(file, d.enemy_entries);  // no kind word 0x0014 or 0x0015 among them
  put_le16(file, 26, file.size());
  return file;
}

ByteVector slice(const ByteVector& bytes, std::size_t at, std::size_t size) {
  if (at > bytes.size()) return {};
  size = std::min(size, bytes.size() - at);
  return ByteVector(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
}

std::uint32_t be32_at(const ByteVector& bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) << 24 |
         static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

// The map of every level, as the import writes it into the new directory,
// and the two end bytes.
const ByteVector kLevelOrder = {
    0x4A, 0x4B, 0x2D, 0x2E, 0x01, 0x00, 0x02, 0x0E, 0x54, 0x56, 0x18, 0x1D, 0x3D, 0x37, 0x2C, 0x2B,
    0x13, 0x4C, 0x49, 0x14, 0x16, 0x0B, 0x0C, 0x3F, 0x40, 0x34, 0x1C, 0x27, 0x21, 0x0D, 0x6C, 0x4F,
    0x4D, 0x19, 0x0A, 0x5C, 0x25, 0x26, 0x35, 0x3E, 0x2F, 0x31, 0x74, 0x3B, 0x5A, 0x33, 0x3A, 0x57,
    0x10, 0x59, 0x38, 0x05, 0x30, 0x55, 0x32, 0x0F, 0x48, 0x47, 0x03, 0x53, 0x04, 0x36, 0x15, 0x12,
    0x22, 0x41, 0x17, 0x4E, 0x58, 0x11, 0x39, 0x42, 0x3C, 0x61, 0x5E, 0x5F, 0x60, 0x5D, 0x62, 0x64,
    0x67, 0x6E, 0x75, 0x66, 0x68, 0x6D, 0x6F, 0x70, 0x77, 0x78, 0x63, 0x65, 0x69, 0x6A, 0x6B, 0x71,
    0x08, 0x7C, 0x7D, 0x7A, 0x7B, 0x79, 0x72, 0x73, 0x76, 0x09, 0xFF, 0xFF};

// The places that the import points at the new level directory, its level
// order pointer and its map header table.
struct BaseReference {
  std::uint32_t offset;
  std::uint32_t value;
};
const std::vector<BaseReference> kBaseReferences = {
    {0x000690, 0x100000}, {0x0006B8, 0x100000}, {0x011A50, 0x100000}, {0x019AF8, 0x100000},
    {0x00236C, 0x100004}, {0x00BCD2, 0x100004}, {0x011A38, 0x100004}, {0x011AC8, 0x100004},
    {0x011D6E, 0x100004}, {0x011DE0, 0x100004}, {0x014C3C, 0x100004}, {0x019AE0, 0x100004},
    {0x03051A, 0x100004}, {0x03075C, 0x100004}, {0x0307E4, 0x100004}, {0x011A44, 0x100008},
    {0x019AEC, 0x100008}};

// The "Writing" line and the sizes of each report, in the order printed.
void expect_in_order(const std::string& output, const std::vector<std::string>& parts) {
  std::size_t at = 0;
  for (const std::string& part : parts) {
    const std::size_t found = output.find(part, at);
    ASSERT_NE(found, std::string::npos)
        << "missing after offset " << at << ": " << part << "\nin:\n"
        << output;
    at = found + part.size();
  }
}

std::string sizes(std::size_t compressed, std::size_t decompressed) {
  return "  COMPRESSED DATA SIZE:   " + std::to_string(compressed) +
         " bytes\n  DECOMPRESSED DATA SIZE: " + std::to_string(decompressed) + " bytes\n";
}

// Compressed size of a literal stream: header, flags, literals and the two
// bytes of the token read behind it.
std::size_t compressed(const LiteralStream& lz) {
  return lz.stream.size();
}

TEST(TextModeBytes, PassUnchangedThroughEveryExport) {
  TempDir dir;
  const ImageData d;
  const ByteVector image = text_mode_image(d);
  write_file(dir.path / "rom.bin", image);
  // Files from an earlier run are replaced.
  write_file(dir.path / "themea.gvt", text_mode_bytes(100000, 3));
  write_file(dir.path / "gorvedit.dat", ByteVector{0x1A});

  // Every mode in one run, in the order they run.
  const ToolRun run = run_gorvtool(
      {"rom.bin", "-theme", "A", "-resource", "-decompress", "D0D0A", "-map", "0a"}, dir.path);
  EXPECT_EQ(run.status, 0) << run.output;
  expect_in_order(
      run.output,
      {"\nWriting map as \"map0a.gvm\"...\n\n", sizes(compressed(d.tiles), 280),
       "\nWriting theme as \"themea.gvt\"...\n\n", sizes(compressed(d.theme_c), 0x2C80),
       sizes(compressed(d.theme_d), 0x1000), "\nWriting data as \"0xD0D0A.dat\"...\n\n",
       sizes(compressed(d.raw_dump), d.raw_dump.product.size()),
       "\nWriting GorvEdit data as \"gorvedit.dat\"...\n\n", sizes(compressed(d.packed[0]), 0x240),
       sizes(compressed(d.packed[1]), 0x1A80), sizes(compressed(d.packed[2]), 0x180),
       sizes(compressed(d.packed[3]), 0x180), sizes(compressed(d.packed[4]), 0x5A0)});
  EXPECT_EQ(run.output.find("ERROR"), std::string::npos) << run.output;

  EXPECT_TRUE(read_file(dir.path / "map0a.gvm") == expected_map_file(d));
  const ByteVector theme_file = read_file(dir.path / "themea.gvt");
  ASSERT_EQ(theme_file.size(), 17842u);
  EXPECT_TRUE(theme_file == expected_theme_file(d));
  const ByteVector resource_file = read_file(dir.path / "gorvedit.dat");
  ASSERT_EQ(resource_file.size(), 10774u);
  EXPECT_TRUE(resource_file == expected_resource_file(d));
  EXPECT_TRUE(read_file(dir.path / "0xD0D0A.dat") == d.raw_dump.product);
  // The image is read, never written.
  EXPECT_TRUE(read_file(dir.path / "rom.bin") == image);
  // Nothing else is left in the directory.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"0xD0D0A.dat", "gorvedit.dat", "map0a.gvm", "rom.bin",
                                             "themea.gvt"}));
}

// The map file of the test above goes back into the image; its layouts are
// found through the new level directory in their ROM forms, and dumped
// again they give the same map file.
TEST(TextModeBytes, SurviveAnImportAndADumpOfTheImportedMap) {
  TempDir dir;
  const ImageData d;
  const ByteVector before = text_mode_image(d);
  const ByteVector map_file = expected_map_file(d);
  write_file(dir.path / "rom.bin", before);
  write_file(dir.path / "map0a.gvm", map_file);

  const ToolRun run = run_gorvtool({"rom.bin", "-import"}, dir.path);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output.find("ERROR"), std::string::npos) << run.output;
  const ByteVector after = read_file(dir.path / "rom.bin");
  ASSERT_EQ(after.size(), 0x200000u);

  // Below the new directory only the references, the end address and the
  // checksum change.
  ByteVector low = before;
  for (const BaseReference& reference : kBaseReferences)
    put_be32(low, reference.offset, reference.value);
  put_be32(low, 0x1A4, 0x1FFFFF);
  std::uint16_t sum = 0;
  for (std::size_t i = 0x200; i < after.size(); i += 2)
    sum = static_cast<std::uint16_t>(sum + (after[i] << 8 | after[i + 1]));
  put_be16(low, 0x18E, sum);
  EXPECT_TRUE(slice(after, 0, 0x100000) == low);

  // The directory: map 0x0A alone, its header first behind the level order.
  ByteVector directory = {0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x01, 0x04};
  ByteVector header_table(252, 0);
  put_be16(header_table, 2 * 0x0A, 0x0170);
  append(directory, header_table);
  append(directory, kLevelOrder);
  EXPECT_TRUE(slice(after, 0x100000, directory.size()) == directory);
  const ByteVector header = slice(after, 0x100170, 28);
  EXPECT_TRUE(slice(header, 0, 12) == d.map_header);
  const std::uint32_t tile = be32_at(header, 12), block = be32_at(header, 16),
                      background = be32_at(header, 20), enemy = be32_at(header, 24);
  EXPECT_EQ(tile, 0x10018Cu);
  EXPECT_LT(tile, block);
  EXPECT_LT(block, background);
  EXPECT_EQ(block % 2, 0u);
  EXPECT_EQ(background % 2, 0u);

  // The background list goes back directly, the enemy layout as a record
  // with its list behind the header; then padding to the end.
  EXPECT_TRUE(slice(after, background, kBackgroundSection.size()) == kBackgroundSection);
  EXPECT_EQ(enemy, background + kBackgroundSection.size());
  ByteVector record(4);
  put_be32(record, 0, enemy + 16);
  append(record, {0x00, 0x00, 0x00, 0x00});
  append(record, d.art_load);
  append(record, {0x7D, 0x00, 0x80, 0x0A});
  append(record, d.enemy_entries);
  EXPECT_TRUE(slice(after, enemy, record.size()) == record);
  const ByteVector rest = slice(after, enemy + record.size(), after.size());
  EXPECT_TRUE(std::all_of(rest.begin(), rest.end(), [](std::uint8_t b) { return b == 0xFF; }));

  char layout_lines[160];
  std::snprintf(layout_lines, sizeof layout_lines,
                "    - background layout (0x%06X, 0x000E)\n"
                "    - enemy layout (0x%06X, 0x0062)\n",
                static_cast<unsigned>(background), static_cast<unsigned>(enemy));
  expect_in_order(run.output, {"map0A.gvm\n", "starting level\n", "  appending map 0x0A...\n",
                               "    - tile layout (0x10018C, ", layout_lines, "level headers\n",
                               "\nadjusting file size...", "\nfixing checksum...",
                               "\nfreeing data...", "\ndone!\n"});

  // Map 0x0A's header in the game's own directory, pointed at the imported
  // layouts: the dump gives back the map file.
  ByteVector pointed = after;
  put_bytes(pointed, 0x4033A + 0x0D0A, header);
  TempDir again;
  write_file(again.path / "rom.bin", pointed);
  const ToolRun dump = run_gorvtool({"rom.bin", "-map", "0a"}, again.path);
  EXPECT_EQ(dump.output.find("ERROR"), std::string::npos) << dump.output;
  EXPECT_TRUE(read_file(again.path / "map0a.gvm") == map_file);
}

// Names outside any one code page: on Windows they must not go through the
// local code page.
TEST(FileNames, ImageNamedInManyScripts) {
  TempDir dir;
  const ImageData d;
  const std::string name = "Gorvan \xC3\xA9\xCE\xA9\xE3\x82\xB4 (1).bin";  // é, Ω, ゴ
  write_file(dir.path / name, text_mode_image(d));

  const ToolRun run = run_gorvtool({name, "-decompress", "d0d0a"}, dir.path);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(read_file(dir.path / "0xD0D0A.dat") == d.raw_dump.product);

  // An import replaces the image under its own name, and keeps the old one
  // under names made from it.
  write_file(dir.path / "map0a.gvm", expected_map_file(d));
  const ToolRun imported = run_gorvtool({name, "-import"}, dir.path);
  EXPECT_EQ(imported.status, 0) << imported.output;
  EXPECT_NE(imported.output.find("\ndone!\n"), std::string::npos) << imported.output;
  EXPECT_EQ(read_file(dir.path / name).size(), 0x200000u);
  EXPECT_TRUE(read_file(dir.path / (name + ".orig")) == text_mode_image(d));
  EXPECT_TRUE(read_file(dir.path / (name + ".bak")) == text_mode_image(d));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 5);

  const std::string missing = "\xE3\x82\xB4 missing.bin";
  const ToolRun failed = run_gorvtool({missing, "-resource"}, dir.path);
  EXPECT_EQ(failed.output, "ERROR: cannot open file \"" + missing + "\" (no such file)\n");
  EXPECT_FALSE(fs::exists(dir.path / "gorvedit.dat"));
}

}  // namespace
}  // namespace gorv::test
