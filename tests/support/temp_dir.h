// A fresh directory for one test, removed with everything in it at the end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace gorv::test {

struct TempDir {
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::filesystem::path path;
};

// Whole-file helpers for tests.
std::vector<std::uint8_t> read_file(const std::filesystem::path& file);
void write_file(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);

}  // namespace gorv::test
