// The preview of a 10 x 8-screen map with tile-like data and a block on
// about one square in twelve: drawing, PNG encoding, and both, as the
// --preview option runs them; and the picture of changes.
#include <benchmark/benchmark.h>

#include "format/map_file.h"
#include "picture/png.h"
#include "preview/draw.h"
#include "support/map_file_maker.h"

namespace {

gorv::MapFile bench_map(std::uint32_t seed) {
  gorv::MapFile map =
      gorv::parse_map_file(gorv::test::make_map_file(gorv::test::generated_map(10, 8, seed))).file;
  for (std::size_t i = 0; i < map.blocks.size(); i += 12)
    map.blocks[i].type =
        static_cast<std::uint8_t>(0x80 | ((i / 12) % 0x11) | (i % 5 == 0 ? 0x20 : 0));
  return map;
}

void BM_DrawPreview(benchmark::State& state) {
  const gorv::MapFile map = bench_map(7);
  for (auto _ : state) benchmark::DoNotOptimize(gorv::draw_preview(map, "map12.gvm"));
}
BENCHMARK(BM_DrawPreview)->Unit(benchmark::kMillisecond);

void BM_EncodePng(benchmark::State& state) {
  const gorv::Picture picture = gorv::draw_preview(bench_map(7), "map12.gvm");
  std::size_t size = 0;
  for (auto _ : state) {
    const auto png = gorv::encode_png(picture);
    size = png.size();
    benchmark::DoNotOptimize(png.data());
  }
  state.counters["png_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_EncodePng)->Unit(benchmark::kMillisecond);

void BM_PreviewDrawAndEncode(benchmark::State& state) {
  const gorv::MapFile map = bench_map(7);
  for (auto _ : state) benchmark::DoNotOptimize(gorv::encode_png(gorv::draw_preview(map, "m")));
}
BENCHMARK(BM_PreviewDrawAndEncode)->Unit(benchmark::kMillisecond);

void BM_ChangesDrawAndEncode(benchmark::State& state) {
  const gorv::MapFile old_map = bench_map(7);
  const gorv::MapFile new_map = bench_map(8);
  for (auto _ : state)
    benchmark::DoNotOptimize(
        gorv::encode_png(gorv::draw_changes(new_map, gorv::compare_maps(old_map, new_map), "m")));
}
BENCHMARK(BM_ChangesDrawAndEncode)->Unit(benchmark::kMillisecond);

}  // namespace
