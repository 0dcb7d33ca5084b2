// The last step of an exporter: the product in the output buffer goes to its
// file, or, when it did not fit, nowhere.
#pragma once

#include <string>

#include "common/console.h"
#include "common/file_io.h"
#include "rom/output_buffer.h"

namespace gorv {

// The first step of an exporter: creates the output file `name`, or prints
// "cannot create file" and returns false.
bool start_export_file(Console& console, OutputFile& file, const std::string& name);

// Writes the buffer's contents to `file` and puts it in place. A buffer that
// ran full holds an incomplete product: the file is discarded and the error
// `too_large` is printed (when empty, one that names the file). A failed
// write prints "cannot write file". Returns true when the file was written.
bool finish_export_file(Console& console, OutputFile& file, const OutputBuffer& buffer,
                        const std::string& too_large = {});

}  // namespace gorv
