// --preview and --compare: pictures of map files, written as PNG files in
// the current directory.
#pragma once

#include <string>
#include <vector>

#include "common/report.h"

namespace gorv {

// Writes <file name without extension>.png for each map file. A damaged
// file gets the import's damage message and no picture; the others still
// get theirs.
Report write_previews(const std::vector<std::string>& paths);

// Writes <NEW file name without extension>-changes.png and says the
// differences, one a line.
Report write_comparison(const std::string& old_path, const std::string& new_path);

}  // namespace gorv
