// --to-tiled and --from-tiled through the real binary: the round trip of
// every sample map, edits as Tiled stores them, every refusal, the guard.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "format/map_file.h"
#include "sample_rom/sample_rom.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

Json load(const fs::path& file) {
  const auto bytes = read_file(file);
  return Json::parse(bytes.begin(), bytes.end());
}
void save(const fs::path& file, const Json& json) {
  const std::string text = json.dump(1);
  write_file(file, std::vector<std::uint8_t>(text.begin(), text.end()));
}
Json& layer(Json& map, const std::string& name) {
  for (Json& l : map["layers"])
    if (l["name"] == name) return l;
  throw std::runtime_error("no layer " + name);
}
Json& object(Json& map, const std::string& layer_name, const std::string& name) {
  for (Json& o : layer(map, layer_name)["objects"])
    if (o["name"] == name) return o;
  throw std::runtime_error("no object " + name);
}
Json& property(Json& owner, const std::string& name) {
  for (Json& p : owner["properties"])
    if (p["name"] == name) return p["value"];
  throw std::runtime_error("no property " + name);
}

// The sample image's map files, dumped into `dir`.
std::vector<std::string> dump_sample_maps(const fs::path& dir) {
  write_file(dir / "sample.bin", sample::build_sample_rom());
  run_gorvtool({"sample.bin", "--all-maps"}, dir);  // (some sample maps cannot be dumped)
  std::vector<std::string> maps;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().extension() == ".gvm") maps.push_back(entry.path().filename().string());
  std::sort(maps.begin(), maps.end());
  return maps;
}

std::vector<std::string> with(std::string option, const std::vector<std::string>& files) {
  std::vector<std::string> args{std::move(option)};
  args.insert(args.end(), files.begin(), files.end());
  return args;
}

TEST(TiledRoundTrip, EverySampleMapComesBackByteForByte) {
  TempDir dir;
  const std::vector<std::string> maps = dump_sample_maps(dir.path);
  ASSERT_GT(maps.size(), 10u);
  const ToolRun to = run_gorvtool(with("--to-tiled", maps), dir.path);
  ASSERT_EQ(to.status, 0) << to.output;
  EXPECT_TRUE(to.output.ends_with("\n" + std::to_string(maps.size()) + " Tiled maps written\n"))
      << to.output;
  EXPECT_NE(to.output.find("\nWriting Tiled map as \"map4a.tmj\"...\n"), std::string::npos);
  for (const char* tileset : {"gorv-tiles.tsj", "gorv-blocks.tsj", "gorv-bytes.tsj"})
    EXPECT_TRUE(fs::exists(dir.path / tileset)) << tileset;

  // Back in another folder, where no map file is in the way.
  fs::create_directory(dir.path / "back");
  std::vector<std::string> tmjs;
  for (const std::string& map : maps) {
    const std::string tmj = fs::path(map).replace_extension(".tmj").string();
    fs::copy_file(dir.path / tmj, dir.path / "back" / tmj);
    tmjs.push_back(tmj);
  }
  const ToolRun from = run_gorvtool(with("--from-tiled", tmjs), dir.path / "back");
  ASSERT_EQ(from.status, 0) << from.output;
  EXPECT_EQ(from.output.substr(0, 32), "\nWriting map as \"map00.gvm\"...\n\n");
  for (const std::string& map : maps)
    EXPECT_EQ(read_file(dir.path / "back" / map), read_file(dir.path / map)) << map;

  // A file with a byte no reader reads comes back without it, as said.
  auto extra = read_file(dir.path / "map4a.gvm");
  extra.push_back(0x5A);
  write_file(dir.path / "extra.gvm", extra);
  const ToolRun warned = run_gorvtool({"--to-tiled", "extra.gvm"}, dir.path);
  EXPECT_EQ(warned.output,
            "WARNING: \"extra.gvm\" will come back as GorvTool writes map files; normalised: "
            "bytes after the last section\n\nWriting Tiled map as \"extra.tmj\"...\n1 Tiled map "
            "written\n");
  EXPECT_EQ(run_gorvtool({"--from-tiled", "extra.tmj"}, dir.path).status, 0);
  extra.pop_back();
  EXPECT_EQ(read_file(dir.path / "extra.gvm"), extra);

  // A second run keeps every .tmj: it may hold a designer's edits.
  const ToolRun again = run_gorvtool(with("--to-tiled", {maps[0]}), dir.path);
  EXPECT_EQ(again.output, "0 Tiled maps written\n1 Tiled map already existed and was kept\n");
}

