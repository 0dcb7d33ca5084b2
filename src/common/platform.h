// The few calls that differ between Windows and POSIX systems. File names
// are UTF-8 strings everywhere in the tool; on Windows they are turned into
// the system's wide names here, so every name works, not only those of the
// local code page.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/file_error.h"

namespace gorv {

// The program's arguments as UTF-8 strings, program name first. On Windows
// they are taken from the wide command line; `argv` is used only if that
// fails.
std::vector<std::string> program_arguments(int argc, char** argv);

// File names with the wildcards * and ? expanded, in name order, where no
// shell does it (Windows); a name that matches nothing stays as it is. On
// POSIX systems the shell has already expanded them: the names are kept.
std::vector<std::string> expand_wildcards(const std::vector<std::string>& names);

// True when a pause after an error should wait for the user: the facts of
// this system and process put to should_pause (common/console.h).
bool pause_wanted();

// The error code of the file call that just failed (errno on POSIX systems,
// GetLastError() on Windows), as FileError keeps it.
int last_error_code();

// The system's own words for an error code of last_error_code(), without a
// closing full stop or line break.
std::string system_error_text(int code);

// Opens a file like std::fopen; `mode` must include "b".
std::FILE* open_file(const std::string& path, const char* mode);

// Removes a file. Returns false on failure.
bool remove_file(const std::string& path);

// Replaces the file `to` by the file `from` (renames `from` over `to`,
// also when `to` exists). Returns false on failure; `from` then still exists.
bool replace_file(const std::string& from, const std::string& to);

// Gives `to` the permission bits (on Windows: the attributes, less
// read-only) of `from`. Returns false on failure.
bool copy_permissions(const std::string& from, const std::string& to);

// Which file a name leads to (also through links): two names with equal
// identities lead to one file. `found` is false when nothing can be found
// at the name; such identities equal nothing.
struct FileIdentity {
  bool found = false;
  std::uint64_t device = 0;
  std::uint64_t file = 0;
};
FileIdentity file_identity(const std::string& path);
bool same_identity(const FileIdentity& a, const FileIdentity& b);

// True when both names lead to one existing file (also through links).
bool same_file(const std::string& a, const std::string& b);

// The size of an open regular file, or nothing for anything else (a pipe,
// a device), whose size is known only once it has been read.
std::optional<std::uint64_t> regular_file_size(std::FILE* file);

// Why this process may not write to the file `path`: nothing when the file
// exists and may be written. A file without write permission is refused
// (FileError::read_only) even where the superuser could write to it.
std::optional<FileError> why_not_writable(const std::string& path);

// Gives the file `existing` the second name `name` (a hard link), after
// putting its data on the disk. Only a regular file that has no other name
// gets one, so that the two names stay the only two. Returns false, having
// created nothing, where that cannot be done (another file system, one
// without hard links, a file with more names, `name` taken).
bool add_hard_link(const std::string& existing, const std::string& name);

// True when something exists at `path` (a dangling link included).
bool path_exists(const std::string& path);

// Parts of a path's last component: the file name, that name without its
// extension, and the extension with its dot ("" when none).
std::string file_name_of(const std::string& path);
std::string file_stem_of(const std::string& path);
std::string file_extension_of(const std::string& path);

// Runs the tasks at the same time, each on a thread of its own (the last
// one on the calling thread), and returns when all have ended. A task that
// cannot get a thread runs on the calling thread instead.
void run_together(std::span<const std::function<void()>> tasks);

// Calls each(i, thread) for every i below `count`, on two threads (0 and
// 1), each taking the next i when it is free. `each` must touch nothing
// another i touches, except what belongs to its thread.
void for_each_on_two_threads(std::size_t count,
                             const std::function<void(std::size_t, std::size_t)>& each);

// Puts what was written to `file` (already flushed from the C library's
// buffer) on the disk. Returns false on failure.
bool flush_to_disk(std::FILE* file);

// Puts the folder entry of `path` on the disk after a rename (POSIX systems;
// on Windows the rename itself writes through). A file system that cannot
// flush folders is not an error: the data themselves are on the disk.
void flush_folder_of(const std::string& path);

}  // namespace gorv
