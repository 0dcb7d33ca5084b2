// The front end: parses the arguments and runs the requested modes.
#pragma once

#include <string>
#include <vector>

#include "common/console.h"

namespace gorv {

// Runs the tool on `args` (args[0] is the program name) and returns the
// exit status: 2 after the usage text, 1 when an error line was printed,
// otherwise 0.
int run_tool(const std::vector<std::string>& args, Console& console);

}  // namespace gorv
