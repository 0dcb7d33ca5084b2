#include "export/export_file.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

#include "support/current_dir.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

namespace fs = std::filesystem;

TEST(ExportFile, AFullBufferWritesNothingAndNamesTheFile) {
  test::TempDir dir;
  test::CurrentDirGuard in_dir(dir.path);
  test::write_file(dir.path / "theme1.gvt", {1, 2, 3});
  Report report;
  OutputBuffer buffer;
  reset(buffer, 65535);
  put_byte(buffer, 0);
  ASSERT_TRUE(buffer.full);
  OutputFile file;
  ASSERT_TRUE(open_output_file(file, "theme1.gvt"));

  EXPECT_FALSE(finish_export_file(report, std::move(file), buffer));
  EXPECT_EQ("ERROR: \"theme1.gvt\" would be larger than 65535 bytes; the file was not written\n",
            report_text(report));
  EXPECT_TRUE(report_has_error(report));
  EXPECT_EQ((std::vector<std::uint8_t>{1, 2, 3}), test::read_file(dir.path / "theme1.gvt"));
  EXPECT_EQ(1, std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()));
}

TEST(ExportFile, ABufferOfTheLargestSizeIsWritten) {
  test::TempDir dir;
  test::CurrentDirGuard in_dir(dir.path);
  Report report;
  OutputBuffer buffer;
  reset(buffer, 65534);
  put_byte(buffer, 0xAB);
  OutputFile file;
  ASSERT_TRUE(open_output_file(file, "gorvedit.dat"));
  EXPECT_TRUE(finish_export_file(report, std::move(file), buffer));
  const auto bytes = test::read_file(dir.path / "gorvedit.dat");
  ASSERT_EQ(65535u, bytes.size());
  EXPECT_EQ(0xAB, bytes.back());
  EXPECT_TRUE(report.empty());
}

}  // namespace
}  // namespace gorv
