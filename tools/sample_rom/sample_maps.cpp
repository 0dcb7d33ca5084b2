#include "sample_rom/sample_rom.h"

namespace gorv::sample {

// Placeholder until this piece of the sample image is built.
void add_maps(std::vector<std::uint8_t>& rom) {
  (void)rom;
}

}  // namespace gorv::sample
