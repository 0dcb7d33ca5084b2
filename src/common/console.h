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
  // True when the pause should wait for the user (see should_pause).
  bool interactive = false;
};

enum class Platform { windows, posix };

// Whether the pause after an error or the usage text waits for Enter: only
// where the window would otherwise close before the message is read, that
// is on Windows when the console is the tool's own (it was started by a
// double click or by dropping a file on it). A terminal of another system,
// or a command prompt the tool shares, stays open; with standard input not
// a terminal nobody could answer.
bool should_pause(Platform platform, bool stdin_is_terminal, bool console_is_own);

// Prints text as it stands.
void say(Console& console, std::string_view text);

// Waits for the user after an error or the usage text: prints
// "Press Enter to continue . . ." and reads one line, but only when the
// console is interactive; otherwise does nothing.
void pause(Console& console);

}  // namespace gorv
