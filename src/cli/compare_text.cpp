#include "cli/compare_text.h"

#include <array>

#include "cli/counts.h"
#include "common/text.h"

namespace gorv {

namespace {

constexpr std::array<const char*, 8> kFieldNames = {
    "width", "size byte", "attribute", "theme byte", "start x", "start y", "end x", "end y"};

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
    lines.push_back("tiles: " + counted(d.tiles_differ, "square", "squares") + " " +
                    for_count(d.tiles_differ, "differs", "differ"));
  if (d.blocks.total() != 0) {
    std::string types;
    for (unsigned t = 0; t < d.block_types.size(); ++t)
      if (d.block_types[t]) types += format("%s0x%02X", types.empty() ? "" : ", ", t);
    lines.push_back(format("blocks: %zu added, %zu removed, %zu changed (types %s)", d.blocks.added,
                           d.blocks.removed, d.blocks.changed, types.c_str()));
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
