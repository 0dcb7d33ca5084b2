// Runs the real gorvtool binary, as a user would, for end-to-end tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace gorv::test {

struct ToolRun {
  int status = -1;     // exit status
  std::string output;  // standard output and standard error
};

// Runs gorvtool with `args` (not counting the program name) in directory
// `dir`, with standard input empty. The environment variable
// GORVTOOL_UNDER_TEST, when set, names the command to run instead of the
// binary built beside the tests. When GORVTOOL_OUTPUT_CRLF is set (a
// Windows build under Wine), the output's "\r\n" line ends become "\n".
ToolRun run_gorvtool(const std::vector<std::string>& args, const std::filesystem::path& dir);

}  // namespace gorv::test
