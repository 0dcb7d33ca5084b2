// The -info report's text.
#pragma once

#include <string>

#include "rom/level_info.h"

namespace gorv {

std::string level_report_text(const LevelInfo& info);

}  // namespace gorv
