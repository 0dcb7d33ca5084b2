#include "import/importer.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "codec/lz_encoder.h"
#include "common/file_io.h"
#include "common/platform.h"
#include "import/image_finish.h"
#include "import/import_check.h"
#include "import/level_directory.h"
#include "rom/map_header.h"

namespace gorv {

namespace {

// The map header's 16-bit length fields bound every layout.
constexpr std::size_t kMaxLayoutLength = 0xFFFF;

std::string path_in(const std::string& directory, const std::string& name) {
  return directory.empty() ? name : (std::filesystem::path(directory) / name).string();
}

void say_trouble(Report& report, const std::string& name, MapFileTrouble trouble,
                 std::array<std::uint64_t, 7> details = {}) {
  std::array<std::uint64_t, 8> n{static_cast<std::uint64_t>(trouble)};
  std::copy(details.begin(), details.end(), n.begin() + 1);
  say_n(report, Say::map_file_damaged, n, name);
}

void say_reading(Report& report, const std::string& name, const MapFileReading& reading) {
  if (reading.damage.problem != MapFileProblem::none) {
    const auto& v = reading.damage.values;
    say_trouble(report, name, MapFileTrouble::damaged,
                {static_cast<std::uint64_t>(reading.damage.problem), v[0], v[1], v[2], v[3], v[4]});
  } else {
    say_trouble(
        report, name, MapFileTrouble::cannot_encode,
        {static_cast<std::uint64_t>(reading.encode_error), reading.width, reading.size_byte});
  }
}

// True when something (even something unreadable) stands at `path`; a
// missing file makes its map absent.
bool file_present(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  return status.type() != std::filesystem::file_type::not_found;
}

bool layouts_fit(Report& report, const MapRecord& record) {
  const std::vector<std::uint8_t>* layouts[] = {&record.tile, &record.block, &record.background,
                                                &record.enemy};
  for (std::uint64_t k = 0; k < 4; ++k) {
    if (layouts[k]->size() <= kMaxLayoutLength) continue;
    say_trouble(report, map_file_name(record.map), MapFileTrouble::layout_too_long,
                {k, layouts[k]->size()});
    return false;
  }
  return true;
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
    if (same_file(path_in(directory, name), rom_path)) return name;
  }
  return "";
}

// Writes the way back beside the image, named after the path as given:
// `.orig` once, before the first import (never replaced), and `.bak`, the
// image before this import. Both are written before the image is replaced.
// Returns false (saying which copy) when one cannot be written.
bool keep_copies(Report& report, const RomImage& rom, const std::string& rom_path,
                 const std::string& target, std::vector<std::string>& kept) {
  const std::string original = rom_path + ".orig";
  const std::string previous = rom_path + ".bak";
  for (const std::string& copy : {original, previous}) {
    if (copy == original && path_exists(copy)) continue;
    OutputFile out;
    if (!open_output_file(out, copy) || !commit_output_file(out, rom.bytes, target)) {
      discard_output_file(out);
      say(report, Say::newline);
      say(report, Say::cannot_write, copy);
      return false;
    }
    kept.push_back(copy);
  }
  return true;
}

// The ASCII text of a file name, or "" when it holds anything else (no map
// file name does).
std::string ascii_name(const std::filesystem::path& name) {
  std::string text;
  for (const auto c : name.native()) {
    const auto code = static_cast<std::uint32_t>(c);
    if (code == 0 || code >= 0x80) return "";
    text += static_cast<char>(c);
  }
  return text;
}

// Files whose names are map file names in another case. Where names are
// case-sensitive they are not read as map files; where the lower-case name
// opens them anyway (Windows), they were read and are not named.
void say_wrong_case_names(Report& report, const std::string& directory) {
  std::error_code error;
  std::vector<std::pair<std::string, std::string>> found;
  std::filesystem::directory_iterator it(directory.empty() ? "." : directory, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    const std::string name = ascii_name(it->path().filename());
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    if (lower == name) continue;
    for (int map = 0; map < kMapCount; ++map) {
      const std::string expected = map_file_name(static_cast<std::uint8_t>(map));
      if (lower != expected) continue;
      if (!same_file(path_in(directory, name), path_in(directory, expected)))
        found.emplace_back(name, expected);
      break;
    }
  }
  std::sort(found.begin(), found.end());
  for (const auto& [name, expected] : found) say(report, Say::map_name_case, name, expected);
}

// Maps the image holds that no map file brings back: the imported image
// leaves them out, which the designer should know.
void say_maps_left_out(Report& report, const RomImage& rom, const std::vector<MapRecord>& records) {
  const MapExistsTable exists = build_map_exists_table(rom_bytes(rom));
  std::array<bool, kMapCount> imported{};
  for (const MapRecord& record : records)
    if (record.map < kMapCount) imported[record.map] = true;
  for (int map = 0; map < kMapCount; ++map)
    if (map_exists(exists, static_cast<std::uint8_t>(map)) && !imported[map])
      say_n(report, Say::map_left_out, {static_cast<std::uint64_t>(map)});
}

}  // namespace

