#include "import/importer.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

#include <filesystem>
#include <string>
#include <vector>

#include "support/map_file_maker.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

namespace fs = std::filesystem;
using test::make_map_file;
using test::MapFileParts;
using test::read_file;
using test::TempDir;
using test::write_file;

// A 1 MiB image with recognisable bytes everywhere.
std::vector<std::uint8_t> original_image() {
  std::vector<std::uint8_t> image(0x100000);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 13 + 1);
  return image;
}

struct Import {
  std::string text;
  bool error = false;
};

// Imports the map files of `dir` into `dir`/rom.bin, as loaded from there.
Import import_in(const fs::path& dir) {
  RomImage rom;
  rom.bytes = read_file(dir / "rom.bin");
  Import result;
  Report report;
  const ImportResult imported = import_maps(rom, (dir / "rom.bin").string(), dir.string());
  report = imported.report;
  result.text = report_text(report);
  result.error = report_has_error(report);
  return result;
}

std::uint16_t checksum_of(const std::vector<std::uint8_t>& image) {
  std::uint16_t sum = 0;
  for (std::size_t i = 0x200; i + 1 < image.size(); i += 2)
    sum = static_cast<std::uint16_t>(sum + (image[i] << 8 | image[i + 1]));
  return sum;
}

MapFileParts small_map() {
  MapFileParts p;
  p.tile.assign(280, 0x07);
  p.block = test::empty_block_section(280);
  p.enemy = {1, 2, 3, 4, 5, 6, 0};
  return p;
}

TEST(Importer, WithoutMapFilesNothingIsImported) {
  TempDir dir;
  const auto before = original_image();
  write_file(dir.path / "rom.bin", before);
  const Import run = import_in(dir.path);
  EXPECT_TRUE(run.error);
  EXPECT_EQ(
      "ERROR: there is no map file (map00.gvm to map7d.gvm) in the current directory; nothing "
      "was imported\n",
      run.text);
  EXPECT_EQ(before, read_file(dir.path / "rom.bin"));
  EXPECT_FALSE(fs::exists(dir.path / "rom.bin.bak"));
}

TEST(Importer, OneMapFileGivesTheDirectoryAndThePaddedImage) {
  TempDir dir;
  write_file(dir.path / "rom.bin", original_image());
  write_file(dir.path / "map00.gvm", make_map_file(small_map()));
  const Import run = import_in(dir.path);
  EXPECT_FALSE(run.error) << run.text;
  const auto after = read_file(dir.path / "rom.bin");
  ASSERT_EQ(0x200000u, after.size());
  EXPECT_EQ((std::vector<std::uint8_t>{0x00, 0x10, 0x01, 0x04}),
            std::vector<std::uint8_t>(after.begin() + 0x100004, after.begin() + 0x100008));
  EXPECT_EQ(0x4A, after[0x100104]);
  EXPECT_EQ((std::vector<std::uint8_t>{0x00, 0x1F, 0xFF, 0xFF}),
            std::vector<std::uint8_t>(after.begin() + 0x1A4, after.begin() + 0x1A8));
  const std::uint16_t sum = checksum_of(after);
  EXPECT_EQ(sum >> 8, after[0x18E]);
  EXPECT_EQ(sum & 0xFF, after[0x18F]);
  EXPECT_FALSE(fs::exists(dir.path / "rom.bin.gorvtool-tmp"));
}

TEST(Importer, ADamagedFileLeavesTheImageUntouched) {
  TempDir dir;
  const auto before = original_image();
  write_file(dir.path / "rom.bin", before);
  write_file(dir.path / "map00.gvm", make_map_file(small_map()));
  auto damaged = make_map_file(small_map());
  damaged.resize(200);
  write_file(dir.path / "map2a.gvm", damaged);
  write_file(dir.path / "map7d.gvm", make_map_file(small_map()));
  const Import run = import_in(dir.path);
  EXPECT_TRUE(run.error);
  EXPECT_EQ(
      "map00.gvm\nmap2A.gvm\nERROR: map file \"map2a.gvm\" is damaged\n"
      "  the sections end at offset 0x013E, past the end of the file (0x00C8 bytes)\n",
      run.text);
  EXPECT_EQ(before, read_file(dir.path / "rom.bin"));
}

TEST(Importer, ADamagedFileAloneIsReportedByItsLowerCaseName) {
  TempDir dir;
  const auto before = original_image();
  write_file(dir.path / "rom.bin", before);
  MapFileParts p = small_map();
  p.width = 0;
  write_file(dir.path / "map2a.gvm", make_map_file(p));
  const Import run = import_in(dir.path);
  EXPECT_TRUE(run.error);
  EXPECT_EQ(
      "map2A.gvm\nERROR: map file \"map2a.gvm\" is damaged\n"
      "  the map is 0 x 1 screens; a map needs at least one screen each way\n",
      run.text);
  EXPECT_EQ(before, read_file(dir.path / "rom.bin"));
}

