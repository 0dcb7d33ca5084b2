// The real binary on an imported image: --all-maps writes the maps the game
// loads, so that a dump, an import and a dump again give back what the
// import stored; -map and -info say they show the original levels.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "format/map_file.h"
#include "sample_rom/sample_rom.h"
#include "support/imported_map_check.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

namespace fs = std::filesystem;
using test::read_file;
using test::run_gorvtool;
using test::write_file;
using ByteVector = std::vector<std::uint8_t>;
using Files = std::map<std::string, ByteVector>;

// Writes `image` as game.bin into the new folder `dir`, runs --all-maps
// there and returns the map files written.
Files dump_all(const fs::path& dir, const ByteVector& image) {
  fs::create_directory(dir);
  write_file(dir / "game.bin", image);
  run_gorvtool({"game.bin", "--all-maps"}, dir);
  Files files;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().extension() == ".gvm")
      files[entry.path().filename().string()] = read_file(entry.path());
  return files;
}

// Imports the map files of `dir` into its game.bin; returns the names of
// the map files that the import's read-back warnings are about.
std::set<std::string> import_in(const fs::path& dir) {
  const auto run = run_gorvtool({"game.bin", "-import"}, dir);
  EXPECT_EQ(0, run.status) << run.output;
  std::set<std::string> warned;
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) {
    unsigned map = 0;
    int used = 0;
    if (std::sscanf(line.c_str(), "WARNING: map 0x%2X: %n", &map, &used) == 1 && used > 0)
      warned.insert(map_file_name(static_cast<std::uint8_t>(map)));
  }
  return warned;
}

TEST(ImportedImageDump, AllMapsGivesBackWhatTheImportStored) {
  test::TempDir dir;
  const Files first = dump_all(dir.path / "first", sample::build_sample_rom());
  ASSERT_GE(first.size(), 10u);
  const std::set<std::string> warned = import_in(dir.path / "first");
  ASSERT_FALSE(warned.empty());

  // The same maps come back through the imported directory: those the
  // import did not warn about byte for byte, the others otherwise.
  const Files second = dump_all(dir.path / "second", read_file(dir.path / "first" / "game.bin"));
  ASSERT_EQ(first.size(), second.size());
  for (const auto& [name, bytes] : first) {
    SCOPED_TRACE(name);
    ASSERT_EQ(1u, second.count(name));
    EXPECT_EQ(warned.count(name) == 0, bytes == second.at(name));
  }

  // What came back is what the game loads: imported again it draws no
  // warning and dumps as it is, and a further import changes nothing.
  EXPECT_TRUE(import_in(dir.path / "second").empty());
  const ByteVector image = read_file(dir.path / "second" / "game.bin");
  EXPECT_EQ(second, dump_all(dir.path / "third", image));
  EXPECT_TRUE(import_in(dir.path / "third").empty());
  EXPECT_EQ(image, read_file(dir.path / "third" / "game.bin"));
}

TEST(ImportedImageDump, MapAndInfoSayOnceThatTheyShowTheOriginalLevels) {
  test::TempDir dir;
  dump_all(dir.path, sample::build_sample_rom());
  import_in(dir.path);
  const ByteVector imported = read_file(dir.path / "game.bin");
  const std::string warning =
      "WARNING: \"game.bin\" was imported: -map and -info show the game's original level data, "
      "not the imported maps; --all-maps writes the imported maps\n";
  for (const std::vector<std::string>& args : {std::vector<std::string>{"game.bin", "-map", "2D"},
                                               {"game.bin", "-info", "02"},
                                               {"game.bin", "-map", "2D", "-info", "02"},
                                               {"game.bin", "-info", "02", "-theme", "03"}}) {
    SCOPED_TRACE(args[1] + " " + args.back());
    const test::TempDir plain_dir, imported_dir;
    write_file(plain_dir.path / "game.bin", sample::build_sample_rom());
    write_file(imported_dir.path / "game.bin", imported);
    const auto plain = run_gorvtool(args, plain_dir.path);
    const auto after_import = run_gorvtool(args, imported_dir.path);
    EXPECT_EQ(std::string::npos, plain.output.find("was imported"));
    EXPECT_EQ(plain.status, after_import.status);
    EXPECT_EQ(warning + plain.output, after_import.output);
    if (args[1] == "-map") {
      EXPECT_EQ(read_file(plain_dir.path / "map2d.gvm"),
                read_file(imported_dir.path / "map2d.gvm"));
    }
  }
}

}  // namespace
}  // namespace gorv
