#include "cli/counts.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

namespace gorv {
namespace {

TEST(Counts, OneTakesTheSingular) {
  const std::vector<std::pair<Message, std::string>> cases = {
      {msg::MapsWritten{0}, "0 maps written\n"},
      {msg::MapsWritten{1}, "1 map written\n"},
      {msg::MapsKept{1}, "1 map file already existed and was kept\n"},
      {msg::MapsKept{3}, "3 map files already existed and were kept\n"},
      {msg::PatchSizes{1, 1, 2}, "patch: 1 byte (source 1 byte, target 2 bytes)\n"},
  };
  for (const auto& [message, text] : cases) EXPECT_EQ(message_text(message), text);
}

}  // namespace
}  // namespace gorv
