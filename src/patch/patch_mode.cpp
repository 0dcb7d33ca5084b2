#include "patch/patch_mode.h"

#include "codec/bps.h"
#include "common/file_io.h"
#include "common/platform.h"

namespace gorv {

Report write_patch(const RomImage& rom, const std::string& rom_path,
                   const std::string& clean_path) {
  Report report;
  std::vector<std::uint8_t> clean;
  if (!read_whole_file(clean_path, clean, kBpsMaxImageSize)) {
    say(report, Say::cannot_open, clean_path);
    return report;
  }
  const std::string name = file_stem_of(rom_path) + ".bps";
  for (const std::string& input : {rom_path, clean_path}) {
    if (same_file(name, input)) {
      say(report, Say::output_is_image, name, input);
      return report;
    }
  }
  const BpsCreateResult made = bps_create(clean, rom.bytes);
  if (made.error != BpsCreateError::none) {
    say(report, Say::patch_self_check, rom_path);
    return report;
  }
  OutputFile file;
  if (!start_output_file(report, file, name)) return report;
  say(report, Say::writing_patch, name);
  if (!finish_output_file(report, file, made.patch)) return report;
  say_n(report, Say::patch_sizes, {made.patch.size(), clean.size(), rom.bytes.size()});
  return report;
}

Report apply_patch(const RomImage& rom, const std::string& rom_path,
                   const std::string& patch_path) {
  Report report;
  std::vector<std::uint8_t> patch;
  // A patch is never much larger than the image it makes.
  if (!read_whole_file(patch_path, patch, 2 * kBpsMaxImageSize)) {
    say(report, Say::cannot_open, patch_path);
    return report;
  }
  const std::string name = file_stem_of(patch_path) + file_extension_of(rom_path);
  if (path_exists(name)) {
    say(report, Say::file_exists, name);
    return report;
  }
  const BpsApplyResult applied = bps_apply(patch, rom.bytes);
  if (bps_is_for_another_source(applied.error)) {
    say_n(report, Say::patch_for_other, {applied.patch_source_crc, applied.source_crc}, patch_path);
    return report;
  }
  if (applied.error != BpsError::none) {
    say_n(report, Say::patch_damaged,
          {static_cast<std::uint64_t>(applied.error), applied.at, applied.expected, applied.found},
          patch_path);
    return report;
  }
  OutputFile file;
  if (!start_output_file(report, file, name)) return report;
  say(report, Say::writing_patched, name);
  finish_output_file(report, file, applied.target);
  return report;
}

}  // namespace gorv
