// The .tmj form of a map file: every byte of what the map file writer
// produces survives, in every layer data encoding Tiled saves; what the
// writer changes of other files is named.
#include "format/tiled_map.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <nlohmann/json.hpp>
#include <random>

#include "rom/game_facts.h"
#include "support/map_file_maker.h"

namespace gorv::test {
namespace {

using Json = nlohmann::json;

// A map of random bytes everywhere the file keeps them.
MapFile random_map(std::mt19937& rng, std::uint8_t width, std::uint8_t size_byte,
                   std::uint8_t theme_byte, unsigned one_block_in = 3) {
  auto byte = [&] { return static_cast<std::uint8_t>(rng()); };
  MapFile map;
  map.values = {width, size_byte, byte(), theme_byte, 1, 2, 65535, 0};
  const std::uint64_t squares = grid_squares(width, size_byte);
  const std::uint64_t in_section = squares < 0x10000 ? squares : grid_size16(width, size_byte);
  map.tiles.resize(in_section + rng() % 4);
  for (auto& t : map.tiles) t = byte();
  map.blocks.resize(squares);
  for (auto& cell : map.blocks)
    if (rng() % one_block_in == 0)
      cell = BlockCell{static_cast<std::uint8_t>(0x80 | byte()), byte(), byte(), byte(), byte()};
  switch (background_form(theme_of(theme_byte))) {
    case BackgroundForm::list:
      map.background.resize(6 * (rng() % 5));
      for (auto& b : map.background) b = byte() & 0x7F;  // no word A of FFFF
      map.background.insert(map.background.end(), {0xFF, 0xFF});
      break;
    case BackgroundForm::fixed:
      map.background.resize(kFixedBackgroundSize);
      for (auto& b : map.background) b = byte();
      break;
    case BackgroundForm::none:
      break;
  }
  map.enemy.present = rng() % 4 != 0;
  if (map.enemy.present) {
    for (auto& b : map.enemy.art_load) b = byte();
    map.enemy.entries.resize(rng() % 6);
    for (auto& e : map.enemy.entries)
      for (auto& b : e) b = byte();
  }
  return map;
}

TEST(TiledMap, EveryByteOfWrittenMapFilesSurvives) {
  std::mt19937 rng(24);
  struct Shape {
    std::uint8_t width, size_byte, theme_byte;
  };
  // List, fixed and no background; extra rows and the theme byte's top
  // bits; a grid whose size wraps (235 screens).
  for (const Shape s :
       {Shape{1, 0x01, 0x02}, Shape{3, 0xC2, 0xF5}, Shape{2, 0x41, 0x0B}, Shape{47, 0x05, 0x31}}) {
    // (The wide map's blocks sparse enough for its file to stay below 64 KiB.)
    const MapFile map = random_map(rng, s.width, s.size_byte, s.theme_byte, s.width > 40 ? 999 : 3);
    const std::vector<std::uint8_t> bytes = serialize_map_file(map);
    const TiledRead read = read_tiled_map(tiled_map_text(map, 0x12345678));
    ASSERT_TRUE(read.ok) << int(read.refusal.problem) << " " << read.refusal.name;
    EXPECT_EQ(serialize_map_file(read.map), bytes) << int(s.width);
    EXPECT_TRUE(read.has_source_crc);
    EXPECT_EQ(read.source_crc, 0x12345678u);
  }
}

// The tiles layer of a map in the other encodings Tiled saves.
TEST(TiledMap, LayerDataIsReadInEveryEncodingTiledSaves) {
  std::mt19937 rng(7);
  const MapFile map = random_map(rng, 1, 0x01, 0x00);
  Json json = Json::parse(tiled_map_text(map, 0));
  Json& tiles = json["layers"][0];
  std::string raw;
  for (const Json& gid : tiles["data"])
    for (int shift = 0; shift < 32; shift += 8)
      raw += static_cast<char>(gid.get<std::uint32_t>() >> shift);
  auto base64 = [](const std::string& bytes) {
    static const char* k = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
      std::uint32_t n = static_cast<std::uint8_t>(bytes[i]) << 16;
      if (i + 1 < bytes.size()) n |= static_cast<std::uint8_t>(bytes[i + 1]) << 8;
      if (i + 2 < bytes.size()) n |= static_cast<std::uint8_t>(bytes[i + 2]);
      for (std::size_t k2 = 0; k2 < 4; ++k2)
        out += i + k2 <= bytes.size() ? k[(n >> (18 - 6 * k2)) & 63] : '=';
    }
    return out;
  };
  auto deflated = [&](int window_bits) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, window_bits, 8, Z_DEFAULT_STRATEGY);
    std::string out(raw.size() + 1024, '\0');
    z.next_in = reinterpret_cast<Bytef*>(raw.data());
    z.avail_in = static_cast<uInt>(raw.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
  };
  const std::vector<std::uint8_t> expected = serialize_map_file(map);
  for (const auto& [compression, packed] : {std::pair<std::string, std::string>{"", raw},
                                            {"zlib", deflated(15)},
                                            {"gzip", deflated(15 + 16)}}) {
    tiles["encoding"] = "base64";
    tiles["compression"] = compression;
    tiles["data"] = base64(packed);
    const TiledRead read = read_tiled_map(json.dump());
    ASSERT_TRUE(read.ok) << compression;
    EXPECT_EQ(serialize_map_file(read.map), expected) << compression;
    // One cell short is damage, never a map.
    tiles["data"] =
        base64(compression.empty() ? raw.substr(4) : packed.substr(0, packed.size() / 2));
    const TiledRead cut = read_tiled_map(json.dump());
    EXPECT_FALSE(cut.ok);
    EXPECT_EQ(cut.refusal.problem, TiledProblem::layer_data) << compression;
  }
}

TEST(TiledMap, WhatTheWriterNormalisesIsNamed) {
  MapFileParts parts;  // one screen, theme 0, empty sections
  parts.tile.assign(280, 1);
  parts.block = empty_block_section(280);
  const std::vector<std::uint8_t> sound = make_map_file(parts);
  EXPECT_TRUE(normalised_parts(sound, parse_map_file(sound).file).empty());

  parts.block = {0x00, 0x7F, 0x7F, 0x06};  // 17 + 128 + 128 + 7 squares, split otherwise
  parts.block.insert(parts.block.begin() + 1, 16, 0x00);
  parts.enemy = {0, 0, 0, 0, 0, 0, 0, 0xEE};  // no entries, one byte after them
  std::vector<std::uint8_t> file = make_map_file(parts);
  file.push_back(0x99);
  using N = NormalisedPart;
  EXPECT_EQ(normalised_parts(file, parse_map_file(file).file),
            (std::vector<N>{N::block_runs, N::enemy_bytes, N::after_end}));
  parts.earlier_layout = true;
  parts.block.assign(5 * 280, 0);
  file = make_map_file(parts);
  EXPECT_EQ(normalised_parts(file, parse_map_file(file).file), std::vector<N>{N::earlier_layout});
}

}  // namespace
}  // namespace gorv::test
