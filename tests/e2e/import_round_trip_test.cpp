// The real binary: dump every map of the sample ROM image, import the map
// files into a copy, and read the new level directory back independently.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "sample_rom/sample_rom.h"
#include "support/imported_map_check.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

namespace fs = std::filesystem;
using test::read_file;
using test::run_gorvtool;
using test::TempDir;
using test::write_file;
using ByteVector = std::vector<std::uint8_t>;
using namespace test::imported;

struct Scene {
  TempDir dir;
  ByteVector original;
  std::vector<int> dumped;  // maps whose files the import takes
};

// Writes the sample image and dumps every map that has a header.
void dump_all(Scene& scene) {
  scene.original = sample::build_sample_rom();
  write_file(scene.dir.path / "sample.bin", scene.original);
  for (int map = 0; map < 126; ++map) {
    char number[3];
    std::snprintf(number, sizeof number, "%02X", map);
    run_gorvtool({"sample.bin", "-map", number}, scene.dir.path);
    char name[16];
    std::snprintf(name, sizeof name, "map%02x.gvm", map);
    const fs::path path = scene.dir.path / name;
    if (!fs::exists(path)) continue;
    scene.dumped.push_back(map);
  }
}

class ImportRoundTrip : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scene_ = new Scene;
    dump_all(*scene_);
  }
  static void TearDownTestSuite() {
    delete scene_;
    scene_ = nullptr;
  }
  static Scene* scene_;
};
Scene* ImportRoundTrip::scene_ = nullptr;

TEST_F(ImportRoundTrip, EveryMapComesBackThroughTheNewDirectory) {
  Scene& scene = *scene_;
  ASSERT_GE(scene.dumped.size(), 10u);
  write_file(scene.dir.path / "copy.bin", scene.original);
  const auto run = run_gorvtool({"copy.bin", "-import"}, scene.dir.path);
  ASSERT_EQ(0, run.status) << run.output;
  EXPECT_NE(std::string::npos, run.output.find("\nfreeing data...\ndone!\n")) << run.output;
  const ByteVector image = read_file(scene.dir.path / "copy.bin");
  ASSERT_EQ(0u, image.size() % 0x100000);
  ASSERT_GT(image.size(), 0x100170u);

  // The directory and the base references.
  EXPECT_EQ(0u, be32(image, 0x100000));
  EXPECT_EQ(0x00100104u, be32(image, 0x100004));
  for (std::size_t at : {0x000690, 0x0006B8, 0x011A50, 0x019AF8})
    EXPECT_EQ(0x00100000u, be32(image, at));
  for (std::size_t at : {0x00236C, 0x00BCD2, 0x011A38, 0x011AC8, 0x011D6E, 0x011DE0, 0x014C3C,
                         0x019AE0, 0x03051A, 0x03075C, 0x0307E4})
    EXPECT_EQ(0x00100004u, be32(image, at));
  for (std::size_t at : {0x011A44, 0x019AEC}) EXPECT_EQ(0x00100008u, be32(image, at));
  EXPECT_EQ(image.size() - 1, be32(image, 0x1A4));
  EXPECT_EQ(checksum_of(image), be16(image, 0x18E));

  // Below the directory nothing but the references and the header fields changed.
  std::size_t changed = 0;
  for (std::size_t i = 0; i < 0x100000; ++i) changed += image[i] != scene.original[i];
  EXPECT_LE(changed, 17u * 4 + 6);

  std::uint16_t expected_offset = 0x154;
  for (int map = 0; map < 126; ++map) {
    SCOPED_TRACE("map " + std::to_string(map));
    const bool present =
        std::find(scene.dumped.begin(), scene.dumped.end(), map) != scene.dumped.end();
    const std::uint16_t offset = be16(image, 0x100008 + 2 * map);
    if (!present) {
      EXPECT_EQ(0, offset);
      continue;
    }
    expected_offset = static_cast<std::uint16_t>(expected_offset + 28);
    ASSERT_EQ(expected_offset, offset);
    const std::size_t header = 0x100000 + offset;
    // Header bytes 0-11 are those of the original map header.
    const std::size_t old_header = 0x4033A + be16(scene.original, 0x40342 + 2 * map);
    EXPECT_EQ(slice(scene.original, old_header, 12), slice(image, header, 12));
    char name[16];
    std::snprintf(name, sizeof name, "map%02x.gvm", map);
    expect_layouts_imported(image, header, parse_map_file(scene.dir.path / name));
  }

  // The same files imported again give the same image; the first import
  // alone keeps the original image.
  const auto again = run_gorvtool({"copy.bin", "-import"}, scene.dir.path);
  ASSERT_EQ(0, again.status) << again.output;
  EXPECT_EQ(image, read_file(scene.dir.path / "copy.bin"));
  // Up to "done!", the same output; then the second says that no map
  // changed.
  std::string first = run.output;
  const std::string original = "\noriginal image kept as \"copy.bin.orig\"";
  ASSERT_NE(std::string::npos, first.find(original));
  first.erase(first.find(original), original.size());
  const std::size_t done = first.find("\ndone!\n") + 7;
  EXPECT_EQ(first.substr(0, done), again.output.substr(0, done));
  EXPECT_NE(std::string::npos, again.output.find(" maps imported: 0 changed, ", done - 1))
      << again.output;
}

