// The few calls that differ between Windows and POSIX systems.
#pragma once

#include <string>

namespace gorv {

// True when a pause after an error should wait for the user: on POSIX
// systems when standard input is a terminal.
bool pause_wanted();

// Replaces the file `to` by the file `from` (renames `from` over `to`,
// also when `to` exists). Returns false on failure; `from` then still exists.
bool replace_file(const std::string& from, const std::string& to);

// Gives `to` the permission bits of `from`. Returns false on failure.
bool copy_permissions(const std::string& from, const std::string& to);

// True when the file exists and this process may write to it.
bool file_is_writable(const std::string& path);

}  // namespace gorv
