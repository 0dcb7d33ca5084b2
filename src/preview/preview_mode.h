// --preview and --compare: pictures of map files, written as PNG files in
// the current directory.
#pragma once

#include <string>
#include <vector>

#include "format/map_file.h"
#include "preview/compare.h"
#include "report/report.h"

namespace gorv {

// Writes <file name without extension>.png for each map file, in the
// current directory. A damaged file gets the import's damage message and
// no picture, and so does a file whose picture would replace one of the
// map files; the others still get theirs.
Report write_previews(const std::vector<std::string>& paths);

// Reads two map files and compares them; `compared` is false (and the
// report says why) when one cannot be read.
struct Comparison {
  Report report;
  bool compared = false;
  MapFile new_map;
  MapDifferences differences;
};
Comparison compare_map_files(const std::string& old_path, const std::string& new_path);

// Writes <NEW file name without extension>-changes.png for a comparison,
// in the current directory, unless it would replace OLD or NEW.
Report write_changes_picture(const Comparison& comparison, const std::string& old_path,
                             const std::string& new_path);

}  // namespace gorv
