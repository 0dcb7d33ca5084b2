// CRC32 (polynomial 0xEDB88320, reflected, inverted), as BPS patches and
// zip files use it, computed by zlib.
#pragma once

#include <cstdint>
#include <span>

namespace gorv {

std::uint32_t crc32(std::span<const std::uint8_t> bytes);

}  // namespace gorv
