#include "common/file_io.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "common/platform.h"

namespace gorv {

FileRead read_whole_file(const std::string& path, std::vector<std::uint8_t>& bytes,
                         std::size_t max_size) {
  std::FILE* file = open_file(path, "rb");
  if (file == nullptr) return {false, {last_error_code()}};
  // The bytes go straight into `bytes`, not through a buffer of the C
  // library's. A regular file says its size, so it is read in one go; a
  // pipe or a device does not, and is read in chunks all the same.
  std::setvbuf(file, nullptr, _IONBF, 0);
  bytes.clear();
  const std::optional<std::uint64_t> size = regular_file_size(file);
  constexpr std::size_t kChunk = 65536;
  std::size_t want = size && *size < max_size ? static_cast<std::size_t>(*size) + 1 : kChunk;
  FileRead read{true, {}};
  for (;;) {
    // At most one byte more than allowed, which tells that there are more.
    const std::size_t room = max_size - bytes.size();
    const std::size_t ask = room < want ? room + 1 : want;
    const std::size_t old_size = bytes.size();
    bytes.resize(old_size + ask);
    const std::size_t got = std::fread(bytes.data() + old_size, 1, ask, file);
    bytes.resize(old_size + got);
    if (bytes.size() > max_size) {
      read.ok = false;
      break;
    }
    if (got < ask) {
      // A folder opened as a file (POSIX systems) fails here, not above.
      if (std::ferror(file) != 0) read = {false, {last_error_code()}};
      break;
    }
    want = kChunk;
  }
  std::fclose(file);
  return read;
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : name(std::move(other.name)),
      temp_name(std::move(other.temp_name)),
      file(std::exchange(other.file, nullptr)),
      temp_exists(std::exchange(other.temp_exists, false)),
      written(std::exchange(other.written, false)),
      error(other.error) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    discard_output_file(*this);
    name = std::move(other.name);
    temp_name = std::move(other.temp_name);
    file = std::exchange(other.file, nullptr);
    temp_exists = std::exchange(other.temp_exists, false);
    written = std::exchange(other.written, false);
    error = other.error;
  }
  return *this;
}

OutputFile::~OutputFile() {
  discard_output_file(*this);
}

void discard_output_file(OutputFile& out) noexcept {
  if (out.file != nullptr) std::fclose(out.file);
  out.file = nullptr;
  // Only a file this object created: another run's temporary file of the
  // same name is not touched.
  if (out.temp_exists) remove_file(out.temp_name);
  out.temp_exists = false;
  out.written = false;
}

namespace {

// Names the temporary file for `name`; false when `name` exists without
// write permission. Such a file is kept, also for the superuser, whom the
// rename that puts the new file in place would let replace it.
bool name_output_file(OutputFile& out, const std::string& name) {
  discard_output_file(out);
  out.name = name;
  out.temp_name = name + ".gorvtool-tmp";
  out.error = {};
  if (!path_exists(name)) return true;
  const std::optional<FileError> refusal = why_not_writable(name);
  if (refusal) out.error = *refusal;
  return !refusal;
}

bool create_temp_file(OutputFile& out) {
  out.file = open_file(out.temp_name, "wb");
  if (out.file == nullptr) {
    out.error = {last_error_code()};
    return false;
  }
  out.temp_exists = true;
  return true;
}

// Keeps the error of the first failed step (false) of several.
void keep_first_error(std::optional<FileError>& error, bool done) {
  if (!done && !error) error = FileError{last_error_code()};
}

}  // namespace

bool open_output_file(OutputFile& out, const std::string& name) {
  return name_output_file(out, name) && create_temp_file(out);
}

bool write_output_contents(OutputFile& out, std::span<const std::uint8_t> bytes,
                           const std::string& keep_permissions_of) {
  if (out.file == nullptr) return false;
  std::optional<FileError> error;
  keep_first_error(
      error, bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out.file) == bytes.size());
  // The data reach the disk before the rename, and the rename after it:
  // after a crash the target holds either its old or its new contents.
  keep_first_error(error, std::fflush(out.file) == 0);
  if (!error) keep_first_error(error, flush_to_disk(out.file));
  keep_first_error(error, std::fclose(out.file) == 0);
  out.file = nullptr;
  if (!error && !keep_permissions_of.empty())
    keep_first_error(error, copy_permissions(keep_permissions_of, out.temp_name));
  if (error) {
    out.error = *error;
    discard_output_file(out);
    return false;
  }
  out.written = true;
  return true;
}

bool copy_output_file(OutputFile& out, const std::string& name, const std::string& existing,
                      std::span<const std::uint8_t> bytes) {
  if (!name_output_file(out, name)) return false;
  // A second name costs no writing; a temporary file left by a killed run
  // would take that name, so it goes first.
  if (path_exists(out.temp_name)) remove_file(out.temp_name);
  if (add_hard_link(existing, out.temp_name)) {
    out.temp_exists = true;
    out.written = true;
    return true;
  }
  return create_temp_file(out) && write_output_contents(out, bytes, existing);
}

bool place_output_file(OutputFile& out) {
  if (!out.written) return false;
  if (!replace_file(out.temp_name, out.name)) {
    out.error = {last_error_code()};
    discard_output_file(out);
    return false;
  }
  out.temp_exists = false;
  out.written = false;
  flush_folder_of(out.name);
  return true;
}

bool commit_output_file(OutputFile& out, std::span<const std::uint8_t> bytes,
                        const std::string& keep_permissions_of) {
  return write_output_contents(out, bytes, keep_permissions_of) && place_output_file(out);
}

}  // namespace gorv
