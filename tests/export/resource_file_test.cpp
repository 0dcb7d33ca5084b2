#include "export/resource_file.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

#include "support/current_dir.h"
#include "support/lz_stream_writer.h"
#include "support/resource_image.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;
namespace fs = std::filesystem;
using namespace test::resources;

struct ResourceRun {
  std::string output;
  bool error = false;
};

ResourceRun write_in(const fs::path& dir, const ByteVector& image) {
  test::CurrentDirGuard in_dir(dir);
  ResourceRun run;
  const ExportResult result = write_resource_file(Bytes(image));
  run.output = report_text(result.report);
  run.error = report_has_error(result.report);
  return run;
}

TEST(ResourceFile, PointersPastTheImageEndReadAsZeros) {
  test::TempDir dir;
  ByteVector image(0x20, 0x5A);
  const ResourceRun run = write_in(dir.path, image);
  // Every fixed offset lies past the end; the pointers read 0, so the three
  // indirect blocks start with the image's own bytes.
  ByteVector expected(10774, 0);
  std::fill(expected.begin() + 30, expected.begin() + 30 + 24, 0x5A);
  std::fill(expected.begin() + 9750, expected.begin() + 9750 + 0x20, 0x5A);
  std::fill(expected.begin() + 10390, expected.begin() + 10390 + 0x20 - 6, 0x5A);
  EXPECT_EQ(expected, test::read_file(dir.path / "gorvedit.dat"));
  EXPECT_FALSE(run.error);
}

TEST(ResourceFile, FileThatCannotBeWrittenKeepsWhatWasThere) {
  test::TempDir dir;
  fs::create_directories(dir.path / "gorvedit.dat" / "keep");
  const ResourceRun run = write_in(dir.path, resource_image(ResourceData{}));
  EXPECT_EQ(0u, run.output.find("\nWriting GorvEdit data as \"gorvedit.dat\"...\n\n"));
  const std::string error = "ERROR: cannot write file \"gorvedit.dat\" (it is a folder)\n";
  ASSERT_GE(run.output.size(), error.size());
  EXPECT_EQ(error, run.output.substr(run.output.size() - error.size()));
  EXPECT_TRUE(fs::is_directory(dir.path / "gorvedit.dat" / "keep"));
  EXPECT_FALSE(fs::exists(dir.path / "gorvedit.dat.gorvtool-tmp"));
}

}  // namespace
}  // namespace gorv