// Runs --from-tiled on map4a.tmj changed by `edit` as case.tmj.
struct Edited {
  ToolRun run;
  std::vector<std::uint8_t> before, after;
};
class TiledEdits : public ::testing::Test {
 protected:
  void SetUp() override {
    maps_ = dump_sample_maps(dir_.path);
    ASSERT_EQ(run_gorvtool({"--to-tiled", "map4a.gvm"}, dir_.path).status, 0);
  }
  Edited from_tiled(const std::function<void(Json&)>& edit) {
    Json map = load(dir_.path / "map4a.tmj");
    edit(map);
    save(dir_.path / "case.tmj", map);
    fs::remove(dir_.path / "case.gvm");
    Edited result{run_gorvtool({"--from-tiled", "case.tmj"}, dir_.path),
                  read_file(dir_.path / "map4a.gvm"),
                  {}};
    if (fs::exists(dir_.path / "case.gvm")) result.after = read_file(dir_.path / "case.gvm");
    return result;
  }
  TempDir dir_;
  std::vector<std::string> maps_;
};

TEST_F(TiledEdits, EachEditChangesExactlyItsBytes) {
  const MapFile original = parse_map_file(read_file(dir_.path / "map4a.gvm")).file;
  const unsigned columns = original.values.width * 20u;
  const auto cell = [&](unsigned x, unsigned y) { return std::size_t{y} * columns + x; };
  // Squares: an empty one for the new block, one that holds a block.
  std::size_t empty = 0, full = 0;
  while (original.blocks[empty].type != 0) ++empty;
  while (original.blocks[full].type == 0) ++full;

  struct Case {
    const char* name;
    std::function<void(Json&)> edit;
    std::function<void(MapFile&)> expected;
  };
  const std::vector<Case> cases = {
      {"a tile painted", [&](Json& m) { layer(m, "tiles")["data"][cell(3, 2)] = 1 + 0x42; },
       [&](MapFile& f) { f.tiles[cell(3, 2)] = 0x42; }},
      {"a tile erased", [&](Json& m) { layer(m, "tiles")["data"][cell(5, 5)] = 0; },
       [&](MapFile& f) { f.tiles[cell(5, 5)] = 0; }},
      {"a block placed with data bytes",
       [&](Json& m) {
         layer(m, "blocks")["data"][empty] = 257 + 0x0A;
         layer(m, "data 1")["data"][empty] = 385 + 7;
         layer(m, "data 4")["data"][empty] = 385 + 0xFF;
       },
       [&](MapFile& f) {
         f.blocks[empty] = BlockCell{0x8A, 7, 0, 0, 0xFF};
       }},
      {"a block erased", [&](Json& m) { layer(m, "blocks")["data"][full] = 0; },
       [&](MapFile& f) { f.blocks[full] = BlockCell{}; }},
      {"start moved",
       [&](Json& m) {
         object(m, "positions", "start")["x"] = 100.4;
         object(m, "positions", "start")["y"] = 40;
       },
       [&](MapFile& f) {
         f.values.start_x = 100;
         f.values.start_y = 40;
       }},
      {"the map resized by one screen",
       [&](Json& m) {
         m["width"] = columns + 20;
         for (Json& l : m["layers"]) {
           if (l["type"] != "tilelayer") continue;
           Json data = Json::array();
           for (std::size_t i = 0; i < l["data"].size(); ++i) {
             data.push_back(l["data"][i]);
             if (i % columns == columns - 1)
               for (int n = 0; n < 20; ++n) data.push_back(0);
           }
           l["data"] = data;
           l["width"] = columns + 20;
         }
       },
       [&](MapFile& f) {
         const std::size_t rows = f.blocks.size() / columns;
         std::vector<std::uint8_t> tiles;
         std::vector<BlockCell> blocks;
         for (std::size_t y = 0; y < rows; ++y) {
           for (std::size_t x = 0; x < columns + 20; ++x) {
             tiles.push_back(x < columns ? f.tiles[y * columns + x] : 0);
             blocks.push_back(x < columns ? f.blocks[y * columns + x] : BlockCell{});
           }
         }
         tiles.insert(tiles.end(), f.tiles.begin() + static_cast<std::ptrdiff_t>(rows * columns),
                      f.tiles.end());
         f.tiles = tiles;
         f.blocks = blocks;
         ++f.values.width;
       }},
  };
  for (const Case& c : cases) {
    const Edited edited = from_tiled(c.edit);
    ASSERT_EQ(edited.run.status, 0) << c.name << "\n" << edited.run.output;
    MapFile expected = original;
    c.expected(expected);
    EXPECT_EQ(edited.after, serialize_map_file(expected)) << c.name;
  }

  // The last result, imported: the import reads every map back from the
  // new image and stops at any difference from its map file.
  fs::rename(dir_.path / "case.gvm", dir_.path / "map4a.gvm");
  const ToolRun imported = run_gorvtool({"sample.bin", "-import"}, dir_.path);
  ASSERT_EQ(imported.status, 0) << imported.output;
  // After "done!", the map's line names the new width.
  const std::size_t line = imported.output.find("\nmap 0x4A: ", imported.output.find("done!\n"));
  ASSERT_NE(line, std::string::npos) << imported.output;
  const std::string text =
      imported.output.substr(line, imported.output.find('\n', line + 1) - line);
  EXPECT_TRUE(text.ends_with("header changed (width)")) << text;
  EXPECT_EQ(imported.output.find("WARNING: map 0x4A: "), std::string::npos) << imported.output;
  // --all-maps of the imported image gives the edited map file back.
  fs::create_directory(dir_.path / "dump");
  fs::copy_file(dir_.path / "sample.bin", dir_.path / "dump" / "sample.bin");
  run_gorvtool({"sample.bin", "--all-maps"}, dir_.path / "dump");
  EXPECT_EQ(read_file(dir_.path / "dump" / "map4a.gvm"), read_file(dir_.path / "map4a.gvm"));
}

