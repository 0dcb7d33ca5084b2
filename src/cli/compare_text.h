// The --compare summary's text.
#pragma once

#include <string>
#include <vector>

#include "preview/compare.h"

namespace gorv {

// The differences as lines of plain ASCII, one fact a line, such as
// "start x: 0x0040 -> 0x0080" or "tiles: 2 squares differ at (3, 0),
// (9, 1)" (each count names up to 8 squares, then "..."); the single line
// "no differences" when there are none.
std::vector<std::string> describe_differences(const MapDifferences& differences);

}  // namespace gorv
