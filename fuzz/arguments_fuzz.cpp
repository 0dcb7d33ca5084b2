// The argument parser on arbitrary argument vectors: the input is split at
// zero bytes into the arguments after the program name.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli/arguments.h"

namespace {

bool has_prefix(const std::string& word) {
  return word.size() >= 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X');
}

// A number reads the same with "0x" before its digits, with a leading zero,
// and written out again; a word that is no number stays none with "0x".
void check_number(const std::string& word) {
  const std::optional<std::uint64_t> value = gorv::parse_hex_number(word);
  if (!has_prefix(word) && gorv::parse_hex_number("0x" + word) != value) __builtin_trap();
  if (!value) return;
  if (!has_prefix(word) && gorv::parse_hex_number("0" + word) != value) __builtin_trap();
  if (*value == std::numeric_limits<std::uint64_t>::max()) return;  // maybe past 64 bits
  char digits[24];
  std::snprintf(digits, sizeof digits, "%llx", static_cast<unsigned long long>(*value));
  if (gorv::parse_hex_number(digits) != value) __builtin_trap();
}

// True when some argument after the image is the number `value`.
bool given(const std::vector<std::string>& args, std::uint64_t value) {
  for (std::size_t i = 2; i < args.size(); ++i)
    if (gorv::parse_hex_number(args[i]) == value) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args = {"gorvtool"};
  std::string word;
  for (std::size_t i = 0; i < size && args.size() < 12; ++i) {
    if (data[i] == 0) {
      args.push_back(word);
      word.clear();
    } else {
      word.push_back(static_cast<char>(data[i]));
    }
  }
  if (size > 0 && args.size() < 12) args.push_back(word);
  for (std::size_t i = 1; i < args.size(); ++i) check_number(args[i]);

  const gorv::ParsedArguments parsed = gorv::parse_arguments(args);
  if ((parsed.outcome == gorv::ParseOutcome::error) != parsed.error.has_value()) __builtin_trap();

  // "0x" before every number after the image changes nothing but the
  // value a message quotes.
  std::vector<std::string> prefixed = args;
  for (std::size_t i = 2; i < prefixed.size(); ++i)
    if (!has_prefix(prefixed[i]) && gorv::parse_hex_number(prefixed[i]))
      prefixed[i].insert(0, "0x");
  const gorv::ParsedArguments again = gorv::parse_arguments(prefixed);
  if (again.outcome != parsed.outcome || !(again.settings == parsed.settings) ||
      again.rom_path != parsed.rom_path)
    __builtin_trap();
  if (parsed.error) {
    if (again.error->index() != parsed.error->index()) __builtin_trap();
    // A value called no number is none.
    const auto* not_number = std::get_if<gorv::msg::NotHexadecimal>(&*parsed.error);
    if (not_number && gorv::parse_hex_number(not_number->value)) __builtin_trap();
  }
  if (parsed.outcome != gorv::ParseOutcome::run) return 0;

  // An accepted run holds only values in range, each one given.
  const gorv::RunSettings& s = parsed.settings;
  if (args.size() < 3 || args.size() > 9 || parsed.rom_path != args[1]) __builtin_trap();
  if (s.level && (*s.level > 0x69 || !given(args, *s.level))) __builtin_trap();
  if (s.map && (*s.map > 0x7D || !given(args, *s.map))) __builtin_trap();
  if (s.theme && (*s.theme == 0 || *s.theme > 0xA || !given(args, *s.theme))) __builtin_trap();
  if (s.block_filter &&
      ((*s.block_filter != 0xFF && *s.block_filter > 0x10) || !given(args, *s.block_filter)))
    __builtin_trap();
  if (s.dump_address && (*s.dump_address > 0xFFFFFF || !given(args, *s.dump_address)))
    __builtin_trap();
  if (s.resource && s.import) __builtin_trap();
  return 0;
}
