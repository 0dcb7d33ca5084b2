// The argument parser on arbitrary argument vectors: the input is split at
// zero bytes into the arguments after the program name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/arguments.h"

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

  const gorv::ParsedArguments parsed = gorv::parse_arguments(args);
  if ((parsed.outcome == gorv::ParseOutcome::error) != parsed.error.has_value()) __builtin_trap();
  if (parsed.outcome != gorv::ParseOutcome::run) return 0;
  // An accepted run holds only values in range.
  const gorv::RunSettings& s = parsed.settings;
  if (args.size() < 3 || args.size() > 9 || parsed.rom_path != args[1]) __builtin_trap();
  if (s.level && *s.level > 0x69) __builtin_trap();
  if (s.map && *s.map > 0x7D) __builtin_trap();
  if (s.theme && (*s.theme == 0 || *s.theme > 0xA)) __builtin_trap();
  if (s.block_filter && *s.block_filter != 0xFF && *s.block_filter > 0x10) __builtin_trap();
  if (s.dump_address && *s.dump_address > 0xFFFFFF) __builtin_trap();
  if (s.resource && s.import) __builtin_trap();
  return 0;
}
