#include "patch/patch_mode.h"

#include "codec/bps.h"
#include "common/file_io.h"
#include "common/platform.h"
#include "report/output_steps.h"

namespace gorv {

namespace {

// True when the file `path` is a sound BPS patch that applies to `clean`.
bool patch_from(const std::string& path, std::span<const std::uint8_t> clean) {
  std::vector<std::uint8_t> patch;
  return read_whole_file(path, patch, 2 * kBpsMaxImageSize) &&
         bps_apply(patch, clean).error == BpsError::none;
}

}  // namespace

Report write_patch(const RomImage& rom, const std::string& rom_path,
                   const std::string& clean_path) {
  Report report;
  std::vector<std::uint8_t> clean;
  const FileRead read = read_whole_file(clean_path, clean, kBpsMaxImageSize);
  if (!read) {
    say(report, msg::CannotOpen{clean_path, read.error});
    return report;
  }
  if (clean == rom.bytes) {
    say(report, msg::SameImages{clean_path, rom_path});
    return report;
  }
  const std::string name = file_stem_of(rom_path) + ".bps";
  for (const std::string& input : {rom_path, clean_path}) {
    if (same_file(name, input)) {
      say(report, msg::OutputIsImage{name, input});
      return report;
    }
  }
  // An existing file of the patch's name is replaced only when it is an
  // earlier patch of the same hack: a sound patch from this clean image.
  const bool replacing = path_exists(name);
  if (replacing && !patch_from(name, clean)) {
    say(report, msg::FileExists{name});
    return report;
  }
  const BpsCreateResult made = bps_create(clean, rom.bytes);
  if (made.error != BpsCreateError::none) {
    say(report, msg::PatchSelfCheck{rom_path});
    return report;
  }
  OutputFile file;
  if (!start_output_file(report, file, name)) return report;
  say(report, msg::WritingPatch{name});
  if (!finish_output_file(report, file, made.patch)) return report;
  say(report, msg::PatchSizes{made.patch.size(), clean.size(), rom.bytes.size()});
  if (replacing) say(report, msg::PatchReplaced{name});
  return report;
}

Report apply_patch(const RomImage& rom, const std::string& rom_path,
                   const std::string& patch_path) {
  Report report;
  std::vector<std::uint8_t> patch;
  // A patch is never much larger than the image it makes.
  const FileRead read = read_whole_file(patch_path, patch, 2 * kBpsMaxImageSize);
  if (!read) {
    say(report, msg::CannotOpen{patch_path, read.error});
    return report;
  }
  const std::string name = file_stem_of(patch_path) + file_extension_of(rom_path);
  if (path_exists(name)) {
    say(report, msg::FileExists{name});
    return report;
  }
  const BpsApplyResult applied = bps_apply(patch, rom.bytes);
  if (bps_is_for_another_source(applied.error)) {
    say(report, msg::PatchForOther{patch_path, applied.patch_source_crc, applied.source_crc});
    return report;
  }
  if (applied.error != BpsError::none) {
    say(report,
        msg::PatchDamaged{patch_path, applied.error, applied.at, applied.expected, applied.found});
    return report;
  }
  OutputFile file;
  if (!start_output_file(report, file, name)) return report;
  say(report, msg::WritingPatched{name});
  finish_output_file(report, file, applied.target);
  return report;
}

}  // namespace gorv
