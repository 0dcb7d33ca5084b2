#include "support/run_tool.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace gorv::test {

namespace {

std::string shell_quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

// A Windows program writes its standard output in text mode: every line
// ends in "\r\n". The tests expect "\n"; a line end without its "\r" is
// marked so that the comparison shows it.
std::string windows_lines_to_unix(const std::string& text) {
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) lines += "[LF without CR]";
    lines += text[i];
  }
  return lines;
}

}  // namespace

namespace {

ToolRun run_once(const std::vector<std::string>& args, const std::filesystem::path& dir) {
  const char* override_command = std::getenv("GORVTOOL_UNDER_TEST");
  std::string command = "cd " + shell_quote(dir.string()) + " && ";
  command +=
      override_command != nullptr ? std::string(override_command) : shell_quote(GORVTOOL_PATH);
  for (const auto& arg : args) {
    command += ' ';
    command += shell_quote(arg);
  }
  const auto output_file = dir.parent_path() / (dir.filename().string() + ".output");
  command += " </dev/null >" + shell_quote(output_file.string()) + " 2>&1";

  ToolRun run;
  const int raw = std::system(command.c_str());
#ifdef _WIN32
  // The end-to-end tests run on Linux; this keeps a Windows build of the
  // support library compiling, where system() returns the exit status.
  run.status = raw;
#else
  run.status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
  std::ifstream in(output_file, std::ios::binary);
  run.output.assign(std::istreambuf_iterator<char>(in), {});
  in.close();
  std::filesystem::remove(output_file);
  if (std::getenv("GORVTOOL_OUTPUT_CRLF") != nullptr)
    run.output = windows_lines_to_unix(run.output);
  return run;
}

}  // namespace

ToolRun run_gorvtool(const std::vector<std::string>& args, const std::filesystem::path& dir) {
  ToolRun run = run_once(args, dir);
  // Every run of the tool says something. Under Wine on a loaded machine a
  // program now and then fails to start at all (no output): such a run is
  // tried once more. The tool never runs twice otherwise, and a run of the
  // native binary is never repeated.
  if (std::getenv("GORVTOOL_UNDER_TEST") != nullptr && run.output.empty())
    run = run_once(args, dir);
  return run;
}

}  // namespace gorv::test
