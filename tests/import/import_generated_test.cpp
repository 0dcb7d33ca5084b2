// Importing generated map files of many sizes and both layouts, read back
// independently from the imported image.
#include <gtest/gtest.h>

#include "cli/messages.h"

#include <filesystem>
#include <string>
#include <vector>

#include "import/importer.h"
#include "support/imported_map_check.h"
#include "support/map_file_maker.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

namespace fs = std::filesystem;
using test::read_file;
using test::TempDir;
using test::write_file;
using ByteVector = std::vector<std::uint8_t>;
using namespace test::imported;

// The same section in the earlier layout: a 5-byte record for every square,
// 0x3F for an empty one.
ByteVector earlier_block_section(const ByteVector& section) {
  ByteVector records;
  for (const auto& square : section_squares(section)) {
    if (square[0] == 0) {
      records.insert(records.end(), {0x3F, 0, 0, 0, 0});
    } else {
      records.insert(records.end(), {static_cast<std::uint8_t>(square[0] & 0x3F), square[1],
                                     square[2], square[3], square[4]});
    }
  }
  return records;
}

TEST(ImportGenerated, MapsOfManySizesAndBothLayoutsComeBack) {
  struct Size {
    int width, height;
  };
  // Every X and Y field width, the widest and tallest maps the format holds.
  const Size sizes[] = {{1, 1}, {2, 1},  {4, 3},  {7, 2},  {13, 1}, {26, 1}, {51, 1},
                        {1, 5}, {1, 10}, {1, 19}, {1, 36}, {3, 4},  {6, 5}};
  TempDir dir;
  ByteVector original(0x100000);
  for (std::size_t i = 0; i < original.size(); ++i) original[i] = static_cast<std::uint8_t>(i >> 3);
  write_file(dir.path / "rom.bin", original);
  std::vector<std::pair<int, ByteVector>> files;
  int map = 0x03;
  for (const Size size : sizes) {
    test::MapFileParts parts =
        test::generated_map(size.width, size.height, static_cast<std::uint32_t>(map * 31), map % 9);
    parts.theme_byte = static_cast<std::uint8_t>(map % 16);
    if (parts.theme_byte == 3 || parts.theme_byte == 5 || parts.theme_byte == 7 ||
        parts.theme_byte == 9) {
      parts.background.assign(232, 0);
      for (std::size_t i = 0; i < 232; ++i)
        parts.background[i] = static_cast<std::uint8_t>(map + i);
    }
    // An earlier-layout file holds 5 bytes a square: small maps only, for
    // its 16-bit offsets.
    if (map % 3 == 0 && size.width * size.height <= 20) {
      parts.earlier_layout = true;
      parts.block = earlier_block_section(parts.block);
    }
    files.emplace_back(map, test::make_map_file(parts));
    char name[16];
    std::snprintf(name, sizeof name, "map%02x.gvm", map);
    write_file(dir.path / name, files.back().second);
    map += 9;
  }

  RomImage rom;
  rom.bytes = original;
  std::string text;
  const ImportResult imported =
      import_maps(rom, (dir.path / "rom.bin").string(), dir.path.string());
  text = report_text(imported.report);
  ASSERT_FALSE(report_has_error(imported.report)) << text;
  const ByteVector image = read_file(dir.path / "rom.bin");
  for (const auto& [number, bytes] : files) {
    SCOPED_TRACE("map " + std::to_string(number));
    const std::size_t header = 0x100000 + be16(image, 0x100008 + 2 * number);
    const test::imported::MapFile f = test::imported::parse_map_file(bytes);
    const std::size_t values = f.current ? 6 : 4;
    EXPECT_EQ(slice(f.bytes, values, 4), slice(image, header, 4));
    for (std::size_t k = 0; k < 4; ++k)
      EXPECT_EQ(le16(f.bytes, values + 4 + 2 * k), be16(image, header + 4 + 2 * k));
    expect_layouts_imported(image, header, f);
  }
}

}  // namespace
}  // namespace gorv
