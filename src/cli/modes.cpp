#include "cli/modes.h"

#include <array>
#include <limits>

#include "cli/compare_text.h"
#include "cli/level_report.h"
#include "codec/block_decoder.h"
#include "common/platform.h"
#include "common/text.h"
#include "export/map_dump.h"
#include "export/raw_dump.h"
#include "export/resource_file.h"
#include "export/theme_dump.h"
#include "format/resource_file.h"
#include "import/importer.h"
#include "import/map_check.h"
#include "patch/patch_mode.h"
#include "preview/preview_mode.h"
#include "rom/level_info.h"
#include "tiled/tiled_mode.h"

namespace gorv {

namespace {

// An exporter's output file that is the ROM image itself would replace the
// image: such a mode is refused and the image stays as it is.
bool output_spares_image(RunContext& run, const std::string& output) {
  if (!same_file(output, run.rom_path)) return true;
  show(run.out, msg::OutputIsImage{output, run.rom_path}, false);
  return false;
}

std::uint8_t block_filter(const RunContext& run) {
  return run.settings.block_filter.value_or(kAllBlockTypes);
}

void run_map(RunContext& run) {
  const std::uint8_t map = *run.settings.map;
  if (!output_spares_image(run, map_file_name(map))) return;
  const MapDumpOptions options{block_filter(run)};
  show(run.out, dump_map(rom_bytes(run.rom), run.exists, map, options).report, true);
}

void run_theme(RunContext& run) {
  const std::uint8_t theme = *run.settings.theme;
  if (!output_spares_image(run, theme_file_name(theme))) return;
  show(run.out, dump_theme(rom_bytes(run.rom), theme).report, false);
}

void run_info(RunContext& run) {
  say(run.out.console, level_report_text(read_level_info(rom_bytes(run.rom), *run.settings.level)));
}

void run_decompress(RunContext& run) {
  const std::uint32_t address = *run.settings.dump_address;
  if (!output_spares_image(run, raw_dump_file_name(address))) return;
  show(run.out, dump_raw(rom_bytes(run.rom), address).report, false);
}

void run_resource(RunContext& run) {
  if (!output_spares_image(run, kResourceFileName)) return;
  show(run.out, write_resource_file(rom_bytes(run.rom)).report, false);
}

void run_import(RunContext& run) {
  // Where nothing after the import needs the old image, the import builds
  // the new one in its memory; the run is left with no image.
  RomImage rom;
  if (run.image_needed_later)
    rom = run.rom;
  else
    std::swap(rom, run.rom);
  show(run.out, import_maps(std::move(rom), run.rom_path).report, true);
}

// --all-maps: every map the game loads (on an imported image, the imported
// ones), as -map writes it, and what each map file lacks of its map; except
// that a map file that already exists is kept: a bulk dump must never wipe
// a folder of edited maps.
void run_all_maps(RunContext& run, const std::vector<std::string>&) {
  const Bytes rom = rom_bytes(run.rom);
  const MapDumpOptions options{block_filter(run), loaded_directory(rom), true};
  const MapExistsTable exists = build_map_exists_table(rom, options.directory);
  std::uint64_t written = 0;
  std::uint64_t kept = 0;
  for (int m = 0; m < kMapCount; ++m) {
    const auto map = static_cast<std::uint8_t>(m);
    if (!map_exists(exists, map)) continue;
    const std::string name = map_file_name(map);
    if (path_exists(name)) {  // the image itself too, if it bears the name
      ++kept;
      continue;
    }
    const ExportResult result = dump_map(rom, exists, map, options);
    show(run.out, result.report, false);
    if (result.written) ++written;
  }
  show(run.out, msg::MapsWritten{written}, false);
  if (kept != 0) show(run.out, msg::MapsKept{kept}, false);
}

void run_patch(RunContext& run, const std::vector<std::string>& values) {
  show(run.out, write_patch(run.rom, run.rom_path, values[0]), false);
}

void run_apply(RunContext& run, const std::vector<std::string>& values) {
  show(run.out, apply_patch(run.rom, run.rom_path, values[0]), false);
}

void run_preview(RunContext& run, const std::vector<std::string>& values) {
  show(run.out, write_previews(expand_wildcards(values)), false);
}

void run_compare(RunContext& run, const std::vector<std::string>& values) {
  const Comparison comparison = compare_map_files(values[0], values[1]);
  show(run.out, comparison.report, false);
  if (!comparison.compared) return;
  for (const std::string& line : describe_differences(comparison.differences))
    show(run.out, msg::Difference{line}, false);
  show(run.out, write_changes_picture(comparison, values[0], values[1]), false);
}

void run_check(RunContext& run, const std::vector<std::string>& values) {
  show(run.out, check_map_files(expand_wildcards(values)), false);
}

void run_to_tiled(RunContext& run, const std::vector<std::string>& values) {
  show(run.out, write_tiled_maps(expand_wildcards(values)), false);
}

void run_from_tiled(RunContext& run, const std::vector<std::string>& values) {
  show(run.out, read_tiled_maps(expand_wildcards(values)), false);
}

constexpr std::array<SingleHyphenMode, 6> kSingleHyphenModes = {{
    {[](const RunSettings& s) { return s.map.has_value(); }, true, run_map},
    {[](const RunSettings& s) { return s.theme.has_value(); }, false, run_theme},
    {[](const RunSettings& s) { return s.level.has_value(); }, false, run_info},
    {[](const RunSettings& s) { return s.dump_address.has_value(); }, false, run_decompress},
    {[](const RunSettings& s) { return s.resource; }, false, run_resource},
    {[](const RunSettings& s) { return s.import; }, true, run_import},
}};

constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

constexpr std::array<LongOptionRow, 10> kLongOptions = {{
    {"--help", OptionValue::none, 0, 0, "", false, "", "print this help and the long options",
     nullptr},
    {"--version", OptionValue::none, 0, 0, "", false, "", "print the version", nullptr},
    {"--all-maps", OptionValue::none, 0, 0, "", true, "",
     "write every map the game loads to mapXX.gvm (with -block XX: only that block type); "
     "map files that exist are kept",
     run_all_maps},
    {"--patch", OptionValue::one, 1, 1, "a value", true, "CLEAN",
     "write IMAGE.bps: the BPS patch that turns CLEAN into the image", run_patch},
    {"--apply", OptionValue::one, 1, 1, "a value", true, "PATCH",
     "apply a BPS patch to the image; the result is written as PATCH's name", run_apply},
    {"--preview", OptionValue::list, 1, kNoLimit, "a value", false, "FILE...",
     "write a picture of each map file (.png)", run_preview},
    {"--compare", OptionValue::list, 2, 2, "two map files, OLD and NEW", false, "OLD NEW",
     "say what changed between two map files and write NEW-changes.png", run_compare},
    {"--check", OptionValue::list, 1, kNoLimit, "a value", false, "FILE...",
     "say where the game would read other than each map file holds (before -import)", run_check},
    {"--to-tiled", OptionValue::list, 1, kNoLimit, "a value", false, "FILE...",
     "write a Tiled map (.tmj) of each map file, and the tilesets it uses", run_to_tiled},
    {"--from-tiled", OptionValue::list, 1, kNoLimit, "a value", false, "FILE.tmj...",
     "write the map file (.gvm) of each Tiled map", run_from_tiled},
}};

}  // namespace

std::span<const SingleHyphenMode> single_hyphen_modes() {
  return kSingleHyphenModes;
}

std::span<const LongOptionRow> long_option_rows() {
  return kLongOptions;
}

std::string long_options_help() {
  std::string text = "Long options (in any place; after the modes above, in the order given):\n";
  for (const LongOptionRow& row : kLongOptions) {
    std::string left = std::string(row.name);
    if (!row.argument.empty()) left += " " + std::string(row.argument);
    text += format(" %-26s%s\n", left.c_str(), std::string(row.help).c_str());
  }
  return text;
}

}  // namespace gorv
