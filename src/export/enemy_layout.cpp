#include "export/enemy_layout.h"

#include "common/byte_order.h"
#include "format/game_map.h"

namespace gorv {

EnemySection read_enemy_layout(Report& report, Bytes rom, std::uint64_t address) {
  EnemyLayoutRead read = read_stored_enemy_layout(rom, address);
  switch (read.problem) {
    case EnemyLayoutRead::Problem::no_end_word:
      say(report, msg::EnemyHeaderEnd{read.value});
      return {};
    case EnemyLayoutRead::Problem::bad_marker:
      say(report, msg::EnemyListMarker{static_cast<std::uint8_t>(read.value)});
      return {};
    case EnemyLayoutRead::Problem::none:
      break;
  }
  // The kind word's values 0x14 and 0x15 become 0x02 and 0x01: map files
  // have always held them so, and the editor knows them only in that form.
  // The import copies entries as they stand, so the rewrite sticks.
  for (auto& entry : read.section.entries) {
    const std::uint16_t kind = get_be16(entry, 2);
    if (kind == 0x0014) set_be16(entry, 2, 0x0002);
    if (kind == 0x0015) set_be16(entry, 2, 0x0001);
  }
  return std::move(read.section);
}

}  // namespace gorv
