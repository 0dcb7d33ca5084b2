#include "export/theme_dump.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

#include "support/current_dir.h"
#include "support/lz_stream_writer.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

// What the test image holds for the dumped theme; the streams' products are
// known from the way the streams are written.
struct ThemeData {
  ByteVector a, b, c_stream, d_stream, e, f;
  ByteVector c_product, d_product;  // as they stand in the file
};

ByteVector numbered(std::size_t size, unsigned seed) {
  ByteVector bytes(size);
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<std::uint8_t>(seed + i * 13 + i / 7);
  return bytes;
}

ByteVector padded(ByteVector product, std::size_t limit) {
  if (product.size() < limit) product.resize(limit, 0);
  return product;
}

ThemeData exact_theme_data() {
  ThemeData d;
  d.a = numbered(30, 1);
  d.b = numbered(16, 2);
  const ByteVector c_pattern = numbered(64, 3), d_pattern = numbered(20, 4);
  d.c_stream = test::lz_pattern_stream(c_pattern, 0x2C80);
  d.c_product = test::pattern_product(c_pattern, 0x2C80);
  d.d_stream = test::lz_pattern_stream(d_pattern, 0x1000);
  d.d_product = test::pattern_product(d_pattern, 0x1000);
  d.e = numbered(2048, 5);
  d.e[0] = 0x12;
  d.e[1] = 0x34;
  d.f = numbered(256, 6);
  return d;
}

