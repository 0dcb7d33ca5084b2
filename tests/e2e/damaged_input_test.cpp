// Damaged input through the real binary. ROM images in every mode: empty
// images, images of a few bytes, images cut short at each fixed table the
// tool reads, garbage, hostile pointers, oversized files and a read-only
// image. Map files for the import: cut short, offsets out of order or past
// the end, absurd sizes, runs of empty squares past the grid, garbage.
// Every run must end with a result or a clear error line and the matching
// exit status, without a sanitizer report; a failed run never changes the
// ROM image or leaves a half-written file behind. A run that hangs is
// stopped by the tests' timeout (tests/CMakeLists.txt).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "sample_rom/sample_rom.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

namespace fs = std::filesystem;
using Image = std::vector<std::uint8_t>;

// What every output file holds before a run, so that a run that does not
// write it can be told from one that does.
const std::vector<std::uint8_t> kOldContents = {'o', 'l', 'd', '\n'};

const auto kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

// The files the modes below write.
const std::vector<std::string> kOutputNames = {"map00.gvm", "theme3.gvt", "0x992E4.dat", "0x0.dat",
                                               "gorvedit.dat"};

// The map dump, theme dump, raw dump and resource file in one run (a run
// holds at most three value options and one flag); the level report and
// the import in another.
const std::vector<std::string> kExportRun = {"-map",        "00",    "-theme",   "3",
                                             "-decompress", "992E4", "-resource"};
const std::vector<std::string> kReportAndImportRun = {"-info", "05", "-import"};

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool has_error_line(const std::string& output) {
  for (const auto& line : lines_of(output))
    if (line.starts_with("ERROR: ")) return true;
  return false;
}

// A map file for an import run: its name and its bytes (or a directory of
// that name, or a link).
struct MapFile {
  MapFile(std::string file_name, Image file_bytes)
      : name(std::move(file_name)), bytes(std::move(file_bytes)) {}

  std::string name;
  Image bytes;
  bool directory = false;   // a directory of that name instead
  fs::path link;            // when not empty: a symbolic link to this instead
  std::uintmax_t size = 0;  // when larger: the bytes, then a hole up to this size
};

// Runs the binary on images and checks what must hold after any run.
struct DamagedImageRunner {
  TempDir dir;

  fs::path rom() const { return dir.path / "rom.bin"; }

  // Runs `args` on `image` (as rom.bin, without write permission when
  // `read_only`) in a directory that holds nothing else but `map_files`
  // and, unless it is an import, every output file with kOldContents;
  // checks the run; returns it.
  ToolRun run(const Image& image, std::vector<std::string> args, const std::string& what,
              const std::vector<MapFile>& map_files = {}, bool read_only = false) {
    const bool import = std::find(args.begin(), args.end(), "-import") != args.end();
    for (const auto& entry : fs::directory_iterator(dir.path)) {
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
      fs::remove_all(entry.path());
    }
    write_file(rom(), image);
    if (read_only) fs::permissions(rom(), kReadOnly);
    if (!import)
      for (const auto& name : kOutputNames) write_file(dir.path / name, kOldContents);
    for (const auto& file : map_files) {
      if (file.directory)
        fs::create_directory(dir.path / file.name);
      else if (!file.link.empty())
        fs::create_symlink(file.link, dir.path / file.name);
      else
        write_file(dir.path / file.name, file.bytes);
      if (file.size > file.bytes.size()) fs::resize_file(dir.path / file.name, file.size);
    }
    args.insert(args.begin(), "rom.bin");
    const ToolRun result = run_gorvtool(args, dir.path);
    const std::string context = what + "\n" + result.output;

    // A clear end: status 1 exactly when an error line was printed.
    EXPECT_TRUE(result.status == 0 || result.status == 1) << context;
    EXPECT_EQ(result.status == 1, has_error_line(result.output)) << context;
    for (const auto& line : lines_of(result.output)) {
      if (line.starts_with("ERROR: ")) {
        EXPECT_GT(line.size(), 9u) << context;
      }
    }
    EXPECT_EQ(result.output.find("Sanitizer"), std::string::npos) << context;
    EXPECT_EQ(result.output.find("runtime error"), std::string::npos) << context;

    // No temporary file is left behind.
    for (const auto& entry : fs::directory_iterator(dir.path))
      EXPECT_FALSE(entry.path().filename().string().ends_with(".gorvtool-tmp"))
          << context << entry.path();

    // Only an import may change the image, and only when it succeeds.
    const Image after = read_file(rom());
    if (!import || has_error_line(result.output)) {
      EXPECT_TRUE(after == image) << context;
    } else {
      EXPECT_TRUE(after != image) << context;
      EXPECT_EQ(after.size() % 0x100000, 0u) << context;
    }
    return result;
  }

