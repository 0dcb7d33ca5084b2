#include "report/output_steps.h"

namespace gorv {

bool start_output_file(Report& report, OutputFile& out, const std::string& name) {
  if (open_output_file(out, name)) return true;
  say(report, msg::CannotCreate{name, out.error});
  return false;
}

bool finish_output_file(Report& report, OutputFile& out, std::span<const std::uint8_t> bytes) {
  if (commit_output_file(out, bytes)) return true;
  say(report, msg::CannotWrite{out.name, out.error});
  return false;
}

}  // namespace gorv
