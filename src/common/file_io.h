// Whole-file reads and safe whole-file writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "common/file_error.h"

namespace gorv {

// What read_whole_file did: `ok`, or the error of the call that failed.
// A file larger than the limit is not read and has no error: `bytes` then
// holds one byte more than the limit.
struct FileRead {
  bool ok = false;
  FileError error;
  explicit operator bool() const { return ok; }
};

// Reads a whole file in binary mode. Fails when it cannot be opened or
// read, or when it holds more than `max_size` bytes: reading then stops
// with `bytes` holding max_size + 1 of them, so that a device or a pipe that
// never ends cannot take all the memory.
FileRead read_whole_file(const std::string& path, std::vector<std::uint8_t>& bytes,
                         std::size_t max_size = SIZE_MAX);

// An output file in the making. Its bytes go to a temporary file beside the
// target, which replaces the target only once everything is written, so an
// existing file is never left half-written or emptied by a failed run.
// The temporary file belongs to the object: one that goes away before the
// file is in place removes it (closing it first, as Windows removes no open
// file), and one moved from leaves it to the object it moved to. A step
// that fails keeps the error in `error`, and has removed the temporary file.
struct OutputFile {
  std::string name;       // the target, as the user sees it
  std::string temp_name;  // the temporary file beside it
  std::FILE* file = nullptr;
  bool temp_exists = false;  // this object created the temporary file
  bool written = false;      // the temporary file is complete and on the disk
  FileError error;           // why the last step failed

  OutputFile() = default;
  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;
  ~OutputFile();
};

// Creates the temporary file for `name` (removing any `out` held before).
// Fails when it cannot be created, or when `name` exists without write
// permission: such a file is never replaced.
bool open_output_file(OutputFile& out, const std::string& name);

// Writes `bytes`, puts them on the disk, closes the file and puts it in
// place of the target (then puts the folder entry on the disk too). When
// `keep_permissions_of` is not empty, the new file first gets that file's
// permission bits. On failure the target is unchanged.
bool commit_output_file(OutputFile& out, std::span<const std::uint8_t> bytes,
                        const std::string& keep_permissions_of = {});

// The two halves of commit_output_file, for a caller that puts several
// files in place only once all of them are written: writes `bytes` to the
// temporary file, flushes it to the disk and closes it; then puts it in
// place of the target.
bool write_output_contents(OutputFile& out, std::span<const std::uint8_t> bytes,
                           const std::string& keep_permissions_of = {});
bool place_output_file(OutputFile& out);

// Makes the temporary file for `name` a copy of the file `existing`, which
// holds `bytes`, and puts it on the disk, ready for place_output_file.
// Where the file system allows, the copy is a second name of `existing`
// (nothing is written); otherwise `bytes` are written. Fails as
// open_output_file and write_output_contents do.
bool copy_output_file(OutputFile& out, const std::string& name, const std::string& existing,
                      std::span<const std::uint8_t> bytes);

// Closes and removes the temporary file, if `out` has one; the target is
// unchanged. What the destructor does, for a file to go before its object.
void discard_output_file(OutputFile& out) noexcept;

}  // namespace gorv
