#include "sample_rom/sample_rom.h"

namespace gorv::sample {

std::vector<std::uint8_t> build_sample_rom() {
  return std::vector<std::uint8_t>(kSampleRomSize, 0);
}

}  // namespace gorv::sample
