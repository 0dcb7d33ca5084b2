#include "preview/preview_mode.h"

#include <optional>
#include <span>

#include "common/file_io.h"
#include "common/platform.h"
#include "format/map_file.h"
#include "picture/png.h"
#include "preview/compare.h"
#include "preview/draw.h"
#include "report/output_steps.h"

namespace gorv {

namespace {

// Reads and parses a map file, or says why it cannot, as the import does.
std::optional<MapFile> read_map(Report& report, const std::string& path) {
  std::vector<std::uint8_t> bytes;
  const FileRead read = read_whole_file(path, bytes, kMaxMapFileReadSize);
  if (!read) {
    say(report, msg::CannotOpen{path, read.error});
    return std::nullopt;
  }
  ParsedMapFile parsed = parse_map_file(bytes);
  if (parsed.damage.problem != MapFileDamage::Problem::none) {
    say(report, msg::MapFileUnusable{path, map_file_error(parsed.damage)});
    return std::nullopt;
  }
  return std::move(parsed.file);
}

// Writes the picture as the PNG file `name`, saying `writing` once the file
// is created; never over one of the run's map files `inputs` (a map file
// may bear any name, also that of a picture).
void write_png(Report& report, const std::string& name, Message writing, const Picture& picture,
               std::span<const std::string> inputs) {
  const FileIdentity target = file_identity(name);
  for (const std::string& input : inputs) {
    if (same_identity(target, file_identity(input))) {
      say(report, msg::PictureOverMapFile{name, input});
      return;
    }
  }
  OutputFile file;
  if (!start_output_file(report, file, name)) return;
  report.push_back(std::move(writing));
  const std::vector<std::uint8_t> png = encode_png(picture);
  if (png.empty()) {
    say(report, msg::CannotWrite{name, FileError{}});  // no call failed: an empty picture
    return;
  }
  finish_output_file(report, file, png);
}

}  // namespace

Report write_previews(const std::vector<std::string>& paths) {
  Report report;
  for (const std::string& path : paths) {
    const std::optional<MapFile> map = read_map(report, path);
    if (!map) continue;
    const std::string name = file_stem_of(path) + ".png";
    write_png(report, name, msg::WritingPreview{name}, draw_preview(*map, file_name_of(path)),
              paths);
  }
  return report;
}

Comparison compare_map_files(const std::string& old_path, const std::string& new_path) {
  Comparison comparison;
  std::optional<MapFile> old_map = read_map(comparison.report, old_path);
  std::optional<MapFile> new_map = read_map(comparison.report, new_path);
  if (!old_map || !new_map) return comparison;
  comparison.new_map = std::move(*new_map);
  comparison.differences = compare_maps(*old_map, comparison.new_map);
  comparison.compared = true;
  return comparison;
}

Report write_changes_picture(const Comparison& comparison, const std::string& old_path,
                             const std::string& new_path) {
  Report report;
  const std::string name = file_stem_of(new_path) + "-changes.png";
  const std::string inputs[] = {old_path, new_path};
  write_png(report, name, msg::WritingChanges{name},
            draw_changes(comparison.new_map, comparison.differences, file_name_of(new_path)),
            inputs);
  return report;
}

}  // namespace gorv
