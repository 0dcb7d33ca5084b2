#include "export/enemy_layout.h"

#include <algorithm>

#include "rom/game_facts.h"

namespace gorv {

namespace {

// The record: the list address, four bytes the tool does not read, then the
// 8-byte enemy header whose last word is the end word.
constexpr std::uint64_t kHeaderAt = 8;
constexpr std::uint64_t kEndWordAt = kHeaderAt + 6;

}  // namespace

EnemySection read_enemy_layout(Report& report, Bytes rom, std::uint64_t address) {
  EnemySection section;
  const std::uint32_t list = read_be32(rom, address);
  const std::uint16_t last_word = read_be16(rom, address + kEndWordAt);
  if (last_word != kEnemyHeaderEndWord) {
    say(report, msg::EnemyHeaderEnd{last_word});
    return section;
  }
  const std::uint8_t marker = read_u8(rom, list);
  if ((marker & 0x7F) != 0) {
    say(report, msg::EnemyListMarker{static_cast<std::uint8_t>(marker & 0x80u)});
    return section;
  }

  // Only the entries that lie wholly inside the image are kept, and the
  // count says how many were kept.
  const std::uint64_t first = static_cast<std::uint64_t>(list) + 2;
  const std::uint64_t room = first <= rom.size() ? (rom.size() - first) / kEnemyEntrySize : 0;
  const std::uint64_t count = std::min<std::uint64_t>(read_u8(rom, list + 1), room);

  section.present = true;
  for (std::size_t i = 0; i < section.art_load.size(); ++i)
    section.art_load[i] = read_u8(rom, address + kHeaderAt + i);
  section.entries.resize(static_cast<std::size_t>(count));
  for (std::uint64_t n = 0; n < count; ++n) {
    auto& entry = section.entries[static_cast<std::size_t>(n)];
    const std::uint64_t at = first + n * kEnemyEntrySize;
    for (std::size_t i = 0; i < entry.size(); ++i) entry[i] = read_u8(rom, at + i);
    // The kind word's values 0x14 and 0x15 become 0x02 and 0x01: map files
    // have always held them so, and the editor knows them only in that
    // form. The import copies entries as they stand, so the rewrite sticks.
    const std::uint16_t kind = get_be16(entry, 2);
    if (kind == 0x0014) set_be16(entry, 2, 0x0002);
    if (kind == 0x0015) set_be16(entry, 2, 0x0001);
  }
  return section;
}

}  // namespace gorv
