// The .tmj files as Tiled itself reads and saves them: Debian's `tiled` and
// `tmxrasterizer`, run headless. Linux only (`make test-windows` leaves these
// out); without the programs they skip, except under CI.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "picture/picture.h"
#include "sample_rom/sample_rom.h"
#include "support/png_pixels.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

namespace fs = std::filesystem;

// Runs a shell command in `dir` with Qt's offscreen platform; true on exit 0.
bool run_in(const fs::path& dir, const std::string& command) {
  const std::string line = "cd '" + dir.string() + "' && QT_QPA_PLATFORM=offscreen " + command +
                           " >/dev/null 2>&1 </dev/null";
  return std::system(line.c_str()) == 0;
}

bool tiled_installed() {
  return std::system(
             "command -v tiled >/dev/null 2>&1 && "
             "command -v tmxrasterizer >/dev/null 2>&1") == 0;
}

class TiledItself : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tiled_installed()) {
      if (std::getenv("CI") != nullptr) FAIL() << "tiled and tmxrasterizer are needed under CI";
      GTEST_SKIP() << "tiled or tmxrasterizer is not installed";
    }
    write_file(dir_.path / "sample.bin", sample::build_sample_rom());
    run_gorvtool({"sample.bin", "--all-maps"}, dir_.path);  // (some sample maps cannot be dumped)
    std::vector<std::string> args{"--to-tiled"};
    for (const auto& entry : fs::directory_iterator(dir_.path)) {
      if (entry.path().extension() != ".gvm") continue;
      stems_.push_back(entry.path().stem().string());
      args.push_back(entry.path().filename().string());
    }
    ASSERT_GT(stems_.size(), 10u);
    const ToolRun run = run_gorvtool(args, dir_.path);
    ASSERT_EQ(run.status, 0) << run.output;
  }
  TempDir dir_;
  std::vector<std::string> stems_;
};

// Tiled saves each map its own way (in a folder of its own, so its
// tileset references become "../gorv-tiles.tsj"); the map file comes back.
TEST_F(TiledItself, MapsSavedByTiledComeBackByteForByte) {
  for (const char* folder : {"json", "tmx"}) fs::create_directory(dir_.path / folder);
  for (const std::string& stem : stems_) {
    const std::string tmj = stem + ".tmj";
    ASSERT_TRUE(run_in(dir_.path, "tiled --export-map json " + tmj + " json/" + tmj)) << stem;
    ASSERT_TRUE(run_in(dir_.path, "tiled --export-map tmx " + tmj + " tmx/" + stem + ".tmx"));
    ASSERT_TRUE(run_in(dir_.path / "tmx", "tiled --export-map json " + stem + ".tmx " + tmj));
  }
  for (const char* folder : {"json", "tmx"}) {
    std::vector<std::string> args{"--from-tiled"};
    for (const std::string& stem : stems_) args.push_back(stem + ".tmj");
    const ToolRun run = run_gorvtool(args, dir_.path / folder);
    ASSERT_EQ(run.status, 0) << folder << "\n" << run.output;
    for (const std::string& stem : stems_)
      EXPECT_EQ(read_file(dir_.path / folder / (stem + ".gvm")),
                read_file(dir_.path / (stem + ".gvm")))
          << folder << " " << stem;
  }
}

// tmxrasterizer draws each square with its tile of the tileset picture:
// the tilesets load.
TEST_F(TiledItself, TheTilesetPicturesLoad) {
  const Picture tileset = read_png(read_file(dir_.path / "gorv-tiles.png"));
  ASSERT_EQ(tileset.width, 256u);
  for (const std::string& stem : stems_) {
    ASSERT_TRUE(
        run_in(dir_.path, "tmxrasterizer --show-layer tiles " + stem + ".tmj " + stem + ".png"));
    const Picture picture = read_png(read_file(dir_.path / (stem + ".png")));
    const auto map = read_file(dir_.path / (stem + ".gvm"));
    const unsigned columns = map[6] * 20u;
    const unsigned rows = (map[7] & 0x3Fu) * 14u;
    ASSERT_EQ(picture.width, columns * 16) << stem;
    ASSERT_EQ(picture.height, rows * 16) << stem;
    unsigned wrong = 0;
    for (unsigned y = 0; y < picture.height; ++y) {
      for (unsigned x = 0; x < picture.width; ++x) {
        const std::uint8_t tile = map[28 + (y / 16) * columns + x / 16];
        const unsigned tx = tile % 16 * 16 + x % 16;
        const unsigned ty = tile / 16 * 16 + y % 16;
        if (!(pixel_at(picture, x, y) == pixel_at(tileset, tx, ty))) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0u) << stem;
  }
}

}  // namespace
}  // namespace gorv::test
