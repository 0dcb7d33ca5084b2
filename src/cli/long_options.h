// GNU-style long options: taken out of the argument vector wherever they
// stand, before the single-hyphen shapes are checked, so that those keep
// exactly their meaning.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/report.h"

namespace gorv {

enum class OptionValue {
  none,  // --name
  one,   // --name VALUE or --name=VALUE
  list,  // --name A B ...: every following argument up to one that begins with '-'
};

// One long option given on the command line: its row in the option table
// and its values.
struct LongOptionUse {
  std::size_t row = 0;
  std::vector<std::string> values;
};

struct LongOptionSpec {
  std::string_view name;
  OptionValue value;
};

struct TakenOptions {
  std::vector<std::string> rest;    // the arguments without the long options
  std::vector<LongOptionUse> uses;  // in command-line order
  bool failed = false;              // `error` says why
  Message error{Say::newline, {}, {}, {}};
};

// Takes every argument that begins with "--" out of `args` (args[0], the
// program name, stays), matching it against `table`.
TakenOptions take_long_options(const std::vector<std::string>& args,
                               const std::vector<LongOptionSpec>& table);

}  // namespace gorv
