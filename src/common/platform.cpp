// The calls of platform.h that are the same everywhere, built on those that
// are not (platform_posix.cpp, platform_windows.cpp).
#include "common/platform.h"

#include <atomic>

namespace gorv {

bool same_identity(const FileIdentity& a, const FileIdentity& b) {
  return a.found && b.found && a.device == b.device && a.file == b.file;
}

bool same_file(const std::string& a, const std::string& b) {
  return same_identity(file_identity(a), file_identity(b));
}

void for_each_on_two_threads(std::size_t count,
                             const std::function<void(std::size_t, std::size_t)>& each) {
  // Each thread takes the next i as it gets free, so that a few costly
  // items do not leave one thread waiting for the other.
  std::atomic<std::size_t> next{0};
  auto take_turns = [&](std::size_t thread) {
    for (std::size_t i = next++; i < count; i = next++) each(i, thread);
  };
  const std::function<void()> tasks[] = {[&] { take_turns(1); }, [&] { take_turns(0); }};
  run_together(tasks);
}

}  // namespace gorv
