// Nothing of a designer's work is lost: runs that would overwrite map files
// or the image are refused, imports that would drop maps say so, and every
// import leaves a way back. All through the real binary on the sample image.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "sample_rom/sample_rom.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

namespace fs = std::filesystem;
using Image = std::vector<std::uint8_t>;

const auto kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

struct Folder {
  TempDir dir;
  Image image = sample::build_sample_rom();

  Folder() { write_file(rom(), image); }
  fs::path rom() const { return dir.path / "rom.bin"; }
  ToolRun run(const std::vector<std::string>& args) const { return run_gorvtool(args, dir.path); }
  // Every map of the image as the map dump writes it.
  std::vector<std::string> dump_all() const {
    run({"rom.bin", "--all-maps"});
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path))
      if (entry.path().extension() == ".gvm") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

// Runs that are refused before the image is changed: exact output, status 1,
// the image byte for byte as it was. The image is cut short where the error
// says so; a map00.gvm (the image itself when named as the image) lies
// beside it unless the error is that there is none.
TEST(DesignersWork, RefusedRunsChangeNothing) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"rom.bin", "-map", "4a", "-import"},
       "-map and -import cannot run together: the map dump would replace map4a.gvm before the "
       "import reads it"},
      {{"rom.bin", "-import", "--all-maps"},
       "--all-maps and -import cannot run together: the dump would write the image's old maps "
       "beside the imported ones"},
      {{"rom.bin", "-import"},
       "there is no map file (map00.gvm to map7d.gvm) in the current directory; nothing was "
       "imported"},
      {{"rom.bin", "-import"}, "file \"rom.bin\" is too small to be a ROM image"},
      {{"map00.gvm", "-import"}, "file \"map00.gvm\" is too small to be a ROM image"},
      {{"rom.bin.orig", "-import"},
       "\"rom.bin.orig\" is a backup copy; import into the image it was made from"},
      {{"Rom.BAK", "-import"},
       "\"Rom.BAK\" is a backup copy; import into the image it was made from"}};
  for (const auto& [args, error] : cases) {
    Folder f;
    if (error.find("too small") != std::string::npos) f.image.resize(0x4043D);
    write_file(f.dir.path / args[0], f.image);
    const bool map_file = error.find("no map file") == std::string::npos;
    if (map_file) write_file(f.dir.path / "map00.gvm", args[0] == "rom.bin" ? Image(300) : f.image);
    const ToolRun result = f.run(args);
    EXPECT_EQ(result.status, 1) << error;
    EXPECT_EQ(result.output, "ERROR: " + error + "\n");
    EXPECT_TRUE(read_file(f.dir.path / args[0]) == f.image) << error;
    const bool own_image = args[0] != "rom.bin" && args[0] != "map00.gvm";
    EXPECT_EQ(std::distance(fs::directory_iterator(f.dir.path), fs::directory_iterator()),
              1 + (map_file ? 1 : 0) + (own_image ? 1 : 0));
  }
}

// A number is read whole, "0x" and all: "-map 0x4a" writes map4a.gvm, and
// an edited map00.gvm stays as it is.
TEST(DesignersWork, NumbersAreReadWhole) {
  const Image edited = {'e', 'd', 'i', 't', 'e', 'd'};
  for (const auto& [args, written] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"rom.bin", "-map", "0x4a"}, "map4a.gvm"},
           {{"rom.bin", "-theme", "0XA", "-block", "0x03"}, "themea.gvt"},
           {{"rom.bin", "-info", "0x05", "-decompress", "0x992e4"}, "0x992E4.dat"}}) {
    Folder f;
    write_file(f.dir.path / "map00.gvm", edited);
    const ToolRun result = f.run(args);
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(fs::exists(f.dir.path / written)) << written;
    EXPECT_TRUE(read_file(f.dir.path / "map00.gvm") == edited) << written;
  }
}

// Maps of the image without a map file are named in ascending order, after
// the files read and before the warnings of what the game reads back.
TEST(DesignersWork, MapsLeftOutAreNamed) {
  Folder f;
  const std::vector<std::string> names = f.dump_all();
  ASSERT_GT(names.size(), 3u);
  std::string expected;
  for (const std::string& gone : {names[1], names.back()}) {
    fs::remove(f.dir.path / gone);
    std::string map = gone.substr(3, 2);
    std::transform(map.begin(), map.end(), map.begin(), ::toupper);
    expected += "WARNING: map 0x" + map +
                " is in the ROM image but has no map file; the imported image leaves it out\n";
  }
  const ToolRun result = f.run({"rom.bin", "-import"});
  EXPECT_EQ(result.status, 0) << result.output;
  const std::size_t at = result.output.find("WARNING");
  ASSERT_NE(at, std::string::npos) << result.output;
  EXPECT_EQ(result.output.substr(at, expected.size()), expected);
  // Then what the game reads otherwise (map 0x00 is the first such map of
  // the sample image left), then the directory.
  EXPECT_EQ(result.output.compare(at + expected.size(), 19, "WARNING: map 0x00: "), 0);
  EXPECT_EQ(result.output.find("has no map file", at + expected.size()), std::string::npos);
}

