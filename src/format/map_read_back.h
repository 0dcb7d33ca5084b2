// What the game reads of a map file once it is imported: the file's values
// and layouts turned into the ROM forms that the import writes, read back
// the way the game reads them, and compared with the file. The import warns
// of the differences, --check lists them and --compare counts blocks as
// they come back.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "codec/block_cell.h"
#include "codec/block_encoder.h"
#include "format/map_file.h"
#include "rom/map_header.h"

namespace gorv {

// The block cell array that the block layout encoder takes, from a map
// file's cells: one cell per square in working type numbering (type code +
// 1, 0 empty), then one sentinel row of empty cells. The square behind a
// cell of block type 0x04 gets the placeholder type (that block takes two
// squares; the encoder must not write a block of its own there).
std::vector<BlockCell> working_cells(std::vector<BlockCell> cells, const MapValues& values);

// The map header's first twelve bytes, big-endian as in the ROM image.
std::array<std::uint8_t, kMapHeaderValuesSize> header_values_image(const MapValues& values);

// The enemy layout record in ROM form: the list address (set when placed),
// four zero bytes, art_load words 0-2 and the end word, the list marker
// 0x80, the count and the entries right behind. An absent section becomes
// an empty list, so that a map dumped from an image whose enemy layout
// could not be read can still be imported.
std::vector<std::uint8_t> enemy_record(const EnemySection& enemy);

// The twelve header values from their image.
MapValues values_of_header(std::span<const std::uint8_t> h);

// The enemy record as the game reads it: the art_load words up to the end
// word, the list right behind the marker.
EnemySection read_enemy_record(std::span<const std::uint8_t> record);

inline constexpr std::uint8_t kNoBlock = 0xFF;  // a type code no square holds

// One place where what the game reads differs from the map file. Squares
// count from 0, column and row from the top left.
struct ReadBackDifference {
  enum class Kind : std::uint8_t {
    block_lost,     // the file's block of `file_type`; the game reads `read_type` (or kNoBlock)
    block_appears,  // an empty square of the file; the game reads a block of `read_type`
    data_bits,      // d`field` of `block_type` is `file_value`; the game reads `read_value`
    // `block_type` stores none of d`field` to d4 (it is 1 or 2): the file's
    // `file_data` there come back as `read_data`, what an earlier entry of
    // the stream left in the square, or 0.
    unstored_data,
    section,  // `section` differs
  };
  // Why a block is lost or appears.
  enum class Why : std::uint8_t {
    wide_second_square,             // it stands behind the wide block at (`at_column`, `at_row`)
    type_not_read,                  // the game reads no block of its block type
    type_not_stored,                // the import writes no group of its type code (0x30)
    run_covers,                     // a run of `read_type` covers it
    run_covers_wide_second_square,  // and the square is behind the wide block at (...)
    unexplained,                    // none of these: the encoder or the decoder is wrong
  };
  enum class Section : std::uint8_t {
    header,         // the twelve header values
    background,     // the background layout
    enemy_missing,  // the file has no enemy section; the game reads an empty list
    enemy,          // art_load words or entries
  };
  Kind kind = Kind::section;
  std::uint32_t column = 0, row = 0;
  std::uint8_t file_type = kNoBlock;
  std::uint8_t read_type = kNoBlock;
  Why why = Why::unexplained;
  std::uint32_t at_column = 0, at_row = 0;
  std::uint8_t block_type = 0;
  std::uint8_t field = 0;  // 1 to 4
  std::uint8_t file_value = 0, read_value = 0;
  std::uint8_t kept_bits = 0;
  std::array<std::uint8_t, 4> file_data{}, read_data{};  // d1 to d4
  Section section = Section::header;
};

// The differences a message names one by one; the rest are counted.
inline constexpr std::size_t kShownReadBackDifferences = 8;

struct ReadBack {
  BlockEncodeError error = BlockEncodeError::none;  // the encoder refused: nothing else is set
  // The block layout as the game reads it: one cell per square, type byte
  // 0x80 | type code or 0.
  std::vector<BlockCell> cells;
  bool stream_ended = false;  // the stream ends with its end code, within itself
  std::size_t filled = 0;     // cells that hold a block
  // The header values, then the squares in index order, then the
  // background and the enemy section; the first kShownReadBackDifferences
  // of them and how many there are in all.
  std::vector<ReadBackDifference> shown;
  std::uint64_t count = 0;
};

// Reads back `file` from `block_stream`, the stream that encode_block_layout
// makes of its working_cells (the import has it already), and the other
// ROM forms that the import writes.
ReadBack read_back(const MapFile& file, std::span<const std::uint8_t> block_stream);
// The same, encoding the block layout first.
ReadBack read_back(const MapFile& file);

}  // namespace gorv