// The blocks of map `map` in the imported image, read independently, that
// differ from its map file as far as the stream stores them; its (x, y).
std::vector<std::pair<unsigned, unsigned>> real_differences(const ByteVector& image, int map,
                                                            const test::imported::MapFile& f) {
  const std::size_t header = 0x100000 + be16(image, 0x100008 + 2 * map);
  const std::uint8_t width = image[header];
  const auto grid = static_cast<std::uint16_t>(width * (image[header + 1] & 0x3F) * 280);
  OutputBuffer out;
  reset(out, 0);
  test::decode_block_layout(image, be32(image, header + 16), width, grid, 0xFF, out);
  const auto before = section_squares(f.section(f.block, f.background), f.current);
  const auto after = section_squares(ByteVector(contents(out).begin(), contents(out).end()));
  // A line for a square whose type differs; else one for each data byte
  // the type stores that differs, and one for the bytes it does not store
  // when any of them differs.
  std::vector<std::pair<unsigned, unsigned>> found;
  for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
    const std::pair<unsigned, unsigned> at(static_cast<unsigned>(i % (width * 20u)),
                                           static_cast<unsigned>(i / (width * 20u)));
    if (before[i][0] != after[i][0]) {
      found.push_back(at);
      continue;
    }
    const auto kept = stored({before[i][0], 0xFF, 0xFF, 0xFF, 0xFF});
    bool unstored = false;
    for (std::size_t k = 1; k < 5; ++k) {
      if (before[i][k] == after[i][k]) continue;
      if (kept[k] != 0)
        found.push_back(at);
      else
        unstored = true;
    }
    if (unstored) found.push_back(at);
  }
  return found;
}

// What the import's warnings say of one map.
struct Warned {
  std::vector<std::pair<unsigned, unsigned>> squares;
  unsigned more = 0;
  bool background = false;
  bool no_enemy_section = false;
  std::string lines;
};

