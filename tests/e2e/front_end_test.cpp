// The command line of the real binary: shapes, usage text, range messages,
// run order, exit statuses and opening the ROM image.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <sstream>

#ifndef _WIN32
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "sample_rom/sample_rom.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Where the first of `marks` appears in `text` (npos when none does). A
// mode is recognised by any of the texts it may print.
std::size_t first_of(const std::string& text, std::initializer_list<const char*> marks) {
  std::size_t best = std::string::npos;
  for (const char* mark : marks) best = std::min(best, text.find(mark));
  return best;
}

void expect_usage(const ToolRun& run) {
  EXPECT_EQ(run.status, 2);
  const auto lines = lines_of(run.output);
  ASSERT_EQ(lines.size(), 17u) << run.output;
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "");
  EXPECT_FALSE(lines[2].empty());  // the credit line
  EXPECT_EQ(lines[3], "GorvTool: Data converter for Gorvan");
  // The build date in the compiler's form, e.g. "Jan  5 2026".
  EXPECT_EQ(lines[4].size(), 11u);
  EXPECT_EQ(lines[5], "");
  EXPECT_EQ(lines[6], "USAGE: gorvtool.exe [rom.bin] [options]");
  EXPECT_EQ(lines[7], " -info XX\t\tDisplay header data for level XX");
  EXPECT_EQ(lines[8], " -map XX\t\tDump data for map XX");
  EXPECT_EQ(lines[9], "   -block XX\t\tIgnore all blocks in map dump but XX");
  EXPECT_EQ(lines[10], " -theme X\t\tDump data for theme X");
  EXPECT_EQ(lines[11], " -decompress XXXXXX\tDump data at address XXXXXX");
  EXPECT_EQ(lines[12], " -resource\t\tCreate the \"gorvedit.dat\" file needed by GorvEdit");
  EXPECT_EQ(lines[13], " -import\t\tImport all \"mapXX.gvm\" files to the ROM");
  EXPECT_EQ(lines[14], "");
  EXPECT_EQ(lines[15], "All numbers must be in hexadecimal format");
  EXPECT_EQ(lines[16], "");
  EXPECT_TRUE(run.output.ends_with("\nAll numbers must be in hexadecimal format\n\n"));
}

struct FrontEndTest : ::testing::Test {
  TempDir dir;
  void SetUp() override { write_file(dir.path / "rom.bin", sample::build_sample_rom()); }
  ToolRun run(std::vector<std::string> args) { return run_gorvtool(args, dir.path); }
};

TEST_F(FrontEndTest, UsageTextForArgumentsThatFitNoShape) {
  expect_usage(run({}));
  expect_usage(run({"rom.bin"}));
  expect_usage(run({"rom.bin", "-resource", "-import"}));
  expect_usage(run({"rom.bin", "-map"}));
  expect_usage(run({"rom.bin", "-info", "00", "-map"}));
  expect_usage(run({"rom.bin", "-Info", "00"}));
  expect_usage(run({"rom.bin", "-info", "00", "-map", "01", "-theme", "1", "-block", "2"}));
  // The usage text comes before anything is opened.
  expect_usage(run({"missing.bin"}));
}

TEST_F(FrontEndTest, NumberMessagesComeBeforeTheImageIsOpened) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-info", "6a"}, "level is out of range; only levels between 00 and 69 are allowed"},
      {{"-map", "7E"}, "map is out of range; only maps between 0 and 7D are allowed"},
      {{"-map", "5Z"},
       "\"5Z\" is not a hexadecimal number; only maps between 0 and 7D are allowed"},
      {{"-map", "-resource"},
       "\"-resource\" is not a hexadecimal number; only maps between 0 and 7D are allowed"},
      {{"-theme", "0"}, "theme is out of range; only themes between 1 and A are allowed"},
      {{"-theme", "10"}, "theme is out of range; only themes between 1 and A are allowed"},
      {{"-block", "11"}, "block is out of range; only blocks between 00 and 10 are allowed"},
      {{"-decompress", "g00"},
       "\"g00\" is not a hexadecimal number; only addresses between 0 and FFFFFF are allowed"},
      {{"-decompress", "1234567"},
       "address is out of range; only addresses between 0 and FFFFFF are allowed"},
      {{"-info", "00", "-block", "11"},
       "block is out of range; only blocks between 00 and 10 are allowed"},
  };
  for (const auto& [options, message] : cases) {
    std::vector<std::string> args = {"missing.bin"};
    args.insert(args.end(), options.begin(), options.end());
    const ToolRun result = run(args);
    EXPECT_EQ(result.status, 1) << message;
    EXPECT_EQ(result.output, "ERROR: " + message + "\n");
  }
}

#ifndef _WIN32
// On a terminal of this system the tool never waits for Enter after an
// error. Nothing is typed: a tool that waited would hang until the test's
// timeout.
TEST_F(FrontEndTest, ATerminalIsNeverKeptWaiting) {
  if (std::getenv("GORVTOOL_UNDER_TEST") != nullptr) GTEST_SKIP() << "the native binary only";
  int terminal = -1;
  const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0 && chdir(dir.path.c_str()) == 0)
    execl(GORVTOOL_PATH, "gorvtool", "missing.bin", "-map", "7E", nullptr);
  if (pid == 0) _exit(127);
  std::string output;
  char buffer[4096];
  for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;)
    output.append(buffer, static_cast<std::size_t>(n));
  close(terminal);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << output;
  EXPECT_NE(output.find("ERROR: map is out of range"), std::string::npos) << output;
}
#endif

