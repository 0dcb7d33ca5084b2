// The command line: its accepted shapes, the hexadecimal values and their
// range checks, turned into the settings of one run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/report.h"

namespace gorv {

// What the run was asked to do; an option not given has no value.
struct RunSettings {
  std::optional<std::uint8_t> level;
  std::optional<std::uint8_t> map;
  std::optional<std::uint8_t> theme;
  // A block type to keep, or kAllBlockTypes (-block FF); without -block,
  // all types are kept too.
  std::optional<std::uint8_t> block_filter;
  std::optional<std::uint32_t> dump_address;
  bool resource = false;
  bool import = false;
};

enum class ParseOutcome {
  run,    // the settings are complete: open the ROM image and run
  usage,  // the arguments fit no accepted shape: print the usage text
  error,  // a value was rejected: say `error`
};

struct ParsedArguments {
  ParseOutcome outcome = ParseOutcome::usage;
  std::string rom_path;
  RunSettings settings;
  std::optional<Message> error;  // with outcome error
};

// Parses the argument vector (args[0] is the program name, args[1] the ROM
// image). Nothing is opened or printed.
ParsedArguments parse_arguments(const std::vector<std::string>& args);

// The option values' digit parser. Reads at most `max_chars` characters of
// `text`. The first character sets the value when it is a hexadecimal digit,
// otherwise the value stays `start`; each further character multiplies the
// value by 16 and adds its digit, a non-digit adding nothing. `mask` keeps
// the value in its setting's width (0xFF for 8-bit settings).
std::uint32_t parse_hex_value(std::string_view text, std::size_t max_chars, std::uint32_t start,
                              std::uint32_t mask);

// The value of a hexadecimal digit, or -1 for any other character.
int hex_digit_value(char c);

}  // namespace gorv
