#include "export/map_dump.h"

namespace gorv {

// Placeholder until the map dump is built.
void dump_map(Console& console, Bytes rom, const MapExistsTable& exists, std::uint8_t map,
              std::uint8_t block_filter, OutputBuffer& buffer) {
  (void)rom;
  (void)exists;
  (void)map;
  (void)block_filter;
  (void)buffer;
  say(console, "map dump: not built yet\n");
}

}  // namespace gorv
