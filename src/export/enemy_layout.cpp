#include "export/enemy_layout.h"

namespace gorv {

// Placeholder until the enemy layout reader is built.
void read_enemy_layout(Console& console, Bytes rom, std::uint64_t address, OutputBuffer& out) {
  (void)console;
  (void)rom;
  (void)address;
  (void)out;
}

}  // namespace gorv
