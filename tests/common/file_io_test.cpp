#include "common/file_io.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "common/platform.h"

#include "support/temp_dir.h"

namespace gorv {
namespace {

TEST(ReadWholeFile, StopsOneBytePastTheLimit) {
  test::TempDir dir;
  const auto path = (dir.path / "data.bin").string();
  std::vector<std::uint8_t> data(200000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7);
  test::write_file(path, data);

  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(read_whole_file(path, bytes));
  EXPECT_EQ(bytes, data);
  ASSERT_TRUE(read_whole_file(path, bytes, data.size()));
  EXPECT_EQ(bytes, data);
  for (std::size_t limit :
       {data.size() - 1, std::size_t{65535}, std::size_t{65536}, std::size_t{0}}) {
    EXPECT_FALSE(read_whole_file(path, bytes, limit)) << limit;
    EXPECT_EQ(bytes.size(), limit + 1) << limit;
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), data.begin())) << limit;
  }
}

#ifndef _WIN32
TEST(ReadWholeFile, AnEndlessDeviceStopsAtTheLimit) {
  std::vector<std::uint8_t> bytes;
  EXPECT_FALSE(read_whole_file("/dev/zero", bytes, 300000));
  EXPECT_EQ(bytes.size(), 300001u);
}
#endif

// A copy of a file with one name is a second name of it; a file with two
// names already is copied byte by byte, so that the copy never shares its
// contents with a name the tool does not manage. Either way the copy holds
// the file's bytes once put in place, and a read-only copy name is kept.
TEST(CopyOutputFile, LinksAFileOfOneNameAndWritesAnyOther) {
  test::TempDir dir;
  const std::vector<std::uint8_t> data = {1, 2, 3, 4, 5};
  const auto image = (dir.path / "image.bin").string();
  const auto copy = (dir.path / "image.bin.bak").string();
  test::write_file(image, data);
  for (const bool second_name : {false, true}) {
    const auto other = (dir.path / "other.bin").string();
    if (second_name) std::filesystem::create_hard_link(image, other);
    OutputFile out;
    ASSERT_TRUE(copy_output_file(out, copy, image, data)) << second_name;
    ASSERT_TRUE(place_output_file(out)) << second_name;
    EXPECT_EQ(data, test::read_file(copy)) << second_name;
    EXPECT_EQ(!second_name, same_file(copy, image)) << second_name;
    EXPECT_FALSE(path_exists(copy + ".gorvtool-tmp")) << second_name;
    std::filesystem::remove(copy);
  }
  test::write_file(copy, {9});
  std::filesystem::permissions(copy, std::filesystem::perms::owner_read);
  OutputFile out;
  EXPECT_FALSE(copy_output_file(out, copy, image, data));
  EXPECT_EQ(std::vector<std::uint8_t>{9}, test::read_file(copy));
  EXPECT_FALSE(path_exists(copy + ".gorvtool-tmp"));
}

// An output file let go of before it is put in place leaves nothing behind
// and the target as it was, whether its file is still open or written; one
// moved from leaves the file to the object it moved to.
TEST(OutputFile, GoesWithItsObjectUnlessPutInPlace) {
  test::TempDir dir;
  const auto target = (dir.path / "out.bin").string();
  const auto temp = target + ".gorvtool-tmp";
  test::write_file(target, {7});
  for (const bool written : {false, true}) {
    {
      OutputFile out;
      ASSERT_TRUE(open_output_file(out, target));
      if (written) {
        ASSERT_TRUE(write_output_contents(out, std::vector<std::uint8_t>{1, 2}));
      }
      EXPECT_TRUE(path_exists(temp));
    }
    EXPECT_FALSE(path_exists(temp)) << written;
    EXPECT_EQ(std::vector<std::uint8_t>{7}, test::read_file(target)) << written;
  }
  OutputFile moved_to;
  {
    OutputFile out;
    ASSERT_TRUE(open_output_file(out, target));
    OutputFile between(std::move(out));
    moved_to = std::move(between);
  }
  ASSERT_TRUE(commit_output_file(moved_to, std::vector<std::uint8_t>{3}));
  EXPECT_EQ(std::vector<std::uint8_t>{3}, test::read_file(target));
  EXPECT_FALSE(path_exists(temp));
}

#ifndef _WIN32
// A full disk, through /dev/full standing at the temporary file's name:
// the write fails keeping the system's code, and leaves nothing behind.
TEST(OutputFile, AFailedWriteKeepsTheSystemsCode) {
  if (!std::filesystem::exists("/dev/full")) {
    if (std::getenv("CI") != nullptr) FAIL() << "no /dev/full";
    GTEST_SKIP() << "no /dev/full";
  }
  test::TempDir dir;
  const auto target = (dir.path / "out.bin").string();
  test::write_file(target, {7});
  std::filesystem::create_symlink("/dev/full", target + ".gorvtool-tmp");
  OutputFile out;
  ASSERT_TRUE(open_output_file(out, target));
  EXPECT_FALSE(commit_output_file(out, std::vector<std::uint8_t>(100, 1)));
  EXPECT_EQ(ENOSPC, out.error.code);
  EXPECT_FALSE(path_exists(target + ".gorvtool-tmp"));
  EXPECT_EQ(std::vector<std::uint8_t>{7}, test::read_file(target));
}

// The reasons of failures met on the way, and of the codes behind them.
TEST(FileErrorReason, SortsTheFailures) {
  test::TempDir dir;
  const auto kept = (dir.path / "kept.bin").string();
  test::write_file(kept, {1});
  std::filesystem::permissions(kept, std::filesystem::perms::owner_read);
  std::vector<std::uint8_t> bytes;
  OutputFile out;
  using enum FileErrorReason;
  EXPECT_EQ(no_such_file, file_error_reason(read_whole_file(kept + "x", bytes).error));
  EXPECT_EQ(is_folder, file_error_reason(read_whole_file(dir.path.string(), bytes).error));
  EXPECT_FALSE(open_output_file(out, kept));
  EXPECT_EQ(read_only_file, file_error_reason(out.error));
  EXPECT_FALSE(open_output_file(out, (dir.path / "none" / "x.bin").string()));
  EXPECT_EQ(no_such_file, file_error_reason(out.error));

  const std::pair<int, FileErrorReason> codes[] = {{0, none},
                                                   {EACCES, permission_denied},
                                                   {EPERM, permission_denied},
                                                   {ENOSPC, disk_full},
                                                   {EDQUOT, disk_full},
                                                   {EROFS, read_only_file_system},
                                                   {ETXTBSY, in_use},
                                                   {EIO, other}};
  for (const auto& [code, reason] : codes) EXPECT_EQ(reason, file_error_reason({code})) << code;
}
#endif

}  // namespace
}  // namespace gorv
