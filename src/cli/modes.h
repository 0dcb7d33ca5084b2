// The modes the front end runs, one row each: the single-hyphen modes in
// their fixed run order, then the long options. Adding a mode means adding
// its row here and its own files below the front end.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/long_options.h"
#include "cli/messages.h"
#include "rom/map_header.h"
#include "rom/rom_image.h"

namespace gorv {

// What every mode may use. The run owns the image as read; -import takes
// it over when no long option works on it after the import.
struct RunContext {
  Output& out;
  const std::string& rom_path;
  RomImage rom;
  MapExistsTable exists;  // through the game's own directory, as -map reads it
  const RunSettings& settings;
  bool image_needed_later;  // a long option still works on the image after -import
};

// A single-hyphen mode: runs when `requested`; `pausing` when it waits for
// the user after its errors.
struct SingleHyphenMode {
  bool (*requested)(const RunSettings& settings);
  bool pausing;
  void (*run)(RunContext& run);
};

// The single-hyphen modes in their run order.
std::span<const SingleHyphenMode> single_hyphen_modes();

std::span<const LongOptionRow> long_option_rows();

// The long options' part of --help, one line each.
std::string long_options_help();

}  // namespace gorv
