#include "cli/run.h"

namespace gorv {

int run_tool(const std::vector<std::string>& args, Console& console) {
  (void)args;
  say(console, "GorvTool: the front end is not ready yet\n");
  return 0;
}

}  // namespace gorv
