// The calls of platform.h on POSIX systems (CMakeLists.txt compiles this file
// everywhere but on Windows, where platform_windows.cpp takes its place).
#include "common/platform.h"

#include <fcntl.h>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "common/console.h"

namespace gorv {

std::vector<std::string> program_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::vector<std::string> expand_wildcards(const std::vector<std::string>& names) {
  return names;
}

void run_together(std::span<const std::function<void()>> tasks) {
  if (tasks.empty()) return;
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i + 1 < tasks.size(); ++i) {
    try {
      threads.emplace_back(tasks[i]);
    } catch (const std::system_error&) {
      tasks[i]();
    }
  }
  tasks.back()();
  for (std::thread& thread : threads) thread.join();
}

bool pause_wanted() {
  return should_pause(Platform::posix, isatty(STDIN_FILENO) != 0, false);
}

int last_error_code() {
  return errno;
}

std::string system_error_text(int code) {
  std::string text = std::strerror(code);
  while (!text.empty() && (text.back() == '.' || text.back() == '\n')) text.pop_back();
  return text;
}

FileErrorReason file_error_reason(const FileError& error) {
  if (error.read_only) return FileErrorReason::read_only_file;
  switch (error.code) {
    case 0:
      return FileErrorReason::none;
    case ENOENT:
      return FileErrorReason::no_such_file;
    case EISDIR:
      return FileErrorReason::is_folder;
    case EACCES:
    case EPERM:
      return FileErrorReason::permission_denied;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return FileErrorReason::disk_full;
    case EROFS:
      return FileErrorReason::read_only_file_system;
    case ETXTBSY:  // a program file that is running
      return FileErrorReason::in_use;
    default:
      return FileErrorReason::other;
  }
}

std::FILE* open_file(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

bool remove_file(const std::string& path) {
  return std::remove(path.c_str()) == 0;
}

bool replace_file(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool copy_permissions(const std::string& from, const std::string& to) {
  struct stat info;
  if (stat(from.c_str(), &info) != 0) return false;
  return chmod(to.c_str(), info.st_mode & 07777) == 0;
}

FileIdentity file_identity(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return {};
  return {true, static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<std::uint64_t> regular_file_size(std::FILE* file) {
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  return static_cast<std::uint64_t>(info.st_size);
}

std::optional<FileError> why_not_writable(const std::string& path) {
  // A file with no write permission bit counts as read-only even for the
  // superuser, whom access() would let through.
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return FileError{errno};
  if ((info.st_mode & 0222) == 0) return FileError{0, true};
  if (access(path.c_str(), W_OK) != 0) return FileError{errno};
  return std::nullopt;
}

bool add_hard_link(const std::string& existing, const std::string& name) {
  const int fd = open(existing.c_str(), O_RDONLY);
  if (fd < 0) return false;
  struct stat info;
  const bool linked = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
                      fsync(fd) == 0 &&
                      linkat(AT_FDCWD, existing.c_str(), AT_FDCWD, name.c_str(), 0) == 0;
  close(fd);
  return linked;
}

bool path_exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

std::string file_name_of(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

std::string file_stem_of(const std::string& path) {
  return std::filesystem::path(path).stem().string();
}

std::string file_extension_of(const std::string& path) {
  return std::filesystem::path(path).extension().string();
}

bool flush_to_disk(std::FILE* file) {
  return fsync(fileno(file)) == 0;
}

void flush_folder_of(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  const int fd = open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}

}  // namespace gorv