TEST_F(TiledEdits, EveryValueTheMapFileCannotHoldIsRefused) {
  const Json base = load(dir_.path / "map4a.tmj");
  const std::string cols = std::to_string(base["width"].get<unsigned>());
  const std::string rows = std::to_string(base["height"].get<unsigned>());
  const std::string screens_down = std::to_string(base["height"].get<unsigned>() / 14);
  struct Case {
    std::function<void(Json&)> edit;
    std::string message;  // after ERROR: "case.tmj":
  };
  const std::vector<Case> cases = {
      {[](Json& m) {
         m["tilesets"].push_back({{"firstgid", 1000}, {"source", "art\\other.tsj"}});
         layer(m, "tiles")["data"][m["width"].get<unsigned>() + 1] = 1000;
       },
       "layer \"tiles\", (1, 1): tile 1000 is of the tileset \"other.tsj\"; this layer takes "
       "tiles of \"gorv-tiles\""},
      {[](Json& m) { layer(m, "blocks")["data"][2] = 5; },
       "layer \"blocks\", (2, 0): tile 5 is of the tileset \"gorv-tiles.tsj\"; this layer takes "
       "tiles of \"gorv-blocks\""},
      {[](Json& m) { layer(m, "tiles")["data"][0] = 0x80000001u; },
       "layer \"tiles\", (0, 0): tile 2147483649 is flipped or rotated; a map file holds no "
       "flips"},
      {[](Json& m) { m["infinite"] = true; },
       "the map is infinite; in Tiled, untick Infinite in Map > Map Properties and save it "
       "again"},
      {[](Json& m) { m["width"] = m["width"].get<unsigned>() + 1; },
       "the map is " + std::to_string(base["width"].get<unsigned>() + 1) + " x " + rows +
           " cells, not whole screens of 20 x 14 cells"},
      {[](Json& m) { m["width"] = 52 * 20; },
       "the map is 52 x " + screens_down + " screens; the block layout holds at most 51 x 36"},
      {[](Json& m) { layer(m, "tiles")["name"] = "my tiles"; }, "there is no layer \"tiles\""},
      {[](Json& m) { m["layers"].push_back(layer(m, "blocks")); },
       "there are two layers named \"blocks\""},
      {[](Json& m) { object(m, "positions", "start")["name"] = "begin"; },
       "object \"start\": it is not in layer \"positions\""},
      {[](Json& m) { layer(m, "positions")["objects"].push_back(object(m, "positions", "end")); },
       "object \"end\": there are 2 of it; keep one"},
      {[](Json& m) { object(m, "positions", "start")["x"] = -20; },
       "object \"start\": its position (-20, " +
           std::to_string(object(const_cast<Json&>(base), "positions", "start")["y"].get<int>()) +
           ") is outside 0 to 65535"},
      {[](Json& m) { property(m, "attribute byte") = 256; },
       "property \"attribute byte\": is 256, more than 255"},
      {[](Json& m) { property(object(m, "enemies", "enemy 1"), "byte 0") = 300; },
       "object \"enemy 1\": property \"byte 0\" is 300, more than 255"},
      {[](Json& m) {
         Json& tiles = layer(m, "tiles");
         tiles["data"] = "KLUv/QBYAQAA";
         tiles["encoding"] = "base64";
         tiles["compression"] = "zstd";
       },
       "layer \"tiles\" is compressed with Zstandard; in Tiled, set Tile Layer Format in Map > "
       "Map Properties to CSV or Base64 (zlib) and save it again"},
      {[](Json& m) { property(m, "tiles past the grid") = "00 0G"; },
       "property \"tiles past the grid\": is not hexadecimal bytes"},
      {[](Json& m) {
         std::string hex;
         for (int n = 0; n < 65535; ++n) hex += "00 ";
         property(m, "tiles past the grid") = hex;
       },
       "the map file would be " +
           std::to_string(
               read_file(dir_.path / "map4a.gvm").size() + 65535 -
               (property(const_cast<Json&>(base), "tiles past the grid").get<std::string>().size() +
                1) /
                   3) +
           " bytes, more than 65535"},
  };
  for (const Case& c : cases) {
    const Edited edited = from_tiled(c.edit);
    EXPECT_EQ(edited.run.status, 1) << c.message;
    EXPECT_EQ(edited.run.output, "ERROR: \"case.tmj\": " + c.message + "\n");
    EXPECT_TRUE(edited.after.empty()) << c.message;
  }
  write_file(dir_.path / "case.tmx", {'<', '?', 'x', 'm', 'l', '>'});
  EXPECT_EQ(run_gorvtool({"--from-tiled", "case.tmx"}, dir_.path).output,
            "ERROR: \"case.tmx\": this is a .tmx map; in Tiled, use File > Export As and save it "
            "as a JSON map file (.tmj)\n");
}

TEST_F(TiledEdits, AMapFileChangedElsewhereIsNeverOverwritten) {
  // Two rounds of edits in Tiled, each written back.
  for (const int tile : {0x11, 0x22}) {
    Json map = load(dir_.path / "map4a.tmj");
    layer(map, "tiles")["data"][0] = 1 + tile;
    save(dir_.path / "map4a.tmj", map);
    const ToolRun run = run_gorvtool({"--from-tiled", "map4a.tmj"}, dir_.path);
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output, "\nWriting map as \"map4a.gvm\"...\n\n");
    EXPECT_EQ(read_file(dir_.path / "map4a.gvm")[28], tile);
  }
  // Then another editor changes the map file: the .tmj no longer stands for it.
  auto changed = read_file(dir_.path / "map4a.gvm");
  changed[29] ^= 1;
  write_file(dir_.path / "map4a.gvm", changed);
  const ToolRun refused = run_gorvtool({"--from-tiled", "map4a.tmj"}, dir_.path);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.output,
            "ERROR: \"map4a.gvm\" changed after \"map4a.tmj\" was made from it; "
            "nothing was written\n");
  EXPECT_EQ(read_file(dir_.path / "map4a.gvm"), changed);
}

}  // namespace
}  // namespace gorv::test
