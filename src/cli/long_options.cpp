#include "cli/long_options.h"

namespace gorv {

TakenOptions take_long_options(const std::vector<std::string>& args,
                               std::span<const LongOptionRow> table) {
  TakenOptions taken;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (i == 0 || arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
      taken.rest.push_back(arg);
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    std::size_t row = 0;
    while (row < table.size() && table[row].name != name) ++row;
    if (row == table.size()) {
      taken.error = msg::UnknownOption{name};
      return taken;
    }
    LongOptionUse use{row, {}};
    const OptionValue kind = table[row].value;
    if (equals != std::string::npos) {
      if (kind == OptionValue::none) {
        taken.error = msg::UnknownOption{arg};
        return taken;
      }
      use.values.push_back(arg.substr(equals + 1));
    }
    if (kind == OptionValue::one && use.values.empty() && i + 1 < args.size() &&
        args[i + 1].compare(0, 2, "--") != 0)
      use.values.push_back(args[++i]);
    if (kind == OptionValue::list)
      while (i + 1 < args.size() && (args[i + 1].empty() || args[i + 1][0] != '-'))
        use.values.push_back(args[++i]);
    if (use.values.size() < table[row].min_values || use.values.size() > table[row].max_values) {
      taken.error = msg::OptionNeedsValue{name, std::string(table[row].values)};
      return taken;
    }
    taken.uses.push_back(std::move(use));
  }
  return taken;
}

}  // namespace gorv
