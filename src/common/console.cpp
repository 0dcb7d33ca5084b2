#include "common/console.h"

#include <cstdio>

namespace gorv {

void say(Console& console, std::string_view text) {
  if (console.capture != nullptr) {
    console.capture->append(text);
    return;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
}

bool should_pause(Platform platform, bool stdin_is_terminal, bool console_is_own) {
  return platform == Platform::windows && stdin_is_terminal && console_is_own;
}

void pause(Console& console) {
  if (!console.interactive) return;
  say(console, "Press Enter to continue . . .");
  std::fflush(stdout);
  int c;
  do {
    c = std::getchar();
  } while (c != '\n' && c != EOF);
}

}  // namespace gorv
