// The import timing's scene and its I/O baseline, as whole processes:
//   import_scene make DIR   writes DIR/rom.bin (2 MiB) and map files for all
//                           126 maps of 4 x 3 screens with tile-like data.
//                           The image holds a sound level directory of its
//                           own at the game's place, so that the import
//                           reads real maps before it: every second map as
//                           its map file holds it, the others different;
//   import_scene io DIR     does only the I/O an import cannot avoid: reads
//                           the 126 map files and the image, then writes and
//                           flushes two copies of a 2 MiB image beside it.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "codec/lz_encoder.h"
#include "common/byte_order.h"
#include "common/file_io.h"
#include "format/map_file.h"
#include "import/level_directory.h"
#include "import/map_file_reader.h"
#include "rom/map_header.h"
#include "support/map_file_maker.h"
#include "support/temp_dir.h"

namespace {

// The maps' layouts placed as an import places them, then moved down to
// the game's own directory, every address with them.
bool place_game_directory(std::vector<std::uint8_t>& image,
                          const std::vector<std::vector<std::uint8_t>>& files) {
  std::vector<gorv::MapRecord> records;
  gorv::LzScratch scratch;
  for (std::size_t map = 0; map < files.size(); ++map) {
    gorv::MapRecord& record = records.emplace_back();
    record.map = static_cast<std::uint8_t>(map);
    if (gorv::read_map_file(files[map], record)) return false;
    record.tile = gorv::lz_compress(record.tile_layout, scratch);
  }
  std::vector<std::uint8_t> placed(gorv::kImportedLevelDirectory, 0);
  gorv::Report report;
  const std::uint64_t end = gorv::write_level_directory(report, records, placed);
  constexpr std::uint32_t kDown = gorv::kImportedLevelDirectory - gorv::kLevelDirectory;
  if (end - kDown > gorv::kImportedLevelDirectory) return false;
  auto move_down = [&](std::uint64_t at) {
    gorv::set_be32(placed, static_cast<std::size_t>(at), gorv::get_be32(placed, at) - kDown);
  };
  move_down(gorv::kImportedLevelDirectory + gorv::kLevelOrderPointerField);
  for (const gorv::MapRecord& record : records) {
    const std::uint64_t header =
        gorv::map_header_offset(placed, record.map, gorv::kImportedDirectory);
    for (const std::size_t field : {gorv::kTileAddressField, gorv::kBlockAddressField,
                                    gorv::kBackgroundAddressField, gorv::kEnemyAddressField})
      move_down(header + field);
    move_down(gorv::get_be32(placed, header + gorv::kEnemyAddressField) + kDown);
  }
  std::copy(placed.begin() + gorv::kImportedLevelDirectory,
            placed.begin() + static_cast<std::ptrdiff_t>(end),
            image.begin() + gorv::kLevelDirectory);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: import_scene make|io DIR\n");
    return 2;
  }
  const std::string dir = argv[2];
  const std::string rom_path = dir + "/rom.bin";
  if (std::strcmp(argv[1], "make") == 0) {
    std::vector<std::uint8_t> image(0x200000, 0xFF);
    for (std::size_t i = 0; i < 0x100000; ++i) image[i] = static_cast<std::uint8_t>(i * 13 + 1);
    std::vector<std::vector<std::uint8_t>> game_maps;
    for (int map = 0; map < gorv::kMapCount; ++map) {
      const auto seed = static_cast<std::uint32_t>(1000 + map);
      const auto file = gorv::test::make_map_file(gorv::test::generated_map(4, 3, seed));
      gorv::test::write_file(dir + "/" + gorv::map_file_name(static_cast<std::uint8_t>(map)), file);
      game_maps.push_back(
          map % 2 == 0 ? file
                       : gorv::test::make_map_file(gorv::test::generated_map(4, 3, seed + 5000)));
    }
    if (!place_game_directory(image, game_maps)) return 1;
    gorv::test::write_file(rom_path, image);
    return 0;
  }
  std::vector<std::uint8_t> bytes;
  std::size_t total = 0;
  for (int map = 0; map < gorv::kMapCount; ++map) {
    if (!gorv::read_whole_file(dir + "/" + gorv::map_file_name(static_cast<std::uint8_t>(map)),
                               bytes))
      return 1;
    total += bytes.size();
  }
  std::vector<std::uint8_t> image;
  if (!gorv::read_whole_file(rom_path, image)) return 1;
  image.resize(0x200000, 0xFF);
  for (const char* copy : {"/io-copy-1.bin", "/io-copy-2.bin"}) {
    gorv::OutputFile out;
    if (!gorv::open_output_file(out, dir + copy) || !gorv::commit_output_file(out, image)) return 1;
  }
  return total == 0 ? 1 : 0;
}
