#include "export/resource_file.h"

#include "export/export_file.h"
#include "format/resource_file.h"

namespace gorv {

ExportResult write_resource_file(Bytes rom) {
  ExportResult result;
  Report& report = result.report;
  OutputFile file;
  if (!start_output_file(report, file, kResourceFileName)) return result;
  say(report, msg::WritingResource{std::string(kResourceFileName)});

  OutputBuffer buffer;
  for (const ResourceBlock& block : kResourceBlocks) {
    switch (block.source) {
      case ResourceBlockSource::raw:
        put_rom_bytes(buffer, rom, block.offset, block.size);
        break;
      case ResourceBlockSource::indirect:
        put_rom_bytes(buffer, rom, std::uint64_t{read_be32(rom, block.offset)} + block.skip,
                      block.size);
        break;
      case ResourceBlockSource::packed:
        expand_lz(report, rom, block.offset, block.size, buffer);
        break;
    }
  }
  result.written = finish_export_file(report, std::move(file), buffer);
  return result;
}

}  // namespace gorv
