#include "common/file_io.h"

#include <algorithm>

#include "common/platform.h"

namespace gorv {

bool read_whole_file(const std::string& path, std::vector<std::uint8_t>& bytes,
                     std::size_t max_size) {
  std::FILE* file = open_file(path, "rb");
  if (file == nullptr) return false;
  // The bytes go straight into `bytes`, not through a buffer of the C
  // library's. A regular file says its size, so it is read in one go; a
  // pipe or a device does not, and is read in chunks all the same.
  std::setvbuf(file, nullptr, _IONBF, 0);
  bytes.clear();
  const std::optional<std::uint64_t> size = regular_file_size(file);
  constexpr std::size_t kChunk = 65536;
  std::size_t want = size && *size < max_size ? static_cast<std::size_t>(*size) + 1 : kChunk;
  bool ok = true;
  for (;;) {
    // At most one byte more than allowed, which tells that there are more.
    const std::size_t room = max_size - bytes.size();
    const std::size_t ask = room < want ? room + 1 : want;
    const std::size_t old_size = bytes.size();
    bytes.resize(old_size + ask);
    const std::size_t got = std::fread(bytes.data() + old_size, 1, ask, file);
    bytes.resize(old_size + got);
    if (bytes.size() > max_size) {
      ok = false;
      break;
    }
    if (got < ask) {
      ok = std::ferror(file) == 0;
      break;
    }
    want = kChunk;
  }
  std::fclose(file);
  return ok;
}

namespace {

// Names the temporary file for `name`; false when `name` exists without
// write permission. Such a file is kept, also for the superuser, whom the
// rename that puts the new file in place would let replace it.
bool name_output_file(OutputFile& out, const std::string& name) {
  out.name = name;
  out.temp_name = name + ".gorvtool-tmp";
  out.file = nullptr;
  return !path_exists(name) || file_is_writable(name);
}

}  // namespace

bool open_output_file(OutputFile& out, const std::string& name) {
  if (!name_output_file(out, name)) return false;
  out.file = open_file(out.temp_name, "wb");
  return out.file != nullptr;
}

bool write_output_contents(OutputFile& out, std::span<const std::uint8_t> bytes,
                           const std::string& keep_permissions_of) {
  if (out.file == nullptr) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out.file) == bytes.size();
  // The data reach the disk before the rename, and the rename after it:
  // after a crash the target holds either its old or its new contents.
  ok = std::fflush(out.file) == 0 && ok;
  ok = ok && flush_to_disk(out.file);
  ok = std::fclose(out.file) == 0 && ok;
  out.file = nullptr;
  if (ok && !keep_permissions_of.empty()) ok = copy_permissions(keep_permissions_of, out.temp_name);
  if (!ok) remove_file(out.temp_name);
  out.written = ok;
  return ok;
}

bool copy_output_file(OutputFile& out, const std::string& name, const std::string& existing,
                      std::span<const std::uint8_t> bytes) {
  if (!name_output_file(out, name)) return false;
  // A second name costs no writing; a temporary file left by a killed run
  // would take that name, so it goes first.
  if (path_exists(out.temp_name)) remove_file(out.temp_name);
  if (add_hard_link(existing, out.temp_name)) {
    out.written = true;
    return true;
  }
  out.file = open_file(out.temp_name, "wb");
  return out.file != nullptr && write_output_contents(out, bytes, existing);
}

bool place_output_file(OutputFile& out) {
  if (!out.written) return false;
  out.written = false;
  if (!replace_file(out.temp_name, out.name)) {
    remove_file(out.temp_name);
    return false;
  }
  flush_folder_of(out.name);
  return true;
}

bool commit_output_file(OutputFile& out, std::span<const std::uint8_t> bytes,
                        const std::string& keep_permissions_of) {
  return write_output_contents(out, bytes, keep_permissions_of) && place_output_file(out);
}

void discard_output_file(OutputFile& out) {
  if (out.file != nullptr) std::fclose(out.file);
  out.file = nullptr;
  out.written = false;
  remove_file(out.temp_name);
}

}  // namespace gorv
