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
