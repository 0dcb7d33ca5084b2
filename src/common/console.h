// Where the front end's text goes: standard output, or a string in the
// tests; and the pause after an error.
#pragma once

#include <string>
#include <string_view>

namespace gorv {

struct Console {
  // When set, text is appended here instead of going to standard output
  // (used by the tests).
  std::string* capture = nullptr;
  // True when the pause should wait for the user (standard input is a
  // terminal the user can answer from).
  bool interactive = false;
};

// Prints text as it stands.
void say(Console& console, std::string_view text);

// Waits for the user after an error or the usage text: prints
// "Press Enter to continue . . ." and reads one line, but only when the
// console is interactive; otherwise does nothing.
void pause(Console& console);

}  // namespace gorv
