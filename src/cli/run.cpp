#include "cli/run.h"

#include "cli/arguments.h"
#include "cli/usage.h"
#include "common/file_io.h"
#include "common/platform.h"
#include "common/text.h"
#include "export/map_dump.h"
#include "export/raw_dump.h"
#include "export/resource_file.h"
#include "export/theme_dump.h"
#include "import/importer.h"
#include "rom/level_info.h"
#include "rom/map_header.h"
#include "rom/output_buffer.h"
#include "rom/rom_image.h"

namespace gorv {

namespace {

constexpr int kStatusOk = 0;
constexpr int kStatusError = 1;
constexpr int kStatusUsage = 2;

int exit_status(const Console& console) {
  return console.error_printed ? kStatusError : kStatusOk;
}

// The largest ROM image loaded: far more than any cartridge holds, and
// little enough that a device or a pipe named as the image cannot take all
// the memory.
constexpr std::size_t kMaxRomImageSize = 0x4000000;

// Loads the ROM image, or prints why it cannot. Only an import needs to
// write to it, so only then must the file be writable.
bool load_rom_image(Console& console, const std::string& path, bool for_import, RomImage& rom) {
  if (!read_whole_file(path, rom.bytes, kMaxRomImageSize)) {
    if (rom.bytes.size() > kMaxRomImageSize)
      print_error(console,
                  format("file \"%s\" is larger than 64 MiB; it is not a ROM image", path.c_str()));
    else
      print_error(console, format("cannot open file \"%s\"", path.c_str()));
    return false;
  }
  if (!for_import || file_is_writable(path)) return true;
  print_error(console, format("cannot open file \"%s\"", path.c_str()));
  return false;
}

// An exporter's output file that is the ROM image itself would replace the
// image: such a mode is refused and the image stays as it is.
bool output_spares_image(Console& console, const std::string& output, const std::string& rom_path) {
  if (!same_file(output, rom_path)) return true;
  print_error(console, format("the output file \"%s\" is the ROM image \"%s\"; it is not written",
                              output.c_str(), rom_path.c_str()));
  return false;
}

}  // namespace

int run_tool(const std::vector<std::string>& args, Console& console) {
  const ParsedArguments parsed = parse_arguments(args);
  if (parsed.outcome == ParseOutcome::usage) {
    say(console, usage_text(__DATE__));
    pause(console);
    return kStatusUsage;
  }
  if (parsed.outcome == ParseOutcome::error) {
    print_error(console, parsed.error);
    pause(console);
    return exit_status(console);
  }

  const RunSettings& settings = parsed.settings;
  RomImage rom;
  if (!load_rom_image(console, parsed.rom_path, settings.import, rom)) {
    pause(console);
    return exit_status(console);
  }
  const Bytes image = rom_bytes(rom);
  const MapExistsTable exists = build_map_exists_table(image);
  OutputBuffer buffer;

  // The modes run in a fixed order; the map dump sees the -map value before
  // the level report makes the level's own map the current one.
  const std::string& path = parsed.rom_path;
  std::uint8_t current_map = settings.map;
  MapHeader current_header;
  if (current_map != 0xFF && output_spares_image(console, map_file_name(current_map), path))
    dump_map(console, image, exists, current_map, settings.block_filter, buffer);
  if (settings.theme != 0xFF && output_spares_image(console, theme_file_name(settings.theme), path))
    dump_theme(console, image, settings.theme, buffer);
  if (settings.level != 0xFF)
    current_map = print_level_info(console, image, settings.level, current_header);
  if (settings.dump_address != -1) {
    const auto address = static_cast<std::uint32_t>(settings.dump_address);
    if (output_spares_image(console, raw_dump_file_name(address), path))
      dump_raw(console, image, address, buffer);
  }
  if (settings.resource && output_spares_image(console, kResourceFileName, path))
    write_resource_file(console, image, buffer);
  if (settings.import) import_maps(console, rom, parsed.rom_path);
  (void)current_map;  // nothing after the level report reads it
  return exit_status(console);
}

}  // namespace gorv
