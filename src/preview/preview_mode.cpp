#include "preview/preview_mode.h"

#include <filesystem>
#include <optional>

#include "common/file_io.h"
#include "format/map_file.h"
#include "preview/compare.h"
#include "preview/draw.h"
#include "preview/png.h"

namespace gorv {

namespace {

// Far more than any map file holds (its offsets are 16-bit).
constexpr std::size_t kMaxMapFileRead = 0x1000000;

std::string name_of(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

std::string stem_of(const std::string& path) {
  return std::filesystem::path(path).stem().string();
}

// Reads and parses a map file, or says why it cannot, as the import does.
std::optional<MapFile> read_map(Report& report, const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (!read_whole_file(path, bytes, kMaxMapFileRead)) {
    say(report, Say::cannot_open, path);
    return std::nullopt;
  }
  ParsedMapFile parsed = parse_map_file(bytes);
  if (parsed.damage.problem != MapFileProblem::none) {
    const auto& v = parsed.damage.values;
    say_n(report, Say::map_file_damaged,
          {0, static_cast<std::uint64_t>(parsed.damage.problem), v[0], v[1], v[2], v[3], v[4]},
          path);
    return std::nullopt;
  }
  return std::move(parsed.file);
}

void write_png(Report& report, const std::string& name, const Picture& picture) {
  const std::vector<std::uint8_t> png = encode_png(picture);
  OutputFile file;
  if (png.empty() || !open_output_file(file, name)) {
    say(report, Say::cannot_create, name);
    return;
  }
  if (!commit_output_file(file, png)) say(report, Say::cannot_write, name);
}

}  // namespace

Report write_previews(const std::vector<std::string>& paths) {
  Report report;
  for (const std::string& path : paths) {
    const std::optional<MapFile> map = read_map(report, path);
    if (!map) continue;
    const std::string name = stem_of(path) + ".png";
    say(report, Say::writing_preview, name);
    write_png(report, name, draw_preview(*map, name_of(path)));
  }
  return report;
}

Comparison compare_map_files(const std::string& old_path, const std::string& new_path) {
  Comparison comparison;
  std::optional<MapFile> old_map = read_map(comparison.report, old_path);
  std::optional<MapFile> new_map = read_map(comparison.report, new_path);
  if (!old_map || !new_map) return comparison;
  comparison.old_map = std::move(*old_map);
  comparison.new_map = std::move(*new_map);
  comparison.differences = compare_maps(comparison.old_map, comparison.new_map);
  comparison.compared = true;
  return comparison;
}

Report write_changes_picture(const Comparison& comparison, const std::string& new_path) {
  Report report;
  const std::string name = stem_of(new_path) + "-changes.png";
  say(report, Say::writing_changes, name);
  write_png(report, name, draw_changes(comparison.old_map, comparison.new_map, name_of(new_path)));
  return report;
}

}  // namespace gorv
