// GNU-style long options: taken out of the argument vector wherever they
// stand, before the single-hyphen shapes are checked, so that those keep
// exactly their meaning.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "report/report.h"

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

struct RunContext;

// A long option. Modes run after the single-hyphen ones, in command-line
// order, and never pause. `run` is null for --help and --version, which the
// front end answers itself.
struct LongOptionRow {
  std::string_view name;
  OptionValue value;
  // How many values it takes; another count stops the run before anything
  // is opened, saying that it needs `values` (e.g. "a value").
  std::size_t min_values, max_values;
  std::string_view values;
  bool needs_image;           // false: works without a ROM image
  std::string_view argument;  // for --help, e.g. "FILE..."
  std::string_view help;      // one line for --help
  void (*run)(RunContext& run, const std::vector<std::string>& values);
};

struct TakenOptions {
  std::vector<std::string> rest;    // the arguments without the long options
  std::vector<LongOptionUse> uses;  // in command-line order
  std::optional<Message> error;     // why the options cannot be taken
};

// Takes every argument that begins with "--" out of `args` (args[0], the
// program name, stays), matching it against `table`.
TakenOptions take_long_options(const std::vector<std::string>& args,
                               std::span<const LongOptionRow> table);

}  // namespace gorv
