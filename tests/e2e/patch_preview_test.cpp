// --patch, --apply, --preview and --compare through the real binary.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "sample_rom/sample_rom.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

namespace fs = std::filesystem;

TEST(PatchOptions, APatchMadeAndAppliedGivesTheImageBack) {
  TempDir dir;
  auto clean = sample::build_sample_rom();
  write_file(dir.path / "clean.bin", clean);
  auto edited = clean;
  edited[0x1234] ^= 0x5A;
  edited.resize(edited.size() + 0x100000, 0xFF);
  write_file(dir.path / "hack.bin", edited);

  const ToolRun made = run_gorvtool({"hack.bin", "--patch", "clean.bin"}, dir.path);
  EXPECT_EQ(made.status, 0) << made.output;
  const auto patch = read_file(dir.path / "hack.bps");
  EXPECT_EQ(made.output,
            "\nWriting patch as \"hack.bps\"...\n\npatch: " + std::to_string(patch.size()) +
                " bytes (source 1048576 bytes, target " + "2097152 bytes)\n");
  EXPECT_LT(patch.size(), 200u);

  // Applied to the clean image it gives hack.bin, which already exists.
  const ToolRun refused = run_gorvtool({"clean.bin", "--apply", "hack.bps"}, dir.path);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.output, "ERROR: file \"hack.bin\" exists; nothing was written\n");
  fs::create_directory(dir.path / "out");
  fs::copy_file(dir.path / "clean.bin", dir.path / "out" / "clean.bin");
  fs::copy_file(dir.path / "hack.bps", dir.path / "out" / "hack.bps");
  const ToolRun applied = run_gorvtool({"clean.bin", "--apply=hack.bps"}, dir.path / "out");
  EXPECT_EQ(applied.status, 0) << applied.output;
  EXPECT_EQ(read_file(dir.path / "out" / "hack.bin"), edited);

  // The wrong image, and a damaged patch: nothing is written.
  fs::remove(dir.path / "out" / "hack.bin");
  clean[0x10] ^= 1;
  write_file(dir.path / "out" / "wrong.bin", clean);
  const ToolRun other = run_gorvtool({"wrong.bin", "--apply", "hack.bps"}, dir.path / "out");
  EXPECT_EQ(other.status, 1);
  EXPECT_EQ(
      other.output.rfind("ERROR: the patch \"hack.bps\" is for another image (source CRC32 ", 0),
      0u)
      << other.output;
  auto damaged = patch;
  damaged[damaged.size() / 2] ^= 1;
  write_file(dir.path / "out" / "hack.bps", damaged);
  const ToolRun broken = run_gorvtool({"clean.bin", "--apply", "hack.bps"}, dir.path / "out");
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.output.rfind("ERROR: the patch \"hack.bps\" is damaged\n  ", 0), 0u);
  EXPECT_FALSE(fs::exists(dir.path / "out" / "hack.bin"));

  // In the same run as an import, the patch is made from the image as it
  // was read (the import builds the new one in memory of its own then).
  fs::create_directory(dir.path / "imported");
  write_file(dir.path / "imported" / "hack.bin", edited);
  write_file(dir.path / "imported" / "clean.bin", read_file(dir.path / "clean.bin"));
  EXPECT_EQ(run_gorvtool({"hack.bin", "-map", "00"}, dir.path / "imported").status, 0);
  const ToolRun both =
      run_gorvtool({"hack.bin", "-import", "--patch", "clean.bin"}, dir.path / "imported");
  EXPECT_EQ(both.status, 0) << both.output;
  EXPECT_EQ(read_file(dir.path / "imported" / "hack.bps"), patch);

  const ToolRun no_value = run_gorvtool({"clean.bin", "--patch"}, dir.path);
  EXPECT_EQ(no_value.status, 2);
  EXPECT_EQ(no_value.output, "ERROR: option \"--patch\" needs a value; see gorvtool --help\n");
}

