#include "export/export_file.h"

#include "common/text.h"

namespace gorv {

bool start_export_file(Console& console, OutputFile& file, const std::string& name) {
  if (open_output_file(file, name)) return true;
  print_error(console, format("cannot create file \"%s\"", name.c_str()));
  return false;
}

bool finish_export_file(Console& console, OutputFile& file, const OutputBuffer& buffer,
                        const std::string& too_large) {
  if (buffer.full) {
    discard_output_file(file);
    print_error(console,
                too_large.empty()
                    ? format("\"%s\" would be larger than %zu bytes; the file was not written",
                             file.name.c_str(), kOutputBufferCapacity)
                    : too_large);
    return false;
  }
  if (!commit_output_file(file, contents(buffer))) {
    print_error(console, format("cannot write file \"%s\"", file.name.c_str()));
    return false;
  }
  return true;
}

}  // namespace gorv
