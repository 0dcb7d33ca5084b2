#include <gtest/gtest.h>

#include "rom/level_info.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;

std::string decode(const ByteVector& codes, std::int8_t part, std::size_t at = 0) {
  ByteVector image(at, 0xEE);
  image.insert(image.end(), codes.begin(), codes.end());
  return decode_level_name(Bytes(image), at, part);
}

TEST(LevelName, LettersCapitalisedAfterSpacesAndPartSuffix) {
  EXPECT_EQ(decode({0x61, 0x62, 0x20, 0x63, 0x64, 0xFF}, 2), "Ab Cd II");
  EXPECT_EQ(decode({0x61, 0x62, 0x20, 0x63, 0x64, 0xFF}, 0), "Ab Cd");
  EXPECT_EQ(decode({0x61, 0x62, 0x20, 0x63, 0x64, 0xFF}, -1), "Ab Cd");
  EXPECT_EQ(decode({0x61, 0xFF}, 127), "A " + std::string(127, 'I'));
  // Every code of 0x00 to 0x5F and 0x84 is a space.
  EXPECT_EQ(decode({0x61, 0x00, 0x62, 0x5F, 0x63, 0x84, 0x64, 0x31, 0x65, 0xFF}, 0), "A B C D E");
  // A first space stays a space; the letter after it becomes a capital.
  EXPECT_EQ(decode({0x20, 0x61, 0xFF}, 0), " A");
}

TEST(LevelName, WordCodesAndApostrophe) {
  EXPECT_EQ(decode({0x7E, 0x20, 0x61, 0xFF}, 0), "Of A");
  EXPECT_EQ(decode({0x7F, 0x20, 0x7C, 0x20, 0x7D, 0xFF}, 0), "To the the");
  EXPECT_EQ(decode({0x7C, 0x7E, 0x7F, 0xFF}, 0), "Theofto");
  EXPECT_EQ(decode({0x7D, 0xFF}, 1), "The I");
  // The letter after a word or an apostrophe keeps its case.
  EXPECT_EQ(decode({0x67, 0x83, 0x73, 0x7E, 0x61, 0xFF}, 0), "G'sofa");
  // An apostrophe after a space is not a letter: it stays as it is.
  EXPECT_EQ(decode({0x61, 0x20, 0x83, 0x62, 0xFF}, 0), "A 'b");
}

TEST(LevelName, LetterRuleWithoutLetterCheck) {
  EXPECT_EQ(decode({0x61, 0x20, 0x60, 0x20, 0x7B, 0xFF}, 0), "A @ [");
  // 0x60 and 0x7B are not letters at the start of the name.
  EXPECT_EQ(decode({0x60, 0xFF}, 0), "`");
  EXPECT_EQ(decode({0x7B, 0xFF}, 0), "{");
  // Two spaces end the name on the second; no part suffix follows.
  EXPECT_EQ(decode({0x61, 0x20, 0x20, 0x62, 0xFF}, 3), "A ");
  EXPECT_EQ(decode({0x61, 0x84, 0x00, 0x62, 0xFF}, 3), "A ");
  // Other codes pass through unchanged.
  EXPECT_EQ(decode({0x61, 0x80, 0x85, 0xFE, 0x20, 0x82, 0xFF}, 0), "A\x80\x85\xFE \x82");
}

TEST(LevelName, StopsAtTheEndOfTheImageAndAtTheLengthLimit) {
  EXPECT_EQ(decode({0x61, 0x62}, 2), "Ab");
  EXPECT_EQ(decode({}, 2), "");
  const ByteVector image = {0x61};
  EXPECT_EQ(decode_level_name(Bytes(image), 5, 1), "");
  EXPECT_EQ(decode_level_name(Bytes(image), 0xFFFFFFFFull, 1), "");

  ByteVector long_name(400, 0x62);
  EXPECT_EQ(decode(long_name, 2), "B" + std::string(254, 'b'));
  long_name[300] = 0xFF;
  EXPECT_EQ(decode(long_name, 2), "B" + std::string(254, 'b'));
  // A word that crosses the limit is cut there.
  ByteVector words(254, 0x62);
  words.push_back(0x7C);
  words.push_back(0xFF);
  EXPECT_EQ(decode(words, 1), "B" + std::string(253, 'b') + "t I");
  // A name of exactly the limit still gets its suffix.
  ByteVector exact(255, 0x62);
  exact.push_back(0xFF);
  EXPECT_EQ(decode(exact, 1), "B" + std::string(254, 'b') + " I");
}

}  // namespace
}  // namespace gorv