TEST(Importer, AMapFileThatCannotBeReadIsDamagedNotAbsent) {
  TempDir dir;
  const auto before = original_image();
  write_file(dir.path / "rom.bin", before);
  fs::create_directory(dir.path / "map05.gvm");
  const Import run = import_in(dir.path);
  EXPECT_TRUE(run.error);
  EXPECT_EQ("map05.gvm\nERROR: map file \"map05.gvm\" is damaged\n  the file cannot be read\n",
            run.text);
  EXPECT_EQ(before, read_file(dir.path / "rom.bin"));
}

TEST(Importer, AFailedWriteLeavesTheTargetAsItWas) {
  // The "image" is a directory, which no file can replace.
  TempDir dir;
  const auto before = original_image();
  fs::create_directory(dir.path / "rom.bin");
  write_file(dir.path / "map00.gvm", make_map_file(small_map()));
  RomImage rom;
  rom.bytes = before;
  std::string text;
  Report report;
  const std::string rom_path = (dir.path / "rom.bin").string();
  const ImportResult imported = import_maps(rom, rom_path, dir.path.string());
  report = imported.report;
  text = report_text(report);
  EXPECT_TRUE(report_has_error(report));
  EXPECT_NE(std::string::npos, text.find("\nfixing checksum...\nERROR: cannot write file \"" +
                                         rom_path + "\" (it is a folder)\n"));
  EXPECT_EQ(std::string::npos, text.find("done!"));
  EXPECT_TRUE(fs::is_directory(dir.path / "rom.bin"));
  EXPECT_FALSE(fs::exists(dir.path / "rom.bin.gorvtool-tmp"));
}

TEST(Importer, ThePermissionsOfTheImageAreKept) {
  TempDir dir;
  write_file(dir.path / "rom.bin", original_image());
  write_file(dir.path / "map00.gvm", make_map_file(small_map()));
  fs::permissions(dir.path / "rom.bin",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const Import run = import_in(dir.path);
  EXPECT_FALSE(run.error);
  EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
            fs::status(dir.path / "rom.bin").permissions() & fs::perms::all);
}

TEST(Importer, ASymbolicLinkGoesOnLeadingToTheImportedImage) {
  TempDir dir;
  fs::create_directory(dir.path / "roms");
  write_file(dir.path / "roms" / "game.bin", original_image());
  fs::create_symlink(dir.path / "roms" / "game.bin", dir.path / "rom.bin");
  write_file(dir.path / "map00.gvm", make_map_file(small_map()));
  const Import run = import_in(dir.path);
  EXPECT_FALSE(run.error) << run.text;
  EXPECT_TRUE(fs::is_symlink(dir.path / "rom.bin"));
  EXPECT_EQ(0x200000u, read_file(dir.path / "roms" / "game.bin").size());
  EXPECT_FALSE(fs::exists(dir.path / "roms" / "game.bin.gorvtool-tmp"));
  // The copies are named after the link, beside it.
  EXPECT_EQ(original_image(), read_file(dir.path / "rom.bin.bak"));
  EXPECT_TRUE(fs::exists(dir.path / "rom.bin.orig"));
}

TEST(Importer, TooLongALayoutIsRefused) {
  // 6 x 36 screens of tiles that do not repeat: 60,480 tile bytes fit the
  // map file, but their LZ stream does not fit a 16-bit layout length.
  TempDir dir;
  const auto before = original_image();
  write_file(dir.path / "rom.bin", before);
  MapFileParts p = small_map();
  p.width = 6;
  p.height_byte = 36;
  p.tile.resize(6 * 36 * 280);
  std::uint32_t state = 12345;
  for (std::uint8_t& tile : p.tile) {
    state = state * 1103515245u + 12345u;
    tile = static_cast<std::uint8_t>(state >> 16);
  }
  p.block = test::empty_block_section(p.tile.size());
  write_file(dir.path / "map12.gvm", make_map_file(p));
  const Import imported = import_in(dir.path);
  EXPECT_TRUE(imported.error);
  const std::string expected_start =
      "ERROR: map file \"map12.gvm\" is damaged\n  the tile layout takes ";
  const std::size_t error = imported.text.find("ERROR: ");
  ASSERT_NE(error, std::string::npos) << imported.text;
  EXPECT_EQ(imported.text.compare(error, expected_start.size(), expected_start), 0)
      << imported.text;
  EXPECT_NE(imported.text.find(" bytes in the ROM image, more than 65535\n"), std::string::npos)
      << imported.text;
  EXPECT_EQ(before, read_file(dir.path / "rom.bin"));
  EXPECT_FALSE(fs::exists(dir.path / "rom.bin.bak"));
}

}  // namespace
}  // namespace gorv
