#include "export/raw_dump.h"

#include "common/text.h"

namespace gorv {

std::string raw_dump_file_name(std::uint32_t address) {
  return format("0x%X.dat", address);
}

ExportResult dump_raw(Bytes rom, std::uint32_t address) {
  ExportResult result;
  Report& report = result.report;
  if (address >= rom.size()) {
    say(report, msg::AddressPastEnd{address});
    return result;
  }
  const std::string name = raw_dump_file_name(address);
  OutputFile file;
  if (!start_output_file(report, file, name)) return result;
  say(report, msg::WritingData{name});

  OutputBuffer buffer;
  const LzDecodeResult sizes = expand_lz(report, rom, address, 0, buffer);
  // The file holds exactly the product whose size the report gave.
  if (!buffer.full && sizes.size < buffer.length)
    buffer.length = static_cast<std::uint16_t>(sizes.size);
  result.written = finish_export_file(report, std::move(file), contents(buffer), !buffer.full,
                                      msg::DataTooLarge{address});
  return result;
}

}  // namespace gorv