  // The bytes of output file `name` after the last run, or none when the
  // run did not write it.
  std::optional<Image> written(const std::string& name) const {
    const Image bytes = read_file(dir.path / name);
    if (bytes == kOldContents) return std::nullopt;
    return bytes;
  }
};

// Map 0x00 of the sample image as the tool dumps it: a sound map file for
// the import runs.
const Image& sound_map_file() {
  static const Image bytes = [] {
    TempDir dir;
    write_file(dir.path / "rom.bin", sample::build_sample_rom());
    run_gorvtool({"rom.bin", "-map", "00"}, dir.path);
    return read_file(dir.path / "map00.gvm");
  }();
  return bytes;
}

std::vector<MapFile> sound_map_files() {
  return {{"map00.gvm", sound_map_file()}};
}

Image cut(const Image& image, std::size_t size) {
  return Image(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(size));
}

Image zero_padded(Image image, std::size_t size) {
  image.resize(size, 0x00);
  return image;
}

std::string hex(std::size_t value) {
  std::ostringstream out;
  out << "0x" << std::hex << std::uppercase << value;
  return out.str();
}

// An image too short to hold the map header table (which ends at 0x4043E)
// is no ROM image: every single-hyphen mode refuses it before it runs.
constexpr std::size_t kSmallestImage = 0x4043E;
const std::string kTooSmall = "ERROR: file \"rom.bin\" is too small to be a ROM image\n";

TEST(DamagedImages, EmptyAndTinyImages) {
  DamagedImageRunner runner;
  const Image sample = sample::build_sample_rom();
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{1}, std::size_t{17}, kSmallestImage - 1}) {
    for (const Image& image : {cut(sample, size), Image(size, 0xFF)}) {
      const std::string what = "image of " + std::to_string(size) + " bytes";
      for (const auto& args : {kExportRun, std::vector<std::string>{"-decompress", "0"},
                               std::vector<std::string>{"--all-maps"}, kReportAndImportRun}) {
        const bool import = args == kReportAndImportRun;
        const ToolRun result =
            runner.run(image, args, what, import ? sound_map_files() : std::vector<MapFile>{});
        EXPECT_EQ(result.status, 1) << what;
        EXPECT_EQ(result.output, kTooSmall) << what;
        if (!import) {
          for (const auto& name : kOutputNames) EXPECT_FALSE(runner.written(name)) << what;
        }
      }
    }
  }
  // The smallest image is read, its missing tables as zeros.
  const ToolRun result = runner.run(cut(sample, kSmallestImage), {"-decompress", "0"}, "smallest");
  EXPECT_EQ(result.status, 0) << result.output;
}

