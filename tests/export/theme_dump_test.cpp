#include "export/theme_dump.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

#include "support/current_dir.h"
#include "support/lz_stream_writer.h"
#include "support/temp_dir.h"
#include "support/theme_image.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;
namespace fs = std::filesystem;
using namespace test::themes;

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
  const std::string error = "ERROR: cannot write file \"theme5.gvt\" (it is a folder)\n";
  ASSERT_GE(run.output.size(), error.size());
  EXPECT_EQ(error, run.output.substr(run.output.size() - error.size()));
  EXPECT_TRUE(run.error);
  EXPECT_TRUE(fs::is_directory(dir.path / "theme5.gvt" / "keep"));
  EXPECT_FALSE(fs::exists(dir.path / "theme5.gvt.gorvtool-tmp"));
}

}  // namespace
}  // namespace gorv
