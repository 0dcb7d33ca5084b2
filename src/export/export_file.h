// The last step every exporter shares: writing the product to its file
// (created with start_output_file before the product is built), or saying
// why not.
#pragma once

#include <span>
#include <string>

#include "common/file_io.h"
#include "common/report.h"
#include "rom/output_buffer.h"

namespace gorv {

// What an exporter did: what it has to say, and whether its file was written.
struct ExportResult {
  Report report;
  bool written = false;
};

// Writes `bytes` to `file` and puts it in place. A product that did not fit
// (`fits` false) is incomplete: the file is discarded and `too_large` is
// said. A failed write says cannot_write. Returns true when written.
bool finish_export_file(Report& report, OutputFile& file, std::span<const std::uint8_t> bytes,
                        bool fits, const Message& too_large);

// finish_export_file for a product built in the output buffer; a buffer
// that ran full says file_too_large with the file's name.
bool finish_export_file(Report& report, OutputFile& file, const OutputBuffer& buffer);

}  // namespace gorv
