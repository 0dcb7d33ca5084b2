#include "export/export_file.h"

namespace gorv {

void put_rom_bytes(OutputBuffer& buffer, Bytes rom, std::uint64_t from, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) put_byte(buffer, read_u8(rom, from + i));
}

LzDecodeResult expand_lz(Report& report, Bytes rom, std::uint64_t from, std::uint16_t limit,
                         OutputBuffer& buffer) {
  const LzDecodeResult sizes = lz_decode(rom, from, limit, buffer);
  say(report, msg::LzSizes{sizes.compressed_size, sizes.size});
  return sizes;
}

bool finish_export_file(Report& report, OutputFile file, std::span<const std::uint8_t> bytes,
                        bool fits, Message too_large) {
  // An incomplete product is not written: its temporary file goes with
  // `file`, on the way out.
  if (!fits) {
    report.push_back(std::move(too_large));
    return false;
  }
  return finish_output_file(report, file, bytes);
}

bool finish_export_file(Report& report, OutputFile file, const OutputBuffer& buffer) {
  Message too_large = msg::FileTooLarge{file.name};
  return finish_export_file(report, std::move(file), contents(buffer), !buffer.full,
                            std::move(too_large));
}

}  // namespace gorv
