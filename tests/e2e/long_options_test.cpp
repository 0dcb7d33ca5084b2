// The long options of the real binary: --help, --version, --all-maps, and
// the errors of an unknown option.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "rom/map_header.h"
#include "sample_rom/sample_rom.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

namespace fs = std::filesystem;

struct LongOptionsTest : ::testing::Test {
  TempDir dir;
  std::vector<std::uint8_t> image = sample::build_sample_rom();
  void SetUp() override { write_file(dir.path / "rom.bin", image); }
  ToolRun run(std::vector<std::string> args, const fs::path& where) {
    return run_gorvtool(args, where);
  }
  // What -map (with `extra` options) prints and writes for every present
  // map, one run each, in a folder of its own.
  std::string dump_one_by_one(const fs::path& where, std::vector<std::string> extra = {}) {
    fs::create_directory(where);
    write_file(where / "rom.bin", image);
    std::string output;
    const MapExistsTable exists = build_map_exists_table(image);
    for (int map = 0; map < kMapCount; ++map) {
      if (!map_exists(exists, static_cast<std::uint8_t>(map))) continue;
      char number[3];
      std::snprintf(number, sizeof number, "%02X", map);
      std::vector<std::string> args = {"rom.bin", "-map", number};
      args.insert(args.end(), extra.begin(), extra.end());
      output += run(args, where).output;
    }
    return output;
  }
};

// What --all-maps prints beside -map's output on the sample image: right
// after each line that tells of a loss, what the map file lacks, once.
std::string with_losses_named(std::string text) {
  const std::pair<std::string, std::string> losses[] = {
      {"Found block-type 0x28 at 0x050BF3\n",
       "WARNING: map 0x0E: map0e.gvm lacks the blocks of type 0x28; an import of it writes none\n"},
      {"ERROR: Expected 0x80 or 0x00 to start enemy layout data. (i = 0x80)\n",
       "WARNING: map 0x37: map37.gvm holds no enemies; an import of it writes an empty enemy "
       "list\n"},
      {"ERROR: End of enemy header not found. (art_load[3] = 0x7D01)\n",
       "WARNING: map 0x3D: map3d.gvm holds no enemies; an import of it writes an empty enemy "
       "list\n"},
  };
  for (const auto& [line, warning] : losses) {
    const std::size_t at = text.find(line);
    EXPECT_NE(at, std::string::npos) << line;
    if (at != std::string::npos) text.insert(at + line.size(), warning);
  }
  return text;
}

std::size_t map_files_in(const fs::path& where) {
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(where))
    count += entry.path().extension() == ".gvm";
  return count;
}

TEST_F(LongOptionsTest, HelpAndVersionAnswerAloneWhereverTheyStand) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"},
                                               {"rom.bin", "-map", "4A", "--help"},
                                               {"--help", "missing.bin", "-import"}}) {
    const ToolRun help = run(args, dir.path);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("USAGE: gorvtool.exe [rom.bin] [options]\n"), std::string::npos);
    EXPECT_NE(help.output.find("\n --all-maps "), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("\n --version "), std::string::npos);
  }
  const ToolRun version = run({"rom.bin", "--version", "-info", "00"}, dir.path);
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(std::regex_match(version.output, std::regex("gorvtool [0-9]+\\.[0-9]+\\.[0-9]+\n")))
      << version.output;
  EXPECT_FALSE(fs::exists(dir.path / "map4a.gvm"));
}

TEST_F(LongOptionsTest, UnknownOptionsStopBeforeAnythingIsOpened) {
  for (const std::string option : {"--frobnicate", "--all-map", "--help=yes", "--ALL-MAPS"}) {
    const ToolRun result = run({"missing.bin", option, "-import"}, dir.path);
    EXPECT_EQ(result.status, 2) << option;
    const std::string name = option.substr(0, option.find('='));
    EXPECT_EQ(result.output, "ERROR: unknown option \"" + (option == "--help=yes" ? option : name) +
                                 "\"; see gorvtool --help\n");
  }
}

TEST_F(LongOptionsTest, WhatIsMissingIsNamedBeforeAnythingIsOpened) {
  const std::string compare = "option \"--compare\" needs two map files, OLD and NEW";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--all-maps"}, "option \"--all-maps\" needs a ROM image"},
      {{"--preview", "a.gvm", "--patch=clean.bin", "--all-maps"},
       "option \"--patch\" needs a ROM image"},
      {{"--compare", "a.gvm"}, compare},
      {{"--compare", "a.gvm", "b.gvm", "c.gvm"}, compare},
      {{"missing.bin", "--compare", "--all-maps"}, compare},
  };
  for (const auto& [args, message] : cases) {
    const ToolRun result = run(args, dir.path);
    EXPECT_EQ(result.status, 2) << message;
    EXPECT_EQ(result.output, "ERROR: " + message + "; see gorvtool --help\n");
  }
}

TEST_F(LongOptionsTest, AllMapsWritesWhatMapWritesAndKeepsExistingFiles) {
  const std::string one_by_one = dump_one_by_one(dir.path / "single");
  const std::size_t maps = map_files_in(dir.path / "single");
  ASSERT_GT(maps, 10u);

  // The sample has maps whose enemy layout is damaged: as with -map, their
  // files are written without it and the status is 1; -map alone does not
  // say what the files lack.
  const ToolRun all = run({"rom.bin", "--all-maps"}, dir.path);
  EXPECT_EQ(all.status, 1);
  EXPECT_EQ(all.output, with_losses_named(one_by_one) + std::to_string(maps) + " maps written\n");
  for (const auto& entry : fs::directory_iterator(dir.path / "single")) {
    if (entry.path().extension() == ".gvm") {
      EXPECT_EQ(read_file(entry.path()), read_file(dir.path / entry.path().filename()));
    }
  }

  // A second run keeps every file, edited or not.
  write_file(dir.path / "map4a.gvm", {1, 2, 3});
  const ToolRun again = run({"--all-maps", "rom.bin"}, dir.path);
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.output, "0 maps written\n" + std::to_string(maps) +
                              " map files already existed and were kept\n");
  EXPECT_EQ(read_file(dir.path / "map4a.gvm"), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(LongOptionsTest, AllMapsHonoursBlockAndGoesOnAfterAFailingMap) {
  const std::string one_by_one = dump_one_by_one(dir.path / "single", {"-block", "03"});
  // The sample's maps with a damaged enemy layout fail as with -map; the
  // run goes on and writes every map.
  const ToolRun all = run({"rom.bin", "-block", "03", "--all-maps"}, dir.path);
  EXPECT_EQ(all.status, 1);
  EXPECT_EQ(all.output, with_losses_named(one_by_one) +
                            std::to_string(map_files_in(dir.path / "single")) + " maps written\n");
  EXPECT_NE(all.output.find("ERROR: End of enemy header not found."), std::string::npos);
  EXPECT_EQ(map_files_in(dir.path / "single"), map_files_in(dir.path));
  EXPECT_EQ(read_file(dir.path / "single" / "map4a.gvm"), read_file(dir.path / "map4a.gvm"));
}

}  // namespace
}  // namespace gorv::test
