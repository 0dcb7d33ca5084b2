// The real binary: dump every map of the sample ROM image, import the map
// files into a copy, and read the new level directory back independently.
#include <gtest/gtest.h>

#include "cli/messages.h"

#include <filesystem>
#include <string>
#include <vector>

#include "codec/block_decoder.h"
#include "codec/lz_decoder.h"
#include "import/importer.h"
#include "rom/output_buffer.h"
#include "sample_rom/sample_rom.h"
#include "support/map_file_maker.h"
#include "support/report_shapes.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

namespace fs = std::filesystem;
using test::read_file;
using test::run_gorvtool;
using test::TempDir;
using test::write_file;
using ByteVector = std::vector<std::uint8_t>;

std::uint32_t be32(const ByteVector& image, std::size_t at) {
  return static_cast<std::uint32_t>(image.at(at) << 24 | image.at(at + 1) << 16 |
                                    image.at(at + 2) << 8 | image.at(at + 3));
}
std::uint16_t be16(const ByteVector& image, std::size_t at) {
  return static_cast<std::uint16_t>(image.at(at) << 8 | image.at(at + 1));
}
std::size_t le16(const ByteVector& file, std::size_t at) {
  return file.at(at) | std::size_t{file.at(at + 1)} << 8;
}
ByteVector slice(const ByteVector& bytes, std::size_t from, std::size_t count) {
  EXPECT_LE(from + count, bytes.size());
  if (from + count > bytes.size()) return {};
  return ByteVector(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                    bytes.begin() + static_cast<std::ptrdiff_t>(from + count));
}

// The four sections of a map file.
struct MapFile {
  ByteVector bytes;
  bool current = true;
  std::size_t tile = 0, block = 0, background = 0, enemy = 0, end = 0;
  ByteVector section(std::size_t from, std::size_t to) const {
    return slice(bytes, from, to - from);
  }
};

MapFile parse_map_file(ByteVector bytes) {
  MapFile f;
  f.bytes = std::move(bytes);
  f.current = (f.bytes.at(4) & 0x80) != 0;
  const std::size_t at = f.current ? 18 : 16;
  f.tile = le16(f.bytes, at);
  f.block = le16(f.bytes, at + 2);
  f.background = le16(f.bytes, at + 4);
  f.enemy = le16(f.bytes, at + 6);
  f.end = f.current ? le16(f.bytes, at + 8) : f.bytes.size();
  return f;
}

MapFile parse_map_file(const fs::path& path) {
  return parse_map_file(read_file(path));
}

// Squares of a block layout section: type byte (0x80 OR type code, or 0)
// and data bytes per square. In the earlier layout every square is a
// record, and type code 0x3F marks an empty one.
std::vector<std::array<std::uint8_t, 5>> section_squares(const ByteVector& section,
                                                         bool current = true) {
  std::vector<std::array<std::uint8_t, 5>> squares;
  for (std::size_t pos = 0; pos < section.size();) {
    const std::uint8_t b = section[pos];
    if (!current && pos + 5 <= section.size()) {
      if ((b & 0x3F) == 0x3F) {
        squares.push_back({0, 0, 0, 0, 0});
      } else {
        squares.push_back({static_cast<std::uint8_t>(0x80 | (b & 0x3F)), section[pos + 1],
                           section[pos + 2], section[pos + 3], section[pos + 4]});
      }
      pos += 5;
    } else if (b >= 0x80 && pos + 5 <= section.size()) {
      squares.push_back(
          {b, section[pos + 1], section[pos + 2], section[pos + 3], section[pos + 4]});
      pos += 5;
    } else {
      for (int k = 0; k <= b; ++k) squares.push_back({0, 0, 0, 0, 0});
      ++pos;
    }
  }
  return squares;
}

// A square the block layout can carry back: not the one behind a block of
// type 0x04 (it takes that square too) and not of type code 0x30, which no
// group writes.
bool carried(const std::vector<std::array<std::uint8_t, 5>>& squares, std::size_t i) {
  if ((squares[i][0] & 0x3F) == 0x30) return false;
  return i == 0 || squares[i - 1][0] == 0 || (squares[i - 1][0] & 0x1F) != 0x04;
}

// A square as far as the stream stores it: the type byte and the data bits
// of its block type (other data bytes are what earlier entries left there).
std::array<std::uint8_t, 5> stored(std::array<std::uint8_t, 5> square) {
  std::array<std::uint8_t, 5> masks = {0xFF, 0, 0, 0, 0};
  switch (square[0] & 0x1F) {
    case 0x01:
      masks = {0xFF, 0x1F, 0, 0, 0};
      break;
    case 0x0A:
    case 0x0C:
      masks = {0xFF, 0x0F, 0, 0, 0};
      break;
    case 0x10:
      masks = {0xFF, 0x07, 0, 0, 0};
      break;
    case 0x03:
      masks = {0xFF, 0xFF, 0xFF, 0x07, 0xFF};
      break;
    case 0x04:
      masks = {0xFF, 0xFF, 0xFF, 0xFF, 0x01};
      break;
    default:
      break;
  }
  if (square[0] == 0) masks = {0, 0, 0, 0, 0};
  for (std::size_t k = 0; k < 5; ++k) square[k] &= masks[k];
  return square;
}

