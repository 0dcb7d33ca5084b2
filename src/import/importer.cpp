#include "import/importer.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <system_error>

#include "codec/lz_encoder.h"
#include "common/file_io.h"
#include "common/platform.h"
#include "import/image_finish.h"
#include "import/import_check.h"
#include "import/level_directory.h"
#include "import/map_check.h"
#include "rom/map_header.h"

namespace gorv {

namespace {

std::string path_in(const std::string& directory, const std::string& name) {
  return directory.empty() ? name : (std::filesystem::path(directory) / name).string();
}

// True when something (even something unreadable) stands at `path`; a
// missing file makes its map absent.
bool file_present(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  return status.type() != std::filesystem::file_type::not_found;
}

bool layouts_fit(Report& report, const MapRecord& record) {
  const std::optional<MapFileError> error = layout_too_long(record);
  if (error) say(report, msg::MapFileUnusable{map_file_name(record.map), *error});
  return !error;
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
  const FileIdentity image = file_identity(rom_path);
  for (int map = 0; map < kMapCount; ++map) {
    const std::string name = map_file_name(static_cast<std::uint8_t>(map));
    if (same_identity(file_identity(path_in(directory, name)), image)) return name;
  }
  return "";
}

// The way back beside the image, named after the path as given: `.orig`
// once, before the first import (never replaced), and `.bak`, the image
// before this import. They are written to their temporary files while the
// maps are packed, and put in place only once everything else has
// succeeded, right before the image is replaced. Copies that are not put in
// place go with their OutputFiles, whichever way the import ends.
struct Copies {
  std::vector<OutputFile> files;           // .orig (when it is written) first, then .bak
  std::optional<msg::CannotWrite> failed;  // the copy that could not be written
};

Copies plan_copies(const std::string& rom_path) {
  Copies copies;
  const std::string original = rom_path + ".orig";
  if (!path_exists(original)) copies.files.emplace_back().name = original;
  copies.files.emplace_back().name = rom_path + ".bak";
  return copies;
}

// The .orig copy is written; the .bak copy, where the file system allows,
// is a second name of the old image (after the replace, its only name), so
// that an import need not write the image twice.
void write_copies(Copies& copies, const RomImage& rom, const std::string& target) {
  for (OutputFile& copy : copies.files) {
    const std::string name = copy.name;
    const bool done =
        &copy == &copies.files.back()
            ? copy_output_file(copy, name, target, rom.bytes)
            : open_output_file(copy, name) && write_output_contents(copy, rom.bytes, target);
    if (!done) {
      copies.failed = msg::CannotWrite{name, copy.error};
      return;
    }
  }
}

bool place_copies(Copies& copies) {
  for (OutputFile& copy : copies.files) {
    if (!place_output_file(copy)) {
      copies.failed = msg::CannotWrite{copy.name, copy.error};
      return false;
    }
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

// `text` with its ASCII capitals in lower case; other bytes stay.
std::string ascii_lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  return text;
}

// The map number of a name of the form mapXX.gvm (XX two hexadecimal
// digits, in any case), whether or not a map of that number can exist.
std::optional<unsigned> map_number_in(const std::string& lower_name) {
  if (lower_name.size() != 9 || lower_name.compare(0, 3, "map") != 0 ||
      lower_name.compare(5, 4, ".gvm") != 0)
    return std::nullopt;
  unsigned value = 0;
  for (const char c : lower_name.substr(3, 2)) {
    const bool digit = c >= '0' && c <= '9';
    if (!digit && !(c >= 'a' && c <= 'f')) return std::nullopt;
    value = value * 16 + static_cast<unsigned>(digit ? c - '0' : c - 'a' + 10);
  }
  return value;
}

// Files named like map files that the import does not read: names past
// the last map, and map file names in another case. Where names are
// case-sensitive the latter are not read as map files; where the
// lower-case name opens them anyway (Windows), they were read and are not
// named. Said sorted by name.
void say_names_not_imported(Report& report, const std::string& directory) {
  std::error_code error;
  // Each name with the map file name it would have to bear, or "" for a
  // name past the last map.
  std::vector<std::pair<std::string, std::string>> found;
  std::filesystem::directory_iterator it(directory.empty() ? "." : directory, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    const std::string name = ascii_name(it->path().filename());
    const std::string lower = ascii_lower(name);
    const std::optional<unsigned> map = map_number_in(lower);
    if (!map) continue;
    if (*map >= static_cast<unsigned>(kMapCount)) {
      found.emplace_back(name, "");
      continue;
    }
    if (lower == name) continue;
    if (!same_file(path_in(directory, name), path_in(directory, lower)))
      found.emplace_back(name, lower);
  }
  std::sort(found.begin(), found.end());
  for (const auto& [name, expected] : found) {
    if (expected.empty())
      say(report, msg::MapNameOutOfRange{name});
    else
      say(report, msg::MapNameCase{name, expected});
  }
}

// Maps the image holds that no map file brings back: the imported image
// leaves them out, which the designer should know.
void say_maps_left_out(Report& report, const MapExistsTable& exists,
                       const std::vector<MapRecord>& records) {
  std::array<bool, kMapCount> imported{};
  for (const MapRecord& record : records)
    if (record.map < kMapCount) imported[record.map] = true;
  for (int map = 0; map < kMapCount; ++map)
    if (map_exists(exists, static_cast<std::uint8_t>(map)) && !imported[map])
      say(report, msg::MapLeftOut{static_cast<std::uint8_t>(map)});
}

}  // namespace

namespace {

// A map file on its way: read, turned into its record and its tile layout
// packed, a file after another on two threads; then reported in map order.
// Only the files being worked on are held whole, so that a folder of huge
// files cannot take all the memory.
struct MapFileRead {
  bool present = false;
  bool readable = false;
  bool too_large = false;
  MapRecord record;
  std::optional<MapFileError> error;  // of a file that was read
};

void read_one(const std::string& directory, int map, const LoadedMaps* before, LzScratch& scratch,
              MapFileRead& file) {
  const std::string path = path_in(directory, map_file_name(static_cast<std::uint8_t>(map)));
  std::vector<std::uint8_t> bytes;
  file.readable = read_whole_file(path, bytes, kMaxMapFileReadSize).ok;
  file.present = file.readable || file_present(path);
  file.too_large = bytes.size() > kMaxMapFileReadSize;
  if (!file.readable) return;
  file.record.map = static_cast<std::uint8_t>(map);
  file.error = read_map_file(bytes, file.record);
  if (file.error) return;
  file.record.tile = lz_compress(file.record.tile_layout, scratch);
  if (before == nullptr) return;
  const auto number = static_cast<std::uint8_t>(map);
  if (!map_exists(before->exists, number)) {
    file.record.change.is_new = true;
    return;
  }
  const MapHeader h = read_map_header(before->image, number, before->directory);
  // A map the image holds as the import will write it is unchanged.
  if (!holds_record(before->image, map_header_offset(before->image, number, before->directory), h,
                    file.record))
    file.record.change =
        compare_game_maps(read_game_map(before->image, h), game_map_after(file.record));
}

}  // namespace

LoadedMaps loaded_maps(Bytes image) {
  const LevelDirectory directory = loaded_directory(image);
  return {image, directory, build_map_exists_table(image, directory)};
}

bool read_map_files(Report& report, const std::string& directory, std::vector<MapRecord>& records,
                    const LoadedMaps* before) {
  records.clear();
  std::vector<MapFileRead> files(kMapCount);
  std::array<LzScratch, 2> scratch;  // one for each thread
  for_each_on_two_threads(files.size(), [&](std::size_t map, std::size_t thread) {
    read_one(directory, static_cast<int>(map), before, scratch[thread], files[map]);
  });
  // In map order; the first file that cannot be read or is damaged stops
  // the import, and the files after it are not named.
  for (int map = 0; map < kMapCount; ++map) {
    MapFileRead& file = files[static_cast<std::size_t>(map)];
    if (!file.present) continue;
    const std::string name = map_file_name(static_cast<std::uint8_t>(map));
    say(report, msg::ImportMapFile{static_cast<std::uint8_t>(map)});
    if (!file.readable) {
      const MapFileError::Kind kind =
          file.too_large ? MapFileError::Kind::too_large : MapFileError::Kind::unreadable;
      say(report, msg::MapFileUnusable{name, map_file_error(kind)});
      return false;
    }
    if (file.error) {
      say(report, msg::MapFileUnusable{name, *file.error});
      return false;
    }
    records.push_back(std::move(file.record));
  }
  return true;
}

namespace {

// Room in `image` for all the new image will hold (the new directory and
// data, padded to whole blocks), so that it is never copied to grow.
void make_room(std::vector<std::uint8_t>& image, std::uint64_t data_end) {
  const auto room = static_cast<std::size_t>(std::max<std::uint64_t>(image.size(), data_end));
  image.reserve((room + kImageSizeUnit - 1) / kImageSizeUnit * kImageSizeUnit);
}

// Bytes of an image that was not imported before in the range the import
// writes (from the new directory to the end of its level data) that are
// neither 0x00 nor 0xFF: another tool's data, most likely.
struct Overwritten {
  std::uint64_t count = 0, first = 0, last = 0;
};

Overwritten overwritten(const std::vector<std::uint8_t>& image, std::uint64_t data_end) {
  Overwritten found;
  const auto end = static_cast<std::size_t>(std::min<std::uint64_t>(image.size(), data_end));
  for (std::size_t at = kNewLevelDirectory; at < end; ++at) {
    if (image[at] == 0x00 || image[at] == 0xFF) continue;
    if (found.count++ == 0) found.first = at;
    found.last = at;
  }
  return found;
}

// After the import: a line for each map whose game data changed, and the
// count of the maps imported, changed, unchanged and new.
void say_changes(Report& report, const std::vector<std::pair<std::uint8_t, MapChange>>& changes) {
  msg::ImportSummary summary;
  summary.imported = changes.size();
  for (const auto& [map, change] : changes) {
    if (!change.any()) continue;
    say(report, msg::MapChanged{map, change});
    ++(change.is_new ? summary.added : summary.changed);
  }
  summary.unchanged = summary.imported - summary.changed - summary.added;
  say(report, summary);
}

// Builds the new image from `rom` and the records, whose tile layouts are
// packed, checks it and replaces the file `rom_path` by it, the copies
// (already written) put in place first. On any failure nothing is
// replaced (the image's temporary file goes on return, the copies' with
// `copies`).
bool replace_image(Report& report, std::vector<MapRecord>& records,
                   std::vector<std::uint8_t>& image, const std::string& rom_path,
                   const std::string& target, Copies& copies, bool imported_before) {
  for (const MapRecord& record : records)
    if (!layouts_fit(report, record)) return false;

  const std::uint64_t data_end = level_data_end(records);
  const Overwritten over = imported_before ? Overwritten{} : overwritten(image, data_end);
  make_room(image, data_end);
  write_level_directory(report, records, image);
  finish_image(report, image);

  // The image goes to its temporary file while every map is read back from
  // it; it replaces the old one only when every map survived.
  OutputFile out;
  bool image_written = false;
  std::optional<PackingFault> fault;
  const std::function<void()> tasks[] = {
      [&] {
        image_written = open_output_file(out, target) && write_output_contents(out, image, target);
      },
      [&] { fault = check_import(image, records); }};
  run_together(tasks);
  auto fail = [&](Message why) {
    say(report, msg::Newline{});
    report.push_back(std::move(why));
    return false;
  };
  if (fault) return fail(msg::MapNotSurviving{fault->map, fault->part});
  if (copies.failed) return fail(*copies.failed);
  if (!image_written) return fail(msg::CannotWrite{rom_path, out.error});
  if (!place_copies(copies)) return fail(*copies.failed);
  if (!place_output_file(out)) return fail(msg::CannotWrite{rom_path, out.error});

  const bool original_kept = copies.files.size() == 2;
  if (original_kept) say(report, msg::ImportKeptOriginal{copies.files.front().name});
  say(report, msg::ImportKeptPrevious{copies.files.back().name});
  say(report, msg::ImportFreeing{});
  std::vector<std::pair<std::uint8_t, MapChange>> changes;
  for (const MapRecord& record : records) changes.emplace_back(record.map, record.change);
  records.clear();
  say(report, msg::ImportDone{});

  say_changes(report, changes);
  const std::uint64_t image_mib = image.size() / kImageSizeUnit;
  say(report, msg::LevelDataSpace{data_end, image_mib});
  if (imported_before && original_kept)
    say(report, msg::OrigHoldsImport{copies.files.front().name});
  if (over.count != 0)
    say(report, msg::ImportWroteOver{over.count, over.first, over.last, copies.files.back().name});
  if (image.size() > kConsoleRomLimit) say(report, msg::ImageBeyondConsole{image_mib});
  return true;
}

}  // namespace

bool is_backup_name(const std::string& path) {
  const std::string lower = ascii_lower(path);
  return lower.ends_with(".orig") || lower.ends_with(".bak");
}

ImportResult import_maps(RomImage rom, const std::string& rom_path, const std::string& directory) {
  ImportResult result;
  if (rom.bytes.size() < kMinRomImageSize) {
    say(result.report, msg::ImageTooSmall{rom_path});
    return result;
  }
  // While the map files are read and packed, the other thread makes sure
  // that the image is none of them, looks for map file names in the wrong
  // case and writes the copies of the old image (put in place only if the
  // image is replaced). Reading changes no file, so a refusal found there
  // still comes first, and the rest is said in its order afterwards.
  const std::string target = file_to_replace(rom_path);
  Copies copies = plan_copies(rom_path);
  std::string map_file;  // the map file that is the image itself, if any
  Report not_imported;
  Report reading;
  std::vector<MapRecord> records;
  const LoadedMaps before = loaded_maps(rom_bytes(rom));
  bool read = false;
  const std::function<void()> tasks[] = {
      [&] {
        map_file = map_file_named_as_image(rom_path, directory);
        if (!map_file.empty()) return;
        say_names_not_imported(not_imported, directory);
        write_copies(copies, rom, target);
      },
      [&] { read = read_map_files(reading, directory, records, &before); }};
  run_together(tasks);
  if (!map_file.empty()) {
    say(result.report, msg::MapFileIsImage{rom_path, map_file});
    return result;
  }
  Report& report = result.report;
  report.insert(report.end(), reading.begin(), reading.end());
  if (read) report.insert(report.end(), not_imported.begin(), not_imported.end());
  if (read && records.empty()) say(report, msg::NoMapFiles{});
  if (!read || records.empty()) return result;
  say_maps_left_out(report, before.exists, records);
  for (const MapRecord& record : records) say_read_back(report, "", record.map, record.read_back);
  // The old image is no longer needed: the new one is built in its memory.
  std::vector<std::uint8_t> image = std::move(rom.bytes);
  result.replaced =
      replace_image(report, records, image, rom_path, target, copies, before.directory.imported);
  return result;
}

}  // namespace gorv
