// CRC32 and the patch writer; the creator's choice of actions is in
// bps_create.cpp, the reader in bps_apply.cpp.
#include <array>

#include "codec/bps.h"
#include "codec/bps_number.h"
#include "common/byte_order.h"

namespace gorv {

namespace {

// Slicing by eight: table[k][b] is the CRC of byte b followed by k zero
// bytes, so eight input bytes take eight lookups and no carried chain.
// An import's patch means CRCs over several megabytes, twice with the
// creator's own check; a byte-at-a-time loop would be most of the time.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr CrcTables make_crc_tables() {
  CrcTables tables{};
  for (std::uint32_t b = 0; b < 256; ++b) {
    std::uint32_t crc = b;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    tables[0][b] = crc;
  }
  for (std::size_t k = 1; k < 8; ++k)
    for (std::size_t b = 0; b < 256; ++b)
      tables[k][b] = (tables[k - 1][b] >> 8) ^ tables[0][tables[k - 1][b] & 0xFF];
  return tables;
}

constexpr CrcTables kCrcTables = make_crc_tables();

}  // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
  const auto& t = kCrcTables;
  std::uint32_t crc = 0xFFFFFFFFu;
  const std::uint8_t* p = bytes.data();
  std::size_t n = bytes.size();
  for (; n >= 8; n -= 8, p += 8) {
    const std::uint32_t low = crc ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                     std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
    crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
          t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
  }
  for (; n > 0; --n, ++p) crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFF];
  return ~crc;
}

std::vector<std::uint8_t> bps_serialize(std::span<const std::uint8_t> source,
                                        std::span<const std::uint8_t> target,
                                        std::span<const BpsAction> actions) {
  std::vector<std::uint8_t> patch = {'B', 'P', 'S', '1'};
  append_bps_number(patch, source.size());
  append_bps_number(patch, target.size());
  append_bps_number(patch, 0);  // no metadata
  std::int64_t source_cursor = 0;
  std::int64_t target_cursor = 0;
  std::size_t output = 0;
  for (const BpsAction& action : actions) {
    append_bps_number(patch, bps_action_number(action.length, static_cast<unsigned>(action.kind)));
    switch (action.kind) {
      case BpsActionKind::source_read:
        break;
      case BpsActionKind::target_read:
        patch.insert(patch.end(), target.begin() + static_cast<std::ptrdiff_t>(output),
                     target.begin() + static_cast<std::ptrdiff_t>(output + action.length));
        break;
      case BpsActionKind::source_copy:
      case BpsActionKind::target_copy: {
        std::int64_t& cursor =
            action.kind == BpsActionKind::source_copy ? source_cursor : target_cursor;
        append_bps_number(patch, bps_cursor_move(cursor, action.from));
        cursor = std::int64_t{action.from} + action.length;
        break;
      }
    }
    output += action.length;
  }
  append_le32(patch, crc32(source));
  append_le32(patch, crc32(target));
  append_le32(patch, crc32(patch));
  return patch;
}

}  // namespace gorv
