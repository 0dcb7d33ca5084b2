#include "format/background_layout.h"

#include <gtest/gtest.h>

#include <random>

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;

void place(ByteVector& image, std::size_t at, const ByteVector& bytes) {
  if (image.size() < at + bytes.size()) image.resize(at + bytes.size(), 0);
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

// The map-file form the reader gives.
ByteVector read_section(const ByteVector& image, std::uint64_t address, std::uint8_t theme) {
  return read_background_layout(Bytes(image), address, theme);
}

ByteVector counting(std::size_t n, std::uint8_t first) {
  ByteVector bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
  return bytes;
}

TEST(BackgroundLayout, ThemeDecidesTheForm) {
  ByteVector image(0x400, 0);
  place(image, 0x100, {0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0xFF, 0xFF});
  place(image, 0x108, counting(240, 0x10));
  const ByteVector list = {0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0xFF, 0xFF};
  ByteVector fixed = {0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0xFF, 0xFF};
  const ByteVector tail = counting(224, 0x10);
  fixed.insert(fixed.end(), tail.begin(), tail.end());
  for (int theme = 0; theme < 16; ++theme) {
    SCOPED_TRACE(theme);
    const ByteVector got = read_section(image, 0x100, static_cast<std::uint8_t>(theme));
    switch (theme) {
      case 1:
      case 2:
      case 4:
      case 6:
      case 8:
      case 10:
        EXPECT_EQ(list, got);
        break;
      case 3:
      case 5:
      case 7:
      case 9:
        EXPECT_EQ(fixed, got);
        EXPECT_EQ(232u, got.size());
        break;
      default:
        EXPECT_TRUE(got.empty());
    }
  }
}

TEST(BackgroundLayout, DirectListIsCopiedUnchanged) {
  ByteVector image(0x200, 0xEE);
  place(image, 0x40, {0xFF, 0xFF, 0x12, 0x34});
  EXPECT_EQ((ByteVector{0xFF, 0xFF}), read_section(image, 0x40, 1));

  // A word A of 0x8000 after the first entry is an ordinary entry.
  place(image, 0x80,
        {0x12, 0x34, 0x00, 0x10, 0xFF, 0xF0, 0x80, 0x00, 0x01, 0x02, 0x03, 0x04, 0xFF, 0xFF, 0x55,
         0x55});
  EXPECT_EQ((ByteVector{0x12, 0x34, 0x00, 0x10, 0xFF, 0xF0, 0x80, 0x00, 0x01, 0x02, 0x03, 0x04,
                        0xFF, 0xFF}),
            read_section(image, 0x80, 10));
}

TEST(BackgroundLayout, IndirectHeaderSubtractsItsBases) {
  ByteVector image(0x300, 0);
  place(image, 0x10, {0x80, 0x00, 0x01, 0x00, 0x00, 0x40, 0x00, 0x00, 0x02, 0x00});
  place(image, 0x200, {0x00, 0x12, 0x01, 0x50, 0x00, 0x80, 0xFF, 0xFF});
  EXPECT_EQ((ByteVector{0x00, 0x12, 0x00, 0x50, 0x00, 0x40, 0xFF, 0xFF}),
            read_section(image, 0x10, 2));

  // Differences wrap in 16 bits; a first word of 0x8000 at the list address
  // is an ordinary word A.
  place(image, 0x20, {0x80, 0x00, 0x00, 0x20, 0xFF, 0xFF, 0x00, 0x00, 0x02, 0x80});
  place(image, 0x280,
        {0x80, 0x00, 0x00, 0x10, 0x00, 0x05, 0x00, 0x01, 0x00, 0x20, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ((ByteVector{0x80, 0x00, 0xFF, 0xF0, 0x00, 0x06, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
                        0xFF, 0xFF}),
            read_section(image, 0x20, 4));
}

TEST(BackgroundLayout, ListCutByTheEndOfTheImageEndsWithTheEndBytes) {
  // Two whole entries, then four bytes of a third.
  ByteVector image(0x10, 0);
  place(image, 0x10,
        {0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00, 0x05, 0x00, 0x06, 0x00, 0x07, 0x00,
         0x08});
  EXPECT_EQ((ByteVector{0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00, 0x05, 0x00, 0x06,
                        0xFF, 0xFF}),
            read_section(image, 0x10, 6));
  // A layout address past the end, and a list address past the end.
  EXPECT_EQ((ByteVector{0xFF, 0xFF}), read_section(image, 0x1000, 6));
  place(image, 0x20, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x7F, 0x00, 0x00, 0x00});
  EXPECT_EQ((ByteVector{0xFF, 0xFF}), read_section(image, 0x20, 8));
}

TEST(BackgroundLayout, FixedFormPastTheEndOfTheImageReadsFF) {
  ByteVector image = counting(0x100, 0);
  ByteVector expected = counting(0x20, 0xE0);
  expected.resize(232, 0xFF);
  EXPECT_EQ(expected, read_section(image, 0xE0, 5));
}

TEST(BackgroundLayout, GeneratedListsOfBothShapes) {
  std::mt19937 random(17);
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    const bool indirect = round % 2 == 1;
    const std::size_t entries = random() % 12;
    const std::uint16_t base_b = indirect ? static_cast<std::uint16_t>(random()) : 0;
    const std::uint16_t base_c = indirect ? static_cast<std::uint16_t>(random()) : 0;
    ByteVector list, expected;
    for (std::size_t k = 0; k < entries; ++k) {
      std::uint16_t words[3];
      for (auto& w : words) w = static_cast<std::uint16_t>(random());
      if (words[0] == 0xFFFF) words[0] = 0x8000;
      const std::uint16_t out[3] = {words[0], static_cast<std::uint16_t>(words[1] - base_b),
                                    static_cast<std::uint16_t>(words[2] - base_c)};
      for (int i = 0; i < 3; ++i) {
        list.push_back(static_cast<std::uint8_t>(words[i] >> 8));
        list.push_back(static_cast<std::uint8_t>(words[i]));
        expected.push_back(static_cast<std::uint8_t>(out[i] >> 8));
        expected.push_back(static_cast<std::uint8_t>(out[i]));
      }
    }
    // Every fourth list is cut by the end of the image somewhere inside.
    const bool cut = round % 4 >= 2 && entries > 0;
    std::size_t keep = list.size() + 2;
    if (cut) {
      keep = random() % (list.size() + 2);
      expected.resize(keep / 6 * 6);
    }
    list.push_back(0xFF);
    list.push_back(0xFF);
    list.resize(keep);
    expected.push_back(0xFF);
    expected.push_back(0xFF);

    ByteVector image(0x100, 0x5A);
    const std::size_t list_at = indirect ? 0x100 + random() % 64 : 0x10;
    if (indirect) {
      place(image, 0x10,
            {0x80, 0x00, static_cast<std::uint8_t>(base_b >> 8), static_cast<std::uint8_t>(base_b),
             static_cast<std::uint8_t>(base_c >> 8), static_cast<std::uint8_t>(base_c), 0, 0,
             static_cast<std::uint8_t>(list_at >> 8), static_cast<std::uint8_t>(list_at)});
    } else if (list.size() >= 2 && list[0] == 0x80 && list[1] == 0x00) {
      list[0] = 0x7F;  // a direct list cannot start with the marker
      expected[0] = 0x7F;
    }
    image.resize(list_at);
    place(image, list_at, list);
    EXPECT_EQ(expected, read_section(image, 0x10, indirect ? 4 : 8));
  }
}

}  // namespace
}  // namespace gorv
