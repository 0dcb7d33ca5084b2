#include "rom/map_header.h"

#include <gtest/gtest.h>

namespace gorv {
namespace {

// An image with map `map`'s header at directory offset `header_offset`.
std::vector<std::uint8_t> image_with_header(std::uint8_t map, std::uint16_t header_offset,
                                            std::vector<std::uint8_t> header,
                                            std::size_t size = 0x50000) {
  std::vector<std::uint8_t> image(size, 0);
  image[kMapHeaderTable + 2 * map] = static_cast<std::uint8_t>(header_offset >> 8);
  image[kMapHeaderTable + 2 * map + 1] = static_cast<std::uint8_t>(header_offset);
  for (std::size_t i = 0; i < header.size(); ++i)
    image[kLevelDirectory + header_offset + i] = header[i];
  return image;
}

TEST(MapHeader, FieldsAreReadBigEndian) {
  const auto image =
      image_with_header(3, 0x0200, {3,    0x82, 0x85, 0x25, 0x01, 0x23, 0x04, 0x56, 0x07, 0x89,
                                    0x0A, 0xBC, 0x00, 0x05, 0x00, 0x00, 0x00, 0x06, 0x00, 0x10,
                                    0x00, 0x07, 0x12, 0x34, 0x00, 0x08, 0xAB, 0xCD});
  const MapHeader h = read_map_header(Bytes(image), 3);
  EXPECT_EQ(3, h.width);
  EXPECT_EQ(2u, map_extra_rows(h.size_byte));
  EXPECT_EQ(2u, map_height(h.size_byte));
  EXPECT_EQ(1680, h.grid_size);
  EXPECT_TRUE(map_chase(h));
  EXPECT_EQ(5, map_theme(h));
  EXPECT_EQ(2, map_effect(h));
  EXPECT_EQ(0x0123, h.start_x);
  EXPECT_EQ(0x0456, h.start_y);
  EXPECT_EQ(0x0789, h.end_x);
  EXPECT_EQ(0x0ABC, h.end_y);
  EXPECT_EQ(0x00050000u, h.tile_address);
  EXPECT_EQ(0x00060010u, h.block_address);
  EXPECT_EQ(0x00071234u, h.background_address);
  EXPECT_EQ(0x0008ABCDu, h.enemy_address);
}

TEST(MapHeader, GridSizeWrapsAt16Bits) {
  const auto image = image_with_header(0, 0x100, {0xFF, 0x3F});
  EXPECT_EQ(0xA318, read_map_header(Bytes(image), 0).grid_size);
}

TEST(MapHeader, OffsetZeroIsTheDirectoryStart) {
  auto image = image_with_header(1, 0, {});
  EXPECT_EQ(kLevelDirectory, map_header_offset(Bytes(image), 1));
}

TEST(MapExists, NibblesOfAttributeAndThemeMustAgree) {
  auto image = image_with_header(0, 0x300, {1, 1, 0x85, 0x25});
  auto more = image_with_header(1, 0x400, {1, 1, 0x03, 0x05});
  for (std::size_t i = 0; i < image.size(); ++i) image[i] |= more[i];
  const MapExistsTable table = build_map_exists_table(Bytes(image));
  EXPECT_TRUE(map_exists(table, 0));
  EXPECT_FALSE(map_exists(table, 1));
  EXPECT_FALSE(map_exists(table, 0x7E));
}

TEST(MapExists, HeaderCutByTheEndOfTheImageIsAbsent) {
  // Nibbles agree (both 0), but the header reaches past the end of the image.
  const auto image = image_with_header(0, 0x10, {1, 1, 0, 0}, kLevelDirectory + 0x10 + 27);
  EXPECT_FALSE(map_exists(build_map_exists_table(Bytes(image)), 0));
  const auto whole = image_with_header(0, 0x10, {1, 1, 0, 0}, kLevelDirectory + 0x10 + 28);
  EXPECT_TRUE(map_exists(build_map_exists_table(Bytes(whole)), 0));
  const std::vector<std::uint8_t> empty;
  EXPECT_FALSE(map_exists(build_map_exists_table(Bytes(empty)), 0));
}

// An image as an import leaves it: the seventeen base references point at
// the directory at 0x100000, which is just long enough.
std::vector<std::uint8_t> imported_image() {
  std::vector<std::uint8_t> image(kImportedLevelDirectory + kImportedFirstHeaderField, 0);
  for (const BaseReference& reference : kBaseReferences)
    set_be32(image, reference.offset, kImportedLevelDirectory + reference.field);
  return image;
}

TEST(ImportedDirectory, AllSeventeenReferencesAndTheFixedPartMakeAnImportedImage) {
  const auto imported = imported_image();
  EXPECT_TRUE(image_imported(Bytes(imported)));
  EXPECT_FALSE(image_imported(Bytes(imported).first(imported.size() - 1)));
  for (const BaseReference& reference : kBaseReferences) {
    auto off = imported;
    ++off[reference.offset + 3];
    EXPECT_FALSE(image_imported(Bytes(off))) << reference.offset;
  }
}

TEST(ImportedDirectory, AMapIsAbsentWhenItsEntryIsZeroOrItsHeaderPassesTheEnd) {
  auto image = imported_image();
  const auto last = static_cast<std::uint16_t>(kImportedFirstHeaderField - kMapHeaderSize);
  const struct {
    std::uint8_t map;
    std::uint16_t entry;  // header offset from the directory's start
    bool present;
  } cases[] = {{0, 0, false},
               {1, last, true},
               {2, static_cast<std::uint16_t>(last + 1), false},
               {0x7D, 8, true}};
  for (const auto& c : cases)
    set_be16(image, kImportedLevelDirectory + kMapHeaderTableField + 2 * c.map, c.entry);
  const MapExistsTable table = build_map_exists_table(Bytes(image), kImportedDirectory);
  for (const auto& c : cases) EXPECT_EQ(c.present, map_exists(table, c.map)) << int{c.map};
}

}  // namespace
}  // namespace gorv
