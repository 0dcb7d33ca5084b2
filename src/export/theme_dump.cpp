#include "export/theme_dump.h"

namespace gorv {

// Placeholder until the theme dump is built.
void dump_theme(Console& console, Bytes rom, std::uint8_t theme, OutputBuffer& buffer) {
  (void)rom;
  (void)theme;
  (void)buffer;
  say(console, "theme dump: not built yet\n");
}

}  // namespace gorv
