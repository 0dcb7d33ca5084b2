// Counts in agreement with their nouns and verbs: "1 map written", "2 maps
// written", "0 maps written".
#pragma once

#include <cstdint>
#include <string>

namespace gorv {

// `one` for a count of 1, `many` for any other count.
constexpr const char* for_count(std::uint64_t count, const char* one, const char* many) {
  return count == 1 ? one : many;
}

// The count in decimal and the noun that goes with it: "1 byte", "3 bytes".
inline std::string counted(std::uint64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + for_count(count, one, many);
}

}  // namespace gorv
