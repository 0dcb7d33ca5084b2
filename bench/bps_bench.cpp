// The BPS creator and reader on the designer's pair: the sample image and
// the same image after a dump, a small edit of eight maps and an import
// (tools/make_patch_pair.sh, run here with the binaries beside the tests).
// The label gives the patch size; the independent creators we compare with
// make 4,050 to 4,064 bytes for this pair.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "codec/bps.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

struct DesignerPair {
  gorv::test::TempDir dir;
  std::vector<std::uint8_t> sample;
  std::vector<std::uint8_t> imported;
  bool made = false;

  DesignerPair() {
    const std::string command = "bash '" GORV_SOURCE_DIR "/tools/make_patch_pair.sh' '" +
                                fs::path(GORVTOOL_PATH).parent_path().string() + "' '" +
                                dir.path.string() + "' >/dev/null";
    if (std::system(command.c_str()) != 0) return;
    sample = gorv::test::read_file(dir.path / "sample.bin");
    imported = gorv::test::read_file(dir.path / "imported.bin");
    made = !sample.empty() && !imported.empty();
  }
};

const DesignerPair& designer_pair() {
  static const DesignerPair pair;
  return pair;
}

void BM_BpsCreateDesignerPair(benchmark::State& state) {
  const DesignerPair& pair = designer_pair();
  if (!pair.made) {
    state.SkipWithError("tools/make_patch_pair.sh failed");
    return;
  }
  std::size_t size = 0;
  for (auto _ : state) {
    const gorv::BpsCreateResult result = gorv::bps_create(pair.sample, pair.imported);
    if (result.error != gorv::BpsCreateError::none) {
      state.SkipWithError("no patch");
      return;
    }
    size = result.patch.size();
  }
  state.counters["patch_bytes"] = static_cast<double>(size);
  state.SetLabel("1 MiB -> 2 MiB, patch of " + std::to_string(size) + " bytes");
}

void BM_BpsApplyDesignerPair(benchmark::State& state) {
  const DesignerPair& pair = designer_pair();
  const auto created = gorv::bps_create(pair.sample, pair.imported);
  if (!pair.made || created.error != gorv::BpsCreateError::none) {
    state.SkipWithError("no designer's pair or no patch");
    return;
  }
  for (auto _ : state) {
    const gorv::BpsApplyResult result = gorv::bps_apply(created.patch, pair.sample);
    if (result.error != gorv::BpsError::none) state.SkipWithError("patch refused");
    benchmark::DoNotOptimize(result.target.data());
  }
  state.SetLabel("1 MiB -> 2 MiB");
}

}  // namespace

BENCHMARK(BM_BpsCreateDesignerPair)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BpsApplyDesignerPair)->Unit(benchmark::kMillisecond);
