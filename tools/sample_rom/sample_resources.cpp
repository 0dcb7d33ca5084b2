#include <cstdint>
#include <vector>

#include "codec/lz_encoder.h"
#include "sample_rom/sample_rom.h"

#include "rom/rom_image.h"

namespace gorv::sample {

namespace {

using ByteVector = std::vector<std::uint8_t>;

void put_bytes(ByteVector& rom, std::uint32_t at, const ByteVector& bytes) {
  std::copy(bytes.begin(), bytes.end(), rom.begin() + at);
}

// `size` bytes counting up from `first` in steps of `step`.
ByteVector counting(std::size_t size, unsigned first, unsigned step) {
  ByteVector bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(first + i * step);
  return bytes;
}

// `size` bytes of 8x8 4-bit-pixel tiles with `shapes` different stripes.
ByteVector striped_tiles(std::size_t size, unsigned shapes, unsigned colour) {
  ByteVector bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned tile = static_cast<unsigned>(i / 32), row = i / 4 % 8;
    const unsigned pixel = (row + tile % shapes + colour) % 16;
    bytes[i] = static_cast<std::uint8_t>(pixel << 4 | ((pixel + i % 4) & 0xF));
  }
  return bytes;
}

}  // namespace

// The blocks that the editor's resource file gathers, at their fixed offsets,
// and the data behind the three pointers in 0xA1000-0xA7FFF.
void add_resources(std::vector<std::uint8_t>& rom) {
  put_bytes(rom, 0xD00C, counting(30, 0x30, 3));
  set_be32(rom, 0xA0A02, 0xA1000);
  put_bytes(rom, 0xA1000, counting(24, 0xC0, 1));

  put_bytes(rom, 0xCAB2, lz_compress(striped_tiles(0x240, 3, 1)));  // room up to 0xD00C
  put_bytes(rom, 0x992E4, lz_compress(striped_tiles(0x1A80, 9, 4)));
  // 0xF1 bytes of room before the next stream at 0x5C83.
  put_bytes(rom, 0x5B92, lz_compress(striped_tiles(0x180, 2, 7)));
  put_bytes(rom, 0x5C83, lz_compress(striped_tiles(0x180, 4, 10)));
  put_bytes(rom, 0x1DA86, lz_compress(striped_tiles(0x5A0, 5, 13)));

  put_bytes(rom, 0x12BA4, counting(128, 0x80, 5));
  set_be32(rom, 0x4668, 0xA1100);
  put_bytes(rom, 0xA1100, counting(640, 0x10, 7));
  // The block taken is 6 bytes past this pointer; the 6 bytes are a marker.
  set_be32(rom, 0xA0A4E, 0xA1400);
  put_bytes(rom, 0xA1400, {'G', 'O', 'R', 'V', 0xFF, 0xFF});
  put_bytes(rom, 0xA1406, counting(384, 0x40, 11));
}

}  // namespace gorv::sample
