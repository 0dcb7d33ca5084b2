// The synthetic sample ROM image: every structure the tool reads, at the
// game's fixed offsets, made entirely by this project.
#pragma once

#include <cstdint>
#include <vector>

namespace gorv::sample {

inline constexpr std::size_t kSampleRomSize = 0x100000;

// Builds the whole 1 MiB sample image.
std::vector<std::uint8_t> build_sample_rom();

}  // namespace gorv::sample