std::uint16_t checksum_of(const ByteVector& image) {
  std::uint16_t sum = 0;
  for (std::size_t i = 0x200; i + 1 < image.size(); i += 2)
    sum = static_cast<std::uint16_t>(sum + be16(image, i));
  return sum;
}

// Checks the four layouts that the header image at `header` points to
// against the sections of map file `f`.
void expect_layouts_imported(const ByteVector& image, std::size_t header, const MapFile& f) {
  const std::uint8_t width = image[header];
  const auto grid = static_cast<std::uint16_t>(width * (image[header + 1] & 0x3F) * 280);
  const std::uint32_t tile = be32(image, header + 12), block = be32(image, header + 16),
                      background = be32(image, header + 20), enemy = be32(image, header + 24);
  for (std::uint32_t address : {tile, block, background, enemy}) EXPECT_EQ(0u, address % 2);

  // Tile layout: the stream expands to the section's grid-size bytes.
  OutputBuffer out;
  reset(out, 0);
  lz_decode(image, tile, grid, out);
  const ByteVector tiles(contents(out).begin(), contents(out).end());
  EXPECT_EQ(f.section(f.tile, f.tile + grid), slice(tiles, 0, grid));

  // Block layout: every square the format carries decodes as it was.
  reset(out, 0);
  test::decode_block_layout(image, block, width, grid, 0xFF, out);
  const auto before = section_squares(f.section(f.block, f.background), f.current);
  const auto after = section_squares(ByteVector(contents(out).begin(), contents(out).end()));
  ASSERT_EQ(before.size(), after.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (carried(before, i)) {
      EXPECT_EQ(stored(before[i]), stored(after[i])) << "square " << i;
    }
  }

  // Background layout: the section's bytes (a list goes back as a direct
  // list); nothing for theme 0 and themes 11 to 15.
  const unsigned theme = image[header + 3] & 0x0F;
  const ByteVector bg = f.section(f.background, f.enemy);
  if (theme == 0 || theme > 10) {
    EXPECT_EQ(background, enemy);
  } else {
    EXPECT_EQ(bg, slice(image, background, bg.size()));
  }

  // Enemy layout: its own list behind the header, the entries as in the
  // file; an empty section (the image's layout could not be read) gives an
  // empty list.
  ByteVector en = f.section(f.enemy, f.end);
  if (en.empty()) en.assign(7, 0);
  EXPECT_EQ(enemy + 16, be32(image, enemy));
  EXPECT_EQ(0u, be32(image, enemy + 4));
  EXPECT_EQ(slice(en, 0, 6), slice(image, enemy + 8, 6));
  EXPECT_EQ((ByteVector{0x7D, 0x00, 0x80}), slice(image, enemy + 14, 3));
  EXPECT_EQ(slice(en, 6, en.size() - 6), slice(image, enemy + 17, en.size() - 6));
}

struct Scene {
  TempDir dir;
  ByteVector original;
  std::vector<int> dumped;  // maps whose files the import takes
};

// Writes the sample image and dumps every map that has a header.
void dump_all(Scene& scene) {
  scene.original = sample::build_sample_rom();
  write_file(scene.dir.path / "sample.bin", scene.original);
  for (int map = 0; map < 126; ++map) {
    char number[3];
    std::snprintf(number, sizeof number, "%02X", map);
    run_gorvtool({"sample.bin", "-map", number}, scene.dir.path);
    char name[16];
    std::snprintf(name, sizeof name, "map%02x.gvm", map);
    const fs::path path = scene.dir.path / name;
    if (!fs::exists(path)) continue;
    scene.dumped.push_back(map);
  }
}

class ImportRoundTrip : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scene_ = new Scene;
    dump_all(*scene_);
  }
  static void TearDownTestSuite() {
    delete scene_;
    scene_ = nullptr;
  }
  static Scene* scene_;
};
Scene* ImportRoundTrip::scene_ = nullptr;

