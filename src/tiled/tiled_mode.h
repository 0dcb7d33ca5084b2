// --to-tiled and --from-tiled: map files as Tiled maps (.tmj) with their
// shared tilesets, and back, in the current directory.
#pragma once

#include <string>
#include <vector>

#include "report/report.h"

namespace gorv {

// The file in the current directory where both directions keep the CRC32
// of each map file they last read or wrote, one "NAME CRC32" line each.
inline constexpr const char* kTiledGuardFile = "gorv-tiled.crc";

// Writes <stem>.tmj for each map file, and the tilesets (.tsj and .png)
// that are missing beside them. A .tmj, tileset or picture that exists is
// never replaced: it may hold a designer's work.
Report write_tiled_maps(const std::vector<std::string>& paths);

// Writes <stem>.gvm for each .tmj, unless that map file exists and changed
// since a .tmj was made from it (its CRC32 is neither the one recorded in
// kTiledGuardFile nor the one the .tmj carries).
Report read_tiled_maps(const std::vector<std::string>& paths);

}  // namespace gorv
