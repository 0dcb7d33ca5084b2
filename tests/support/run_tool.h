// Runs the real gorvtool binary, as a user would, for end-to-end tests.
#pragma once

// Only the end-to-end tests (tests/e2e/, built into gorv_e2e_tests) run the
// binary: the unit tests stay a single process and stay off Wine.
#ifndef GORV_E2E_TEST
#error "support/run_tool.h is for end-to-end tests: put the test in tests/e2e/"
#endif

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
