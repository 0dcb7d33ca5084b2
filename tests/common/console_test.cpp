#include "common/console.h"

#include <gtest/gtest.h>

namespace gorv {
namespace {

// Only a console window of the tool's own on Windows waits for Enter.
TEST(PauseRule, OnlyAWindowOfItsOwnWaits) {
  struct Case {
    Platform platform;
    bool terminal, own_console, pauses;
  };
  const Case cases[] = {
      {Platform::windows, true, true, true},   {Platform::windows, true, false, false},
      {Platform::windows, false, true, false}, {Platform::windows, false, false, false},
      {Platform::posix, true, true, false},    {Platform::posix, true, false, false},
      {Platform::posix, false, true, false},   {Platform::posix, false, false, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(should_pause(c.platform, c.terminal, c.own_console), c.pauses)
        << (c.platform == Platform::windows) << c.terminal << c.own_console;
}

}  // namespace
}  // namespace gorv