TEST_F(ImportRoundTrip, EveryMapComesBackThroughTheNewDirectory) {
  Scene& scene = *scene_;
  ASSERT_GE(scene.dumped.size(), 10u);
  write_file(scene.dir.path / "copy.bin", scene.original);
  const auto run = run_gorvtool({"copy.bin", "-import"}, scene.dir.path);
  ASSERT_EQ(0, run.status) << run.output;
  EXPECT_NE(std::string::npos, run.output.find("\nfreeing data...\ndone!\n")) << run.output;
  const ByteVector image = read_file(scene.dir.path / "copy.bin");
  ASSERT_EQ(0u, image.size() % 0x100000);
  ASSERT_GT(image.size(), 0x100170u);

  // The directory and the base references.
  EXPECT_EQ(0u, be32(image, 0x100000));
  EXPECT_EQ(0x00100104u, be32(image, 0x100004));
  for (std::size_t at : {0x000690, 0x0006B8, 0x011A50, 0x019AF8})
    EXPECT_EQ(0x00100000u, be32(image, at));
  for (std::size_t at : {0x00236C, 0x00BCD2, 0x011A38, 0x011AC8, 0x011D6E, 0x011DE0, 0x014C3C,
                         0x019AE0, 0x03051A, 0x03075C, 0x0307E4})
    EXPECT_EQ(0x00100004u, be32(image, at));
  for (std::size_t at : {0x011A44, 0x019AEC}) EXPECT_EQ(0x00100008u, be32(image, at));
  EXPECT_EQ(image.size() - 1, be32(image, 0x1A4));
  EXPECT_EQ(checksum_of(image), be16(image, 0x18E));

  // Below the directory nothing but the references and the header fields changed.
  std::size_t changed = 0;
  for (std::size_t i = 0; i < 0x100000; ++i) changed += image[i] != scene.original[i];
  EXPECT_LE(changed, 17u * 4 + 6);

  std::uint16_t expected_offset = 0x154;
  for (int map = 0; map < 126; ++map) {
    SCOPED_TRACE("map " + std::to_string(map));
    const bool present =
        std::find(scene.dumped.begin(), scene.dumped.end(), map) != scene.dumped.end();
    const std::uint16_t offset = be16(image, 0x100008 + 2 * map);
    if (!present) {
      EXPECT_EQ(0, offset);
      continue;
    }
    expected_offset = static_cast<std::uint16_t>(expected_offset + 28);
    ASSERT_EQ(expected_offset, offset);
    const std::size_t header = 0x100000 + offset;
    // Header bytes 0-11 are those of the original map header.
    const std::size_t old_header = 0x4033A + be16(scene.original, 0x40342 + 2 * map);
    EXPECT_EQ(slice(scene.original, old_header, 12), slice(image, header, 12));
    char name[16];
    std::snprintf(name, sizeof name, "map%02x.gvm", map);
    expect_layouts_imported(image, header, parse_map_file(scene.dir.path / name));
  }

  // The same files imported again give the same image; the first import
  // alone keeps the original image.
  const auto again = run_gorvtool({"copy.bin", "-import"}, scene.dir.path);
  ASSERT_EQ(0, again.status) << again.output;
  EXPECT_EQ(image, read_file(scene.dir.path / "copy.bin"));
  std::string first = run.output;
  const std::string original = "\noriginal image kept as \"copy.bin.orig\"";
  ASSERT_NE(std::string::npos, first.find(original));
  first.erase(first.find(original), original.size());
  EXPECT_EQ(first, again.output);
}

TEST_F(ImportRoundTrip, DamagedFilesLeaveTheImageUnchanged) {
  Scene& scene = *scene_;
  ASSERT_FALSE(scene.dumped.empty());
  char name[16];
  std::snprintf(name, sizeof name, "map%02x.gvm", scene.dumped.back());
  const ByteVector good = read_file(scene.dir.path / name);
  write_file(scene.dir.path / "victim.bin", scene.original);

  std::vector<std::pair<std::string, ByteVector>> cases;
  for (std::size_t cut :
       {std::size_t{3}, std::size_t{20}, std::size_t{28}, good.size() / 2, good.size() - 1})
    cases.emplace_back("cut at " + std::to_string(cut),
                       ByteVector(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)));
  ByteVector disorder = good;
  std::swap(disorder[20], disorder[22]);
  std::swap(disorder[21], disorder[23]);
  if (disorder != good) cases.emplace_back("offsets out of order", disorder);
  ByteVector no_width = good;
  no_width[6] = 0;
  cases.emplace_back("width 0", no_width);

  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    write_file(scene.dir.path / name, bytes);
    const auto run = run_gorvtool({"victim.bin", "-import"}, scene.dir.path);
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos,
              run.output.find("ERROR: map file \"" + std::string(name) + "\" is damaged\n  "))
        << run.output;
    EXPECT_EQ(scene.original, read_file(scene.dir.path / "victim.bin"));
  }
  write_file(scene.dir.path / name, good);
}

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
  Report report;
  const ImportResult imported =
      import_maps(rom, (dir.path / "rom.bin").string(), dir.path.string());
  report = imported.report;
  text = report_text(report);
  ASSERT_FALSE(report_has_error(report)) << text;
  const ByteVector image = read_file(dir.path / "rom.bin");
  for (const auto& [number, bytes] : files) {
    SCOPED_TRACE("map " + std::to_string(number));
    const std::size_t header = 0x100000 + be16(image, 0x100008 + 2 * number);
    const MapFile f = parse_map_file(bytes);
    const std::size_t values = f.current ? 6 : 4;
    EXPECT_EQ(slice(f.bytes, values, 4), slice(image, header, 4));
    for (std::size_t k = 0; k < 4; ++k)
      EXPECT_EQ(le16(f.bytes, values + 4 + 2 * k), be16(image, header + 4 + 2 * k));
    expect_layouts_imported(image, header, f);
  }
}

}  // namespace
}  // namespace gorv
