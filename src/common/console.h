// Everything the tool says goes through a Console: reports, progress lines,
// error lines and the pause after an error.
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
  // Set by print_error: the run's exit status becomes 1.
  bool error_printed = false;
};

// Prints text as it stands.
void say(Console& console, std::string_view text);

// Prints "ERROR: " + message + "\n" and remembers that an error was printed.
void print_error(Console& console, std::string_view message);

// Waits for the user after an error or the usage text: prints
// "Press Enter to continue . . ." and reads one line, but only when the
// console is interactive; otherwise does nothing.
void pause(Console& console);

}  // namespace gorv
