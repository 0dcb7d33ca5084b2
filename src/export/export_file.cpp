#include "export/export_file.h"

namespace gorv {

bool finish_export_file(Report& report, OutputFile& file, std::span<const std::uint8_t> bytes,
                        bool fits, const Message& too_large) {
  if (!fits) {
    discard_output_file(file);
    report.push_back(too_large);
    return false;
  }
  return finish_output_file(report, file, bytes);
}

bool finish_export_file(Report& report, OutputFile& file, const OutputBuffer& buffer) {
  return finish_export_file(report, file, contents(buffer), !buffer.full,
                            Message{Say::file_too_large, file.name, {}, {}});
}

}  // namespace gorv