// An image cut short reads as if its missing bytes were zeros: what the
// theme dump, the raw dump and the resource file write from it equals what
// they write from the image padded with zeros.
TEST(DamagedImages, ImagesCutShortAtEachFixedTable) {
  const std::vector<std::size_t> cuts = {
      0x18E,   0x1A4,   0x4668,  0x466A,  0x5B92,  0x5B93,  0x5C83,  0x5C85,  0xCAB2,
      0xCAB3,  0xD00C,  0xD01A,  0xD8E8,  0xD8EA,  0xD934,  0xD940,  0x12BA4, 0x12C00,
      0x1A842, 0x1A870, 0x1AB1C, 0x1AB20, 0x1AB4C, 0x1AB4D, 0x1DA86, 0x1DA88, 0x20010,
      0x4033A, 0x4033C, 0x4033E, 0x40340, 0x40342, 0x40343, 0x40400, 0x4043E, 0x40450,
      0x4F000, 0x4F010, 0x50100, 0x7B018, 0x7B01A, 0x7B030, 0x7B100, 0x7B250, 0x80100,
      0x992E4, 0x992F0, 0xA0A02, 0xA0A04, 0xA0A4E, 0xA0A50, 0xA1010, 0xA1420};
  DamagedImageRunner runner;
  const Image sample = sample::build_sample_rom();
  for (std::size_t size : cuts) {
    const std::string what = "image cut at " + hex(size);
    const Image image = cut(sample, size);
    if (size < kSmallestImage) {
      EXPECT_EQ(runner.run(image, kExportRun, what).output, kTooSmall) << what;
      continue;
    }

    runner.run(zero_padded(image, sample.size()), kExportRun, what + ", padded");
    const auto padded_theme = runner.written("theme3.gvt");
    const auto padded_resource = runner.written("gorvedit.dat");
    const auto padded_raw = runner.written("0x992E4.dat");
    ASSERT_TRUE(padded_theme && padded_resource && padded_raw) << what;

    const ToolRun result = runner.run(image, kExportRun, what);
    EXPECT_EQ(runner.written("theme3.gvt"), padded_theme) << what;
    EXPECT_EQ(runner.written("gorvedit.dat"), padded_resource) << what;
    if (size > 0x992E4) {
      EXPECT_EQ(runner.written("0x992E4.dat"), padded_raw) << what;
    } else {
      EXPECT_NE(result.output.find("ERROR: address 0x992E4 is beyond the end of the ROM image"),
                std::string::npos)
          << what << "\n"
          << result.output;
    }

    const ToolRun report = runner.run(image, kReportAndImportRun, what, sound_map_files());
    EXPECT_NE(report.output.find("LEVEL:         0x05\n"), std::string::npos) << what;
  }
}

TEST(DamagedImages, GarbageImages) {
  DamagedImageRunner runner;
  std::mt19937 random(20261208);
  for (std::size_t size : {100u, 0x10000u, 0x40400u, 0xA0A50u, 0x100000u, 0x100001u}) {
    Image image(size);
    for (auto& byte : image) byte = static_cast<std::uint8_t>(random());
    const std::string what = "garbage image of " + hex(size) + " bytes";
    for (const char* map : {"00", "7D"})
      runner.run(image, {"-map", map, "-theme", "A", "-decompress", "40", "-resource"}, what);
    runner.run(image, {"-info", "69", "-import"}, what, sound_map_files());
  }
}

// Every pointer, offset and count the modes follow set to its largest
// value, in an image that is otherwise the sample.
TEST(DamagedImages, HostilePointersAndCounts) {
  Image image = sample::build_sample_rom();
  auto fill = [&](std::size_t from, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) image.at(from + i) = 0xFF;
  };
  fill(0x4668, 4);
  fill(0xA0A02, 4);
  fill(0xA0A4E, 4);
  for (std::size_t stream : {0x5B92u, 0x5C83u, 0xCAB2u, 0x1DA86u, 0x992E4u}) fill(stream, 2);
  fill(0x1A842, 0x1AB4E - 0x1A842);  // level headers and the level count
  fill(0x4033A, 8 + 2 * 126);        // level directory and map header table
  fill(0x7B018, 0x300);              // theme pointer area and tables
  DamagedImageRunner runner;
  for (int theme = 1; theme <= 10; theme += 3) {
    const std::string value(1, "0123456789A"[theme]);
    runner.run(image, {"-map", "00", "-theme", value, "-decompress", "992E4", "-resource"},
               "hostile pointers, theme " + value);
  }
  for (const char* level : {"00", "05", "2F", "30", "69"})
    runner.run(image, {"-info", level, "-import"}, std::string("hostile pointers, level ") + level,
               sound_map_files());
}

