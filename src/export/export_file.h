// The last step of an exporter: the product in the output buffer goes to its
// file, or, when it did not fit, nowhere.
#pragma once

#include "common/console.h"
#include "common/file_io.h"
#include "rom/output_buffer.h"

namespace gorv {

// Writes the buffer's contents to `file` and puts it in place. A buffer that
// ran full holds an incomplete product: the file is discarded and an error
// naming it is printed. A failed write prints "cannot write file". Returns
// true when the file was written.
bool finish_export_file(Console& console, OutputFile& file, const OutputBuffer& buffer);

}  // namespace gorv