void put_be32(ByteVector& image, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

void put_be16(ByteVector& image, std::size_t at, std::uint16_t value) {
  image[at] = static_cast<std::uint8_t>(value >> 8);
  image[at + 1] = static_cast<std::uint8_t>(value);
}

void put_bytes(ByteVector& image, std::size_t at, const ByteVector& bytes) {
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

// An image whose tables lead `theme` to `d` and every other theme to a decoy
// area of 0x77 bytes.
ByteVector theme_image(std::uint8_t theme, const ThemeData& d) {
  constexpr std::uint32_t kDecoy = 0x9F000;
  ByteVector image(0xA0000, 0);
  std::fill(image.begin() + kDecoy, image.end(), 0x77);
  const std::uint32_t c_table = 0x7C000, d_table = 0x7C100, e_table = 0x7C200, a_table = 0x7C300,
                      b_table = 0x7C400, f_table = 0x7C500;
  put_be32(image, 0x7B018, c_table);
  put_be32(image, 0x7B01C, d_table);
  put_be32(image, 0x7B020, e_table);
  put_be32(image, 0x7B024, 0x9F800);
  put_be32(image, 0x7B028, a_table);
  put_be32(image, 0x7B02C, b_table);
  put_be32(image, 0x7B030, f_table);
  put_be32(image, 0x7B018 + 0x200, kDecoy);
  for (std::uint8_t t = 0; t < 16; ++t) {
    for (std::uint32_t table : {c_table, d_table, e_table, f_table})
      put_be32(image, table + 4 * t, kDecoy);
    put_be16(image, a_table + 2 * t, 0x200);
    put_be16(image, b_table + 2 * t, 0x200);
  }
  // Section A's 16-bit offset is above 0x7FFF: it counts unsigned.
  put_be16(image, a_table + 2 * theme, 0xFFF0);
  put_be32(image, 0x7B018 + 0xFFF0, 0x90000);
  put_be16(image, b_table + 2 * theme, 0x0100);
  put_be32(image, 0x7B018 + 0x0100, 0x90100);
  put_be32(image, c_table + 4 * theme, 0x91000);
  put_be32(image, d_table + 4 * theme, 0x95000);
  put_be32(image, e_table + 4 * theme, 0x97000);
  put_be32(image, f_table + 4 * theme, 0x97800);
  put_bytes(image, 0x90000, d.a);
  put_bytes(image, 0x90100, d.b);
  put_bytes(image, 0x91000, d.c_stream);
  put_bytes(image, 0x95000, d.d_stream);
  put_bytes(image, 0x97000, d.e);
  put_bytes(image, 0x97800, d.f);
  return image;
}

// The theme file built from the data it is made of.
ByteVector expected_file(const ThemeData& d) {
  ByteVector file = {'G', 'T', 'H', 'M'};
  file.insert(file.end(), d.a.begin(), d.a.end());
  file.insert(file.end(), d.b.begin(), d.b.end());
  file.insert(file.end(), d.c_product.begin(), d.c_product.end());
  file.insert(file.end(), d.d_product.begin(), d.d_product.end());
  for (std::size_t i = 0; i < d.e.size(); i += 2) {
    file.push_back(d.e[i + 1]);
    file.push_back(d.e[i]);
  }
  file.insert(file.end(), d.f.begin(), d.f.end());
  return file;
}

struct DumpRun {
  std::string output;
  bool error = false;
};

DumpRun dump_in(const fs::path& dir, const ByteVector& image, std::uint8_t theme) {
  test::CurrentDirGuard in_dir(dir);
  DumpRun run;
  const ExportResult result = dump_theme(Bytes(image), theme);
  run.output = report_text(result.report);
  run.error = report_has_error(result.report);
  return run;
}

// Runs the real binary on `image`, saved as rom.bin in `dir`.
test::ToolRun run_tool_in(const fs::path& dir, const ByteVector& image,
                          const std::vector<std::string>& options) {
  test::write_file(dir / "rom.bin", image);
  std::vector<std::string> args = {"rom.bin"};
  args.insert(args.end(), options.begin(), options.end());
  return test::run_gorvtool(args, dir);
}

const char kExactThemeOutput[] =
    "\nWriting theme as \"themea.gvt\"...\n\n"
    "  COMPRESSED DATA SIZE:   205 bytes\n"
    "  DECOMPRESSED DATA SIZE: 11392 bytes\n"
    "  RATIO:                  5557.1 %\n"
    "\n"
    "  COMPRESSED DATA SIZE:   72 bytes\n"
    "  DECOMPRESSED DATA SIZE: 4096 bytes\n"
    "  RATIO:                  5688.9 %\n"
    "\n";

TEST(ThemeDumpEndToEnd, WholeFileAndWholeOutput) {
  test::TempDir dir;
  const ThemeData d = exact_theme_data();
  const auto run = run_tool_in(dir.path, theme_image(0xA, d), {"-theme", "a"});
  EXPECT_EQ(0, run.status);
  EXPECT_EQ(kExactThemeOutput, run.output);
  const ByteVector file = test::read_file(dir.path / "themea.gvt");
  EXPECT_EQ(17842u, file.size());
  EXPECT_EQ(expected_file(d), file);
  EXPECT_EQ(0x34, file[15538]);  // the ROM word 12 34
  EXPECT_EQ(0x12, file[15539]);
}

TEST(ThemeDumpEndToEnd, ShortSectionPaddedAndOverrunsMoveLaterSections) {
  {
    test::TempDir dir;
    ThemeData d = exact_theme_data();
    // Read past its end token, the stream takes code bits from its first data
    // byte and data bytes from behind it (zeros here): tokens that add zeros.
    ByteVector c_pattern = numbered(40, 9);
    c_pattern[0] = 0;
    d.c_stream = test::lz_pattern_stream(c_pattern, 1000);
    d.c_product = padded(test::pattern_product(c_pattern, 1000), 0x2C80);
    const auto run = run_tool_in(dir.path, theme_image(1, d), {"-theme", "1"});
    EXPECT_EQ(0, run.status) << run.output;
    const ByteVector file = test::read_file(dir.path / "theme1.gvt");
    EXPECT_EQ(expected_file(d), file);
    ASSERT_EQ(17842u, file.size());
    EXPECT_EQ(d.d_product, ByteVector(file.begin() + 11442, file.begin() + 11442 + 0x1000));
  }
  {
    test::TempDir dir;
    ThemeData d = exact_theme_data();
    const ByteVector c_pattern = {0xAB};
    d.c_stream = test::lz_pattern_stream(c_pattern, 0x2C80, true);
    d.c_product = test::pattern_product(c_pattern, 0x2C80, true);
    ASSERT_EQ(0x2C80u + 84, d.c_product.size());
    const auto run = run_tool_in(dir.path, theme_image(9, d), {"-theme", "9"});
    EXPECT_EQ(0, run.status) << run.output;
    const ByteVector file = test::read_file(dir.path / "theme9.gvt");
    EXPECT_EQ(17842u + 84, file.size());
    EXPECT_EQ(expected_file(d), file);
    EXPECT_EQ(d.d_product, ByteVector(file.begin() + 11442 + 84, file.begin() + 15538 + 84));
  }
}

TEST(ThemeDumpEndToEnd, FileThatCannotBeCreated) {
  test::TempDir dir;
  fs::create_directory(dir.path / "theme6.gvt.gorvtool-tmp");
  const auto run = run_tool_in(dir.path, theme_image(6, exact_theme_data()), {"-theme", "6"});
  EXPECT_EQ(1, run.status);
  EXPECT_EQ("ERROR: cannot create file \"theme6.gvt\"\n", run.output);
  EXPECT_FALSE(fs::exists(dir.path / "theme6.gvt"));
}

TEST(ThemeDump, WholeFileAndReports) {
  test::TempDir dir;
  const ThemeData d = exact_theme_data();
  const DumpRun run = dump_in(dir.path, theme_image(0xA, d), 0xA);

  const ByteVector file = test::read_file(dir.path / "themea.gvt");
  EXPECT_EQ(17842u, file.size());
  EXPECT_EQ(expected_file(d), file);
  // The ROM word 12 34 is stored as 34 12.
  EXPECT_EQ(0x34, file[15538]);
  EXPECT_EQ(0x12, file[15539]);
  EXPECT_EQ(kExactThemeOutput, run.output);
  EXPECT_FALSE(run.error);
  EXPECT_EQ(1, std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()));
}

TEST(ThemeDump, OverrunsMoveTheLaterSections) {
  test::TempDir dir;
  ThemeData d = exact_theme_data();
  const ByteVector c_pattern = {0xAB}, d_pattern = numbered(3, 7);
  d.c_stream = test::lz_pattern_stream(c_pattern, 0x2C80, true);
  d.c_product = test::pattern_product(c_pattern, 0x2C80, true);
  d.d_stream = test::lz_pattern_stream(d_pattern, 0x1000, true);
  d.d_product = test::pattern_product(d_pattern, 0x1000, true);
  ASSERT_EQ(0x2C80u + 84, d.c_product.size());
  ASSERT_EQ(0x1000u + 242, d.d_product.size());
  const DumpRun run = dump_in(dir.path, theme_image(7, d), 7);

  const ByteVector file = test::read_file(dir.path / "theme7.gvt");
  EXPECT_EQ(17842u + 84 + 242, file.size());
  EXPECT_EQ(expected_file(d), file);
  // The reports still give the limits.
  EXPECT_NE(std::string::npos, run.output.find("DECOMPRESSED DATA SIZE: 11392 bytes\n"));
  EXPECT_NE(std::string::npos, run.output.find("DECOMPRESSED DATA SIZE: 4096 bytes\n"));
}

TEST(ThemeDump, TablesPastTheImageEndReadAsZeros) {
  test::TempDir dir;
  const ByteVector image(16, 0);
  const DumpRun run = dump_in(dir.path, image, 2);
  ByteVector expected = {'G', 'T', 'H', 'M'};
  expected.resize(17842, 0);
  EXPECT_EQ(expected, test::read_file(dir.path / "theme2.gvt"));
  EXPECT_FALSE(run.error);
}

TEST(ThemeDump, ReplacesAnExistingFile) {
  test::TempDir dir;
  test::write_file(dir.path / "theme3.gvt", ByteVector(40000, 0xEE));
  const ThemeData d = exact_theme_data();
  dump_in(dir.path, theme_image(3, d), 3);
  EXPECT_EQ(expected_file(d), test::read_file(dir.path / "theme3.gvt"));
}

TEST(ThemeDump, FileThatCannotBeWritten) {
  test::TempDir dir;
  // A directory in the way of the file: it cannot be replaced.
  fs::create_directories(dir.path / "theme5.gvt" / "keep");
  const DumpRun run = dump_in(dir.path, theme_image(5, exact_theme_data()), 5);
  EXPECT_EQ(0u, run.output.find("\nWriting theme as \"theme5.gvt\"...\n\n"));
  const std::string error = "ERROR: cannot write file \"theme5.gvt\"\n";
  ASSERT_GE(run.output.size(), error.size());
  EXPECT_EQ(error, run.output.substr(run.output.size() - error.size()));
  EXPECT_TRUE(run.error);
  EXPECT_TRUE(fs::is_directory(dir.path / "theme5.gvt" / "keep"));
  EXPECT_FALSE(fs::exists(dir.path / "theme5.gvt.gorvtool-tmp"));
}

}  // namespace
}  // namespace gorv
