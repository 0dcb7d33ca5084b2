#include "import/importer.h"

namespace gorv {

// Placeholder until the importer is built.
void import_maps(Console& console, const RomImage& rom, const std::string& rom_path) {
  (void)rom;
  (void)rom_path;
  say(console, "import: not built yet\n");
}

}  // namespace gorv
