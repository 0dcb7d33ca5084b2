#include "cli/messages.h"

#include <array>
#include <tuple>
#include <type_traits>
#include <utility>

#include "cli/counts.h"
#include "common/platform.h"
#include "common/text.h"

namespace gorv {

namespace {

// What a message is decides its prefix, its exit status and whether it
// pauses: errors pause in the modes that wait for the user, nothing else
// does. A row states only what differs from that.
enum class Kind {
  progress,     // no prefix, status 0
  warning,      // "WARNING: ", status 0
  error,        // "ERROR: ", status 1
  usage_error,  // "ERROR: ", status 2; never pauses
};

enum class Pause {
  by_kind,  // as its kind says
  never,    // an error the user need not stop for
  too,      // a progress message that stops like an error
};

// The row of the message whose payload is M. Texts of warnings and errors
// come without their prefix and the newline.
template <class M>
struct Row {
  using Payload = M;
  Kind kind;
  std::string (*text)(const M&);
  Pause pause = Pause::by_kind;
};

unsigned u(std::uint64_t value) {
  return static_cast<unsigned>(value);
}

const char* part_name(MapPart part) {
  switch (part) {
    case MapPart::tile:
      return "tile";
    case MapPart::block:
      return "block";
    case MapPart::background:
      return "background";
    case MapPart::enemy:
      return "enemy";
    case MapPart::header:
      break;
  }
  return "header";
}

// Why a file call failed, in parentheses, or nothing where no call failed.
std::string reason(const FileError& error) {
  switch (file_error_reason(error)) {
    case FileErrorReason::none:
      return "";
    case FileErrorReason::no_such_file:
      return " (no such file)";
    case FileErrorReason::is_folder:
      return " (it is a folder)";
    case FileErrorReason::permission_denied:
      return " (permission denied)";
    case FileErrorReason::read_only_file:
      return " (it is read-only)";
    case FileErrorReason::disk_full:
      return " (the disk is full)";
    case FileErrorReason::read_only_file_system:
      return " (the file system is read-only)";
    case FileErrorReason::in_use:
      return " (another program has it open)";
    case FileErrorReason::other:
      break;
  }
  return " (" + system_error_text(error.code) + ")";
}

// "map 0x4A: " for the import, "\"edited.gvm\": " for --check.
std::string read_back_prefix(const std::string& file, std::uint8_t map) {
  return file.empty() ? format("map 0x%02X: ", u(map)) : format("\"%s\": ", file.c_str());
}

std::string read_back_reason(const ReadBackDifference& d) {
  using Why = ReadBackDifference::Why;
  switch (d.why) {
    case Why::wide_second_square:
      return format("it stands on the second square of the wide block at (%u, %u)", d.at_column,
                    d.at_row);
    case Why::type_not_read:
      return "the game reads no block of this type";
    case Why::type_not_stored:
      return "the import stores no block of this type";
    case Why::run_covers:
      return format("a run of type 0x%02X covers it", u(d.read_type));
    case Why::run_covers_wide_second_square:
      return format("a run of type 0x%02X covers the second square of the wide block at (%u, %u)",
                    u(d.read_type), d.at_column, d.at_row);
    case Why::unexplained:
      break;
  }
  return "GorvTool stores it wrongly; please report this map file";
}

std::string read_back_section(ReadBackDifference::Section section) {
  using Section = ReadBackDifference::Section;
  switch (section) {
    case Section::header:
      return "the game reads other header values than the file holds";
    case Section::background:
      return "the game reads another background layout than the file holds";
    case Section::enemy_missing:
      return "the file has no enemy section; the game reads an empty enemy list";
    case Section::enemy:
      break;
  }
  return "the game reads another enemy section than the file holds";
}

// One map's line of the import summary: only what applies, in a fixed
// order.
std::string map_changed(const msg::MapChanged& m) {
  const MapChange& c = m.change;
  std::vector<std::string> parts;
  if (c.is_new) parts.emplace_back("new map");
  if (c.tiles != 0) parts.push_back(counted(c.tiles, "tile", "tiles") + " changed");
  if (c.blocks_added != 0) parts.push_back(counted(c.blocks_added, "block", "blocks") + " added");
  if (c.blocks_removed != 0)
    parts.push_back(counted(c.blocks_removed, "block", "blocks") + " removed");
  if (c.blocks_changed != 0)
    parts.push_back(counted(c.blocks_changed, "block", "blocks") + " changed");
  if (c.background) parts.emplace_back("background changed");
  if (c.enemies)
    parts.push_back(
        format("enemies changed (%u before, %u now)", u(c.enemies_before), u(c.enemies_now)));
  if (c.fields != 0) {
    static constexpr const char* kFieldNames[kMapValueFieldCount] = {
        "width",          "height",  "extra rows", "attributes", "theme", "effect",
        "theme bits 7-6", "start x", "start y",    "end x",      "end y"};
    std::string names;
    for (unsigned f = 0; f < kMapValueFieldCount; ++f) {
      if (!c.field(static_cast<MapValueField>(f))) continue;
      if (!names.empty()) names += ", ";
      names += kFieldNames[f];
    }
    parts.push_back("header changed (" + names + ")");
  }
  std::string line = format("map 0x%02X: ", m.map);
  for (std::size_t i = 0; i < parts.size(); ++i) line += (i == 0 ? "" : ", ") + parts[i];
  return line + "\n";
}

std::string read_back_differs(const msg::ReadBackDiffers& m) {
  using Kind = ReadBackDifference::Kind;
  const ReadBackDifference& d = m.difference;
  std::string text = read_back_prefix(m.file, m.map);
  if (d.kind == Kind::section) return text + read_back_section(d.section);
  text += format("(%u, %u): ", d.column, d.row);
  switch (d.kind) {
    case Kind::block_lost: {
      const std::string read = d.read_type == kNoBlock
                                   ? std::string("none")
                                   : format("a block of type 0x%02X", u(d.read_type));
      return text + format("the file has a block of type 0x%02X; the game reads %s (%s)",
                           u(d.file_type), read.c_str(), read_back_reason(d).c_str());
    }
    case Kind::block_appears:
      return text + format("the file has no block; the game reads a block of type 0x%02X (%s)",
                           u(d.read_type), read_back_reason(d).c_str());
    case Kind::unstored_data: {
      std::string held, read;
      for (std::size_t i = d.field - 1u; i < d.file_data.size(); ++i) {
        held += format(i + 1 == d.field ? "%02X" : " %02X", u(d.file_data[i]));
        read += format(i + 1 == d.field ? "%02X" : " %02X", u(d.read_data[i]));
      }
      return text + format(
                        "block type 0x%02X does not store d%u to d4: the file holds %s, the "
                        "game reads %s",
                        u(d.block_type), u(d.field), held.c_str(), read.c_str());
    }
    case Kind::data_bits:
    case Kind::section:
      break;
  }
  return text + format("d%u of block type 0x%02X is 0x%02X; the game reads 0x%02X (it keeps %s)",
                       u(d.field), u(d.block_type), u(d.file_value), u(d.read_value),
                       counted(d.kept_bits, "bit", "bits").c_str());
}

std::string lz_sizes(const msg::LzSizes& m) {
  const double ratio = static_cast<double>(m.unpacked) / static_cast<double>(m.packed) * 100.0;
  std::string text =
      format("  COMPRESSED DATA SIZE:   %llu bytes\n", static_cast<unsigned long long>(m.packed));
  text += format("  DECOMPRESSED DATA SIZE: %u bytes\n", u(m.unpacked));
  text += format("  RATIO:                  %3.01f %c\n", ratio, '%');
  text += "\n";
  return text;
}

std::string import_step(const msg::ImportStep& m) {
  switch (m.phase) {
    case ImportPhase::starting_level:
      return "starting level\n";
    case ImportPhase::level_order_pointer:
      return "pointer to level order\n";
    case ImportPhase::map_pointers:
      return "map pointers\n";
    case ImportPhase::level_order:
      return "level order\n";
    case ImportPhase::level_data:
      return "level data\n";
    case ImportPhase::level_headers:
      return "level headers\n";
    case ImportPhase::pointers:
      break;
  }
  return "pointers\n";
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
      return format("the block cell array holds %s; the map needs %llu with the row below it",
                    counted(given, "cell", "cells").c_str(),
                    static_cast<unsigned long long>(needed));
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
      return "it is for an image of " + counted(result.expected, "byte", "bytes") +
             ", this one has " + std::to_string(result.found);
    case BpsError::source_crc_mismatch:
      return "it is for an image with CRC32 " + hex(result.expected) + ", this one has " +
             hex(result.found);
    case BpsError::target_crc_mismatch:
      return "the new image has CRC32 " + hex(result.found) + ", the patch says " +
             hex(result.expected);
  }
  return "";
}

std::string map_file_damage_text(const MapFileDamage& damage) {
  const auto& v = damage.values;
  auto z = [](std::uint64_t value) { return static_cast<std::size_t>(value); };
  switch (damage.problem) {
    case MapFileDamage::Problem::none:
      return "";
    case MapFileDamage::Problem::header_cut:
      return "the file ends inside its header";
    case MapFileDamage::Problem::tile_inside_header:
      return format("the tile layout section starts inside the header (offset 0x%04zX)", z(v[0]));
    case MapFileDamage::Problem::offsets_out_of_order:
      return format(
          "the section offsets are out of order (tile 0x%04zX, block 0x%04zX, background "
          "0x%04zX, enemy 0x%04zX, end 0x%04zX)",
          z(v[0]), z(v[1]), z(v[2]), z(v[3]), z(v[4]));
    case MapFileDamage::Problem::sections_past_end:
      return format("the sections end at offset 0x%04zX, past the end of the file (0x%04zX bytes)",
                    z(v[0]), z(v[1]));
    case MapFileDamage::Problem::no_screens:
      return format("the map is %u x %u screens; a map needs at least one screen each way", u(v[0]),
                    u(v[1]));
    case MapFileDamage::Problem::too_many_screens:
      return format(
          "the map is %u x %u screens; the block layout holds at most %u screens across and %u "
          "down",
          u(v[0]), u(v[1]), u(v[2]), u(v[3]));
    case MapFileDamage::Problem::tile_section_short:
      return format("the tile layout section holds 0x%04zX %s, fewer than the 0x%04X squares",
                    z(v[0]), for_count(v[0], "byte", "bytes"), u(v[1]));
    case MapFileDamage::Problem::block_section_short:
      return format("the block layout section ends before the grid is filled (%zu of %zu squares)",
                    z(v[0]), z(v[1]));
    case MapFileDamage::Problem::block_cell_cut:
      return format("the block layout section ends inside the block cell of square %zu", z(v[0]));
    case MapFileDamage::Problem::background_no_end_word:
      return "the background layout section ends before its end word FF FF";
    case MapFileDamage::Problem::background_entry_cut:
      return "the background layout section ends inside an entry";
    case MapFileDamage::Problem::background_block_short:
      return format("the background layout section holds %s; theme %u needs %zu",
                    counted(v[0], "byte", "bytes").c_str(), u(v[1]), z(v[2]));
    case MapFileDamage::Problem::enemy_count_missing:
      return "the enemy layout section ends before its entry count";
    case MapFileDamage::Problem::enemy_entries_cut:
      return format("the enemy layout section ends inside its %s",
                    counted(v[0], "entry", "entries").c_str());
  }
  return "";
}

std::string block_encode_error_text(const BlockEncoding& encoding, std::uint8_t width,
                                    std::uint8_t size_byte) {
  return block_encode_text(encoding.error, width, map_height(size_byte), encoding.cells_given,
                           encoding.cells_needed);
}

namespace {

// A number option's noun and accepted values, as its messages say them.
struct NumberRange {
  const char* noun;
  const char* allowed;
};

NumberRange number_range(NumberOption option) {
  switch (option) {
    case NumberOption::level:
      return {"level", "only levels between 00 and 69 are allowed"};
    case NumberOption::map:
      return {"map", "only maps between 0 and 7D are allowed"};
    case NumberOption::theme:
      return {"theme", "only themes between 1 and A are allowed"};
    case NumberOption::block:
      return {"block", "only blocks between 00 and 10 are allowed"};
    case NumberOption::address:
      break;
  }
  return {"address", "only addresses between 0 and FFFFFF are allowed"};
}

std::string map_file_unusable(const msg::MapFileUnusable& m) {
  const MapFileError& e = m.error;
  std::string problem;
  switch (e.kind) {
    case MapFileError::Kind::damaged:
      problem = map_file_damage_text(e.damage);
      break;
    case MapFileError::Kind::cannot_encode:
      problem = "the block layout cannot be encoded: " +
                block_encode_text(e.encode_error, e.width, map_height(e.size_byte), 0, 0);
      break;
    case MapFileError::Kind::unreadable:
      problem = "the file cannot be read";
      break;
    case MapFileError::Kind::too_large:
      problem = "the file is larger than 16 MiB";
      break;
    case MapFileError::Kind::layout_too_long:
      problem = format("the %s layout takes %llu bytes in the ROM image, more than 65535",
                       part_name(e.layout), static_cast<unsigned long long>(e.length));
      break;
  }
  return format("map file \"%s\" is damaged\n  ", m.file.c_str()) + problem;
}

std::string patch_damaged(const msg::PatchDamaged& m) {
  BpsApplyResult refused;
  refused.error = m.error;
  refused.at = m.at;
  refused.expected = m.expected;
  refused.found = m.found;
  return format("the patch \"%s\" is damaged\n  %s", m.patch.c_str(),
                bps_error_text(refused).c_str());
}

const char* normalised_part_name(NormalisedPart part) {
  switch (part) {
    case NormalisedPart::earlier_layout:
      return "the earlier layout";
    case NormalisedPart::header_bytes:
      return "the header's bytes 0 to 5";
    case NormalisedPart::before_tiles:
      return "bytes between the header and the tile section";
    case NormalisedPart::block_runs:
      return "the block section's runs of empty squares";
    case NormalisedPart::background_bytes:
      return "bytes of the background section that are not read";
    case NormalisedPart::enemy_bytes:
      return "bytes after the last enemy entry";
    case NormalisedPart::after_end:
      break;
  }
  return "bytes after the last section";
}

std::string tiled_normalised(const msg::TiledNormalised& m) {
  std::string parts;
  for (const NormalisedPart part : m.parts) {
    if (!parts.empty()) parts += ", ";
    parts += normalised_part_name(part);
  }
  return format("\"%s\" will come back as GorvTool writes map files; normalised: %s",
                m.file.c_str(), parts.c_str());
}

// What is wrong, for TiledRefused; `r.name` and the place are added by the caller.
std::string tiled_problem(const TiledRefusal& r) {
  using P = TiledProblem;
  const auto& v = r.values;
  const char* text = r.text.c_str();
  auto tileset = [](std::uint64_t id) {
    return std::string(kTiledTilesets[id < kTiledTilesets.size() ? id : 0].name);
  };
  // An object's property problem names the property first.
  const std::string prop =
      r.where == TiledWhere::object ? format("property \"%s\" ", text) : std::string();
  switch (r.problem) {
    case P::not_json:
      return format("this is not a JSON file (reading stopped at byte %llu)",
                    static_cast<unsigned long long>(v[0]));
    case P::json_number:
      return "this JSON file holds a number too large to read";
    case P::xml_map:
      return "this is a .tmx map; in Tiled, use File > Export As and save it as a JSON map "
             "file (.tmj)";
    case P::not_a_map:
      return "this is not a Tiled map: it has no width and height in cells";
    case P::infinite:
      return "the map is infinite; in Tiled, untick Infinite in Map > Map Properties and save it "
             "again";
    case P::not_orthogonal:
      return format("the map is %s, not orthogonal", text);
    case P::tile_size:
      return format("its tiles are %u x %u pixels, not 16 x 16", u(v[0]), u(v[1]));
    case P::not_whole_screens:
      return format("the map is %u x %u cells, not whole screens of 20 x 14 cells", u(v[0]),
                    u(v[1]));
    case P::too_many_screens:
      return format("the map is %u x %u screens; the block layout holds at most %u x %u", u(v[0]),
                    u(v[1]), u(v[2]), u(v[3]));
    case P::layer_missing:
      return format("there is no layer \"%s\"", text);
    case P::layer_doubled:
      return format("there are two layers named \"%s\"", text);
    case P::layer_size:
      return format("layer \"%s\" is %u x %u cells, not %u x %u as the map", text, u(v[0]), u(v[1]),
                    u(v[2]), u(v[3]));
    case P::layer_not_tiles:
      return format("layer \"%s\" is not a tile layer", text);
    case P::layer_zstd:
      return format(
          "layer \"%s\" is compressed with Zstandard; in Tiled, set Tile Layer Format in Map > "
          "Map Properties to CSV or Base64 (zlib) and save it again",
          text);
    case P::layer_data:
      return format("the cells of layer \"%s\" cannot be read (damaged after %u cells)", text,
                    u(v[0]));
    case P::file_too_large:
      return format("the map file would be %u bytes, more than 65535", u(v[0]));
    case P::foreign_tile:
      return r.text.empty()
                 ? format("tile %u is of no tileset; this layer takes tiles of \"%s\"", u(v[0]),
                          tileset(v[1]).c_str())
                 : format("tile %u is of the tileset \"%s\"; this layer takes tiles of \"%s\"",
                          u(v[0]), text, tileset(v[1]).c_str());
    case P::flipped_tile:
      return format("tile %u is flipped or rotated; a map file holds no flips", u(v[0]));
    case P::past_tileset:
      return format("tile %u of \"%s\" is past its last tile (%u)", u(v[0]), text,
                    kTiledTilesets[v[1] < kTiledTilesets.size() ? v[1] : 0].count - 1);
    case P::past_tile_section:
      return format(
          "the tile section holds the first %u cells only (the grid size wraps); this cell "
          "must be empty",
          u(v[0]));
    case P::missing:
      return prop + "is missing";
    case P::not_a_number:
      return prop + "is not a whole number";
    case P::not_bool:
      return prop + "is not true or false";
    case P::above_maximum:
      return prop + format("is %llu, more than %llu", static_cast<unsigned long long>(v[0]),
                           static_cast<unsigned long long>(v[1]));
    case P::negative:
      return prop + format("is -%llu, less than 0", static_cast<unsigned long long>(v[0]));
    case P::position:
      return format("its position (%lld, %lld) is outside 0 to 65535", static_cast<long long>(v[0]),
                    static_cast<long long>(v[1]));
    case P::object_missing:
      return format("it is not in layer \"%s\"", text);
    case P::object_doubled:
      return format("there are %u of it; keep one", u(v[0]));
    case P::end_word:
      return "property \"word A\" is 65535, which ends the background list";
    case P::no_background_list:
      return format("theme %u has no background list", u(v[0]));
    case P::too_many_enemies:
      return format("the enemy section holds at most %u entries", u(v[0]));
    case P::no_enemy_section:
      return "the layer's property \"enemy section\" is false: the map has no enemy section";
    case P::not_hex:
      return "is not hexadecimal bytes";
    case P::wrong_length:
      break;
  }
  return format("holds %u bytes, not %u", u(v[0]), u(v[1]));
}

std::string tiled_refused(const msg::TiledRefused& m) {
  const TiledRefusal& r = m.refusal;
  const char* file = m.file.c_str();
  switch (r.where) {
    case TiledWhere::cell:
      return format("\"%s\": layer \"%s\", (%u, %u): ", file, r.name.c_str(), u(r.x), u(r.y)) +
             tiled_problem(r);
    case TiledWhere::object:
      return format("\"%s\": object \"%s\": ", file, r.name.c_str()) + tiled_problem(r);
    case TiledWhere::property:
      return format("\"%s\": property \"%s\": ", file, r.name.c_str()) + tiled_problem(r);
    case TiledWhere::map:
      break;
  }
  return format("\"%s\": ", file) + tiled_problem(r);
}

// The table: one row for every alternative of Message, in its order.
constexpr std::tuple kRows{
    Row<msg::Newline>{Kind::progress, [](const auto&) { return std::string("\n"); }},
    Row<msg::WritingMap>{
        Kind::progress,
        [](const auto& m) { return format("\nWriting map as \"%s\"...\n\n", m.path.c_str()); }},
    Row<msg::WritingTheme>{
        Kind::progress,
        [](const auto& m) { return format("\nWriting theme as \"%s\"...\n\n", m.path.c_str()); }},
    Row<msg::WritingData>{
        Kind::progress,
        [](const auto& m) { return format("\nWriting data as \"%s\"...\n\n", m.path.c_str()); }},
    Row<msg::WritingResource>{Kind::progress,
                              [](const auto& m) {
                                return format("\nWriting GorvEdit data as \"%s\"...\n\n",
                                              m.path.c_str());
                              }},
    Row<msg::LzSizes>{Kind::progress, lz_sizes},
    Row<msg::UnhandledBlock>{Kind::progress,
                             [](const auto& m) {
                               return format("\nFound block-type 0x%02X at 0x%06X\n",
                                             u(m.type_code), u(m.position));
                             },
                             Pause::too},
    Row<msg::UnhandledOmitted>{Kind::progress,
                               [](const auto&) {
                                 return std::string(
                                     "\nFurther entries of unhandled block types are not shown\n");
                               },
                               Pause::too},
    // The printed name has upper-case digits though the file's are lower
    // case: scripts that read the import's output have always seen it so.
    Row<msg::ImportMapFile>{Kind::progress,
                            [](const auto& m) { return format("map%02X.gvm\n", u(m.map)); }},
    Row<msg::ImportStep>{Kind::progress, import_step},
    Row<msg::ImportAppending>{
        Kind::progress,
        [](const auto& m) { return format("  appending map 0x%02X...\n", u(m.map)); }},
    Row<msg::ImportLayout>{Kind::progress,
                           [](const auto& m) {
                             return format("    - %s layout (0x%06llX, 0x%04llX)\n",
                                           part_name(m.part),
                                           static_cast<unsigned long long>(m.position),
                                           static_cast<unsigned long long>(m.length));
                           }},
    Row<msg::ImportAdjusting>{Kind::progress,
                              [](const auto&) { return std::string("\nadjusting file size..."); }},
    Row<msg::ImportFixing>{Kind::progress,
                           [](const auto&) { return std::string("\nfixing checksum..."); }},
    Row<msg::ImportFreeing>{Kind::progress,
                            [](const auto&) { return std::string("\nfreeing data..."); }},
    Row<msg::ImportDone>{Kind::progress, [](const auto&) { return std::string("\ndone!\n"); }},
    Row<msg::MapChanged>{Kind::progress, map_changed},
    Row<msg::ImportSummary>{Kind::progress,
                            [](const auto& m) {
                              return format("%s imported: %u changed, %u unchanged, %u new\n",
                                            counted(m.imported, "map", "maps").c_str(),
                                            u(m.changed), u(m.unchanged), u(m.added));
                            }},
    Row<msg::LevelDataSpace>{
        Kind::progress,
        [](const auto& m) {
          return format(
              "level data: 0x%06X to 0x%06X (%s); the image is %u "
              "MiB\n",
              u(kImportedLevelDirectory), u(m.end),
              counted(m.end - kImportedLevelDirectory, "byte", "bytes").c_str(), u(m.image_mib));
        }},
    Row<msg::OrigHoldsImport>{Kind::warning,
                              [](const auto& m) {
                                return format("\"%s\" holds an earlier import, not the clean image",
                                              m.path.c_str());
                              }},
    Row<msg::ImportWroteOver>{Kind::warning,
                              [](const auto& m) {
                                return format(
                                    "the import wrote over %s between 0x%06X and 0x%06X "
                                    "that %s neither 0x00 nor 0xFF; \"%s\" keeps %s",
                                    counted(m.count, "byte", "bytes").c_str(), u(m.first),
                                    u(m.last), for_count(m.count, "was", "were"), m.kept_in.c_str(),
                                    for_count(m.count, "it", "them"));
                              }},
    Row<msg::ImageBeyondConsole>{Kind::warning,
                                 [](const auto& m) {
                                   return format(
                                       "the image is %u MiB; the console reads at most 4 "
                                       "MiB of cartridge ROM",
                                       u(m.image_mib));
                                 }},
    Row<msg::ImportKeptOriginal>{
        Kind::progress,
        [](const auto& m) { return format("\noriginal image kept as \"%s\"", m.path.c_str()); }},
    Row<msg::ImportKeptPrevious>{
        Kind::progress,
        [](const auto& m) { return format("\nprevious image kept as \"%s\"", m.path.c_str()); }},
    Row<msg::MapsWritten>{
        Kind::progress,
        [](const auto& m) { return counted(m.count, "map", "maps") + " written\n"; }},
    Row<msg::MapsKept>{Kind::progress,
                       [](const auto& m) {
                         return counted(m.count, "map file", "map files") +
                                " already existed and " + for_count(m.count, "was", "were") +
                                " kept\n";
                       }},
    Row<msg::ImportedImageOriginalData>{
        Kind::warning,
        [](const auto& m) {
          return format(
              "\"%s\" was imported: -map and -info show the game's original level data, not the "
              "imported maps; --all-maps writes the imported maps",
              m.image.c_str());
        }},
    Row<msg::MapFileLacksEnemies>{Kind::warning,
                                  [](const auto& m) {
                                    return format(
                                        "map 0x%02X: %s holds no enemies; "
                                        "an import of it writes an empty enemy list",
                                        u(m.map), map_file_name(m.map).c_str());
                                  }},
    Row<msg::MapFileLacksBlocks>{Kind::warning,
                                 [](const auto& m) {
                                   return format(
                                       "map 0x%02X: %s lacks the blocks of type 0x%02X; "
                                       "an import of it writes none",
                                       u(m.map), map_file_name(m.map).c_str(), u(m.type_code));
                                 }},
    Row<msg::WritingPatch>{
        Kind::progress,
        [](const auto& m) { return format("\nWriting patch as \"%s\"...\n\n", m.path.c_str()); }},
    Row<msg::PatchSizes>{Kind::progress,
                         [](const auto& m) {
                           return "patch: " + counted(m.patch, "byte", "bytes") + " (source " +
                                  counted(m.source, "byte", "bytes") + ", target " +
                                  counted(m.target, "byte", "bytes") + ")\n";
                         }},
    Row<msg::PatchReplaced>{
        Kind::progress,
        [](const auto& m) { return format("previous patch \"%s\" replaced\n", m.path.c_str()); }},
    Row<msg::WritingPatched>{Kind::progress,
                             [](const auto& m) {
                               return format("\nWriting patched image as \"%s\"...\n\n",
                                             m.path.c_str());
                             }},
    Row<msg::WritingPreview>{
        Kind::progress,
        [](const auto& m) { return format("\nWriting preview as \"%s\"...\n", m.path.c_str()); }},
    Row<msg::WritingChanges>{
        Kind::progress,
        [](const auto& m) { return format("\nWriting changes as \"%s\"...\n", m.path.c_str()); }},
    Row<msg::PictureOverMapFile>{
        Kind::error,
        [](const auto& m) {
          return format("the picture \"%s\" would replace the map file \"%s\"; it is not written",
                        m.picture.c_str(), m.map_file.c_str());
        }},
    Row<msg::Difference>{Kind::progress, [](const auto& m) { return m.line + "\n"; }},
    Row<msg::MapLeftOut>{Kind::warning,
                         [](const auto& m) {
                           return format(
                               "map 0x%02X is in the ROM image but has no map file; the imported "
                               "image leaves it out",
                               u(m.map));
                         }},
    Row<msg::MapNameCase>{Kind::warning,
                          [](const auto& m) {
                            return format(
                                "\"%s\" is not imported: map file names are lower case (%s)",
                                m.file.c_str(), m.expected.c_str());
                          }},
    Row<msg::MapNameOutOfRange>{Kind::warning,
                                [](const auto& m) {
                                  return format("\"%s\" is not imported: maps go from 00 to 7d",
                                                m.file.c_str());
                                }},
    Row<msg::ReadBackDiffers>{Kind::warning, read_back_differs},
    Row<msg::ReadBackMore>{Kind::warning,
                           [](const auto& m) {
                             return read_back_prefix(m.file, m.map) +
                                    counted(m.count, "more difference", "more differences") +
                                    " from the map file";
                           }},
    Row<msg::CheckSound>{
        Kind::progress,
        [](const auto& m) { return format("\"%s\": no problems\n", m.file.c_str()); }},
    Row<msg::CannotOpen>{Kind::error,
                         [](const auto& m) {
                           return format("cannot open file \"%s\"", m.path.c_str()) +
                                  reason(m.error);
                         }},
    Row<msg::RomTooLarge>{
        Kind::error,
        [](const auto& m) {
          return format("file \"%s\" is larger than 64 MiB; it is not a ROM image", m.path.c_str());
        }},
    Row<msg::CannotCreate>{Kind::error,
                           [](const auto& m) {
                             return format("cannot create file \"%s\"", m.path.c_str()) +
                                    reason(m.error);
                           }},
    Row<msg::CannotWrite>{Kind::error,
                          [](const auto& m) {
                            return format("cannot write file \"%s\"", m.path.c_str()) +
                                   reason(m.error);
                          }},
    Row<msg::FileTooLarge>{
        Kind::error,
        [](const auto& m) {
          return format("\"%s\" would be larger than 65535 bytes; the file was not written",
                        m.path.c_str());
        }},
    Row<msg::MapTooLarge>{
        Kind::error,
        [](const auto& m) { return format("map 0x%02X is too large for a map file", u(m.map)); }},
    Row<msg::DataTooLarge>{Kind::error,
                           [](const auto& m) {
                             return format("the data at 0x%X expand to more than 65535 bytes",
                                           u(m.address));
                           }},
    Row<msg::OutputIsImage>{
        Kind::error,
        [](const auto& m) {
          return format("the output file \"%s\" is the ROM image \"%s\"; it is not written",
                        m.output.c_str(), m.image.c_str());
        },
        Pause::never},
    Row<msg::MapAbsent>{Kind::error,
                        [](const auto&) { return std::string("this map doesn't exist"); }},
    Row<msg::AddressPastEnd>{Kind::error,
                             [](const auto& m) {
                               return format("address 0x%X is beyond the end of the ROM image",
                                             u(m.address));
                             }},
    Row<msg::EnemyHeaderEnd>{
        Kind::error,
        [](const auto& m) {
          return format("End of enemy header not found. (art_load[3] = 0x%04X)", u(m.word));
        },
        Pause::never},
    Row<msg::EnemyListMarker>{
        Kind::error,
        [](const auto& m) {
          return format("Expected 0x80 or 0x00 to start enemy layout data. (i = 0x%02X)",
                        u(m.bit7));
        },
        Pause::never},
    Row<msg::MapFileIsImage>{
        Kind::error,
        [](const auto& m) {
          return format("the ROM image \"%s\" is the map file \"%s\"; nothing was imported",
                        m.image.c_str(), m.map_file.c_str());
        }},
    Row<msg::MapFileUnusable>{Kind::error, map_file_unusable},
    Row<msg::FileExists>{Kind::error,
                         [](const auto& m) {
                           return format("file \"%s\" exists; nothing was written", m.path.c_str());
                         }},
    Row<msg::PatchDamaged>{Kind::error, patch_damaged},
    Row<msg::PatchForOther>{
        Kind::error,
        [](const auto& m) {
          return format(
              "the patch \"%s\" is for another image (source CRC32 %08X, this image %08X)",
              m.patch.c_str(), u(m.patch_source_crc), u(m.image_crc));
        }},
    Row<msg::SameImages>{Kind::error,
                         [](const auto& m) {
                           return format(
                               "\"%s\" and \"%s\" are the same image; there is nothing to patch",
                               m.clean.c_str(), m.image.c_str());
                         }},
    Row<msg::PatchSelfCheck>{
        Kind::error,
        [](const auto& m) {
          return format("the patch made for \"%s\" does not give the image back; it is not written",
                        m.image.c_str());
        }},
    Row<msg::ImageTooSmall>{Kind::error,
                            [](const auto& m) {
                              return format("file \"%s\" is too small to be a ROM image",
                                            m.path.c_str());
                            }},
    Row<msg::ImportIntoBackup>{
        Kind::error,
        [](const auto& m) {
          return format("\"%s\" is a backup copy; import into the image it was made from",
                        m.path.c_str());
        }},
    Row<msg::NoMapFiles>{
        Kind::error,
        [](const auto&) {
          return std::string(
              "there is no map file (map00.gvm to map7d.gvm) in the current directory; "
              "nothing was imported");
        }},
    Row<msg::MapNotSurviving>{
        Kind::error,
        [](const auto& m) {
          return format("map 0x%02X did not survive packing (%s layout); nothing was imported",
                        u(m.map), part_name(m.part));
        }},
    Row<msg::CheckProblems>{Kind::error,
                            [](const auto& m) {
                              return format("\"%s\": ", m.file.c_str()) +
                                     counted(m.count, "problem", "problems");
                            }},
    Row<msg::NotHexadecimal>{Kind::error,
                             [](const auto& m) {
                               return format("\"%s\" is not a hexadecimal number; %s",
                                             m.value.c_str(), number_range(m.option).allowed);
                             }},
    Row<msg::OutOfRange>{Kind::error,
                         [](const auto& m) {
                           const NumberRange range = number_range(m.option);
                           return format("%s is out of range; %s", range.noun, range.allowed);
                         }},
    Row<msg::UnknownOption>{Kind::usage_error,
                            [](const auto& m) {
                              return format("unknown option \"%s\"; see gorvtool --help",
                                            m.option.c_str());
                            }},
    Row<msg::OptionNeedsValue>{Kind::usage_error,
                               [](const auto& m) {
                                 return format("option \"%s\" needs %s; see gorvtool --help",
                                               m.option.c_str(), m.needs.c_str());
                               }},
    Row<msg::OptionNeedsImage>{
        Kind::usage_error,
        [](const auto& m) {
          return format("option \"%s\" needs a ROM image; see gorvtool --help", m.option.c_str());
        }},
    Row<msg::MapWithImport>{
        Kind::error,
        [](const auto& m) {
          return format(
              "-map and -import cannot run together: the map dump would replace map%02x.gvm "
              "before the import reads it",
              u(m.map));
        }},
    Row<msg::AllMapsWithImport>{
        Kind::error,
        [](const auto&) {
          return std::string(
              "--all-maps and -import cannot run together: the dump would write the "
              "image's old maps beside the imported ones");
        }},
    // --to-tiled and --from-tiled
    Row<msg::WritingTiledMap>{
        Kind::progress,
        [](const auto& m) { return format("\nWriting Tiled map as \"%s\"...\n", m.path.c_str()); }},
    Row<msg::TiledMapsWritten>{
        Kind::progress,
        [](const auto& m) { return counted(m.count, "Tiled map", "Tiled maps") + " written\n"; }},
    Row<msg::TiledMapsKept>{Kind::progress,
                            [](const auto& m) {
                              return counted(m.count, "Tiled map", "Tiled maps") +
                                     " already existed and " + for_count(m.count, "was", "were") +
                                     " kept\n";
                            }},
    Row<msg::TiledNormalised>{Kind::warning, tiled_normalised},
    Row<msg::TiledRefused>{Kind::error, tiled_refused},
    Row<msg::TiledMapChanged>{Kind::error,
                              [](const auto& m) {
                                return format(
                                    "\"%s\" changed after \"%s\" was made from it; "
                                    "nothing was written",
                                    m.map_file.c_str(), m.tiled_file.c_str());
                              }},
};

using Rows = std::remove_const_t<decltype(kRows)>;

template <std::size_t... I>
constexpr bool rows_in_message_order(std::index_sequence<I...>) {
  return (std::is_same_v<typename std::tuple_element_t<I, Rows>::Payload,
                         std::variant_alternative_t<I, Message>> &&
          ...);
}
static_assert(std::tuple_size_v<Rows> == std::variant_size_v<Message>,
              "every message needs exactly one row in kRows");
static_assert(rows_in_message_order(std::make_index_sequence<std::tuple_size_v<Rows>>{}),
              "row i of kRows must describe alternative i of Message");

// What the front end needs of a message's row.
struct Shown {
  Kind kind;
  bool pauses;
  std::string text;  // without the prefix
};

Shown shown(const Message& message) {
  return std::visit(
      [](const auto& payload) {
        const auto& row = std::get<Row<std::decay_t<decltype(payload)>>>(kRows);
        const bool pauses =
            row.pause == Pause::too || (row.pause == Pause::by_kind && row.kind == Kind::error);
        return Shown{row.kind, pauses, row.text(payload)};
      },
      message);
}

Kind kind_of(const Message& message) {
  return std::visit(
      [](const auto& payload) {
        return std::get<Row<std::decay_t<decltype(payload)>>>(kRows).kind;
      },
      message);
}

int status_of(Kind kind) {
  switch (kind) {
    case Kind::progress:
    case Kind::warning:
      return kStatusOk;
    case Kind::error:
      return kStatusError;
    case Kind::usage_error:
      break;
  }
  return kStatusUsage;
}

std::string with_prefix(const Shown& message) {
  switch (message.kind) {
    case Kind::progress:
      return message.text;
    case Kind::warning:
      return "WARNING: " + message.text + "\n";
    case Kind::error:
    case Kind::usage_error:
      break;
  }
  return "ERROR: " + message.text + "\n";
}

}  // namespace

std::string message_text(const Message& message) {
  return with_prefix(shown(message));
}

std::string report_text(const Report& report) {
  std::string text;
  for (const Message& message : report) text += message_text(message);
  return text;
}

bool report_has_error(const Report& report) {
  for (const Message& message : report) {
    const Kind kind = kind_of(message);
    if (kind == Kind::error || kind == Kind::usage_error) return true;
  }
  return false;
}

void show(Output& out, const Message& message, bool pausing) {
  const Shown shown_message = shown(message);
  say(out.console, with_prefix(shown_message));
  const int status = status_of(shown_message.kind);
  if (status > out.status) out.status = status;
  if (pausing && shown_message.pauses) pause(out.console);
}

void show(Output& out, const Report& report, bool pausing) {
  for (const Message& message : report) show(out, message, pausing);
}

}  // namespace gorv
