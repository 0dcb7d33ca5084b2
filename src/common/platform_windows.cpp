// The calls of platform.h on Windows (CMakeLists.txt compiles this file
// there, platform_posix.cpp everywhere else).
#include "common/platform.h"

// The plain C file calls are meant; no min and max macros.
#ifndef _CRT_SECURE_NO_WARNINGS
#define _CRT_SECURE_NO_WARNINGS
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
// windows.h first: shellapi.h needs its types.
#include <shellapi.h>

#include "common/console.h"

namespace gorv {

namespace {

std::wstring wide(const std::string& text) {
  if (text.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return {};
  std::wstring result(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
  return result;
}

std::string utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
  result.pop_back();  // the terminator
  return result;
}

// A folder cannot be opened as a file or replaced by one, and the system
// says only that access is denied: after such a failure, the last error
// says what `path` is instead (ERROR_DIRECTORY, which file_error_reason
// tells as a folder).
void say_if_folder(const std::string& path) {
  const DWORD code = GetLastError();
  if (code != ERROR_ACCESS_DENIED) return;
  const DWORD attributes = GetFileAttributesW(wide(path).c_str());
  const bool folder =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  SetLastError(folder ? ERROR_DIRECTORY : code);
}

}  // namespace

std::vector<std::string> program_arguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide_args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide_args == nullptr || count != argc) {
    if (wide_args != nullptr) LocalFree(wide_args);
    return std::vector<std::string>(argv, argv + argc);
  }
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(utf8(wide_args[i]));
  LocalFree(wide_args);
  return args;
}

// Threads come from CreateThread, not std::thread: MinGW-w64 compilers of
// the win32 thread model (Debian's default, which `make windows` uses) have
// no std::thread before GCC 13, and those of the posix model build it on
// winpthreads, one more library to link in or ship as a DLL. CreateThread
// works with every Windows compiler and keeps gorvtool.exe importing only
// KERNEL32, msvcrt and SHELL32.
namespace {

DWORD WINAPI run_task(LPVOID task) {
  (*static_cast<const std::function<void()>*>(task))();
  return 0;
}

}  // namespace

void run_together(std::span<const std::function<void()>> tasks) {
  if (tasks.empty()) return;
  std::vector<HANDLE> threads;
  for (std::size_t i = 0; i + 1 < tasks.size(); ++i) {
    const HANDLE thread = CreateThread(nullptr, 0, run_task,
                                       const_cast<std::function<void()>*>(&tasks[i]), 0, nullptr);
    if (thread == nullptr) {
      tasks[i]();
    } else {
      threads.push_back(thread);
    }
  }
  tasks.back()();
  for (const HANDLE thread : threads) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
}

std::vector<std::string> expand_wildcards(const std::vector<std::string>& names) {
  std::vector<std::string> result;
  for (const std::string& name : names) {
    if (name.find_first_of("*?") == std::string::npos) {
      result.push_back(name);
      continue;
    }
    const std::size_t slash = name.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : name.substr(0, slash + 1);
    std::vector<std::string> found;
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW(wide(name).c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
          found.push_back(folder + utf8(data.cFileName));
      } while (FindNextFileW(search, &data) != 0);
      FindClose(search);
    }
    std::sort(found.begin(), found.end());
    if (found.empty()) found.push_back(name);
    result.insert(result.end(), found.begin(), found.end());
  }
  return result;
}

bool pause_wanted() {
  // A console shared with a command prompt lists the prompt's process too.
  const bool terminal = GetFileType(GetStdHandle(STD_INPUT_HANDLE)) == FILE_TYPE_CHAR;
  DWORD processes[2];
  return should_pause(Platform::windows, terminal, GetConsoleProcessList(processes, 2) == 1);
}

int last_error_code() {
  return static_cast<int>(GetLastError());
}

std::string system_error_text(int code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = length != 0 ? utf8(buffer) : "error " + std::to_string(code);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() &&
         (text.back() == '.' || text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  return text;
}

FileErrorReason file_error_reason(const FileError& error) {
  // ERROR_DISK_QUOTA_EXCEEDED, which MinGW-w64's winerror.h lacks.
  constexpr DWORD kDiskQuotaExceeded = 1295;
  if (error.read_only) return FileErrorReason::read_only_file;
  switch (static_cast<DWORD>(error.code)) {
    case 0:
      return FileErrorReason::none;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return FileErrorReason::no_such_file;
    case ERROR_ACCESS_DENIED:
      return FileErrorReason::permission_denied;
    case ERROR_DIRECTORY:  // say_if_folder's word for a folder
      return FileErrorReason::is_folder;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case kDiskQuotaExceeded:
      return FileErrorReason::disk_full;
    case ERROR_WRITE_PROTECT:
      return FileErrorReason::read_only_file_system;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return FileErrorReason::in_use;
    default:
      return FileErrorReason::other;
  }
}

std::FILE* open_file(const std::string& path, const char* mode) {
  std::FILE* file = _wfopen(wide(path).c_str(), wide(mode).c_str());
  if (file == nullptr) say_if_folder(path);
  return file;
}

bool remove_file(const std::string& path) {
  return DeleteFileW(wide(path).c_str()) != 0;
}

bool replace_file(const std::string& from, const std::string& to) {
  if (MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
    return true;
  say_if_folder(to);
  return false;
}

bool copy_permissions(const std::string& from, const std::string& to) {
  const DWORD attributes = GetFileAttributesW(wide(from).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return SetFileAttributesW(wide(to).c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}) != 0;
}

FileIdentity file_identity(const std::string& path) {
  // No access asked: the identity of a file that cannot be read is found too.
  const HANDLE file =
      CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  BY_HANDLE_FILE_INFORMATION info;
  FileIdentity identity;
  if (GetFileInformationByHandle(file, &info) != 0)
    identity = {true, info.dwVolumeSerialNumber,
                std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow};
  CloseHandle(file);
  return identity;
}

std::optional<std::uint64_t> regular_file_size(std::FILE* file) {
  struct _stat64 info;
  if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) return {};
  return static_cast<std::uint64_t>(info.st_size);
}

std::optional<FileError> why_not_writable(const std::string& path) {
  // As _waccess judges it: the read-only attribute of a folder means nothing.
  const DWORD attributes = GetFileAttributesW(wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileError{last_error_code()};
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0 && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    return FileError{0, true};
  return std::nullopt;
}

bool add_hard_link(const std::string& existing, const std::string& name) {
  const HANDLE file = CreateFileW(wide(existing).c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info;
  const bool linked = GetFileInformationByHandle(file, &info) != 0 && info.nNumberOfLinks == 1 &&
                      FlushFileBuffers(file) != 0 &&
                      CreateHardLinkW(wide(name).c_str(), wide(existing).c_str(), nullptr) != 0;
  CloseHandle(file);
  return linked;
}

bool path_exists(const std::string& path) {
  return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string file_name_of(const std::string& path) {
  return utf8(std::filesystem::path(wide(path)).filename().c_str());
}

std::string file_stem_of(const std::string& path) {
  return utf8(std::filesystem::path(wide(path)).stem().c_str());
}

std::string file_extension_of(const std::string& path) {
  return utf8(std::filesystem::path(wide(path)).extension().c_str());
}

bool flush_to_disk(std::FILE* file) {
  return _commit(_fileno(file)) == 0;
}

void flush_folder_of(const std::string&) {}

}  // namespace gorv
