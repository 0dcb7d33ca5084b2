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

void print_error(Console& console, std::string_view message) {
  console.error_printed = true;
  std::string line = "ERROR: ";
  line.append(message);
  line.push_back('\n');
  say(console, line);
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