// Every warning of the untouched dumps names a square, or the enemy
// section, that really comes back otherwise from the imported image; and
// --check says the same of the same files.
TEST_F(ImportRoundTrip, EveryWarningNamesARealDifference) {
  Scene& scene = *scene_;
  write_file(scene.dir.path / "warned.bin", scene.original);
  const auto run = run_gorvtool({"warned.bin", "-import"}, scene.dir.path);
  ASSERT_EQ(0, run.status) << run.output;
  const ByteVector image = read_file(scene.dir.path / "warned.bin");

  std::map<int, Warned> warned;
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) {
    unsigned map = 0, x = 0, y = 0, count = 0;
    int used = 0;
    if (std::sscanf(line.c_str(), "WARNING: map 0x%2X: %n", &map, &used) != 1 || used == 0)
      continue;
    Warned& w = warned[static_cast<int>(map)];
    w.lines += line + "\n";
    const std::string rest = line.substr(static_cast<std::size_t>(used));
    if (std::sscanf(rest.c_str(), "(%u, %u): ", &x, &y) == 2)
      w.squares.emplace_back(x, y);
    else if (std::sscanf(rest.c_str(), "%u more difference", &count) == 1)
      w.more = count;
    else if (rest == "the game reads another background layout than the file holds")
      w.background = true;
    else
      w.no_enemy_section =
          rest == "the file has no enemy section; the game reads an empty enemy list";
  }
  EXPECT_FALSE(warned.empty());

  std::vector<std::string> files = {"--check"};
  std::string expected_check;
  for (const int map : scene.dumped) {
    SCOPED_TRACE("map " + std::to_string(map));
    char name[16];
    std::snprintf(name, sizeof name, "map%02x.gvm", map);
    const test::imported::MapFile f = parse_map_file(scene.dir.path / name);
    const auto real = real_differences(image, map, f);
    const Warned& w = warned[map];
    const bool no_enemy_section = f.end == f.enemy;
    // A list that starts with the indirect marker is read as an indirect
    // header: the game reads other entries than the file's.
    const bool list_theme = ((0x556 >> (f.bytes.at(9) & 0x0F)) & 1) != 0;
    const bool background = list_theme && f.enemy - f.background >= 2 &&
                            f.bytes[f.background] == 0x80 && f.bytes[f.background + 1] == 0;
    const std::size_t problems = real.size() + background + no_enemy_section;
    const std::size_t named = std::min<std::size_t>(real.size(), 8);
    EXPECT_EQ(std::vector(real.begin(), real.begin() + static_cast<std::ptrdiff_t>(named)),
              w.squares);
    EXPECT_EQ(problems - std::min<std::size_t>(problems, 8), w.more);
    EXPECT_EQ(background && real.size() < 8, w.background);
    EXPECT_EQ(no_enemy_section && real.size() + background < 8, w.no_enemy_section);

    files.push_back(name);
    std::string check = w.lines;
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "map 0x%02X: ", map);
    for (std::size_t at; (at = check.find(prefix)) != std::string::npos;)
      check.replace(at, std::strlen(prefix), "\"" + std::string(name) + "\": ");
    expected_check += check + (problems == 0 ? "\"" + std::string(name) + "\": no problems\n"
                                             : "ERROR: \"" + std::string(name) +
                                                   "\": " + std::to_string(problems) +
                                                   (problems == 1 ? " problem\n" : " problems\n"));
  }
  const auto checked = run_gorvtool(files, scene.dir.path);
  EXPECT_EQ(1, checked.status);
  EXPECT_EQ(expected_check, checked.output);
}

TEST_F(ImportRoundTrip, DamagedFilesLeaveTheImageUnchanged) {
  Scene& scene = *scene_;
  ASSERT_FALSE(scene.dumped.empty());
  char name[16];
  std::snprintf(name, sizeof name, "map%02x.gvm", scene.dumped.back());
  const ByteVector good = read_file(scene.dir.path / name);
  write_file(scene.dir.path / "victim.bin", scene.original);

  std::vector<std::pair<std::string, ByteVector>> cases;
  for (std::size_t cut :
       {std::size_t{3}, std::size_t{20}, std::size_t{28}, good.size() / 2, good.size() - 1})
    cases.emplace_back("cut at " + std::to_string(cut),
                       ByteVector(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)));
  ByteVector disorder = good;
  std::swap(disorder[20], disorder[22]);
  std::swap(disorder[21], disorder[23]);
  if (disorder != good) cases.emplace_back("offsets out of order", disorder);
  ByteVector no_width = good;
  no_width[6] = 0;
  cases.emplace_back("width 0", no_width);

  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    write_file(scene.dir.path / name, bytes);
    const auto run = run_gorvtool({"victim.bin", "-import"}, scene.dir.path);
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos,
              run.output.find("ERROR: map file \"" + std::string(name) + "\" is damaged\n  "))
        << run.output;
    EXPECT_EQ(scene.original, read_file(scene.dir.path / "victim.bin"));
  }
  write_file(scene.dir.path / name, good);
}

}  // namespace
}  // namespace gorv
