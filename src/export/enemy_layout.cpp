#include "export/enemy_layout.h"

#include "common/text.h"

namespace gorv {

namespace {

constexpr std::uint64_t kHeaderSkip = 4;  // the four bytes behind the list address
constexpr std::uint64_t kEnemyHeaderSize = 8;
constexpr std::uint64_t kEntrySize = 8;

}  // namespace

void read_enemy_layout(Console& console, Bytes rom, std::uint64_t address, OutputBuffer& out) {
  const std::uint32_t list = read_be32(rom, address);
  const std::uint64_t header = address + 4 + kHeaderSkip;

  // The enemy header ends with art_load[3] = 0x7D00.
  const std::uint16_t last_word = read_be16(rom, header + 6);
  if (last_word != 0x7D00) {
    print_error(console,
                format("End of enemy header not found. (art_load[3] = 0x%04X)", last_word));
    return;
  }

  const std::uint8_t marker = read_u8(rom, list);
  if ((marker & 0x7F) != 0) {
    print_error(console, format("Expected 0x80 or 0x00 to start enemy layout data. (i = 0x%02X)",
                                marker & 0x80));
    return;
  }

  // Only the entries that lie wholly inside the image are kept, and the
  // count says how many were kept.
  const std::uint64_t first = static_cast<std::uint64_t>(list) + 2;
  std::uint64_t count = read_u8(rom, list + 1);
  const std::uint64_t room = first <= rom.size() ? (rom.size() - first) / kEntrySize : 0;
  if (count > room) count = room;

  for (std::uint64_t i = 0; i < 6; ++i) put_byte(out, read_u8(rom, header + i));
  put_byte(out, static_cast<std::uint8_t>(count));
  for (std::uint64_t n = 0; n < count; ++n) {
    const std::uint64_t entry = first + n * kEntrySize;
    std::uint16_t kind = read_be16(rom, entry + 2);
    if (kind == 0x0014) {
      kind = 0x0002;
    } else if (kind == 0x0015) {
      kind = 0x0001;
    }
    put_byte(out, read_u8(rom, entry));
    put_byte(out, read_u8(rom, entry + 1));
    put_byte(out, static_cast<std::uint8_t>(kind >> 8));
    put_byte(out, static_cast<std::uint8_t>(kind));
    for (std::uint64_t i = 4; i < kEntrySize; ++i) put_byte(out, read_u8(rom, entry + i));
  }
}

}  // namespace gorv
