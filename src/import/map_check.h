// --check: whether map files come back from the ROM image as they are,
// before an import; and the import's warnings of the same.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format/map_read_back.h"
#include "report/report.h"

namespace gorv {

// Says the first differences of `read_back` one by one and how many more
// there are: named by `file`, or by `map` where `file` is empty.
void say_read_back(Report& report, const std::string& file, std::uint8_t map,
                   const ReadBack& read_back);

// For each map file in turn: the import's checks (a damaged file, or one
// the import refuses, gets only that error), then where the game would
// read other than the file holds, and last "no problems" or, as an error,
// how many problems.
Report check_map_files(const std::vector<std::string>& paths);

}  // namespace gorv
