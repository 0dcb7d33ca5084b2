#include "cli/arguments.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

namespace gorv {
namespace {

ParsedArguments parse(std::vector<std::string> options) {
  std::vector<std::string> args = {"gorvtool", "rom.bin"};
  args.insert(args.end(), options.begin(), options.end());
  return parse_arguments(args);
}

RunSettings settings_of(std::vector<std::string> options) {
  const ParsedArguments parsed = parse(std::move(options));
  EXPECT_EQ(parsed.outcome, ParseOutcome::run) << (parsed.error ? message_text(*parsed.error) : "");
  return parsed.settings;
}

TEST(HexNumber, WholeValuesOnly) {
  constexpr std::uint64_t kLargest = ~std::uint64_t{0};
  // Past 64 bits the value stays the largest, never wraps into a range.
  const std::vector<std::pair<std::string, std::optional<std::uint64_t>>> cases = {
      {"0", 0},
      {"7d", 0x7D},
      {"aF", 0xAF},
      {"09", 9},
      {"0x4a", 0x4A},
      {"0X4A", 0x4A},
      {"0x0", 0},
      {"00ff", 0xFF},
      {"000000000000000000000005", 5},
      {"FFFFFFFFFFFFFFFF", kLargest},
      {"10000000000000000", kLargest},
      {"0x100000000000000000000000000001", kLargest}};
  for (const auto& [text, value] : cases) EXPECT_EQ(parse_hex_number(text), value) << text;
  // Signs, spaces, a second x, and the characters next to the digits and letters.
  for (const char* text : {"", "0x", "x5", "0x0x5", "00x5", "5Z", "Z5", "+5", "-5", " 5", "5 ",
                           "-resource", "/", ":", "@", "G", "`", "g"})
    EXPECT_EQ(parse_hex_number(text), std::nullopt) << text;
}

TEST(ArgumentShapes, CountsThatFitNoShapePrintTheUsage) {
  EXPECT_EQ(parse_arguments({"gorvtool"}).outcome, ParseOutcome::usage);
  EXPECT_EQ(parse({}).outcome, ParseOutcome::usage);
  EXPECT_EQ(parse({"-map"}).outcome, ParseOutcome::usage);
  EXPECT_EQ(parse({"-resource", "-import"}).outcome, ParseOutcome::usage);
  EXPECT_EQ(parse({"-info", "01", "-map", "02", "-theme", "3", "-import", "-resource"}).outcome,
            ParseOutcome::usage);
  EXPECT_EQ(parse({"-info", "01", "-map", "02", "-theme", "3", "-block", "4"}).outcome,
            ParseOutcome::usage);
  // An odd count whose slots hold no flag option.
  EXPECT_EQ(parse({"-info", "01", "-map"}).outcome, ParseOutcome::usage);
  // A flag option outside the option slots is not removed.
  EXPECT_EQ(parse({"-info", "-resource", "05"}).outcome, ParseOutcome::usage);
  // Option names are exact and case-sensitive; the slots must hold value options.
  EXPECT_EQ(parse({"-INFO", "01"}).outcome, ParseOutcome::usage);
  EXPECT_EQ(parse({"-Resource"}).outcome, ParseOutcome::usage);
  EXPECT_EQ(parse({"01", "-info"}).outcome, ParseOutcome::usage);
  EXPECT_EQ(parse({"-info", "01", "-import", "-resource"}).outcome, ParseOutcome::usage);
}

TEST(ArgumentShapes, FlagOnlyRuns) {
  const ParsedArguments parsed = parse({"-import"});
  ASSERT_EQ(parsed.outcome, ParseOutcome::run);
  EXPECT_EQ(parsed.rom_path, "rom.bin");
  EXPECT_TRUE(parsed.settings.import);
  EXPECT_FALSE(parsed.settings.resource);
  EXPECT_FALSE(parsed.settings.level);
  EXPECT_FALSE(parsed.settings.map);
  EXPECT_FALSE(parsed.settings.theme);
  EXPECT_FALSE(parsed.settings.block_filter);
  EXPECT_FALSE(parsed.settings.dump_address);
  EXPECT_TRUE(settings_of({"-resource"}).resource);
}

TEST(ArgumentShapes, FlagInAnySlotIsTakenOut) {
  for (const auto& options :
       std::vector<std::vector<std::string>>{{"-resource", "-map", "01", "-theme", "2"},
                                             {"-map", "01", "-resource", "-theme", "2"},
                                             {"-map", "01", "-theme", "2", "-resource"}}) {
    const RunSettings s = settings_of(options);
    EXPECT_TRUE(s.resource);
    EXPECT_FALSE(s.import);
    EXPECT_EQ(s.map, 0x01);
    EXPECT_EQ(s.theme, 0x2);
    EXPECT_FALSE(s.level);
  }
  const RunSettings s = settings_of({"-info", "01", "-map", "02", "-theme", "3", "-import"});
  EXPECT_TRUE(s.import);
  EXPECT_EQ(s.level, 0x01);
  EXPECT_EQ(s.map, 0x02);
  EXPECT_EQ(s.theme, 0x3);
}

TEST(ArgumentShapes, ValuesAreTakenByPosition) {
  // The first slot holding an option wins; the later pair is ignored,
  // unchecked.
  EXPECT_EQ(settings_of({"-map", "01", "-map", "02"}).map, 0x01);
  EXPECT_EQ(settings_of({"-map", "01", "-map", "zz"}).map, 0x01);
  EXPECT_EQ(settings_of({"-map", "5"}).map, 0x05);
  EXPECT_EQ(settings_of({"-map", "0x4a"}).map, 0x4A);
  EXPECT_EQ(settings_of({"-decompress", "0x12abc"}).dump_address, 0x12ABC);
  EXPECT_EQ(settings_of({"-decompress", "0"}).dump_address, 0);
  const RunSettings block = settings_of({"-block", "05"});
  EXPECT_EQ(block.block_filter, 0x05);
  EXPECT_FALSE(block.map);
  const RunSettings three = settings_of({"-map", "01", "-theme", "2", "-info", "05"});
  EXPECT_EQ(three.map, 0x01);
  EXPECT_EQ(three.theme, 0x2);
  EXPECT_EQ(three.level, 0x05);
}

TEST(ArgumentRanges, LimitsOfEverySetting) {
  EXPECT_EQ(settings_of({"-info", "69"}).level, 0x69);
  EXPECT_EQ(settings_of({"-map", "7d"}).map, 0x7D);
  EXPECT_EQ(settings_of({"-theme", "a"}).theme, 0xA);
  EXPECT_EQ(settings_of({"-block", "10"}).block_filter, 0x10);
  for (const char* all : {"FF", "0xff", "00ff"})
    EXPECT_EQ(settings_of({"-block", all}).block_filter, 0xFF) << all;
  EXPECT_EQ(settings_of({"-decompress", "0XFFFFFF"}).dump_address, 0xFFFFFF);

  const std::string levels = "only levels between 00 and 69 are allowed";
  const std::string maps = "only maps between 0 and 7D are allowed";
  const std::string themes = "only themes between 1 and A are allowed";
  const std::string blocks = "only blocks between 00 and 10 are allowed";
  const std::string addresses = "only addresses between 0 and FFFFFF are allowed";
  const auto not_hex = [](const std::string& value, const std::string& allowed) {
    return "\"" + value + "\" is not a hexadecimal number; " + allowed;
  };
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-info", "6A"}, "level is out of range; " + levels},
      {{"-info", "100"}, "level is out of range; " + levels},
      {{"-map", "7E"}, "map is out of range; " + maps},
      {{"-map", "FF"}, "map is out of range; " + maps},
      {{"-theme", "0"}, "theme is out of range; " + themes},
      {{"-theme", "B"}, "theme is out of range; " + themes},
      {{"-theme", "10"}, "theme is out of range; " + themes},
      {{"-block", "11"}, "block is out of range; " + blocks},
      {{"-decompress", "1000000"}, "address is out of range; " + addresses},
      {{"-decompress", "10000000000000000000000FF"}, "address is out of range; " + addresses},
      {{"-info", "-5"}, not_hex("-5", levels)},
      {{"-map", "5Z"}, not_hex("5Z", maps)},
      {{"-map", "-resource"}, not_hex("-resource", maps)},
      {{"-theme", "x"}, not_hex("x", themes)},
      {{"-block", "Z"}, not_hex("Z", blocks)},
      {{"-decompress", "x1"}, not_hex("x1", addresses)},
      {{"-decompress", ""}, not_hex("", addresses)},
      // The options are checked in the order info, map, theme, block, address.
      {{"-decompress", "x", "-block", "11", "-theme", "0"}, "theme is out of range; " + themes},
      {{"-theme", "0", "-map", "80", "-info", "70"}, "level is out of range; " + levels},
      {{"-decompress", "g", "-block", "12"}, "block is out of range; " + blocks},
      {{"-block", "12", "-map", "g"}, not_hex("g", maps)},
  };
  for (const auto& [options, message] : cases) {
    const ParsedArguments parsed = parse(options);
    EXPECT_EQ(parsed.outcome, ParseOutcome::error) << options[0] << " " << options[1];
    ASSERT_TRUE(parsed.error) << options[0] << " " << options[1];
    EXPECT_EQ(message_text(*parsed.error), "ERROR: " + message + "\n")
        << options[0] << " " << options[1];
  }
}

}  // namespace
}  // namespace gorv
