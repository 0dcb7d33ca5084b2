// The whole import of 126 maps, against the same import with the literal
// LZ search in place of the fast one, and against just reading and writing
// the image.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "codec/lz_encoder.h"
#include "common/file_io.h"
#include "import/image_finish.h"
#include "import/import_check.h"
#include "import/importer.h"
#include "import/level_directory.h"
#include "rom/map_header.h"
#include "support/lz_literal_search.h"
#include "support/map_file_maker.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// A directory with a 2 MiB image and map files for all 126 maps of 4 x 3
// screens with tile-like data.
struct ImportScene {
  gorv::test::TempDir dir;
  std::string rom_path;

  ImportScene() {
    rom_path = (dir.path / "rom.bin").string();
    std::vector<std::uint8_t> image(0x200000, 0xFF);
    for (std::size_t i = 0; i < 0x100000; ++i) image[i] = static_cast<std::uint8_t>(i * 13 + 1);
    gorv::test::write_file(rom_path, image);
    for (int map = 0; map < gorv::kMapCount; ++map) {
      const auto parts = gorv::test::generated_map(4, 3, static_cast<std::uint32_t>(1000 + map));
      gorv::test::write_file(dir.path / gorv::map_file_name(static_cast<std::uint8_t>(map)),
                             gorv::test::make_map_file(parts));
    }
  }
};

gorv::RomImage load(const std::string& path) {
  gorv::RomImage rom;
  gorv::read_whole_file(path, rom.bytes);
  return rom;
}

void BM_ImportAllMaps(benchmark::State& state) {
  ImportScene scene;
  for (auto _ : state) {
    const gorv::RomImage rom = load(scene.rom_path);
    if (!gorv::import_maps(rom, scene.rom_path, scene.dir.path.string()).replaced)
      state.SkipWithError("the import failed");
  }
  state.SetLabel("126 maps of 4 x 3 screens");
}

// The import in memory, through the import's own steps: reading the map
// files and packing their layouts, building the new image; no file is
// written.
std::vector<std::uint8_t> build_in_memory(const ImportScene& scene, const gorv::RomImage& rom,
                                          std::vector<gorv::MapRecord>& records) {
  gorv::Report report;
  gorv::read_map_files(report, scene.dir.path.string(), records);
  std::vector<std::uint8_t> image = rom.bytes;
  gorv::write_level_directory(report, records, image);
  gorv::finish_image(report, image);
  return image;
}

// The same with the tile layouts packed again by the literal search: what
// the fast encoder saves the import.
void BM_ImportAllMapsLiteralSearch(benchmark::State& state) {
  ImportScene scene;
  const gorv::RomImage rom = load(scene.rom_path);
  for (auto _ : state) {
    gorv::Report report;
    std::vector<gorv::MapRecord> records;
    if (!gorv::read_map_files(report, scene.dir.path.string(), records)) {
      state.SkipWithError("a map file cannot be read");
      break;
    }
    for (auto& record : records)
      record.tile = gorv::lz_pack(gorv::test::lz_encode_literal(record.tile_layout));
    std::vector<std::uint8_t> image = rom.bytes;
    gorv::write_level_directory(report, records, image);
    gorv::finish_image(report, image);
    benchmark::DoNotOptimize(image);
  }
  state.SetLabel("126 maps of 4 x 3 screens, no files written");
}

void BM_ImportInMemory(benchmark::State& state) {
  ImportScene scene;
  const gorv::RomImage rom = load(scene.rom_path);
  for (auto _ : state) {
    std::vector<gorv::MapRecord> records;
    benchmark::DoNotOptimize(build_in_memory(scene, rom, records));
  }
  state.SetLabel("126 maps of 4 x 3 screens, no files written");
}

// The import's check of its own work, on the image built above.
void BM_ImportSelfCheck(benchmark::State& state) {
  ImportScene scene;
  const gorv::RomImage rom = load(scene.rom_path);
  std::vector<gorv::MapRecord> records;
  const std::vector<std::uint8_t> image = build_in_memory(scene, rom, records);
  for (auto _ : state) {
    if (gorv::check_import(image, records)) state.SkipWithError("a map did not survive packing");
  }
  state.SetLabel("126 maps of 4 x 3 screens");
}

void BM_ReadAndWriteImage(benchmark::State& state) {
  ImportScene scene;
  for (auto _ : state) {
    const gorv::RomImage rom = load(scene.rom_path);
    gorv::OutputFile out;
    if (!gorv::open_output_file(out, scene.rom_path) ||
        !gorv::commit_output_file(out, rom.bytes, scene.rom_path))
      state.SkipWithError("cannot write the image");
  }
  state.SetLabel("2 MiB");
}

}  // namespace

BENCHMARK(BM_ImportAllMaps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportAllMapsLiteralSearch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndWriteImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportInMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportSelfCheck)->Unit(benchmark::kMillisecond);
