#include "import/importer.h"

#include <filesystem>
#include <system_error>

#include "codec/lz_encoder.h"
#include "common/file_io.h"
#include "common/platform.h"
#include "common/text.h"
#include "import/image_finish.h"
#include "import/level_directory.h"
#include "rom/map_header.h"

namespace gorv {

namespace {

// The map header's 16-bit length fields bound every layout.
constexpr std::size_t kMaxLayoutLength = 0xFFFF;

// Far more than any map file holds (its section offsets are 16-bit), and
// little enough that a device or a pipe named like a map file cannot take
// all the memory.
constexpr std::size_t kMaxMapFileSize = 0x1000000;

void report_damaged(Console& console, const std::string& name, const std::string& problem) {
  print_error(console, format("map file \"%s\" is damaged", name.c_str()));
  say(console, "  " + problem + "\n");
  pause(console);
}

// True when something (even something unreadable) stands at `path`; a
// missing file makes its map absent.
bool file_present(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  return status.type() != std::filesystem::file_type::not_found;
}

bool check_layout_length(Console& console, const MapRecord& record, const char* layout,
                         std::size_t length) {
  if (length <= kMaxLayoutLength) return true;
  report_damaged(
      console, map_file_name(record.map),
      format("the %s layout takes %zu bytes in the ROM image, more than 65535", layout, length));
  return false;
}

// The file to replace: a symbolic link is followed, so that it goes on
// leading to the image (replacing the link itself would leave the image it
// points to as it was, and the link a plain file).
std::string file_to_replace(const std::string& rom_path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(rom_path, error)) return rom_path;
  const auto target = std::filesystem::canonical(rom_path, error);
  return error ? rom_path : target.string();
}

// The name of the map file that is the ROM image itself (the same file,
// also through a link), or "" when there is none. Importing a map file
// into itself would replace the user's map by an image.
std::string map_file_named_as_image(const std::string& rom_path, const std::string& directory) {
  for (int map = 0; map < kMapCount; ++map) {
    const std::string name = map_file_name(static_cast<std::uint8_t>(map));
    const std::string path =
        directory.empty() ? name : (std::filesystem::path(directory) / name).string();
    if (same_file(path, rom_path)) return name;
  }
  return "";
}

}  // namespace

bool read_map_files(Console& console, const std::string& directory,
                    std::vector<MapRecord>& records) {
  records.clear();
  std::vector<std::uint8_t> file;
  for (int map = 0; map < kMapCount; ++map) {
    const std::string name = map_file_name(static_cast<std::uint8_t>(map));
    const std::string path =
        directory.empty() ? name : (std::filesystem::path(directory) / name).string();
    if (!file_present(path)) continue;
    say(console, format("map%02X.gvm\n", static_cast<unsigned>(map)));
    if (!read_whole_file(path, file, kMaxMapFileSize)) {
      report_damaged(console, name,
                     file.size() > kMaxMapFileSize ? "the file is larger than 16 MiB"
                                                   : "the file cannot be read");
      return false;
    }
    MapRecord record;
    record.map = static_cast<std::uint8_t>(map);
    std::string problem;
    if (!read_map_file(file, record, problem)) {
      report_damaged(console, name, problem);
      return false;
    }
    records.push_back(std::move(record));
  }
  return true;
}

void write_imported_image(Console& console, std::vector<MapRecord>& records, const RomImage& rom,
                          const std::string& rom_path) {
  for (const MapRecord& record : records) {
    if (!check_layout_length(console, record, "tile", record.tile.size()) ||
        !check_layout_length(console, record, "block", record.block.size()) ||
        !check_layout_length(console, record, "background", record.background.size()) ||
        !check_layout_length(console, record, "enemy", record.enemy.size()))
      return;
  }

  std::vector<std::uint8_t> image = rom.bytes;
  write_level_directory(console, records, image);
  finish_image(console, image);

  const std::string target = file_to_replace(rom_path);
  OutputFile out;
  if (!open_output_file(out, target) || !commit_output_file(out, image, target)) {
    discard_output_file(out);
    say(console, "\n");
    print_error(console, format("cannot write file \"%s\"", rom_path.c_str()));
    pause(console);
    return;
  }
  say(console, "\nfreeing data...");
  records.clear();
  say(console, "\ndone!\n");
}

void import_maps_from(Console& console, const RomImage& rom, const std::string& rom_path,
                      const std::string& directory) {
  if (const std::string map_file = map_file_named_as_image(rom_path, directory);
      !map_file.empty()) {
    print_error(console, format("the ROM image \"%s\" is the map file \"%s\"; nothing was imported",
                                rom_path.c_str(), map_file.c_str()));
    pause(console);
    return;
  }
  std::vector<MapRecord> records;
  if (!read_map_files(console, directory, records)) return;
  for (MapRecord& record : records) record.tile = lz_compress(record.tile_layout);
  write_imported_image(console, records, rom, rom_path);
}

void import_maps(Console& console, const RomImage& rom, const std::string& rom_path) {
  import_maps_from(console, rom, rom_path, "");
}

}  // namespace gorv