// The old image is kept: .orig once, .bak at every import; a copy that
// cannot be written stops the import before the image is replaced.
TEST(DesignersWork, ImportsKeepTheOldImage) {
  Folder f;
  f.dump_all();
  ToolRun result = f.run({"rom.bin", "-import"});
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("\nfixing checksum...\noriginal image kept as \"rom.bin.orig\"\n"
                               "previous image kept as \"rom.bin.bak\"\nfreeing data...\ndone!\n"),
            std::string::npos)
      << result.output;
  EXPECT_TRUE(read_file(f.dir.path / "rom.bin.orig") == f.image);
  EXPECT_TRUE(read_file(f.dir.path / "rom.bin.bak") == f.image);
  const Image first = read_file(f.rom());
  EXPECT_FALSE(first == f.image);

  result = f.run({"rom.bin", "-import"});
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(result.output.find("original image"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("\nprevious image kept as \"rom.bin.bak\"\nfreeing data..."),
            std::string::npos);
  EXPECT_TRUE(read_file(f.dir.path / "rom.bin.orig") == f.image);
  EXPECT_TRUE(read_file(f.dir.path / "rom.bin.bak") == first);

  fs::permissions(f.dir.path / "rom.bin.bak", kReadOnly);
  write_file(f.rom(), f.image);
  result = f.run({"rom.bin", "-import"});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(
      result.output.ends_with("\nfixing checksum...\nERROR: cannot write file "
                              "\"rom.bin.bak\" (it is read-only)\n"))
      << result.output;
  EXPECT_TRUE(read_file(f.rom()) == f.image);
  EXPECT_TRUE(read_file(f.dir.path / "rom.bin.bak") == first);
}

// An existing output file without write permission is kept, also for the
// superuser; the error comes where a failed creation's would.
TEST(DesignersWork, ReadOnlyOutputsStay) {
  const Image old = {'o', 'l', 'd', '\n'};
  for (const auto& [args, name] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"rom.bin", "-map", "00"}, "map00.gvm"},
           {{"rom.bin", "-resource"}, "gorvedit.dat"},
           {{"rom.bin", "-theme", "3"}, "theme3.gvt"}}) {
    Folder f;
    write_file(f.dir.path / name, old);
    fs::permissions(f.dir.path / name, kReadOnly);
    const ToolRun result = f.run(args);
    EXPECT_EQ(result.status, 1) << name;
    EXPECT_EQ(result.output, "ERROR: cannot create file \"" + name + "\" (it is read-only)\n");
    EXPECT_TRUE(read_file(f.dir.path / name) == old) << name;
  }
}

#ifndef _WIN32
// Where file names are case-sensitive, a map file name in another case is
// not read, and named; a link to the file read under the lower-case name is
// that file and is not named.
TEST(DesignersWork, NamesInTheWrongCaseAreNamed) {
  Folder f;
  const std::vector<std::string> names = f.dump_all();
  ASSERT_GT(names.size(), 2u);
  fs::rename(f.dir.path / names[1], f.dir.path / "MAP4A.GVM");
  const Image map_file = read_file(f.dir.path / names[0]);
  write_file(f.dir.path / "map4A.gvm", map_file);
  std::string upper = names[0];
  std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
  fs::create_symlink(names[0], f.dir.path / upper);
  const ToolRun result = f.run({"rom.bin", "-import"});
  EXPECT_EQ(result.status, 0) << result.output;
  const std::string expected =
      "WARNING: \"MAP4A.GVM\" is not imported: map file names are lower case (map4a.gvm)\n"
      "WARNING: \"map4A.gvm\" is not imported: map file names are lower case (map4a.gvm)\n"
      "WARNING: map 0x";
  const std::size_t at = result.output.find("WARNING");
  ASSERT_NE(at, std::string::npos) << result.output;
  EXPECT_EQ(result.output.substr(at, expected.size()), expected) << result.output;
  EXPECT_EQ(result.output.find(upper), std::string::npos) << result.output;
}

// An import killed at any moment leaves the image and its .bak whole, old
// or new; a temporary file left behind never takes the image's place.
TEST(DesignersWork, AKilledImportLeavesTheImageWhole) {
  Folder f;
  f.dump_all();
  ASSERT_EQ(f.run({"rom.bin", "-import"}).status, 0);
  const Image imported = read_file(f.rom());
  for (int delay_us = 0; delay_us <= 30000; delay_us += 1500) {
    write_file(f.rom(), f.image);
    const pid_t pid = fork();
    if (pid == 0 && dup2(open("/dev/null", O_WRONLY), 1) == 1 && chdir(f.dir.path.c_str()) == 0)
      execl(GORVTOOL_PATH, "gorvtool", "rom.bin", "-import", nullptr);
    if (pid == 0) _exit(127);
    usleep(static_cast<useconds_t>(delay_us));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    for (const Image& whole : {read_file(f.rom()), read_file(f.dir.path / "rom.bin.bak")})
      EXPECT_TRUE(whole == f.image || whole == imported) << delay_us;
  }
}
#endif

}  // namespace
}  // namespace gorv::test
