// The fast LZ encoder against the literal search it must agree with.
#include <benchmark/benchmark.h>

#include <random>

#include "codec/lz_encoder.h"
#include "support/lz_literal_search.h"
#include "support/tile_like.h"

namespace {

std::vector<std::uint8_t> input_for(int which) {
  switch (which) {
    case 0:
      return gorv::test::tile_like_layout(20, 1, 2024);  // 20 screens, 5,600 bytes
    case 1: {
      std::mt19937 random(99);
      std::vector<std::uint8_t> bytes(5600);
      for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
      return bytes;
    }
    default:
      return std::vector<std::uint8_t>(65535, 0);
  }
}

const char* label_for(int which) {
  static const char* const labels[] = {"tile-like 5600 bytes", "random 5600 bytes",
                                       "zeros 65535 bytes"};
  return labels[which];
}

// As the import runs it: one scratch for every input.
void BM_LzEncodeFast(benchmark::State& state) {
  const auto input = input_for(static_cast<int>(state.range(0)));
  gorv::LzScratch scratch;
  for (auto _ : state) benchmark::DoNotOptimize(gorv::lz_encode(input, scratch));
  state.SetLabel(label_for(static_cast<int>(state.range(0))));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

void BM_LzEncodeLiteral(benchmark::State& state) {
  const auto input = input_for(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(gorv::test::lz_encode_literal(input));
  state.SetLabel(label_for(static_cast<int>(state.range(0))));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

}  // namespace

BENCHMARK(BM_LzEncodeFast)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LzEncodeLiteral)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