TEST_F(FrontEndTest, OpenFailures) {
  ToolRun result = run({"missing.bin", "-info", "00"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, "ERROR: cannot open file \"missing.bin\" (no such file)\n");

  result = run({"missing.bin", "-import"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, "ERROR: cannot open file \"missing.bin\" (no such file)\n");

  std::filesystem::create_directory(dir.path / "folder");
  result = run({"folder", "-info", "00"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, "ERROR: cannot open file \"folder\" (it is a folder)\n");

  // A read-only image can be read, but not imported into.
  const auto image = dir.path / "rom.bin";
  const auto before = read_file(image);
  std::filesystem::permissions(image, std::filesystem::perms::owner_read |
                                          std::filesystem::perms::group_read |
                                          std::filesystem::perms::others_read);
  result = run({"rom.bin", "-import"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.output, "ERROR: cannot open file \"rom.bin\" (it is read-only)\n");
  EXPECT_EQ(read_file(image), before);
  result = run({"rom.bin", "-info", "00"});
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.output.find("LEVEL:         0x00\n"), std::string::npos);
}

TEST_F(FrontEndTest, ModesRunInTheFixedOrder) {
  const ToolRun result = run({"rom.bin", "-map", "01", "-resource", "-theme", "2"});
  const std::size_t map = first_of(result.output, {"map dump", "map01.gvm", "map doesn't exist"});
  const std::size_t theme = first_of(result.output, {"theme dump", "theme2.gvt"});
  const std::size_t resource = first_of(result.output, {"resource file", "gorvedit.dat"});
  ASSERT_NE(map, std::string::npos) << result.output;
  ASSERT_NE(theme, std::string::npos) << result.output;
  ASSERT_NE(resource, std::string::npos) << result.output;
  EXPECT_LT(map, theme);
  EXPECT_LT(theme, resource);
  EXPECT_EQ(result.output.find("LEVEL:"), std::string::npos);

  // The raw dump comes after the level report, whatever the argument order.
  const ToolRun two = run({"rom.bin", "-decompress", "0", "-info", "05"});
  EXPECT_EQ(two.status, 0) << two.output;
  const std::size_t level = two.output.find("LEVEL:         0x05\n");
  const std::size_t raw = two.output.find("Writing data as \"0x0.dat\"");
  ASSERT_NE(level, std::string::npos);
  ASSERT_NE(raw, std::string::npos);
  EXPECT_LT(level, raw);
}

TEST_F(FrontEndTest, BlockWithoutMapChangesNothing) {
  const ToolRun with_block = run({"rom.bin", "-block", "05", "-info", "03"});
  const ToolRun alone = run({"rom.bin", "-info", "03"});
  EXPECT_EQ(with_block.status, 0);
  EXPECT_EQ(with_block.output, alone.output);
  EXPECT_EQ(with_block.output.substr(0, 21), "\nLEVEL:         0x03\n");
}

TEST_F(FrontEndTest, LaterModesRunAfterAnErrorAndTheStatusSaysSo) {
  // The sample image is 1 MiB: the raw dump refuses an address past its end,
  // and the resource file is still written (or attempted).
  const ToolRun result = run({"rom.bin", "-decompress", "FFFFFF", "-resource"});
  EXPECT_EQ(result.status, 1);
  const std::size_t error =
      result.output.find("ERROR: address 0xFFFFFF is beyond the end of the ROM image\n");
  ASSERT_NE(error, std::string::npos) << result.output;
  EXPECT_GT(first_of(result.output, {"resource file", "gorvedit.dat"}), error);
  EXPECT_FALSE(std::filesystem::exists(dir.path / "0xFFFFFF.dat"));
}

TEST_F(FrontEndTest, TheImageIsNotChangedWithoutImport) {
  const auto before = read_file(dir.path / "rom.bin");
  run({"rom.bin", "-info", "00", "-decompress", "20000"});
  EXPECT_EQ(read_file(dir.path / "rom.bin"), before);
}

// An image that carries the name of an output file (by mistake, or through
// a link) is never written over by that output; the other modes still run.
TEST_F(FrontEndTest, AnOutputFileNamedLikeTheImageIsNotWritten) {
  const auto image = read_file(dir.path / "rom.bin");
  std::filesystem::create_hard_link(dir.path / "rom.bin", dir.path / "themea.gvt");
  for (const auto& [name, args] : {std::pair<std::string, std::vector<std::string>>{
                                       "map4a.gvm", {"-map", "4A", "-info", "00"}},
                                   {"themea.gvt", {"-theme", "A", "-info", "00"}},
                                   {"0x50000.dat", {"-decompress", "50000", "-info", "00"}},
                                   {"gorvedit.dat", {"-resource"}}}) {
    write_file(dir.path / name, image);
    const std::string rom = name == "themea.gvt" ? "rom.bin" : name;
    std::vector<std::string> command = {rom};
    command.insert(command.end(), args.begin(), args.end());
    const ToolRun result = run(command);
    EXPECT_EQ(result.status, 1) << name;
    EXPECT_NE(std::string::npos,
              result.output.find("ERROR: the output file \"" + name + "\" is the ROM image \"" +
                                 rom + "\"; it is not written\n"))
        << result.output;
    if (args.size() > 2) {
      EXPECT_NE(result.output.find("LEVEL:         0x00"), std::string::npos);
    }
    EXPECT_EQ(read_file(dir.path / name), image) << name;
  }
  EXPECT_EQ(read_file(dir.path / "rom.bin"), image);
}

}  // namespace
}  // namespace gorv::test