// A block layout stream that is an unhandled entry on every bit, for a
// whole MiB: the map dump reports the first entries and says that more were
// met, instead of millions of messages.
TEST(DamagedImages, BlockStreamOfUnhandledEntries) {
  Image image = sample::build_sample_rom();
  const std::size_t header = 0x4033A + (image.at(0x40342) << 8 | image.at(0x40343));
  image.resize(0x200000, 0x00);
  for (std::size_t i = 0; i < 4; ++i) image[header + 16 + i] = "\x00\x10\x00\x00"[i];
  // X fields of one bit, no Y field, block type 0x08; every 0 bit that
  // follows is another entry.
  image[0x100000 + 1] = 0x10;
  image[0x100000 + 2] = 0x20;
  DamagedImageRunner runner;
  const ToolRun result = runner.run(image, {"-map", "00"}, "unhandled entries");
  EXPECT_EQ(result.status, 0);
  std::size_t found = 0;
  for (const auto& line : lines_of(result.output))
    found += line.starts_with("Found block-type 0x08 at ");
  EXPECT_EQ(found, 1680u);  // one per square of the 3 x 2 screens
  EXPECT_NE(result.output.find(
                "\nFound block-type 0x08 at 0x100003\n\nFound block-type 0x08 at 0x100003\n"),
            std::string::npos);
  EXPECT_TRUE(result.output.ends_with("\nFurther entries of unhandled block types are not shown\n"))
      << result.output.substr(result.output.size() - 200);
  EXPECT_TRUE(runner.written("map00.gvm").has_value());
}

// An image larger than any cartridge, or a device that never ends, is
// refused after at most 64 MiB have been read: a sparse file of several GiB
// gets the same answer as one just past the limit, and /dev/zero ends too.
TEST(DamagedImages, ImagesTooLargeToBeRomImages) {
  TempDir dir;
  const fs::path big = dir.path / "big.bin";
  for (const std::uintmax_t size : {std::uintmax_t{0x4000001}, std::uintmax_t{0x200000000}}) {
    write_file(big, {});
    fs::resize_file(big, size);
    ToolRun result = run_gorvtool({"big.bin", "-info", "00"}, dir.path);
    EXPECT_EQ(result.status, 1) << size;
    EXPECT_EQ(result.output,
              "ERROR: file \"big.bin\" is larger than 64 MiB; it is not a ROM image\n");
    result = run_gorvtool({"big.bin", "-import"}, dir.path);
    EXPECT_EQ(result.status, 1) << size;
    EXPECT_EQ(result.output,
              "ERROR: file \"big.bin\" is larger than 64 MiB; it is not a ROM image\n");
    EXPECT_EQ(fs::file_size(big), size);
  }
#ifndef _WIN32
  const ToolRun result = run_gorvtool({"/dev/zero", "-resource"}, dir.path);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output,
            "ERROR: file \"/dev/zero\" is larger than 64 MiB; it is not a ROM image\n");
  EXPECT_FALSE(fs::exists(dir.path / "gorvedit.dat"));
#endif
}

// A file without any write permission bit is read-only, also for the
// superuser: every mode but the import reads it as usual; the import
// reports that it cannot open it and changes nothing.
TEST(DamagedImages, ReadOnlyImage) {
  const Image sample = sample::build_sample_rom();
  const std::vector<std::vector<std::string>> reading_runs = {
      kExportRun, {"-info", "05"}, {"-theme", "1", "-info", "69", "-decompress", "CAB2"}};
  DamagedImageRunner writable;
  DamagedImageRunner read_only;
  for (const auto& args : reading_runs) {
    const ToolRun expected = writable.run(sample, args, "writable image");
    const ToolRun result = read_only.run(sample, args, "read-only image", {}, true);
    EXPECT_EQ(result.status, expected.status);
    EXPECT_EQ(result.output, expected.output);
    for (const auto& name : kOutputNames)
      EXPECT_EQ(read_only.written(name), writable.written(name)) << name;
  }

  const ToolRun result =
      read_only.run(sample, {"-import"}, "import into a read-only image", {}, true);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, "ERROR: cannot open file \"rom.bin\" (it is read-only)\n");
  EXPECT_EQ(fs::status(read_only.rom()).permissions() & fs::perms::all, kReadOnly);
}

