// The patch writer; the creator's choice of actions is in
// bps_create.cpp, the reader in bps_apply.cpp.
#include "codec/bps.h"
#include "codec/bps_number.h"
#include "common/byte_order.h"

namespace gorv {

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
