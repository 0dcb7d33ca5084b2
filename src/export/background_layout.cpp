#include "export/background_layout.h"

namespace gorv {

// Placeholder until the background layout reader is built.
void read_background_layout(Bytes rom, std::uint64_t address, std::uint8_t theme,
                            OutputBuffer& out) {
  (void)rom;
  (void)address;
  (void)theme;
  (void)out;
}

}  // namespace gorv
