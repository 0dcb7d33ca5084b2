#include "export/resource_file.h"

namespace gorv {

// Placeholder until the resource file is built.
void write_resource_file(Console& console, Bytes rom, OutputBuffer& buffer) {
  (void)rom;
  (void)buffer;
  say(console, "resource file: not built yet\n");
}

}  // namespace gorv
