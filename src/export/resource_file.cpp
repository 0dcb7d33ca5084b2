#include "export/resource_file.h"

#include "codec/lz_decoder.h"
#include "format/resource_file.h"

namespace gorv {

namespace {

void put_rom_bytes(OutputBuffer& buffer, Bytes rom, std::uint64_t from, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) put_byte(buffer, read_u8(rom, from + i));
}

}  // namespace

ExportResult write_resource_file(Bytes rom) {
  ExportResult result;
  Report& report = result.report;
  OutputFile file;
  if (!start_output_file(report, file, kResourceFileName)) return result;
  say(report, Say::writing_resource, kResourceFileName);

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
      case ResourceBlockSource::packed: {
        const LzDecodeResult sizes = lz_decode(rom, block.offset, block.size, buffer);
        say_n(report, Say::lz_sizes, {sizes.compressed_size, sizes.size});
        break;
      }
    }
  }
  result.written = finish_export_file(report, file, buffer);
  return result;
}

}  // namespace gorv
