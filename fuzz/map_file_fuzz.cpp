// The map file reader on arbitrary bytes: it either refuses the file with a
// reason (a problem code) or yields layouts that fit the map record's 16-bit lengths, and
// never reads or writes outside its arrays.
#include <cstddef>
#include <cstdint>
#include <string>

#include "import/map_file_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  gorv::MapRecord record;
  if (gorv::read_map_file(gorv::Bytes(data, size), record)) return 0;
  const unsigned width = record.header[0];
  const unsigned height = record.header[1] & 0x3F;
  if (width == 0 || height == 0 || width > 51 || height > 36) __builtin_trap();
  if (record.tile_layout.size() != static_cast<std::uint16_t>(width * height * 280))
    __builtin_trap();
  if (record.enemy.size() < 18 || (record.enemy.size() - 18) % 8 != 0) __builtin_trap();
  return 0;
}