TEST(PreviewOptions, PicturesOfMapFilesAndOfTheirChanges) {
  TempDir dir;
  write_file(dir.path / "rom.bin", sample::build_sample_rom());
  ASSERT_EQ(run_gorvtool({"rom.bin", "-map", "4A"}, dir.path).status, 0);
  auto edited = read_file(dir.path / "map4a.gvm");
  edited[28 + 5] ^= 0x11;  // one tile
  write_file(dir.path / "edited.gvm", edited);
  write_file(dir.path / "broken.gvm", {'G', 'M', 'A', 'P', 0x80});

  const ToolRun previews =
      run_gorvtool({"--preview", "map4a.gvm", "broken.gvm", "edited.gvm"}, dir.path);
  EXPECT_EQ(previews.status, 1);
  EXPECT_EQ(previews.output,
            "\nWriting preview as \"map4a.png\"...\n"
            "ERROR: map file \"broken.gvm\" is damaged\n  the file ends inside its header\n"
            "\nWriting preview as \"edited.png\"...\n");
  EXPECT_TRUE(fs::exists(dir.path / "map4a.png"));
  EXPECT_FALSE(fs::exists(dir.path / "broken.png"));

  const ToolRun compared = run_gorvtool({"--compare", "map4a.gvm", "edited.gvm"}, dir.path);
  EXPECT_EQ(compared.status, 0);
  EXPECT_EQ(compared.output,
            "tiles: 1 square differs at (5, 0)\n\nWriting changes as \"edited-changes.png\"...\n");
  EXPECT_TRUE(fs::exists(dir.path / "edited-changes.png"));
}

// A wildcard: Windows has no shell to expand it, so the tool does; on other
// systems the shell does, and a name that reaches the tool is a file name.
TEST(PreviewOptions, WildcardsAreExpandedWhereNoShellDoes) {
  TempDir dir;
  write_file(dir.path / "rom.bin", sample::build_sample_rom());
  ASSERT_EQ(run_gorvtool({"rom.bin", "-map", "4A", "-map", "01"}, dir.path).status, 0);
  ASSERT_EQ(run_gorvtool({"rom.bin", "-map", "01"}, dir.path).status, 0);
  const ToolRun run = run_gorvtool({"--preview", "map?a.gvm", "map0*.gvm"}, dir.path);
  if (std::getenv("GORVTOOL_OUTPUT_CRLF") != nullptr) {  // the Windows build
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output,
              "\nWriting preview as \"map4a.png\"...\n\nWriting preview as \"map01.png\"...\n");
  } else {
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output,
              "ERROR: cannot open file \"map?a.gvm\"\nERROR: cannot open file \"map0*.gvm\"\n");
  }
}

// The map file reader's fuzz seeds, and copies of them cut short or with
// bytes flipped: every file gets a picture or the import's damage message,
// and the tool never dies on one.
TEST(PreviewOptions, DamagedAndHostileFilesGetAClearError) {
  TempDir dir;
  std::vector<std::string> names;
  std::size_t count = 0;
  for (const auto& seed :
       fs::directory_iterator(fs::path(GORV_SOURCE_DIR) / "fuzz/corpus/preview")) {
    const auto bytes = read_file(seed.path());
    for (std::size_t variant = 0; variant < 12; ++variant) {
      auto copy = bytes;
      if (variant < 6) copy.resize(copy.size() * variant / 6);
      if (variant >= 6) copy[(copy.size() * (variant - 5)) / 7 % copy.size()] ^= 0xA5;
      const std::string name = "f" + std::to_string(count++) + ".gvm";
      write_file(dir.path / name, copy);
      names.push_back(name);
    }
  }
  std::vector<std::string> args = {"--preview"};
  args.insert(args.end(), names.begin(), names.end());
  const ToolRun run = run_gorvtool(args, dir.path);
  EXPECT_TRUE(run.status == 0 || run.status == 1) << run.status;
  for (const std::string& name : names) {
    const std::string png = name.substr(0, name.size() - 4) + ".png";
    const bool pictured = run.output.find("\"" + png + "\"") != std::string::npos;
    const bool refused =
        run.output.find("ERROR: map file \"" + name + "\" is damaged\n  ") != std::string::npos;
    EXPECT_NE(pictured, refused) << name;
    EXPECT_EQ(pictured, fs::exists(dir.path / png)) << name;
  }
}

}  // namespace
}  // namespace gorv::test
