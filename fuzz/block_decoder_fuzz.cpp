// The block layout decoder on arbitrary bytes: the first four bytes choose
// the width in screens, the grid size and the filter; the rest is the image,
// with the stream at its start.
#include <cstddef>
#include <cstdint>

#include "codec/block_decoder.h"
#include "format/map_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::uint8_t width = data[0];
  const auto grid_size = static_cast<std::uint16_t>(data[1] << 8 | data[2]);
  const std::uint8_t filter = data[3] < 0x11 ? data[3] : gorv::kAllBlockTypes;
  const gorv::Bytes image(data + 4, size - 4);
  const gorv::BlockDecoding decoded = gorv::decode_block_cells(image, 0, width, grid_size, filter);
  for (const auto& event : decoded.unhandled)
    if (event.position > image.size()) __builtin_trap();
  std::vector<std::uint8_t> section;
  gorv::append_block_section(decoded.cells, section);
  // The section must stand for exactly grid_size squares.
  std::size_t squares = 0;
  for (std::size_t i = 0; i < section.size();) {
    const std::uint8_t b = section[i];
    if (b >= 0x80) {
      if (filter != gorv::kAllBlockTypes && (b & 0x1F) != filter) __builtin_trap();
      squares += 1;
      i += 5;
    } else {
      squares += b + 1u;
      i += 1;
    }
  }
  if (squares != grid_size) __builtin_trap();
  return 0;
}