// Map files made from the map dump's own output, then damaged.

std::uint16_t le16_at(const Image& file, std::size_t at) {
  return static_cast<std::uint16_t>(file.at(at) | file.at(at + 1) << 8);
}

void set_le16_at(Image& file, std::size_t at, std::size_t value) {
  file.at(at) = static_cast<std::uint8_t>(value);
  file.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
}

// The sound map file with its block layout section replaced by `section`;
// the offsets behind it move along.
Image with_block_section(const Image& file, const Image& section) {
  const std::size_t block = le16_at(file, 20);
  const std::size_t background = le16_at(file, 22);
  Image out(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(block));
  out.insert(out.end(), section.begin(), section.end());
  out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(background), file.end());
  const auto shift =
      static_cast<std::ptrdiff_t>(section.size()) - static_cast<std::ptrdiff_t>(background - block);
  for (std::size_t field : {22u, 24u, 26u})
    set_le16_at(out, field, static_cast<std::size_t>(le16_at(file, field) + shift));
  return out;
}

// Runs the import with `file` as map00.gvm and expects it to be refused as
// damaged (the runner checks that the image stays as it was).
void expect_refused(DamagedImageRunner& runner, const Image& image, const Image& file,
                    const std::string& what) {
  const ToolRun result = runner.run(image, {"-import"}, what, {{"map00.gvm", file}});
  EXPECT_EQ(result.status, 1) << what;
  EXPECT_NE(result.output.find("ERROR: map file \"map00.gvm\" is damaged\n"), std::string::npos)
      << what << "\n"
      << result.output;
}

void expect_imported(DamagedImageRunner& runner, const Image& image,
                     const std::vector<MapFile>& files, const std::string& what) {
  const ToolRun result = runner.run(image, {"-import"}, what, files);
  EXPECT_EQ(result.status, 0) << what << "\n" << result.output;
  EXPECT_TRUE(read_file(runner.rom()) != image) << what;
}

TEST(DamagedMapFiles, MapFilesCutShort) {
  const Image sample = sample::build_sample_rom();
  const Image& sound = sound_map_file();
  ASSERT_GT(sound.size(), 200u);
  ASSERT_EQ(le16_at(sound, 26), sound.size());
  DamagedImageRunner runner;
  expect_imported(runner, sample, sound_map_files(), "the sound map file");

  std::vector<std::size_t> cuts = {0, 1, 3, 4, 5, 6, 17, 18, 19, 26, 27, 28, 29};
  for (std::size_t field : {20u, 22u, 24u}) {
    const std::size_t at = le16_at(sound, field);
    for (std::size_t c : {at - 1, at, at + 1, at + 6}) cuts.push_back(c);
  }
  for (std::size_t i = 1; i < 16; ++i) cuts.push_back(sound.size() * i / 16);
  cuts.push_back(sound.size() - 1);
  for (std::size_t size : cuts)
    expect_refused(runner, sample, cut(sound, size), "map file cut at " + std::to_string(size));
}

