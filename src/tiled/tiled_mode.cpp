#include "tiled/tiled_mode.h"

#include <charconv>
#include <map>
#include <optional>
#include <string_view>

#include "codec/crc32.h"
#include "common/file_io.h"
#include "common/platform.h"
#include "common/text.h"
#include "format/map_file.h"
#include "format/tiled_map.h"
#include "report/output_steps.h"
#include "tiled/tileset_pictures.h"

namespace gorv {

namespace {

// A .tmj of the largest map, with every layer written out, stays far below this.
constexpr std::size_t kMaxTiledMapReadSize = std::size_t{256} << 20;
constexpr std::size_t kMaxGuardFileSize = std::size_t{1} << 20;

using Guard = std::map<std::string, std::uint32_t>;

// The guard file's records; a line that is not "NAME CRC32" is skipped.
Guard read_guard() {
  Guard guard;
  std::vector<std::uint8_t> bytes;
  if (!read_whole_file(kTiledGuardFile, bytes, kMaxGuardFileSize)) return guard;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t space = line.rfind(' ');
    if (space == std::string_view::npos || space == 0) continue;
    const std::string_view digits = line.substr(space + 1);
    std::uint32_t crc = 0;
    const auto [stop, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), crc, 16);
    if (error != std::errc() || stop != digits.data() + digits.size() || digits.size() != 8)
      continue;
    guard[std::string(line.substr(0, space))] = crc;
  }
  return guard;
}

bool write_new_file(Report& report, const std::string& name, std::span<const std::uint8_t> bytes) {
  OutputFile out;
  return start_output_file(report, out, name) && finish_output_file(report, out, bytes);
}

std::span<const std::uint8_t> bytes_of(const std::string& text) {
  return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

void write_guard(Report& report, const Guard& guard) {
  std::string text;
  for (const auto& [name, crc] : guard)
    text += name + format(" %08X\n", static_cast<unsigned>(crc));
  write_new_file(report, std::string(kTiledGuardFile), bytes_of(text));
}

// The tilesets and their pictures that are not there yet.
void write_missing_tilesets(Report& report) {
  for (std::size_t n = 0; n < kTiledTilesets.size(); ++n) {
    const TiledTileset& tileset = kTiledTilesets[n];
    if (const std::string file(tileset.file); !path_exists(file))
      write_new_file(report, file, bytes_of(tiled_tileset_text(tileset)));
    if (const std::string picture(tileset.picture); !path_exists(picture)) {
      const std::vector<std::uint8_t> png = tileset_png(static_cast<TiledTilesetId>(n));
      if (!png.empty()) write_new_file(report, picture, png);
    }
  }
}

}  // namespace

Report write_tiled_maps(const std::vector<std::string>& paths) {
  Report report;
  Guard guard = read_guard();
  bool guard_changed = false;
  std::uint64_t written = 0;
  std::uint64_t kept = 0;
  for (const std::string& path : paths) {
    const std::string stem = file_stem_of(path);
    const std::string name = stem + ".tmj";
    if (path_exists(name)) {
      ++kept;
      continue;
    }
    std::vector<std::uint8_t> bytes;
    if (const FileRead read = read_whole_file(path, bytes, kMaxMapFileReadSize); !read) {
      say(report, msg::CannotOpen{path, read.error});
      continue;
    }
    const ParsedMapFile parsed = parse_map_file(bytes);
    if (parsed.damage.problem != MapFileDamage::Problem::none) {
      say(report, msg::MapFileUnusable{path, map_file_error(parsed.damage)});
      continue;
    }
    if (std::vector<NormalisedPart> parts = normalised_parts(bytes, parsed.file); !parts.empty())
      say(report, msg::TiledNormalised{path, std::move(parts)});
    const std::uint32_t crc = crc32(bytes);
    OutputFile out;
    if (!start_output_file(report, out, name)) continue;
    say(report, msg::WritingTiledMap{name});
    if (!finish_output_file(report, out, bytes_of(tiled_map_text(parsed.file, crc)))) continue;
    ++written;
    guard[stem + ".gvm"] = crc;
    guard_changed = true;
  }
  if (written + kept != 0) write_missing_tilesets(report);
  if (guard_changed) write_guard(report, guard);
  say(report, msg::TiledMapsWritten{written});
  if (kept != 0) say(report, msg::TiledMapsKept{kept});
  return report;
}

Report read_tiled_maps(const std::vector<std::string>& paths) {
  Report report;
  Guard guard = read_guard();
  bool guard_changed = false;
  for (const std::string& path : paths) {
    std::vector<std::uint8_t> text;
    if (const FileRead read = read_whole_file(path, text, kMaxTiledMapReadSize); !read) {
      say(report, msg::CannotOpen{path, read.error});
      continue;
    }
    const TiledRead tiled =
        read_tiled_map(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
    if (!tiled.ok) {
      say(report, msg::TiledRefused{path, tiled.refusal});
      continue;
    }
    const std::vector<std::uint8_t> bytes = serialize_map_file(tiled.map);
    const std::string name = file_stem_of(path) + ".gvm";
    if (path_exists(name)) {
      std::vector<std::uint8_t> existing;
      if (const FileRead read = read_whole_file(name, existing, kMaxMapFileReadSize); !read) {
        say(report, msg::CannotOpen{name, read.error});
        continue;
      }
      const std::uint32_t crc = crc32(existing);
      const auto recorded = guard.find(name);
      const bool known = (recorded != guard.end() && recorded->second == crc) ||
                         (tiled.has_source_crc && tiled.source_crc == crc);
      if (!known) {
        say(report, msg::TiledMapChanged{name, path});
        continue;
      }
    }
    OutputFile out;
    if (!start_output_file(report, out, name)) continue;
    say(report, msg::WritingMap{name});
    if (!finish_output_file(report, out, bytes)) continue;
    guard[name] = crc32(bytes);
    guard_changed = true;
  }
  if (guard_changed) write_guard(report, guard);
  return report;
}

}  // namespace gorv
