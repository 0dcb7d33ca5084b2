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

TEST(HexValue, DigitsOfEveryKind) {
  EXPECT_EQ(parse_hex_value("7d", 2, 0, 0xFF), 0x7Du);
  EXPECT_EQ(parse_hex_value("7D", 2, 0, 0xFF), 0x7Du);
  EXPECT_EQ(parse_hex_value("aF", 2, 0, 0xFF), 0xAFu);
  EXPECT_EQ(parse_hex_value("09", 2, 0, 0xFF), 0x09u);
  EXPECT_EQ(hex_digit_value('g'), -1);
  EXPECT_EQ(hex_digit_value('G'), -1);
  EXPECT_EQ(hex_digit_value('/'), -1);
  EXPECT_EQ(hex_digit_value(':'), -1);
  EXPECT_EQ(hex_digit_value('@'), -1);
  EXPECT_EQ(hex_digit_value('`'), -1);
}

TEST(HexValue, ReadsOnlyItsCharactersAndNeverPastTheValue) {
  EXPECT_EQ(parse_hex_value("5", 2, 0, 0xFF), 0x05u);
  EXPECT_EQ(parse_hex_value("123", 2, 0, 0xFF), 0x12u);
  EXPECT_EQ(parse_hex_value("10", 1, 0, 0xFF), 0x1u);
  EXPECT_EQ(parse_hex_value("1234567", 6, 0, 0xFFFFFF), 0x123456u);
  EXPECT_EQ(parse_hex_value("", 2, 0xFF, 0xFF), 0xFFu);
  EXPECT_EQ(parse_hex_value("", 2, 0, 0xFF), 0x00u);
}

TEST(HexValue, NonDigitsKeepTheStartOrOnlyShift) {
  EXPECT_EQ(parse_hex_value("5Z", 2, 0, 0xFF), 0x50u);
  EXPECT_EQ(parse_hex_value("Z5", 2, 0, 0xFF), 0x05u);
  EXPECT_EQ(parse_hex_value("-resource", 2, 0, 0xFF), 0x00u);
  // The block filter starts at 0xFF: its first non-digit keeps it, and the
  // shift wraps within 8 bits.
  EXPECT_EQ(parse_hex_value("Z", 2, 0xFF, 0xFF), 0xFFu);
  EXPECT_EQ(parse_hex_value("Z5", 2, 0xFF, 0xFF), 0xF5u);
  EXPECT_EQ(parse_hex_value("FF", 2, 0, 0xFF), 0xFFu);
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
  // With an even count the word after -map is its value, even "-resource".
  const RunSettings s = settings_of({"-map", "-resource"});
  EXPECT_EQ(s.map, 0x00);
  EXPECT_FALSE(s.resource);
  // The first slot holding an option wins; the later pair is ignored.
  EXPECT_EQ(settings_of({"-map", "01", "-map", "02"}).map, 0x01);
  EXPECT_EQ(settings_of({"-map", "5Z"}).map, 0x50);
  EXPECT_EQ(settings_of({"-map", "5"}).map, 0x05);
  EXPECT_EQ(settings_of({"-theme", "10"}).theme, 0x1);
  EXPECT_EQ(settings_of({"-decompress", "1234567"}).dump_address, 0x123456);
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
  EXPECT_EQ(settings_of({"-block", "FF"}).block_filter, 0xFF);
  EXPECT_EQ(settings_of({"-block", "Z"}).block_filter, 0xFF);

  const std::string level = "level is out of range; only levels between 00 and 69 are allowed";
  const std::string map = "map is out of range; only maps between 0 and 7D are allowed";
  const std::string theme = "theme is out of range; only themes between 1 and A are allowed";
  const std::string block = "block is out of range; only blocks between 00 and 10 are allowed";
  const std::string address = "address is not valid; only hexadecimal addresses are allowed";
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-info", "6A"}, level},
      {{"-map", "7E"}, map},
      {{"-map", "FF"}, map},
      {{"-theme", "0"}, theme},
      {{"-theme", "B"}, theme},
      {{"-theme", "x"}, theme},
      {{"-block", "11"}, block},
      {{"-block", "Z5"}, block},
      {{"-decompress", "x1"}, address},
      {{"-decompress", ""}, address},
      // The options are checked in the order info, map, theme, block, address.
      {{"-decompress", "x", "-block", "11", "-theme", "0"}, theme},
      {{"-theme", "0", "-map", "80", "-info", "70"}, level},
      {{"-decompress", "g", "-block", "12"}, block},
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