TEST(DamagedMapFiles, SectionOffsetsOutOfOrderOrPastTheEnd) {
  const Image sample = sample::build_sample_rom();
  const Image& sound = sound_map_file();
  DamagedImageRunner runner;
  for (std::size_t field = 18; field <= 26; field += 2) {
    for (std::size_t value :
         {std::size_t{0}, std::size_t{27}, sound.size() + 1, std::size_t{0xFFFF}}) {
      Image file = sound;
      set_le16_at(file, field, value);
      // A tile offset of 0xFFFF or past the end is out of order too.
      expect_refused(runner, sample, file,
                     "offset field " + std::to_string(field) + " = " + std::to_string(value));
    }
  }
  // Neighbouring offsets exchanged.
  for (std::size_t field = 18; field <= 24; field += 2) {
    Image file = sound;
    set_le16_at(file, field, le16_at(sound, field + 2));
    set_le16_at(file, field + 2, le16_at(sound, field));
    expect_refused(runner, sample, file, "offset fields " + std::to_string(field) + " exchanged");
  }
}

TEST(DamagedMapFiles, AbsurdWidthsAndHeights) {
  const Image sample = sample::build_sample_rom();
  const Image& sound = sound_map_file();
  DamagedImageRunner runner;
  const std::vector<std::pair<std::uint8_t, std::uint8_t>> sizes = {
      {0, sound[7]}, {sound[6], 0xC0}, {0xFF, sound[7]}, {sound[6], 0xFF}, {0xFF, 0xFF},
      {52, 1},       {1, 37},          {51, 36},         {47, 1},          {1, 0x3F}};
  for (const auto& [width, size_byte] : sizes) {
    Image file = sound;
    file[6] = width;
    file[7] = size_byte;
    expect_refused(runner, sample, file,
                   "width " + std::to_string(width) + ", size byte " + std::to_string(size_byte));
  }
}

// A run of empty squares that reaches past the grid is cut at the grid's
// end (the sentinel row stays empty); whatever follows in the section is
// not read. Such a file imports.
TEST(DamagedMapFiles, RunsOfEmptySquaresPastTheGrid) {
  const Image sample = sample::build_sample_rom();
  const Image& sound = sound_map_file();
  const std::size_t squares = std::size_t{sound[6]} * 20 * (sound[7] & 0x3F) * 14;
  DamagedImageRunner runner;

  // Runs of 128 squares, far past the grid and the sentinel row.
  Image section(squares / 128 + 40, 0x7F);
  expect_imported(runner, sample, {{"map00.gvm", with_block_section(sound, section)}},
                  "runs far past the grid");

  // One block, then a run that ends 100 squares past the grid, then cells.
  section = {0x80, 1, 2, 3, 4};
  for (std::size_t left = squares - 1 + 100; left > 0;) {
    const std::size_t run = std::min<std::size_t>(left, 128);
    section.push_back(static_cast<std::uint8_t>(run - 1));
    left -= run;
  }
  section.insert(section.end(), {0x81, 9, 9, 9, 9, 0x7F, 0x7F});
  expect_imported(runner, sample, {{"map00.gvm", with_block_section(sound, section)}},
                  "a run 100 squares past the grid");

  // Only runs, ending one square short of the grid: the grid is not filled.
  section.assign(squares / 128, 0x7F);
  if (squares % 128 > 1) section.push_back(static_cast<std::uint8_t>(squares % 128 - 2));
  expect_refused(runner, sample, with_block_section(sound, section), "one square short");
}

TEST(DamagedMapFiles, GarbageAndFlippedBytes) {
  const Image sample = sample::build_sample_rom();
  const Image& sound = sound_map_file();
  std::mt19937 random(8042);
  DamagedImageRunner runner;
  for (std::size_t size : {7u, 28u, 100u, 2000u, 70000u}) {
    Image file(size);
    for (auto& byte : file) byte = static_cast<std::uint8_t>(random());
    if (size >= 28) std::copy(sound.begin(), sound.begin() + 6, file.begin());
    runner.run(sample, {"-import"}, "garbage map file of " + std::to_string(size) + " bytes",
               {{"map00.gvm", file}});
  }
  for (int round = 0; round < 25; ++round) {
    Image file = sound;
    const int flips = 1 + round % 6;
    for (int i = 0; i < flips; ++i) {
      // Most flips go to the header, where a byte changes the most.
      const std::size_t at = i % 2 == 0 ? random() % 28 : random() % file.size();
      file[at] = static_cast<std::uint8_t>(random());
    }
    runner.run(sample, {"-import"}, "flipped map file, round " + std::to_string(round),
               {{"map00.gvm", file}});
  }
}

