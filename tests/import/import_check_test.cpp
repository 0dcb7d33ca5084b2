#include "import/import_check.h"

#include <gtest/gtest.h>

#include "codec/lz_encoder.h"
#include "common/byte_order.h"
#include "import/image_finish.h"
#include "import/level_directory.h"
#include "support/map_file_maker.h"

namespace gorv {
namespace {

// Two generated maps imported into a blank image; then one byte of one
// part of the second map's data is changed, and the check must name that
// map and part.
TEST(ImportCheck, AFaultInThePackedDataIsFound) {
  std::vector<MapRecord> records(2);
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto file =
        test::make_map_file(test::generated_map(2, 1, 7 + static_cast<std::uint32_t>(i)));
    ASSERT_FALSE(read_map_file(file, records[i]));
    records[i].map = static_cast<std::uint8_t>(i * 5);
    records[i].tile = lz_compress(records[i].tile_layout);
  }
  std::vector<std::uint8_t> image(0x100000, 0);
  Report report;
  write_level_directory(report, records, image);
  finish_image(report, image);
  ASSERT_FALSE(check_import(image, records));

  const std::uint64_t header = 0x100000 + kFirstMapHeaderField + kMapHeaderSize;
  const auto address = [&](std::size_t field) { return get_be32(image, header + field); };
  const struct {
    MapPart part;
    std::uint64_t at;
  } faults[] = {
      {MapPart::header, header + 2},
      {MapPart::tile, address(kTileAddressField) + records[1].tile.size() / 2},
      {MapPart::block, address(kBlockAddressField) + records[1].block.size() / 2},
      {MapPart::background, address(kBackgroundAddressField) + 1},
      {MapPart::enemy, address(kEnemyAddressField) + records[1].enemy.size() - 1},
  };
  for (const auto& fault : faults) {
    std::vector<std::uint8_t> damaged = image;
    damaged[fault.at] ^= 0x10;
    const std::optional<PackingFault> found = check_import(damaged, records);
    ASSERT_TRUE(found) << fault.at;
    EXPECT_EQ(found->part, fault.part) << fault.at;
    EXPECT_EQ(found->map, 5) << fault.at;
  }
  // A block where the map file has none: the record forgets one of its
  // blocks (the first, and a block further on), and the image holds it.
  for (const std::size_t which : {std::size_t{0}, records[1].blocks.size() / 2}) {
    std::vector<MapRecord> forgetful = records;
    auto& blocks = forgetful[1].blocks;
    blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(which));
    const std::optional<PackingFault> found = check_import(image, forgetful);
    ASSERT_TRUE(found) << which;
    EXPECT_EQ(found->part, MapPart::block) << which;
    EXPECT_EQ(found->map, 5) << which;
  }
}

}  // namespace
}  // namespace gorv
