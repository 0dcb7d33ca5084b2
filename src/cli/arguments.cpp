#include "cli/arguments.h"

#include <array>
#include <initializer_list>
#include <optional>

#include "codec/block_decoder.h"

namespace gorv {

namespace {

constexpr std::string_view kResource = "-resource";
constexpr std::string_view kImport = "-import";

std::uint8_t parse_byte(std::string_view text, std::size_t max_chars, std::uint8_t start) {
  return static_cast<std::uint8_t>(parse_hex_value(text, max_chars, start, 0xFF));
}

// A value option: its name and how its value goes into the settings. `take`
// returns the range error, or nothing when the value is accepted.
struct ValueOption {
  std::string_view name;
  std::optional<Message> (*take)(std::string_view value, RunSettings& settings);
};

// The value options in the order their values are parsed and checked.
constexpr std::array<ValueOption, 5> kValueOptions = {{
    {"-info",
     [](std::string_view value, RunSettings& s) -> std::optional<Message> {
       s.level = parse_byte(value, 2, 0);
       if (*s.level > 0x69) return msg::LevelOutOfRange{};
       return std::nullopt;
     }},
    {"-map",
     [](std::string_view value, RunSettings& s) -> std::optional<Message> {
       s.map = parse_byte(value, 2, 0);
       if (*s.map > 0x7D) return msg::MapOutOfRange{};
       return std::nullopt;
     }},
    {"-theme",
     [](std::string_view value, RunSettings& s) -> std::optional<Message> {
       s.theme = parse_byte(value, 1, 0);
       if (*s.theme == 0 || *s.theme > 0xA) return msg::ThemeOutOfRange{};
       return std::nullopt;
     }},
    {"-block",
     [](std::string_view value, RunSettings& s) -> std::optional<Message> {
       s.block_filter = parse_byte(value, 2, 0xFF);
       if (*s.block_filter > 0x10 && *s.block_filter != kAllBlockTypes)
         return msg::BlockOutOfRange{};
       return std::nullopt;
     }},
    {"-decompress",
     [](std::string_view value, RunSettings& s) -> std::optional<Message> {
       // An address must begin with a digit: the digit parser would start
       // from no value at all.
       if (value.empty() || hex_digit_value(value[0]) < 0) return msg::AddressNotValid{};
       s.dump_address = parse_hex_value(value, 6, 0, 0xFFFFFF);
       return std::nullopt;
     }},
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

ParsedArguments rejected(Message error) {
  ParsedArguments parsed;
  parsed.outcome = ParseOutcome::error;
  parsed.error = std::move(error);
  return parsed;
}

}  // namespace

int hex_digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::uint32_t parse_hex_value(std::string_view text, std::size_t max_chars, std::uint32_t start,
                              std::uint32_t mask) {
  std::uint32_t value = start & mask;
  const std::size_t count = text.size() < max_chars ? text.size() : max_chars;
  for (std::size_t i = 0; i < count; ++i) {
    const int digit = hex_digit_value(text[i]);
    if (i == 0) {
      if (digit >= 0) value = static_cast<std::uint32_t>(digit);
      continue;
    }
    value = (value * 16) & mask;
    if (digit >= 0) value = (value + static_cast<std::uint32_t>(digit)) & mask;
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

  // Each value option in the table's order; its value is range-checked at once.
  for (const ValueOption& option : kValueOptions) {
    const std::size_t at = find_value(args, option.name);
    if (at == 0) continue;
    if (std::optional<Message> error = option.take(args[at], settings))
      return rejected(std::move(*error));
  }

  parsed.outcome = ParseOutcome::run;
  parsed.rom_path = args[1];
  parsed.settings = settings;
  return parsed;
}

}  // namespace gorv