// One damaged map file among sound ones stops the whole import; a map file
// that is a directory cannot be read.
TEST(DamagedMapFiles, OneBadFileStopsTheImport) {
  const Image sample = sample::build_sample_rom();
  const Image& sound = sound_map_file();
  DamagedImageRunner runner;
  ToolRun result =
      runner.run(sample, {"-import"}, "a bad file among sound ones",
                 {{"map00.gvm", sound}, {"map2e.gvm", cut(sound, 100)}, {"map54.gvm", sound}});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("ERROR: map file \"map2e.gvm\" is damaged\n"), std::string::npos)
      << result.output;

  MapFile directory("map01.gvm", {});
  directory.directory = true;
  result = runner.run(sample, {"-import"}, "a directory as a map file",
                      {{"map00.gvm", sound}, directory});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("ERROR: map file \"map01.gvm\" is damaged\n"), std::string::npos)
      << result.output;
}

// A map file named as the ROM image (arguments in the wrong order) is not
// imported into itself, also through another name (a link): the user's map
// would become a 2 MiB image. (The file is padded to the least size of a
// ROM image: a shorter one is refused as too small before this check.)
TEST(DamagedMapFiles, AMapFileGivenAsTheImageIsLeftAlone) {
  const Image sound = zero_padded(sound_map_file(), kSmallestImage);
  TempDir dir;
  write_file(dir.path / "map00.gvm", sound);
  write_file(dir.path / "map2e.gvm", sound);
  fs::create_hard_link(dir.path / "map2e.gvm", dir.path / "link.bin");
  for (const auto& [image, named] :
       {std::pair{"map00.gvm", "map00.gvm"}, std::pair{"./map2e.gvm", "map2e.gvm"},
        std::pair{"link.bin", "map2e.gvm"}}) {
    const ToolRun result = run_gorvtool({image, "-import"}, dir.path);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, std::string("ERROR: the ROM image \"") + image +
                                 "\" is the map file \"" + named + "\"; nothing was imported\n");
    EXPECT_TRUE(read_file(dir.path / "map00.gvm") == sound);
    EXPECT_TRUE(read_file(dir.path / "map2e.gvm") == sound);
  }
}

// A map file larger than any map file can be, or a device that never ends,
// is refused after at most 16 MiB have been read: a sparse file of several
// GiB gets the same answer as one just past the limit, and /dev/zero ends
// too.
TEST(DamagedMapFiles, MapFilesTooLargeToBeMapFiles) {
  const Image sample = sample::build_sample_rom();
  DamagedImageRunner runner;
  ToolRun result;
  for (const std::uintmax_t size : {std::uintmax_t{0x1000001}, std::uintmax_t{0x100000000}}) {
    MapFile big("map01.gvm", {});
    big.size = size;
    result = runner.run(sample, {"-import"}, "a map file of " + hex(size) + " bytes",
                        {{"map00.gvm", sound_map_file()}, big});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("ERROR: map file \"map01.gvm\" is damaged\n"
                                 "  the file is larger than 16 MiB\n"),
              std::string::npos)
        << result.output;
  }
  // A link to a device: POSIX builds of the tool only (a Windows build run
  // under Wine sees no file behind such a link).
  if (std::getenv("GORVTOOL_OUTPUT_CRLF") != nullptr) return;
  MapFile device("map02.gvm", {});
  device.link = "/dev/zero";
  result = runner.run(sample, {"-import"}, "a device as a map file", {device});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("ERROR: map file \"map02.gvm\" is damaged\n"
                               "  the file is larger than 16 MiB\n"),
            std::string::npos)
      << result.output;
}

}  // namespace
}  // namespace gorv::test
