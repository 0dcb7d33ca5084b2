#include <string>
#include <vector>

#include "cli/run.h"
#include "common/console.h"
#include "common/platform.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = gorv::program_arguments(argc, argv);
  gorv::Console console;
  console.interactive = gorv::pause_wanted();
  return gorv::run_tool(args, console);
}
