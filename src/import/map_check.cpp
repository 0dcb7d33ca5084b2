#include "import/map_check.h"

#include "codec/lz_encoder.h"
#include "common/file_io.h"
#include "import/map_file_reader.h"

namespace gorv {

void say_read_back(Report& report, const std::string& file, std::uint8_t map,
                   const ReadBack& read_back) {
  for (const ReadBackDifference& difference : read_back.shown)
    say(report, msg::ReadBackDiffers{file, map, difference});
  if (read_back.count > read_back.shown.size())
    say(report, msg::ReadBackMore{file, map, read_back.count - read_back.shown.size()});
}

Report check_map_files(const std::vector<std::string>& paths) {
  Report report;
  LzScratch scratch;
  for (const std::string& path : paths) {
    std::vector<std::uint8_t> bytes;
    const FileRead read = read_whole_file(path, bytes, kMaxMapFileReadSize);
    if (!read) {
      say(report, msg::CannotOpen{path, read.error});
      continue;
    }
    MapRecord record;
    std::optional<MapFileError> error = read_map_file(bytes, record);
    if (!error) {
      record.tile = lz_compress(record.tile_layout, scratch);
      error = layout_too_long(record);
    }
    if (error) {
      say(report, msg::MapFileUnusable{path, *error});
      continue;
    }
    say_read_back(report, path, 0, record.read_back);
    if (record.read_back.count == 0)
      say(report, msg::CheckSound{path});
    else
      say(report, msg::CheckProblems{path, record.read_back.count});
  }
  return report;
}

}  // namespace gorv
