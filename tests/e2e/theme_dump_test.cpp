// -theme through the real binary: the whole theme file and the whole output.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/lz_stream_writer.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"
#include "support/theme_image.h"

namespace gorv {
namespace {

namespace fs = std::filesystem;
using namespace test::themes;

// Runs the real binary on `image`, saved as rom.bin in `dir`.
test::ToolRun run_tool_in(const fs::path& dir, const ByteVector& image,
                          const std::vector<std::string>& options) {
  test::write_file(dir / "rom.bin", image);
  std::vector<std::string> args = {"rom.bin"};
  args.insert(args.end(), options.begin(), options.end());
  return test::run_gorvtool(args, dir);
}

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
  EXPECT_EQ("ERROR: cannot create file \"theme6.gvt\" (it is a folder)\n", run.output);
  EXPECT_FALSE(fs::exists(dir.path / "theme6.gvt"));
}

}  // namespace
}  // namespace gorv
