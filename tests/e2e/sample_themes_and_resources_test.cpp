// The theme and resource dumps of the synthetic sample ROM image in one run
// of the tool.
#include <gtest/gtest.h>

#include "sample_rom/sample_rom.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

TEST(SampleThemesAndResources, OneRunWritesBothInOrder) {
  test::TempDir dir;
  test::write_file(dir.path / "sample.bin", sample::build_sample_rom());
  const auto run = test::run_gorvtool({"sample.bin", "-resource", "-theme", "2"}, dir.path);
  EXPECT_EQ(0, run.status) << run.output;
  const std::size_t theme_line = run.output.find("\nWriting theme as \"theme2.gvt\"...\n\n");
  const std::size_t resource_line =
      run.output.find("\nWriting GorvEdit data as \"gorvedit.dat\"...\n\n");
  ASSERT_EQ(0u, theme_line) << run.output;
  ASSERT_NE(std::string::npos, resource_line) << run.output;
  EXPECT_LT(theme_line, resource_line);
  std::size_t reports = 0;
  for (std::size_t at = run.output.find("COMPRESSED DATA SIZE:"); at != std::string::npos;
       at = run.output.find("COMPRESSED DATA SIZE:", at + 1))
    ++reports;
  EXPECT_EQ(14u, reports);  // each report has two such lines: 2 + 5 reports
  EXPECT_EQ(17842u, test::read_file(dir.path / "theme2.gvt").size());
  EXPECT_EQ(10774u, test::read_file(dir.path / "gorvedit.dat").size());
}

}  // namespace
}  // namespace gorv
