// The new level directory and level data area that an import writes at
// 0x100000, and the references that lead the game to them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "import/map_file_reader.h"
#include "report/report.h"
#include "rom/map_header.h"

namespace gorv {

inline constexpr std::uint32_t kNewLevelDirectory = kImportedLevelDirectory;

// The map of each level 0x00 to 0x69, then the end mark FF FF.
inline constexpr std::array<std::uint8_t, 108> kLevelOrder = {
    0x4A, 0x4B, 0x2D, 0x2E, 0x01, 0x00, 0x02, 0x0E, 0x54, 0x56, 0x18, 0x1D, 0x3D, 0x37, 0x2C, 0x2B,
    0x13, 0x4C, 0x49, 0x14, 0x16, 0x0B, 0x0C, 0x3F, 0x40, 0x34, 0x1C, 0x27, 0x21, 0x0D, 0x6C, 0x4F,
    0x4D, 0x19, 0x0A, 0x5C, 0x25, 0x26, 0x35, 0x3E, 0x2F, 0x31, 0x74, 0x3B, 0x5A, 0x33, 0x3A, 0x57,
    0x10, 0x59, 0x38, 0x05, 0x30, 0x55, 0x32, 0x0F, 0x48, 0x47, 0x03, 0x53, 0x04, 0x36, 0x15, 0x12,
    0x22, 0x41, 0x17, 0x4E, 0x58, 0x11, 0x39, 0x42, 0x3C, 0x61, 0x5E, 0x5F, 0x60, 0x5D, 0x62, 0x64,
    0x67, 0x6E, 0x75, 0x66, 0x68, 0x6D, 0x6F, 0x70, 0x77, 0x78, 0x63, 0x65, 0x69, 0x6A, 0x6B, 0x71,
    0x08, 0x7C, 0x7D, 0x7A, 0x7B, 0x79, 0x72, 0x73, 0x76, 0x09, 0xFF, 0xFF};

// 0x104: the level order table follows the map header table.
inline constexpr std::uint32_t kLevelOrderTableField = kImportedLevelOrderField;
// 0x170: the headers follow the level order table; the i-th present map
// (from 0) has its header at this offset + 28 i.
inline constexpr std::uint32_t kFirstMapHeaderField = kImportedFirstHeaderField;
static_assert(kFirstMapHeaderField == kLevelOrderTableField + kLevelOrder.size());

// The offset just past the level data that write_level_directory writes
// for `records` (their tile layouts packed).
std::uint64_t level_data_end(const std::vector<MapRecord>& records);

// Writes into `image`, growing it with zero bytes where it is too short:
// the starting level, the level order pointer, the map header table, the
// level order table, the map headers and every map's four layouts (each at
// an even address) from 0x100000 on, then the seventeen references to the
// new directory. `records` are the present maps in ascending map number,
// with their tile layouts packed and every layout at most 65,535 bytes
// long; their layout addresses are filled in. Says the progress lines.
// Returns the offset just past the level data.
std::uint64_t write_level_directory(Report& report, std::vector<MapRecord>& records,
                                    std::vector<std::uint8_t>& image);

}  // namespace gorv
