// Ordinary slips that must lose no work: an output named like an input, a
// patch over a file that is not an earlier patch, an import into a backup,
// a map file named past the last map; and why a file cannot be opened.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "sample_rom/sample_rom.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

namespace fs = std::filesystem;
using Image = std::vector<std::uint8_t>;

TEST(Slips, APatchReplacesOnlyAnEarlierPatchOfTheSameHack) {
  TempDir dir;
  const Image clean = sample::build_sample_rom();
  write_file(dir.path / "clean.bin", clean);
  Image hack = clean;
  hack[0x1234] ^= 0x5A;
  write_file(dir.path / "hack.bin", hack);
  ASSERT_EQ(run_gorvtool({"hack.bin", "--patch", "clean.bin"}, dir.path).status, 0);

  // A later state of the same hack: the earlier patch is replaced.
  hack[0x2345] ^= 0x33;
  write_file(dir.path / "hack.bin", hack);
  const ToolRun again = run_gorvtool({"hack.bin", "--patch", "clean.bin"}, dir.path);
  EXPECT_EQ(again.status, 0) << again.output;
  EXPECT_TRUE(again.output.ends_with(" bytes)\nprevious patch \"hack.bps\" replaced\n"))
      << again.output;
  fs::create_directory(dir.path / "out");
  fs::copy_file(dir.path / "clean.bin", dir.path / "out" / "clean.bin");
  fs::copy_file(dir.path / "hack.bps", dir.path / "out" / "hack.bps");
  ASSERT_EQ(run_gorvtool({"clean.bin", "--apply", "hack.bps"}, dir.path / "out").status, 0);
  EXPECT_TRUE(read_file(dir.path / "out" / "hack.bin") == hack);

  // Nothing else bearing the patch's name is replaced: a patch from another
  // clean image, or any other file.
  const Image good_patch = read_file(dir.path / "hack.bps");
  Image other_clean = clean;
  other_clean[0x10] ^= 1;
  write_file(dir.path / "other.bin", other_clean);
  const Image notes = {'n', 'o', 't', 'e', 's', '\n'};
  for (const auto& [existing, clean_name] :
       {std::pair{good_patch, "other.bin"}, std::pair{notes, "clean.bin"}}) {
    write_file(dir.path / "hack.bps", existing);
    const ToolRun refused = run_gorvtool({"hack.bin", "--patch", clean_name}, dir.path);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.output, "ERROR: file \"hack.bps\" exists; nothing was written\n");
    EXPECT_TRUE(read_file(dir.path / "hack.bps") == existing) << clean_name;
  }

  // The image itself as the clean image: there is nothing to patch.
  write_file(dir.path / "hack.bps", good_patch);
  const ToolRun same = run_gorvtool({"hack.bin", "--patch", "hack.bin"}, dir.path);
  EXPECT_EQ(same.status, 1);
  EXPECT_EQ(same.output,
            "ERROR: \"hack.bin\" and \"hack.bin\" are the same image; there is nothing to patch\n");
  EXPECT_TRUE(read_file(dir.path / "hack.bps") == good_patch);
}

TEST(Slips, PicturesNeverReplaceTheMapFilesOfTheirRun) {
  TempDir dir;
  write_file(dir.path / "rom.bin", sample::build_sample_rom());
  ASSERT_EQ(run_gorvtool({"rom.bin", "-map", "4a"}, dir.path).status, 0);
  const Image map_file = read_file(dir.path / "map4a.gvm");
  write_file(dir.path / "x.png", map_file);
  const ToolRun preview = run_gorvtool({"--preview", "x.png", "map4a.gvm"}, dir.path);
  EXPECT_EQ(preview.status, 1);
  EXPECT_EQ(preview.output,
            "ERROR: the picture \"x.png\" would replace the map file \"x.png\"; it is not "
            "written\n\nWriting preview as \"map4a.png\"...\n");
  EXPECT_TRUE(read_file(dir.path / "x.png") == map_file);

  // The changes picture of NEW is named after it: here, OLD's name.
  write_file(dir.path / "b-changes.png", map_file);
  const ToolRun compare = run_gorvtool({"--compare", "b-changes.png", "map4a.gvm"}, dir.path);
  EXPECT_EQ(compare.status, 0) << compare.output;
  write_file(dir.path / "b.gvm", map_file);
  const ToolRun refused = run_gorvtool({"--compare", "b-changes.png", "b.gvm"}, dir.path);
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(
      refused.output.ends_with("ERROR: the picture \"b-changes.png\" would replace the map "
                               "file \"b-changes.png\"; it is not written\n"))
      << refused.output;
  EXPECT_TRUE(read_file(dir.path / "b-changes.png") == map_file);
}

TEST(Slips, MapFileNamesPastTheLastMapAreNamed) {
  TempDir dir;
  write_file(dir.path / "rom.bin", sample::build_sample_rom());
  ASSERT_EQ(run_gorvtool({"rom.bin", "-map", "4a"}, dir.path).status, 0);
  const Image map_file = read_file(dir.path / "map4a.gvm");
  for (const char* name : {"mapff.gvm", "map7e.gvm", "map7E.gvm"})
    write_file(dir.path / name, map_file);
  const ToolRun result = run_gorvtool({"rom.bin", "-import"}, dir.path);
  EXPECT_EQ(result.status, 0) << result.output;
  const std::string expected =
      "WARNING: \"map7E.gvm\" is not imported: maps go from 00 to 7d\n"
      "WARNING: \"map7e.gvm\" is not imported: maps go from 00 to 7d\n"
      "WARNING: \"mapff.gvm\" is not imported: maps go from 00 to 7d\n";
  const std::size_t at = result.output.find("WARNING");
  ASSERT_NE(at, std::string::npos) << result.output;
  EXPECT_EQ(result.output.substr(at, expected.size()), expected) << result.output;
}

// Permission is denied by the system, not by the tool: the tool runs as a
// user who may not read the image (as root, under another user's id).
TEST(Slips, AnImageThatMayNotBeReadSaysSo) {
  if (std::getenv("GORVTOOL_UNDER_TEST") != nullptr) GTEST_SKIP() << "the native binary only";
  TempDir dir;
  write_file(dir.path / "rom.bin", sample::build_sample_rom());
  fs::permissions(dir.path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(dir.path / "rom.bin", fs::perms::owner_read | fs::perms::owner_write);
  const std::string as_other_user =
      geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  const std::string output = (dir.path / "out.txt").string();
  const std::string command = "cd '" + dir.path.string() + "' && " + as_other_user + "'" +
                              GORVTOOL_PATH + "' rom.bin -info 00 </dev/null >'" + output +
                              "' 2>&1";
  if (geteuid() != 0) fs::permissions(dir.path / "rom.bin", fs::perms::none);
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const Image text = read_file(output);
  EXPECT_EQ(std::string(text.begin(), text.end()),
            "ERROR: cannot open file \"rom.bin\" (permission denied)\n");
}

}  // namespace
}  // namespace gorv::test
