#include "cli/messages.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace gorv {
namespace {

// Why a file cannot be used, for every error a user can act on, as the file
// layer keeps it (the codes are injected: a full disk and a read-only file
// system are not at hand in a test).
TEST(Messages, FileErrorsSayWhy) {
  const struct {
    FileError error;
    const char* reason;
  } cases[] = {
      {{0, false}, ""},
      {{ENOENT, false}, " (no such file)"},
      {{EISDIR, false}, " (it is a folder)"},
      {{EACCES, false}, " (permission denied)"},
      {{0, true}, " (it is read-only)"},
      {{ENOSPC, false}, " (the disk is full)"},
      {{EDQUOT, false}, " (the disk is full)"},
      {{EROFS, false}, " (the file system is read-only)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(message_text(msg::CannotWrite{"a.gvm", c.error}),
              std::string("ERROR: cannot write file \"a.gvm\"") + c.reason + "\n")
        << c.error.code;
    EXPECT_EQ(message_text(msg::CannotOpen{"a.gvm", c.error}),
              std::string("ERROR: cannot open file \"a.gvm\"") + c.reason + "\n");
  }
  // Any other error in the system's words, without a closing full stop.
  const std::string other = message_text(msg::CannotCreate{"a.gvm", {EIO, false}});
  ASSERT_TRUE(other.starts_with("ERROR: cannot create file \"a.gvm\" (")) << other;
  EXPECT_TRUE(other.ends_with(")\n")) << other;
  EXPECT_GT(other.size(), std::string("ERROR: cannot create file \"a.gvm\" ()\n").size());
  EXPECT_FALSE(other.ends_with(".)\n")) << other;
}

}  // namespace
}  // namespace gorv
