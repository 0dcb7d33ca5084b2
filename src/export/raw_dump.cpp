#include "export/raw_dump.h"

#include "codec/lz_decoder.h"
#include "common/file_io.h"
#include "common/text.h"
#include "export/export_file.h"

namespace gorv {

std::string raw_dump_file_name(std::uint32_t address) {
  return format("0x%X.dat", address);
}

void dump_raw(Console& console, Bytes rom, std::uint32_t address, OutputBuffer& buffer) {
  if (address >= rom.size()) {
    print_error(console, format("address 0x%X is beyond the end of the ROM image", address));
    return;
  }
  const std::string name = raw_dump_file_name(address);
  OutputFile file;
  if (!start_export_file(console, file, name)) return;
  say(console, format("\nWriting data as \"%s\"...\n\n", name.c_str()));

  reset(buffer, 0);
  const LzDecodeResult result = lz_decode(rom, address, 0, buffer);
  say(console, lz_size_report(result));
  // The file holds exactly the product whose size the report gave.
  if (!buffer.full && result.size < buffer.length)
    buffer.length = static_cast<std::uint16_t>(result.size);
  finish_export_file(console, file, buffer,
                     format("the data at 0x%X expand to more than 65535 bytes", address));
}

}  // namespace gorv
