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
};

constexpr std::uint32_t kPackedOffsets[5] = {0xCAB2, 0x992E4, 0x5B92, 0x5C83, 0x1DA86};
constexpr std::size_t kPackedLimits[5] = {0x240, 0x1A80, 0x180, 0x180, 0x5A0};

ByteVector text_mode_image(const ImageData& d) {
  ByteVector image = text_mode_bytes(0xE0000, 0);

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

TEST(TextModeBytes, PassUnchangedThroughThemeResourceAndRawDump) {
  TempDir dir;
  const ImageData d;
  const ByteVector image = text_mode_image(d);
  write_file(dir.path / "rom.bin", image);
  // Files from an earlier run are replaced.
  write_file(dir.path / "themea.gvt", text_mode_bytes(100000, 3));
  write_file(dir.path / "gorvedit.dat", ByteVector{0x1A});

  const ToolRun run =
      run_gorvtool({"rom.bin", "-theme", "A", "-resource", "-decompress", "D0D0A"}, dir.path);
  EXPECT_EQ(run.status, 0) << run.output;
  expect_in_order(
      run.output,
      {"\nWriting theme as \"themea.gvt\"...\n\n", sizes(compressed(d.theme_c), 0x2C80),
       sizes(compressed(d.theme_d), 0x1000), "\nWriting data as \"0xD0D0A.dat\"...\n\n",
       sizes(compressed(d.raw_dump), d.raw_dump.product.size()),
       "\nWriting GorvEdit data as \"gorvedit.dat\"...\n\n", sizes(compressed(d.packed[0]), 0x240),
       sizes(compressed(d.packed[1]), 0x1A80), sizes(compressed(d.packed[2]), 0x180),
       sizes(compressed(d.packed[3]), 0x180), sizes(compressed(d.packed[4]), 0x5A0)});
  EXPECT_EQ(run.output.find("ERROR"), std::string::npos) << run.output;

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
  EXPECT_EQ(names,
            (std::vector<std::string>{"0xD0D0A.dat", "gorvedit.dat", "rom.bin", "themea.gvt"}));
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

  const std::string missing = "\xE3\x82\xB4 missing.bin";
  const ToolRun failed = run_gorvtool({missing, "-resource"}, dir.path);
  EXPECT_EQ(failed.output, "ERROR: cannot open file \"" + missing + "\"\n");
  EXPECT_FALSE(fs::exists(dir.path / "gorvedit.dat"));
}

}  // namespace
}  // namespace gorv::test
