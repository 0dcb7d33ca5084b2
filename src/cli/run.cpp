#include "cli/run.h"

#include "cli/arguments.h"
#include "cli/long_options.h"
#include "cli/messages.h"
#include "cli/modes.h"
#include "cli/usage.h"
#include "common/file_io.h"
#include "common/platform.h"
#include "import/importer.h"
#include "rom/map_header.h"
#include "rom/rom_image.h"

#ifndef GORV_VERSION
#error "GORV_VERSION is defined by the build (the project's version)"
#endif

namespace gorv {

namespace {

// The largest ROM image loaded: far more than any cartridge holds, and
// little enough that a device or a pipe named as the image cannot take all
// the memory.
constexpr std::size_t kMaxRomImageSize = 0x4000000;

// Loads the ROM image, or says why it cannot. Only an import needs to
// write to it, so only then must the file be writable.
bool load_rom_image(Output& out, const std::string& path, bool for_import, RomImage& rom) {
  const FileRead read = read_whole_file(path, rom.bytes, kMaxRomImageSize);
  if (!read) {
    if (rom.bytes.size() > kMaxRomImageSize)
      show(out, msg::RomTooLarge{path}, true);
    else
      show(out, msg::CannotOpen{path, read.error}, true);
    return false;
  }
  if (!for_import) return true;
  const std::optional<FileError> refusal = why_not_writable(path);
  if (!refusal) return true;
  show(out, msg::CannotOpen{path, *refusal}, true);
  return false;
}

// A map dump or a bulk dump in the same run as an import would write map
// files from the image's old data just before (or after) the import reads
// the folder: the designer's edits would be lost or mixed with old maps.
// Such a run is refused before anything is opened.
bool modes_conflict(Output& out, const RunSettings& settings, bool all_maps) {
  if (!settings.import) return false;
  if (settings.map) {
    show(out, msg::MapWithImport{*settings.map}, true);
    return true;
  }
  if (!all_maps) return false;
  show(out, msg::AllMapsWithImport{}, true);
  return true;
}

// The modes that read the game's tables need an image that holds them, and
// an import never goes into one of its own backup copies (the clean image
// kept as .orig would be replaced). Checked once the image is read, before
// any mode runs.
bool image_refused(Output& out, const std::string& path, const RomImage& rom,
                   const RunSettings& settings, bool all_maps) {
  const bool single_hyphen_mode = settings.map || settings.theme || settings.level ||
                                  settings.dump_address || settings.resource || settings.import;
  if (!single_hyphen_mode && !all_maps) return false;
  if (rom.bytes.size() < kMinRomImageSize) {
    show(out, msg::ImageTooSmall{path}, true);
    return true;
  }
  if (!settings.import || !is_backup_name(path)) return false;
  show(out, msg::ImportIntoBackup{path}, true);
  return true;
}

int usage(Output& out) {
  say(out.console, usage_text(__DATE__));
  pause(out.console);
  return kStatusUsage;
}

}  // namespace

int run_tool(const std::vector<std::string>& args, Console& console) {
  Output out{console};
  const auto rows = long_option_rows();
  const TakenOptions taken = take_long_options(args, rows);
  if (taken.error) {
    show(out, *taken.error, false);
    return out.status;
  }
  const LongOptionRow* needs_image = nullptr;  // the first long option that does
  bool all_maps = false;
  for (const LongOptionUse& use : taken.uses) {
    const LongOptionRow& row = rows[use.row];
    if (row.name == "--help") {
      say(console, usage_text(__DATE__) + long_options_help());
      return kStatusOk;
    }
    if (row.name == "--version") {
      say(console, "gorvtool " GORV_VERSION "\n");
      return kStatusOk;
    }
    if (row.needs_image && needs_image == nullptr) needs_image = &row;
    all_maps = all_maps || row.name == "--all-maps";
  }

  // What remains is a single-hyphen shape; or, next to long options, just
  // the image; or nothing when no long option given needs an image.
  RunSettings settings;
  std::string rom_path;
  const bool long_only = !taken.uses.empty() && taken.rest.size() <= 2;
  if (long_only) {
    if (taken.rest.size() < 2 && needs_image != nullptr) {
      show(out, msg::OptionNeedsImage{std::string(needs_image->name)}, false);
      return out.status;
    }
    if (taken.rest.size() == 2) rom_path = taken.rest[1];
  } else {
    const ParsedArguments parsed = parse_arguments(taken.rest);
    if (parsed.outcome == ParseOutcome::usage) return usage(out);
    if (parsed.outcome == ParseOutcome::error) {
      show(out, *parsed.error, true);
      return out.status;
    }
    settings = parsed.settings;
    rom_path = parsed.rom_path;
  }

  if (modes_conflict(out, settings, all_maps)) return out.status;

  RunContext run{out, rom_path, {}, {}, settings, needs_image != nullptr};
  if (!rom_path.empty() && !load_rom_image(out, rom_path, settings.import, run.rom))
    return out.status;
  if (image_refused(out, rom_path, run.rom, settings, all_maps)) return out.status;
  run.exists = build_map_exists_table(rom_bytes(run.rom));
  // -map and -info read the game's own directory, which an import no longer
  // points the game at.
  if ((settings.map || settings.level) && image_imported(rom_bytes(run.rom)))
    show(out, msg::ImportedImageOriginalData{rom_path}, false);

  for (const SingleHyphenMode& mode : single_hyphen_modes())
    if (mode.requested(settings)) mode.run(run);
  for (const LongOptionUse& use : taken.uses) rows[use.row].run(run, use.values);
  return out.status;
}

}  // namespace gorv
