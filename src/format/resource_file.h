// The editor's resource file (gorvedit.dat): fixed blocks of the ROM image
// one after the other, with no magic and no length fields.
// docs/formats/resource-file.md describes it for implementers.
#pragma once

#include <array>
#include <cstdint>

namespace gorv {

inline constexpr const char* kResourceFileName = "gorvedit.dat";

// Where a block of the resource file comes from.
enum class ResourceBlockSource {
  raw,       // `size` bytes at `offset`
  indirect,  // `size` bytes at the BE32 read at `offset`, plus `skip`
  packed,    // the LZ stream at `offset`, expanded with `size` as the limit
};

struct ResourceBlock {
  ResourceBlockSource source;
  std::uint32_t offset;
  std::uint16_t size;
  std::uint32_t skip;
};

// docs/formats/resource-file.md, "Layout".
// The blocks in file order: 10,774 bytes when no packed block overruns its
// limit (one that does is longer by the overrun, and the later blocks move).
inline constexpr std::array<ResourceBlock, 10> kResourceBlocks = {{
    {ResourceBlockSource::raw, 0xD00C, 30, 0},
    {ResourceBlockSource::indirect, 0xA0A02, 24, 0},
    {ResourceBlockSource::packed, 0xCAB2, 0x240, 0},
    {ResourceBlockSource::packed, 0x992E4, 0x1A80, 0},
    {ResourceBlockSource::packed, 0x5B92, 0x180, 0},
    {ResourceBlockSource::packed, 0x5C83, 0x180, 0},
    {ResourceBlockSource::packed, 0x1DA86, 0x5A0, 0},
    {ResourceBlockSource::raw, 0x12BA4, 0x80, 0},
    {ResourceBlockSource::indirect, 0x4668, 0x280, 0},
    {ResourceBlockSource::indirect, 0xA0A4E, 0x180, 6},
}};

}  // namespace gorv
