// What the tool's modes have to say, as data. A mode returns a Report: the
// messages in the order they happen. A message is one small struct whose
// type names it and whose fields are the names and figures that go into
// it; only the front end turns messages into text, through its one message
// table (cli/messages.cpp), which also decides for each whether it is an
// error, whether it pauses and what exit status it gives. The table has
// exactly one row for every alternative of Message, in the same order: a
// message without a row does not compile.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "codec/block_encoder.h"
#include "codec/bps.h"
#include "common/file_error.h"
#include "format/game_map.h"
#include "format/map_file.h"
#include "format/map_read_back.h"
#include "format/tiled_map.h"
#include "rom/map_header.h"

namespace gorv {

// The command line's number options, as their messages name them.
enum class NumberOption : std::uint8_t { level, map, theme, block, address };

// The steps of writing the new level directory, in order.
enum class ImportPhase : std::uint8_t {
  starting_level,
  level_order_pointer,
  map_pointers,
  level_order,
  level_data,
  level_headers,
  pointers,
};

namespace msg {

// Progress and reports.
struct Newline {};
struct WritingMap {
  std::string path;
};
struct WritingTheme {
  std::string path;
};
struct WritingData {
  std::string path;
};
struct WritingResource {
  std::string path;
};
struct LzSizes {
  std::uint64_t packed = 0;    // bytes of the LZ stream
  std::uint64_t unpacked = 0;  // bytes it expands to
};
// A block type the map dump does not write; pauses like an error.
struct UnhandledBlock {
  std::uint8_t type_code = 0;
  std::uint64_t position = 0;  // of its cell in the block layout stream
};
struct UnhandledOmitted {};
struct ImportMapFile {
  std::uint8_t map = 0;
};
struct ImportStep {
  ImportPhase phase = ImportPhase::starting_level;
};
struct ImportAppending {
  std::uint8_t map = 0;
};
struct ImportLayout {
  MapPart part = MapPart::tile;
  std::uint64_t position = 0;  // where it was placed in the image
  std::uint64_t length = 0;
};
struct ImportAdjusting {};
struct ImportFixing {};
struct ImportFreeing {};
struct ImportDone {};
struct MapChanged {
  std::uint8_t map = 0;
  MapChange change;
};
struct ImportSummary {
  std::uint64_t imported = 0, changed = 0, unchanged = 0, added = 0;
};
struct LevelDataSpace {
  std::uint64_t end = 0;        // the first byte after the level data
  std::uint64_t image_mib = 0;  // the padded image's size
};
struct OrigHoldsImport {
  std::string path;  // the .orig copy written in this run
};
struct ImportWroteOver {
  std::uint64_t count = 0, first = 0, last = 0;  // bytes other than 0x00 and 0xFF
  std::string kept_in;                           // the .bak copy
};
struct ImageBeyondConsole {
  std::uint64_t image_mib = 0;
};
struct ImportKeptOriginal {
  std::string path;  // the .orig copy written in this run
};
struct ImportKeptPrevious {
  std::string path;  // the .bak copy
};
struct MapsWritten {
  std::uint64_t count = 0;
};
struct MapsKept {
  std::uint64_t count = 0;
};
// -map and -info on an imported image: they read the game's own directory.
struct ImportedImageOriginalData {
  std::string image;
};
// --all-maps: what a map file written lacks of the map, and so what an
// import of it leaves out.
struct MapFileLacksEnemies {
  std::uint8_t map = 0;
};
struct MapFileLacksBlocks {
  std::uint8_t map = 0;
  std::uint8_t type_code = 0;  // as the unhandled block type's message names it
};
struct WritingPatch {
  std::string path;
};
struct PatchSizes {
  std::uint64_t patch = 0, source = 0, target = 0;  // bytes
};
struct PatchReplaced {
  std::string path;  // an earlier patch from the same clean image
};
struct WritingPatched {
  std::string path;
};
struct WritingPreview {
  std::string path;
};
struct WritingChanges {
  std::string path;
};
struct PictureOverMapFile {
  std::string picture;
  std::string map_file;
};
struct Difference {
  std::string line;  // one line of a comparison
};

// Warnings.
struct MapLeftOut {
  std::uint8_t map = 0;  // in the image, but no map file brings it back
};
struct MapNameCase {
  std::string file;      // as found in the folder
  std::string expected;  // the map file name it would have to bear
};
struct MapNameOutOfRange {
  std::string file;  // mapXX.gvm with XX past the last map
};
// Where the game reads other than a map file holds. The import names the
// map (`file` empty), --check the file.
struct ReadBackDiffers {
  std::string file;
  std::uint8_t map = 0;
  ReadBackDifference difference;
};
struct ReadBackMore {
  std::string file;
  std::uint8_t map = 0;
  std::uint64_t count = 0;  // differences not named
};
// --check: a map file that comes back as it is.
struct CheckSound {
  std::string file;
};

// Errors.
struct CannotOpen {
  std::string path;
  FileError error;
};
struct RomTooLarge {
  std::string path;
};
struct CannotCreate {
  std::string path;
  FileError error;
};
struct CannotWrite {
  std::string path;
  FileError error;
};
struct FileTooLarge {
  std::string path;  // a product past 65,535 bytes
};
struct MapTooLarge {
  std::uint8_t map = 0;
};
struct DataTooLarge {
  std::uint32_t address = 0;
};
struct OutputIsImage {
  std::string output;
  std::string image;
};
struct MapAbsent {};
struct AddressPastEnd {
  std::uint32_t address = 0;
};
struct EnemyHeaderEnd {
  std::uint16_t word = 0;  // the last word read
};
struct EnemyListMarker {
  std::uint8_t bit7 = 0;  // the marker's bit 7, as found
};
struct MapFileIsImage {
  std::string image;
  std::string map_file;
};
struct MapFileUnusable {
  std::string file;
  MapFileError error;
};
struct FileExists {
  std::string path;  // an output that is never replaced
};
struct PatchDamaged {
  std::string patch;
  BpsError error = BpsError::none;
  std::uint64_t at = 0, expected = 0, found = 0;  // as BpsApplyResult holds them
};
struct PatchForOther {
  std::string patch;
  std::uint32_t patch_source_crc = 0;
  std::uint32_t image_crc = 0;
};
struct SameImages {
  std::string clean;
  std::string image;
};
struct PatchSelfCheck {
  std::string image;  // a patch made for it did not give it back
};
struct ImageTooSmall {
  std::string path;
};
struct ImportIntoBackup {
  std::string path;  // an image named like one of the import's backup copies
};
struct NoMapFiles {};
struct MapNotSurviving {
  std::uint8_t map = 0;
  MapPart part = MapPart::header;
};
struct CheckProblems {
  std::string file;
  std::uint64_t count = 0;  // differences
};

// The front end's own.
struct NotHexadecimal {
  std::string value;  // as given
  NumberOption option = NumberOption::level;
};
struct OutOfRange {
  NumberOption option = NumberOption::level;
};
struct UnknownOption {
  std::string option;
};
struct OptionNeedsValue {
  std::string option;
  std::string needs;  // what is missing, e.g. "a value"
};
struct OptionNeedsImage {
  std::string option;
};
struct MapWithImport {
  std::uint8_t map = 0;
};
struct AllMapsWithImport {};

// --to-tiled and --from-tiled.
struct WritingTiledMap {
  std::string path;
};
struct TiledMapsWritten {
  std::uint64_t count = 0;
};
struct TiledMapsKept {
  std::uint64_t count = 0;
};
// A sound map file that does not come back byte for byte.
struct TiledNormalised {
  std::string file;
  std::vector<NormalisedPart> parts;
};
struct TiledRefused {
  std::string file;  // the .tmj
  TiledRefusal refusal;
};
// The guard: the map file changed since the .tmj was made from it.
struct TiledMapChanged {
  std::string map_file;
  std::string tiled_file;
};

}  // namespace msg

using Message = std::variant<
    msg::Newline, msg::WritingMap, msg::WritingTheme, msg::WritingData, msg::WritingResource,
    msg::LzSizes, msg::UnhandledBlock, msg::UnhandledOmitted, msg::ImportMapFile, msg::ImportStep,
    msg::ImportAppending, msg::ImportLayout, msg::ImportAdjusting, msg::ImportFixing,
    msg::ImportFreeing, msg::ImportDone, msg::MapChanged, msg::ImportSummary, msg::LevelDataSpace,
    msg::OrigHoldsImport, msg::ImportWroteOver, msg::ImageBeyondConsole, msg::ImportKeptOriginal,
    msg::ImportKeptPrevious, msg::MapsWritten, msg::MapsKept, msg::ImportedImageOriginalData,
    msg::MapFileLacksEnemies, msg::MapFileLacksBlocks, msg::WritingPatch, msg::PatchSizes,
    msg::PatchReplaced, msg::WritingPatched, msg::WritingPreview, msg::WritingChanges,
    msg::PictureOverMapFile, msg::Difference, msg::MapLeftOut, msg::MapNameCase,
    msg::MapNameOutOfRange, msg::ReadBackDiffers, msg::ReadBackMore, msg::CheckSound,
    msg::CannotOpen, msg::RomTooLarge, msg::CannotCreate, msg::CannotWrite, msg::FileTooLarge,
    msg::MapTooLarge, msg::DataTooLarge, msg::OutputIsImage, msg::MapAbsent, msg::AddressPastEnd,
    msg::EnemyHeaderEnd, msg::EnemyListMarker, msg::MapFileIsImage, msg::MapFileUnusable,
    msg::FileExists, msg::PatchDamaged, msg::PatchForOther, msg::SameImages, msg::PatchSelfCheck,
    msg::ImageTooSmall, msg::ImportIntoBackup, msg::NoMapFiles, msg::MapNotSurviving,
    msg::CheckProblems, msg::NotHexadecimal, msg::OutOfRange, msg::UnknownOption,
    msg::OptionNeedsValue, msg::OptionNeedsImage, msg::MapWithImport, msg::AllMapsWithImport,
    // --to-tiled and --from-tiled
    msg::WritingTiledMap, msg::TiledMapsWritten, msg::TiledMapsKept, msg::TiledNormalised,
    msg::TiledRefused, msg::TiledMapChanged>;

using Report = std::vector<Message>;

template <class Payload>
void say(Report& report, Payload payload) {
  report.emplace_back(std::move(payload));
}

}  // namespace gorv
