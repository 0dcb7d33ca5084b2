// What the tool's layers have to say, as data. A mode returns a Report: the
// messages in the order they happen, each an id with the names and figures
// that go into it. Only the front end turns them into text, through its one
// message table (cli/messages.cpp), which also decides for each whether it
// is an error, whether it pauses and what exit status it gives.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gorv {

enum class Say : std::uint8_t {
  // Progress and reports.
  newline,               // "\n"
  writing_map,           // name
  writing_theme,         // name
  writing_data,          // name
  writing_resource,      // name
  lz_sizes,              // n0 compressed size, n1 product size
  unhandled_block,       // n0 type code, n1 position
  unhandled_omitted,     //
  import_map_file,       // n0 map
  import_phase,          // n0 phase (ImportPhase)
  import_appending,      // n0 map
  import_layout,         // n0 layout (0 tile .. 3 enemy), n1 position, n2 length
  import_adjusting,      //
  import_fixing,         //
  import_freeing,        //
  import_done,           //
  maps_written,          // n0 count
  maps_kept,             // n0 count
  writing_patch,         // name
  patch_sizes,           // n0 patch, n1 source, n2 target size
  writing_patched,       // name
  writing_preview,       // name
  writing_changes,       // name
  difference,            // name: one line of a comparison
  import_kept_original,  // name: the .orig copy written in this run
  import_kept_previous,  // name: the .bak copy
  // Warnings.
  map_left_out,   // n0 map: in the image, but no map file
  map_name_case,  // name (the file), name2 (the expected name)
  // Errors.
  cannot_open,        // name
  rom_too_large,      // name
  cannot_create,      // name
  cannot_write,       // name
  file_too_large,     // name: a product past 65,535 bytes
  map_too_large,      // n0 map
  data_too_large,     // n0 address
  output_is_image,    // name (output), name2 (image)
  map_absent,         //
  address_past_end,   // n0 address
  enemy_header_end,   // n0 the word found
  enemy_list_marker,  // n0 the marker's bit 7
  map_file_is_image,  // name (image), name2 (map file)
  map_file_damaged,   // name; n0 MapFileTrouble, n1.. its details
  file_exists,        // name: an output that is never replaced
  patch_damaged,      // name; n0 BpsError, n1 where, n2 expected, n3 found
  patch_for_other,    // name; n0 the patch's source CRC32, n1 the image's
  patch_self_check,   // name: a made patch did not give the image back
  compare_needs_two,  //
  image_too_small,    // name
  no_map_files,       //
  map_not_surviving,  // n0 map, n1 layout (0 tile .. 3 enemy; 4 header)
  // The front end's own.
  level_out_of_range,    //
  map_out_of_range,      //
  theme_out_of_range,    //
  block_out_of_range,    //
  address_not_valid,     //
  unknown_option,        // name
  option_needs_value,    // name
  map_with_import,       // n0 map
  all_maps_with_import,  //
};

struct Message {
  Say id;
  std::string name;
  std::string name2;
  std::array<std::uint64_t, 8> n{};
};

using Report = std::vector<Message>;

inline void say(Report& report, Say id, std::string name = {}, std::string name2 = {}) {
  report.push_back(Message{id, std::move(name), std::move(name2), {}});
}

inline void say_n(Report& report, Say id, std::array<std::uint64_t, 8> n, std::string name = {}) {
  report.push_back(Message{id, std::move(name), {}, n});
}

inline void append(Report& report, const Report& more) {
  report.insert(report.end(), more.begin(), more.end());
}

}  // namespace gorv
