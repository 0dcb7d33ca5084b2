#include "cli/arguments.h"

#include <array>
#include <initializer_list>
#include <limits>
#include <optional>

#include "codec/block_decoder.h"

namespace gorv {

namespace {

constexpr std::string_view kResource = "-resource";
constexpr std::string_view kImport = "-import";

// A value option: its name, what it accepts and where an accepted value goes.
struct ValueOption {
  std::string_view name;
  NumberOption number;  // names it in its messages
  bool (*in_range)(std::uint64_t value);
  void (*take)(RunSettings& settings, std::uint64_t value);
};

std::uint8_t byte(std::uint64_t value) {
  return static_cast<std::uint8_t>(value);
}

// The value options in the order their values are checked.
constexpr std::array<ValueOption, 5> kValueOptions = {{
    {"-info", NumberOption::level, [](std::uint64_t v) { return v <= 0x69; },
     [](RunSettings& s, std::uint64_t v) { s.level = byte(v); }},
    {"-map", NumberOption::map, [](std::uint64_t v) { return v <= 0x7D; },
     [](RunSettings& s, std::uint64_t v) { s.map = byte(v); }},
    {"-theme", NumberOption::theme, [](std::uint64_t v) { return v >= 1 && v <= 0xA; },
     [](RunSettings& s, std::uint64_t v) { s.theme = byte(v); }},
    {"-block", NumberOption::block,
     [](std::uint64_t v) { return v <= 0x10 || v == kAllBlockTypes; },
     [](RunSettings& s, std::uint64_t v) { s.block_filter = byte(v); }},
    {"-decompress", NumberOption::address, [](std::uint64_t v) { return v <= 0xFFFFFF; },
     [](RunSettings& s, std::uint64_t v) { s.dump_address = static_cast<std::uint32_t>(v); }},
}};

bool is_value_option(std::string_view word) {
  for (const ValueOption& option : kValueOptions)
    if (word == option.name) return true;
  return false;
}

// Takes the first flag option out of the option slots (2, 4, 6, 8): first
// "-resource", then "-import". Returns false when no slot holds one.
bool remove_flag_option(std::vector<std::string>& args, RunSettings& settings) {
  for (auto flag : {kResource, kImport}) {
    for (std::size_t slot = 2; slot < args.size() && slot <= 8; slot += 2) {
      if (args[slot] != flag) continue;
      if (flag == kResource)
        settings.resource = true;
      else
        settings.import = true;
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(slot));
      return true;
    }
  }
  return false;
}

// The argument index of the value of `option`: the first option slot that
// holds it wins. 0 when the option is absent.
std::size_t find_value(const std::vector<std::string>& args, std::string_view option) {
  for (std::size_t slot = 2; slot + 1 < args.size(); slot += 2)
    if (args[slot] == option) return slot + 1;
  return 0;
}

int hex_digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

ParsedArguments rejected(Message error) {
  ParsedArguments parsed;
  parsed.outcome = ParseOutcome::error;
  parsed.error = std::move(error);
  return parsed;
}

}  // namespace

std::optional<std::uint64_t> parse_hex_number(std::string_view text) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text.remove_prefix(2);
  if (text.empty()) return std::nullopt;
  constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t value = 0;
  for (const char c : text) {
    const int digit = hex_digit_value(c);
    if (digit < 0) return std::nullopt;
    value = value > kLargest >> 4 ? kLargest : value << 4 | static_cast<std::uint64_t>(digit);
  }
  return value;
}

ParsedArguments parse_arguments(const std::vector<std::string>& original) {
  ParsedArguments parsed;  // outcome: usage until the shape is accepted
  std::vector<std::string> args = original;
  if (args.size() < 3 || args.size() > 9) {
    // Count 2 cannot hold a flag yet; counts 1 and above 9 fit no shape.
    return parsed;
  }
  RunSettings settings;
  if (args.size() % 2 == 1 && !remove_flag_option(args, settings)) return parsed;

  const bool flag_only = args.size() == 2 && (settings.resource || settings.import);
  if (!flag_only && args.size() != 4 && args.size() != 6 && args.size() != 8) return parsed;
  for (std::size_t slot = 2; slot < args.size(); slot += 2)
    if (!is_value_option(args[slot])) return parsed;

  // Each value option in the table's order; its value is checked at once.
  for (const ValueOption& option : kValueOptions) {
    const std::size_t at = find_value(args, option.name);
    if (at == 0) continue;
    const std::optional<std::uint64_t> value = parse_hex_number(args[at]);
    if (!value) return rejected(msg::NotHexadecimal{args[at], option.number});
    if (!option.in_range(*value)) return rejected(msg::OutOfRange{option.number});
    option.take(settings, *value);
  }

  parsed.outcome = ParseOutcome::run;
  parsed.rom_path = args[1];
  parsed.settings = settings;
  return parsed;
}

}  // namespace gorv
