#include "common/platform.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace gorv {

#ifdef _WIN32

bool pause_wanted() {
  // Pause only when the console window is this process's own (started by a
  // double click or by dropping a file on the program): it would vanish
  // before the user could read the message.
  DWORD processes[2];
  return GetConsoleProcessList(processes, 2) == 1;
}

bool replace_file(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool copy_permissions(const std::string& from, const std::string& to) {
  const DWORD attributes = GetFileAttributesA(from.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return SetFileAttributesA(to.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}) != 0;
}

bool file_is_writable(const std::string& path) {
  return _access(path.c_str(), 2) == 0;
}

#else

bool pause_wanted() {
  return isatty(STDIN_FILENO) != 0;
}

bool replace_file(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool copy_permissions(const std::string& from, const std::string& to) {
  struct stat info;
  if (stat(from.c_str(), &info) != 0) return false;
  return chmod(to.c_str(), info.st_mode & 07777) == 0;
}

bool file_is_writable(const std::string& path) {
  // A file with no write permission bit counts as read-only even for the
  // superuser, whom access() would let through.
  struct stat info;
  if (stat(path.c_str(), &info) != 0 || (info.st_mode & 0222) == 0) return false;
  return access(path.c_str(), W_OK) == 0;
}

#endif

}  // namespace gorv
