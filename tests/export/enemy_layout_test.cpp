#include "export/enemy_layout.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;

void place(ByteVector& image, std::size_t at, const ByteVector& bytes) {
  if (image.size() < at + bytes.size()) image.resize(at + bytes.size(), 0);
  std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

// An enemy header at 0x100 pointing at a list at 0x300, ending in `end`.
ByteVector image_with(std::uint8_t end_high, std::uint8_t end_low, const ByteVector& list) {
  ByteVector image(0x300, 0xEE);
  place(image, 0x100,
        {0x00, 0x00, 0x03, 0x00, 0x99, 0x99, 0x99, 0x99, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66,
         end_high, end_low});
  place(image, 0x300, list);
  return image;
}

struct Read {
  ByteVector section;  // what was appended behind the two bytes already there
  std::string output;
  bool error = false;
};

Read read(const ByteVector& image, std::uint64_t address = 0x100) {
  Read r;
  Report report;
  const EnemySection section = read_enemy_layout(report, Bytes(image), address);
  // The section as the map file holds it.
  MapFile file;
  file.values.width = 1;
  file.enemy = section;
  const ByteVector bytes = serialize_map_file(file);
  r.section.assign(bytes.begin() + kMapFileHeaderSize, bytes.end());
  r.output = report_text(report);
  r.error = report_has_error(report);
  return r;
}

TEST(EnemyLayout, EntriesAreCopiedWithTheirKindWordRewritten) {
  const ByteVector list = {0x80, 0x04,                                      //
                           0x01, 0x02, 0x00, 0x14, 0x01, 0x00, 0x02, 0x00,  //
                           0x03, 0x04, 0x00, 0x15, 0xAB, 0xCD, 0xEF, 0x01,  //
                           0x05, 0x06, 0x14, 0x00, 0x00, 0x14, 0x00, 0x15,  //
                           0x07, 0x08, 0x00, 0x16, 0x00, 0x00, 0xFF, 0xFF, 0x77};
  const Read r = read(image_with(0x7D, 0x00, list));
  const ByteVector expected = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x04,        //
                               0x01, 0x02, 0x00, 0x02, 0x01, 0x00, 0x02, 0x00,  //
                               0x03, 0x04, 0x00, 0x01, 0xAB, 0xCD, 0xEF, 0x01,  //
                               0x05, 0x06, 0x14, 0x00, 0x00, 0x14, 0x00, 0x15,  //
                               0x07, 0x08, 0x00, 0x16, 0x00, 0x00, 0xFF, 0xFF};
  EXPECT_EQ(expected, r.section);
  EXPECT_EQ("", r.output);
  EXPECT_FALSE(r.error);
}

TEST(EnemyLayout, MarkerZeroIsAcceptedLikeEightyAndZeroEntriesGiveSevenBytes) {
  const ByteVector expected = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x00};
  EXPECT_EQ(expected, read(image_with(0x7D, 0x00, {0x80, 0x00})).section);
  EXPECT_EQ(expected, read(image_with(0x7D, 0x00, {0x00, 0x00})).section);
  ByteVector one = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x01, 1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(one, read(image_with(0x7D, 0x00, {0x00, 0x01, 1, 2, 3, 4, 5, 6, 7, 8})).section);
  EXPECT_EQ(one, read(image_with(0x7D, 0x00, {0x80, 0x01, 1, 2, 3, 4, 5, 6, 7, 8})).section);
}

TEST(EnemyLayout, HeaderWithoutItsEndWordIsRefused) {
  const Read r = read(image_with(0x7D, 0x01, {0x80, 0x00}));
  EXPECT_TRUE(r.section.empty());
  EXPECT_EQ("ERROR: End of enemy header not found. (art_load[3] = 0x7D01)\n", r.output);
  EXPECT_TRUE(r.error);
  // Checked before the list marker, which is bad as well here.
  EXPECT_EQ("ERROR: End of enemy header not found. (art_load[3] = 0x007D)\n",
            read(image_with(0x00, 0x7D, {0x81, 0x00})).output);
}

TEST(EnemyLayout, BadListMarkerIsRefusedShowingOnlyItsTopBit) {
  const Read high = read(image_with(0x7D, 0x00, {0x81, 0x01, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_TRUE(high.section.empty());
  EXPECT_EQ("ERROR: Expected 0x80 or 0x00 to start enemy layout data. (i = 0x80)\n", high.output);
  EXPECT_TRUE(high.error);
  const Read low = read(image_with(0x7D, 0x00, {0x01, 0x00}));
  EXPECT_TRUE(low.section.empty());
  EXPECT_EQ("ERROR: Expected 0x80 or 0x00 to start enemy layout data. (i = 0x00)\n", low.output);
}

TEST(EnemyLayout, ListCutByTheEndOfTheImageKeepsItsWholeEntries) {
  // Five entries announced, two whole ones and seven bytes of a third there.
  ByteVector list = {0x80, 0x05};
  for (int i = 0; i < 23; ++i) list.push_back(static_cast<std::uint8_t>(0x30 + i));
  const Read r = read(image_with(0x7D, 0x00, list));
  ByteVector expected = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x02};
  for (int i = 0; i < 16; ++i) expected.push_back(static_cast<std::uint8_t>(0x30 + i));
  EXPECT_EQ(expected, r.section);
  EXPECT_FALSE(r.error);

  // A list address past the end of the image holds no entries.
  ByteVector image = image_with(0x7D, 0x00, {0x80, 0x03});
  place(image, 0x100, {0x7F, 0x00, 0x00, 0x00});
  EXPECT_EQ((ByteVector{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x00}), read(image).section);
}

}  // namespace
}  // namespace gorv
