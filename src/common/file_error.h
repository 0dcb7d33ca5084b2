// Why a file could not be opened, created or written, in the system's own
// terms, kept for the message that reports it.
#pragma once

namespace gorv {

// The error code of the file call that failed: errno on POSIX systems,
// GetLastError() on Windows, taken right after the call. `read_only` marks
// the tool's own refusal to replace a file that exists without write
// permission; no call failed then, and `code` is 0.
struct FileError {
  int code = 0;
  bool read_only = false;
  friend bool operator==(const FileError&, const FileError&) = default;
};

// The errors a user can act on, each told in words of its own; the rest
// are told in the system's words.
enum class FileErrorReason {
  none,  // no code was kept: no call failed
  no_such_file,
  is_folder,
  permission_denied,
  read_only_file,  // the tool's own refusal
  disk_full,       // a quota that is used up, too
  read_only_file_system,
  in_use,  // another program has the file open (Windows)
  other,
};

// Sorts the error by its code; the codes differ between systems, so each
// platform file defines it.
FileErrorReason file_error_reason(const FileError& error);

}  // namespace gorv
