#include "cli/messages.h"

#include <array>

#include "codec/block_encoder.h"
#include "codec/bps.h"
#include "common/text.h"
#include "format/map_file.h"
#include "import/importer.h"
#include "import/level_directory.h"

namespace gorv {

namespace {

enum class Kind { progress, warning, error };

struct MessageRow {
  Say id;
  Kind kind;
  bool may_pause;  // errors of the modes that wait for the user pause after it
  int status;      // the exit status it gives
  std::string (*text)(const Message&);
};

unsigned u(std::uint64_t value) {
  return static_cast<unsigned>(value);
}

// A map's parts in the order of its header's layout fields (and of
// PackedPart), then its header.
constexpr std::array<const char*, 5> kMapParts = {"tile", "block", "background", "enemy", "header"};

std::string lz_sizes(const Message& m) {
  const double ratio = static_cast<double>(m.n[1]) / static_cast<double>(m.n[0]) * 100.0;
  std::string text =
      format("  COMPRESSED DATA SIZE:   %llu bytes\n", static_cast<unsigned long long>(m.n[0]));
  text += format("  DECOMPRESSED DATA SIZE: %u bytes\n", u(m.n[1]));
  text += format("  RATIO:                  %3.01f %c\n", ratio, '%');
  text += "\n";
  return text;
}

std::string import_phase(const Message& m) {
  static constexpr std::array<const char*, 7> kPhases = {
      "starting level\n", "pointer to level order\n", "map pointers\n", "level order\n",
      "level data\n",     "level headers\n",          "pointers\n"};
  return m.n[0] < kPhases.size() ? kPhases[m.n[0]] : "";
}

std::string import_layout(const Message& m) {
  return format("    - %s layout (0x%06llX, 0x%04llX)\n", kMapParts[m.n[0] & 3],
                static_cast<unsigned long long>(m.n[1]), static_cast<unsigned long long>(m.n[2]));
}

std::string block_encode_text(BlockEncodeError error, unsigned width, unsigned height,
                              std::uint64_t given, std::uint64_t needed) {
  switch (error) {
    case BlockEncodeError::no_columns:
      return "the map is 0 screens wide; the block layout needs at least 1";
    case BlockEncodeError::no_rows:
      return "the map is 0 screens high; the block layout needs at least 1";
    case BlockEncodeError::too_wide:
      return format("the map is %u screens wide; the block layout holds at most %u", width,
                    unsigned{kMaxBlockLayoutWidth});
    case BlockEncodeError::too_tall:
      return format("the map is %u screens high; the block layout holds at most %u", height,
                    unsigned{kMaxBlockLayoutHeight});
    case BlockEncodeError::cells_short:
      return format(
          "the block cell array holds %llu cells; the map needs %llu with the row below it",
          static_cast<unsigned long long>(given), static_cast<unsigned long long>(needed));
    case BlockEncodeError::none:
      break;
  }
  return "";
}

}  // namespace

std::string bps_error_text(const BpsApplyResult& result) {
  const auto hex = [](std::uint64_t value) {
    return format("%08llX", static_cast<unsigned long long>(value));
  };
  const std::string at = std::to_string(result.at);
  switch (result.error) {
    case BpsError::none:
      return "";
    case BpsError::bad_magic:
      return "it does not start with \"BPS1\"";
    case BpsError::patch_cut:
      return "it ends early (what starts at byte " + at + " runs into the 12-byte footer)";
    case BpsError::number_overflow:
      return "the number at byte " + at + " is too large";
    case BpsError::target_too_large:
      return "it makes an image larger than 64 MiB";
    case BpsError::metadata_past_end:
      return "its metadata at byte " + at + " runs into the footer";
    case BpsError::action_past_target:
      return "the action at byte " + at + " writes past the end of the image it makes";
    case BpsError::source_read_past_source:
      return "the action at byte " + at + " reads past the end of the image it is for";
    case BpsError::source_copy_outside:
      return "the action at byte " + at + " copies from outside the image it is for";
    case BpsError::target_copy_outside:
      return "the action at byte " + at + " copies bytes of the new image not written yet";
    case BpsError::size_mismatch:
      return "its actions end before the new image is complete";
    case BpsError::patch_crc_mismatch:
      return "its CRC32 is " + hex(result.found) + ", it says " + hex(result.expected);
    case BpsError::source_size_mismatch:
      return "it is for an image of " + std::to_string(result.expected) + " bytes, this one has " +
             std::to_string(result.found);
    case BpsError::source_crc_mismatch:
      return "it is for an image with CRC32 " + hex(result.expected) + ", this one has " +
             hex(result.found);
    case BpsError::target_crc_mismatch:
      return "the new image has CRC32 " + hex(result.found) + ", the patch says " +
             hex(result.expected);
  }
  return "";
}

std::string map_file_problem_text(const MapFileDamage& damage) {
  const auto& v = damage.values;
  auto z = [](std::uint64_t value) { return static_cast<std::size_t>(value); };
  switch (damage.problem) {
    case MapFileProblem::none:
      return "";
    case MapFileProblem::header_cut:
      return "the file ends inside its header";
    case MapFileProblem::tile_inside_header:
      return format("the tile layout section starts inside the header (offset 0x%04zX)", z(v[0]));
    case MapFileProblem::offsets_out_of_order:
      return format(
          "the section offsets are out of order (tile 0x%04zX, block 0x%04zX, background "
          "0x%04zX, enemy 0x%04zX, end 0x%04zX)",
          z(v[0]), z(v[1]), z(v[2]), z(v[3]), z(v[4]));
    case MapFileProblem::sections_past_end:
      return format("the sections end at offset 0x%04zX, past the end of the file (0x%04zX bytes)",
                    z(v[0]), z(v[1]));
    case MapFileProblem::no_screens:
      return format("the map is %u x %u screens; a map needs at least one screen each way", u(v[0]),
                    u(v[1]));
    case MapFileProblem::too_many_screens:
      return format(
          "the map is %u x %u screens; the block layout holds at most %u screens across and %u "
          "down",
          u(v[0]), u(v[1]), u(v[2]), u(v[3]));
    case MapFileProblem::tile_section_short:
      return format("the tile layout section holds 0x%04zX bytes, fewer than the 0x%04X squares",
                    z(v[0]), u(v[1]));
    case MapFileProblem::block_section_short:
      return format("the block layout section ends before the grid is filled (%zu of %zu squares)",
                    z(v[0]), z(v[1]));
    case MapFileProblem::block_cell_cut:
      return format("the block layout section ends inside the block cell of square %zu", z(v[0]));
    case MapFileProblem::background_no_end_word:
      return "the background layout section ends before its end word FF FF";
    case MapFileProblem::background_entry_cut:
      return "the background layout section ends inside an entry";
    case MapFileProblem::background_block_short:
      return format("the background layout section holds %zu bytes; theme %u needs %zu", z(v[0]),
                    u(v[1]), z(v[2]));
    case MapFileProblem::enemy_count_missing:
      return "the enemy layout section ends before its entry count";
    case MapFileProblem::enemy_entries_cut:
      return format("the enemy layout section ends inside its %u entries", u(v[0]));
  }
  return "";
}

std::string block_encode_error_text(const BlockEncoding& encoding, std::uint8_t width,
                                    std::uint8_t size_byte) {
  return block_encode_text(encoding.error, width, map_height(size_byte), encoding.cells_given,
                           encoding.cells_needed);
}

namespace {

std::string map_file_trouble(const Message& m) {
  std::string problem;
  switch (static_cast<MapFileTrouble>(m.n[0])) {
    case MapFileTrouble::damaged: {
      MapFileDamage damage{static_cast<MapFileProblem>(m.n[1]),
                           {m.n[2], m.n[3], m.n[4], m.n[5], m.n[6]}};
      problem = map_file_problem_text(damage);
      break;
    }
    case MapFileTrouble::cannot_encode:
      problem = "the block layout cannot be encoded: " +
                block_encode_text(static_cast<BlockEncodeError>(m.n[1]), u(m.n[2]),
                                  map_height(static_cast<std::uint8_t>(m.n[3])), 0, 0);
      break;
    case MapFileTrouble::unreadable:
      problem = "the file cannot be read";
      break;
    case MapFileTrouble::too_large:
      problem = "the file is larger than 16 MiB";
      break;
    case MapFileTrouble::layout_too_long:
      problem = format("the %s layout takes %llu bytes in the ROM image, more than 65535",
                       kMapParts[m.n[1] & 3], static_cast<unsigned long long>(m.n[2]));
      break;
  }
  return format("map file \"%s\" is damaged\n  ", m.name.c_str()) + problem;
}

// The table. Texts of errors come without "ERROR: " and the newline.
constexpr MessageRow kMessages[] = {
    {Say::newline, Kind::progress, false, kStatusOk,
     [](const Message&) { return std::string("\n"); }},
    {Say::writing_map, Kind::progress, false, kStatusOk,
     [](const Message& m) { return format("\nWriting map as \"%s\"...\n\n", m.name.c_str()); }},
    {Say::writing_theme, Kind::progress, false, kStatusOk,
     [](const Message& m) { return format("\nWriting theme as \"%s\"...\n\n", m.name.c_str()); }},
    {Say::writing_data, Kind::progress, false, kStatusOk,
     [](const Message& m) { return format("\nWriting data as \"%s\"...\n\n", m.name.c_str()); }},
    {Say::writing_resource, Kind::progress, false, kStatusOk,
     [](const Message& m) {
       return format("\nWriting GorvEdit data as \"%s\"...\n\n", m.name.c_str());
     }},
    {Say::lz_sizes, Kind::progress, false, kStatusOk, lz_sizes},
    {Say::unhandled_block, Kind::progress, true, kStatusOk,
     [](const Message& m) {
       return format("\nFound block-type 0x%02X at 0x%06X\n", u(m.n[0]), u(m.n[1]));
     }},
    {Say::unhandled_omitted, Kind::progress, true, kStatusOk,
     [](const Message&) {
       return std::string("\nFurther entries of unhandled block types are not shown\n");
     }},
    // The printed name has upper-case digits though the file's are lower
    // case: scripts that read the import's output have always seen it so.
    {Say::import_map_file, Kind::progress, false, kStatusOk,
     [](const Message& m) { return format("map%02X.gvm\n", u(m.n[0])); }},
    {Say::import_phase, Kind::progress, false, kStatusOk, import_phase},
    {Say::import_appending, Kind::progress, false, kStatusOk,
     [](const Message& m) { return format("  appending map 0x%02X...\n", u(m.n[0])); }},
    {Say::import_layout, Kind::progress, false, kStatusOk, import_layout},
    {Say::import_adjusting, Kind::progress, false, kStatusOk,
     [](const Message&) { return std::string("\nadjusting file size..."); }},
    {Say::import_fixing, Kind::progress, false, kStatusOk,
     [](const Message&) { return std::string("\nfixing checksum..."); }},
    {Say::import_freeing, Kind::progress, false, kStatusOk,
     [](const Message&) { return std::string("\nfreeing data..."); }},
    {Say::import_done, Kind::progress, false, kStatusOk,
     [](const Message&) { return std::string("\ndone!\n"); }},
    {Say::maps_written, Kind::progress, false, kStatusOk,
     [](const Message& m) { return format("%u maps written\n", u(m.n[0])); }},
    {Say::maps_kept, Kind::progress, false, kStatusOk,
     [](const Message& m) {
       return format("%u map files already existed and were kept\n", u(m.n[0]));
     }},
    {Say::writing_patch, Kind::progress, false, kStatusOk,
     [](const Message& m) { return format("\nWriting patch as \"%s\"...\n\n", m.name.c_str()); }},
    {Say::patch_sizes, Kind::progress, false, kStatusOk,
     [](const Message& m) {
       return format("patch: %u bytes (source %u bytes, target %u bytes)\n", u(m.n[0]), u(m.n[1]),
                     u(m.n[2]));
     }},
    {Say::writing_patched, Kind::progress, false, kStatusOk,
     [](const Message& m) {
       return format("\nWriting patched image as \"%s\"...\n\n", m.name.c_str());
     }},
    {Say::writing_preview, Kind::progress, false, kStatusOk,
     [](const Message& m) { return format("\nWriting preview as \"%s\"...\n", m.name.c_str()); }},
    {Say::writing_changes, Kind::progress, false, kStatusOk,
     [](const Message& m) { return format("\nWriting changes as \"%s\"...\n", m.name.c_str()); }},
    {Say::difference, Kind::progress, false, kStatusOk,
     [](const Message& m) { return m.name + "\n"; }},
    {Say::file_exists, Kind::error, true, kStatusError,
     [](const Message& m) {
       return format("file \"%s\" exists; nothing was written", m.name.c_str());
     }},
    {Say::patch_damaged, Kind::error, true, kStatusError,
     [](const Message& m) {
       BpsApplyResult refused;
       refused.error = static_cast<BpsError>(m.n[0]);
       refused.at = m.n[1];
       refused.expected = m.n[2];
       refused.found = m.n[3];
       return format("the patch \"%s\" is damaged\n  %s", m.name.c_str(),
                     bps_error_text(refused).c_str());
     }},
    {Say::patch_for_other, Kind::error, true, kStatusError,
     [](const Message& m) {
       return format("the patch \"%s\" is for another image (source CRC32 %08X, this image %08X)",
                     m.name.c_str(), u(m.n[0]), u(m.n[1]));
     }},
    {Say::patch_self_check, Kind::error, true, kStatusError,
     [](const Message& m) {
       return format("the patch made for \"%s\" does not give the image back; it is not written",
                     m.name.c_str());
     }},
    {Say::compare_needs_two, Kind::error, true, kStatusError,
     [](const Message&) { return std::string("--compare needs two map files, OLD and NEW"); }},
    {Say::import_kept_original, Kind::progress, false, kStatusOk,
     [](const Message& m) { return format("\noriginal image kept as \"%s\"", m.name.c_str()); }},
    {Say::import_kept_previous, Kind::progress, false, kStatusOk,
     [](const Message& m) { return format("\nprevious image kept as \"%s\"", m.name.c_str()); }},
    {Say::map_left_out, Kind::warning, false, kStatusOk,
     [](const Message& m) {
       return format(
           "map 0x%02X is in the ROM image but has no map file; the imported image "
           "leaves it out",
           u(m.n[0]));
     }},
    {Say::map_name_case, Kind::warning, false, kStatusOk,
     [](const Message& m) {
       return format("\"%s\" is not imported: map file names are lower case (%s)", m.name.c_str(),
                     m.name2.c_str());
     }},
    {Say::cannot_open, Kind::error, true, kStatusError,
     [](const Message& m) { return format("cannot open file \"%s\"", m.name.c_str()); }},
    {Say::rom_too_large, Kind::error, true, kStatusError,
     [](const Message& m) {
       return format("file \"%s\" is larger than 64 MiB; it is not a ROM image", m.name.c_str());
     }},
    {Say::cannot_create, Kind::error, true, kStatusError,
     [](const Message& m) { return format("cannot create file \"%s\"", m.name.c_str()); }},
    {Say::cannot_write, Kind::error, true, kStatusError,
     [](const Message& m) { return format("cannot write file \"%s\"", m.name.c_str()); }},
    {Say::file_too_large, Kind::error, true, kStatusError,
     [](const Message& m) {
       return format("\"%s\" would be larger than 65535 bytes; the file was not written",
                     m.name.c_str());
     }},
    {Say::map_too_large, Kind::error, true, kStatusError,
     [](const Message& m) { return format("map 0x%02X is too large for a map file", u(m.n[0])); }},
    {Say::data_too_large, Kind::error, true, kStatusError,
     [](const Message& m) {
       return format("the data at 0x%X expand to more than 65535 bytes", u(m.n[0]));
     }},
    {Say::output_is_image, Kind::error, false, kStatusError,
     [](const Message& m) {
       return format("the output file \"%s\" is the ROM image \"%s\"; it is not written",
                     m.name.c_str(), m.name2.c_str());
     }},
    {Say::map_absent, Kind::error, true, kStatusError,
     [](const Message&) { return std::string("this map doesn't exist"); }},
    {Say::address_past_end, Kind::error, true, kStatusError,
     [](const Message& m) {
       return format("address 0x%X is beyond the end of the ROM image", u(m.n[0]));
     }},
    {Say::enemy_header_end, Kind::error, false, kStatusError,
     [](const Message& m) {
       return format("End of enemy header not found. (art_load[3] = 0x%04X)", u(m.n[0]));
     }},
    {Say::enemy_list_marker, Kind::error, false, kStatusError,
     [](const Message& m) {
       return format("Expected 0x80 or 0x00 to start enemy layout data. (i = 0x%02X)", u(m.n[0]));
     }},
    {Say::map_file_is_image, Kind::error, true, kStatusError,
     [](const Message& m) {
       return format("the ROM image \"%s\" is the map file \"%s\"; nothing was imported",
                     m.name.c_str(), m.name2.c_str());
     }},
    {Say::map_file_damaged, Kind::error, true, kStatusError, map_file_trouble},
    {Say::image_too_small, Kind::error, true, kStatusError,
     [](const Message& m) {
       return format("file \"%s\" is too small to be a ROM image; nothing was imported",
                     m.name.c_str());
     }},
    {Say::no_map_files, Kind::error, true, kStatusError,
     [](const Message&) {
       return std::string(
           "there is no map file (map00.gvm to map7d.gvm) in the current directory; nothing was "
           "imported");
     }},
    {Say::map_not_surviving, Kind::error, true, kStatusError,
     [](const Message& m) {
       return format("map 0x%02X did not survive packing (%s layout); nothing was imported",
                     u(m.n[0]), kMapParts[m.n[1] < kMapParts.size() ? m.n[1] : 4]);
     }},
    {Say::level_out_of_range, Kind::error, true, kStatusError,
     [](const Message&) {
       return std::string("level is out of range; only levels between 00 and 69 are allowed");
     }},
    {Say::map_out_of_range, Kind::error, true, kStatusError,
     [](const Message&) {
       return std::string("map is out of range; only maps between 0 and 7D are allowed");
     }},
    {Say::theme_out_of_range, Kind::error, true, kStatusError,
     [](const Message&) {
       return std::string("theme is out of range; only themes between 1 and A are allowed");
     }},
    {Say::block_out_of_range, Kind::error, true, kStatusError,
     [](const Message&) {
       return std::string("block is out of range; only blocks between 00 and 10 are allowed");
     }},
    {Say::address_not_valid, Kind::error, true, kStatusError,
     [](const Message&) {
       return std::string("address is not valid; only hexadecimal addresses are allowed");
     }},
    {Say::unknown_option, Kind::error, false, kStatusUsage,
     [](const Message& m) {
       return format("unknown option \"%s\"; see gorvtool --help", m.name.c_str());
     }},
    {Say::option_needs_value, Kind::error, false, kStatusUsage,
     [](const Message& m) {
       return format("option \"%s\" needs a value; see gorvtool --help", m.name.c_str());
     }},
    {Say::map_with_import, Kind::error, true, kStatusError,
     [](const Message& m) {
       return format(
           "-map and -import cannot run together: the map dump would replace map%02x.gvm before "
           "the import reads it",
           u(m.n[0]));
     }},
    {Say::all_maps_with_import, Kind::error, true, kStatusError,
     [](const Message&) {
       return std::string(
           "--all-maps and -import cannot run together: the dump would write the image's old "
           "maps beside the imported ones");
     }},
};

const MessageRow& row_of(Say id) {
  for (const MessageRow& row : kMessages)
    if (row.id == id) return row;
  return kMessages[0];
}

}  // namespace

std::string message_text(const Message& message) {
  const MessageRow& row = row_of(message.id);
  switch (row.kind) {
    case Kind::progress:
      return row.text(message);
    case Kind::warning:
      return "WARNING: " + row.text(message) + "\n";
    case Kind::error:
      break;
  }
  return "ERROR: " + row.text(message) + "\n";
}

std::string report_text(const Report& report) {
  std::string text;
  for (const Message& message : report) text += message_text(message);
  return text;
}

bool report_has_error(const Report& report) {
  for (const Message& message : report)
    if (row_of(message.id).kind == Kind::error) return true;
  return false;
}

void show(Output& out, const Message& message, bool pausing) {
  const MessageRow& row = row_of(message.id);
  say(out.console, message_text(message));
  if (row.status > out.status) out.status = row.status;
  if (pausing && row.may_pause) pause(out.console);
}

void show(Output& out, const Report& report, bool pausing) {
  for (const Message& message : report) show(out, message, pausing);
}

}  // namespace gorv
