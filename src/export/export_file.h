// The steps the exporters share: putting bytes of the image or the product
// of one of its LZ streams into the output buffer, and writing the product
// to its file (created with start_output_file before the product is built),
// or saying why not.
#pragma once

#include <span>
#include <string>

#include "codec/lz_decoder.h"
#include "report/output_steps.h"
#include "report/report.h"
#include "rom/output_buffer.h"
#include "rom/rom_image.h"

namespace gorv {

// Appends `count` bytes of the image from `from` on (bytes past its end
// read as 0).
void put_rom_bytes(OutputBuffer& buffer, Bytes rom, std::uint64_t from, std::uint32_t count);

// Expands the LZ stream at `from` into the buffer (`limit` as lz_decode
// takes it) and says its packed and unpacked sizes.
LzDecodeResult expand_lz(Report& report, Bytes rom, std::uint64_t from, std::uint16_t limit,
                         OutputBuffer& buffer);

// What an exporter did: what it has to say, and whether its file was written.
struct ExportResult {
  Report report;
  bool written = false;
};

// Writes `bytes` to `file` and puts it in place. A product that did not fit
// (`fits` false) is incomplete: the file is discarded and `too_large` is
// said. A failed write says cannot_write. Returns true when written.
bool finish_export_file(Report& report, OutputFile file, std::span<const std::uint8_t> bytes,
                        bool fits, Message too_large);

// finish_export_file for a product built in the output buffer; a buffer
// that ran full says file_too_large with the file's name.
bool finish_export_file(Report& report, OutputFile file, const OutputBuffer& buffer);

}  // namespace gorv