bool read_map_files(Report& report, const std::string& directory, std::vector<MapRecord>& records) {
  records.clear();
  std::vector<std::uint8_t> file;
  for (int map = 0; map < kMapCount; ++map) {
    const std::string name = map_file_name(static_cast<std::uint8_t>(map));
    const std::string path = path_in(directory, name);
    if (!file_present(path)) continue;
    say_n(report, Say::import_map_file, {static_cast<std::uint64_t>(map)});
    if (!read_whole_file(path, file, kMaxImportedMapFileSize)) {
      say_trouble(report, name,
                  file.size() > kMaxImportedMapFileSize ? MapFileTrouble::too_large
                                                        : MapFileTrouble::unreadable);
      return false;
    }
    MapRecord record;
    record.map = static_cast<std::uint8_t>(map);
    const MapFileReading reading = read_map_file(file, record);
    if (!reading.ok()) {
      say_reading(report, name, reading);
      return false;
    }
    records.push_back(std::move(record));
  }
  return true;
}

bool write_imported_image(Report& report, std::vector<MapRecord>& records, const RomImage& rom,
                          const std::string& rom_path) {
  for (const MapRecord& record : records)
    if (!layouts_fit(report, record)) return false;

  // The new image is copied once, into room for all it will hold (the new
  // directory and data, padded to whole blocks): growing it would copy the
  // 2 MiB again and fault in fresh pages twice.
  std::size_t data_end = kNewLevelDirectory + kFirstMapHeaderField;
  for (const MapRecord& record : records)
    data_end += kMapHeaderSize + record.tile.size() + record.block.size() +
                record.background.size() + record.enemy.size() + 4;
  const std::size_t room = std::max(rom.bytes.size(), data_end);
  std::vector<std::uint8_t> image;
  image.reserve((room + kImageSizeUnit - 1) / kImageSizeUnit * kImageSizeUnit);
  image.assign(rom.bytes.begin(), rom.bytes.end());
  write_level_directory(report, records, image);
  finish_image(report, image);

  // The image replaces the old one only when every map reads back as its
  // map file gave it.
  if (const PackingFault fault = find_packing_fault(image, records);
      fault.part != PackedPart::none) {
    say(report, Say::newline);
    say_n(report, Say::map_not_surviving, {fault.map, static_cast<std::uint64_t>(fault.part)});
    return false;
  }
  const std::string target = file_to_replace(rom_path);
  std::vector<std::string> kept;
  if (!keep_copies(report, rom, rom_path, target, kept)) return false;
  OutputFile out;
  if (!open_output_file(out, target) || !commit_output_file(out, image, target)) {
    discard_output_file(out);
    say(report, Say::newline);
    say(report, Say::cannot_write, rom_path);
    return false;
  }
  if (kept.size() == 2) say(report, Say::import_kept_original, kept.front());
  say(report, Say::import_kept_previous, kept.back());
  say(report, Say::import_freeing);
  records.clear();
  say(report, Say::import_done);
  return true;
}

ImportResult import_maps(const RomImage& rom, const std::string& rom_path,
                         const std::string& directory) {
  ImportResult result;
  if (rom.bytes.size() < kMinImportImageSize) {
    say(result.report, Say::image_too_small, rom_path);
    return result;
  }
  if (const std::string map_file = map_file_named_as_image(rom_path, directory);
      !map_file.empty()) {
    say(result.report, Say::map_file_is_image, rom_path, map_file);
    return result;
  }
  std::vector<MapRecord> records;
  if (!read_map_files(result.report, directory, records)) return result;
  say_wrong_case_names(result.report, directory);
  if (records.empty()) {
    say(result.report, Say::no_map_files);
    return result;
  }
  say_maps_left_out(result.report, rom, records);
  for (MapRecord& record : records) record.tile = lz_compress(record.tile_layout);
  result.replaced = write_imported_image(result.report, records, rom, rom_path);
  return result;
}

}  // namespace gorv
