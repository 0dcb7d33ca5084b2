#include "cli/compare_text.h"

#include <array>

#include "cli/counts.h"
#include "common/text.h"

namespace gorv {

namespace {

constexpr std::array<const char*, 8> kFieldNames = {
    "width", "size byte", "attribute", "theme byte", "start x", "start y", "end x", "end y"};

// " at (3, 4), (5, 6)", then ", ..." when more were counted than named.
std::string at_squares(const std::vector<SquareAt>& named, std::size_t count) {
  if (named.empty()) return "";
  std::string text = " at ";
  for (std::size_t i = 0; i < named.size(); ++i)
    text += format("%s(%u, %u)", i == 0 ? "" : ", ", named[i].column, named[i].row);
  if (count > named.size()) text += ", ...";
  return text;
}

}  // namespace

std::vector<std::string> describe_differences(const MapDifferences& d) {
  std::vector<std::string> lines;
  for (const auto& field : d.header)
    lines.push_back(format("%s: 0x%0*X -> 0x%0*X",
                           kFieldNames[static_cast<std::size_t>(field.field)],
                           static_cast<int>(field.digits), field.old_value,
                           static_cast<int>(field.digits), field.new_value));
  if (!d.same_grid())
    lines.push_back(format(
        "grid: %u x %u squares -> %u x %u squares; compared over the common "
        "%u x %u squares",
        d.old_columns, d.old_rows, d.new_columns, d.new_rows, d.common_columns, d.common_rows));
  if (d.tiles_differ != 0)
    lines.push_back("tiles: " + counted(d.tiles_differ, "square differs", "squares differ") +
                    at_squares(d.tiles_at, d.tiles_differ));
  if (d.blocks.total() != 0) {
    std::string types;
    for (unsigned t = 0; t < d.block_types.size(); ++t)
      if (d.block_types[t]) types += format("%s0x%02X", types.empty() ? "" : ", ", t);
    lines.push_back(
        format("blocks: %zu added", d.blocks.added) + at_squares(d.added_at, d.blocks.added) +
        format("; %zu removed", d.blocks.removed) + at_squares(d.removed_at, d.blocks.removed) +
        format("; %zu changed", d.blocks.changed) + at_squares(d.changed_at, d.blocks.changed) +
        "; types " + types);
  }
  if (d.enemies.total() != 0)
    lines.push_back(format("enemies: %zu added, %zu removed, %zu changed", d.enemies.added,
                           d.enemies.removed, d.enemies.changed));
  if (d.enemy_header_differs) lines.push_back("enemy header: differs");
  if (d.background_differs) lines.push_back("background: differs");
  if (lines.empty()) lines.push_back("no differences");
  return lines;
}

}  // namespace gorv
