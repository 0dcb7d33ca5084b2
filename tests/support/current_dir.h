// Makes a directory the current one for the lifetime of the guard.
#pragma once

#include <filesystem>

namespace gorv::test {

struct CurrentDirGuard {
  explicit CurrentDirGuard(const std::filesystem::path& dir)
      : previous(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~CurrentDirGuard() { std::filesystem::current_path(previous); }
  CurrentDirGuard(const CurrentDirGuard&) = delete;
  CurrentDirGuard& operator=(const CurrentDirGuard&) = delete;

  std::filesystem::path previous;
};

}  // namespace gorv::test
