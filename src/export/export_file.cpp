#include "export/export_file.h"

#include "common/text.h"

namespace gorv {

bool finish_export_file(Console& console, OutputFile& file, const OutputBuffer& buffer) {
  if (buffer.full) {
    discard_output_file(file);
    print_error(console, format("\"%s\" would be larger than %zu bytes; the file was not written",
                                file.name.c_str(), kOutputBufferCapacity));
    return false;
  }
  if (!commit_output_file(file, contents(buffer))) {
    print_error(console, format("cannot write file \"%s\"", file.name.c_str()));
    return false;
  }
  return true;
}

}  // namespace gorv
