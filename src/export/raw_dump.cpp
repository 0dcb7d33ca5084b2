#include "export/raw_dump.h"

namespace gorv {

// Placeholder until the raw dump is built.
void dump_raw(Console& console, Bytes rom, std::uint32_t address, OutputBuffer& buffer) {
  (void)rom;
  (void)address;
  (void)buffer;
  say(console, "raw dump: not built yet\n");
}

}  // namespace gorv
