// The command line: its accepted shapes, the hexadecimal values and their
// checks, turned into the settings of one run.
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

  bool operator==(const RunSettings&) const = default;
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

// A number option's value: "0x" or "0X" if wanted, then one or more
// hexadecimal digits (leading zeros too), and nothing else; nothing for any
// other text. A value past 64 bits reads as the largest 64-bit value: it is
// out of every range rather than wrapped into one.
std::optional<std::uint64_t> parse_hex_number(std::string_view text);

}  // namespace gorv
