// The steps of writing an output file, for a mode, saying what went wrong.
#pragma once

#include <span>
#include <string>

#include "common/file_io.h"
#include "report/report.h"

namespace gorv {

// Creates the file (saying CannotCreate when it cannot), which comes before
// the mode says it writes the file; then writes it and puts it in place
// (saying CannotWrite when that fails).
bool start_output_file(Report& report, OutputFile& out, const std::string& name);
bool finish_output_file(Report& report, OutputFile& out, std::span<const std::uint8_t> bytes);

}  // namespace gorv
