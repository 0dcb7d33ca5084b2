#include "import/image_finish.h"

#include <gtest/gtest.h>

#include "cli/messages.h"

#include <string>
#include <vector>

namespace gorv {
namespace {

std::vector<std::uint8_t> bytes_at(const std::vector<std::uint8_t>& image, std::size_t offset,
                                   std::size_t count) {
  return std::vector<std::uint8_t>(image.begin() + static_cast<std::ptrdiff_t>(offset),
                                   image.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

TEST(ImageFinish, PadsWithFFToTheNextMegabyteAndRecordsTheEnd) {
  // A 1 MiB image whose level data end at 0x123456.
  std::vector<std::uint8_t> image(0x123456, 0x00);
  std::string text;
  Report report;
  finish_image(report, image);
  text = report_text(report);
  ASSERT_EQ(0x200000u, image.size());
  for (std::size_t i = 0x123456; i < image.size(); ++i) ASSERT_EQ(0xFF, image[i]) << i;
  EXPECT_EQ(0x00, image[0x123455]);
  EXPECT_EQ((std::vector<std::uint8_t>{0x00, 0x1F, 0xFF, 0xFF}), bytes_at(image, 0x1A4, 4));
  EXPECT_EQ("\nadjusting file size...\nfixing checksum...", text);
}

TEST(ImageFinish, AWholeNumberOfMegabytesKeepsItsSize) {
  std::vector<std::uint8_t> image(0x200000, 0x00);
  std::string text;
  Report report;
  finish_image(report, image);
  text = report_text(report);
  EXPECT_EQ(0x200000u, image.size());
  EXPECT_EQ((std::vector<std::uint8_t>{0x00, 0x1F, 0xFF, 0xFF}), bytes_at(image, 0x1A4, 4));
  // Only the two header fields were written.
  for (std::size_t i = 0x200; i < image.size(); ++i) ASSERT_EQ(0x00, image[i]) << i;
}

TEST(ImageFinish, ChecksumOfAllFFIs0100AndIsStoredAt18E) {
  std::vector<std::uint8_t> image(0x200000, 0xFF);
  EXPECT_EQ(0x0100, image_checksum(image));
  std::string text;
  Report report;
  finish_image(report, image);
  text = report_text(report);
  EXPECT_EQ((std::vector<std::uint8_t>{0x01, 0x00}), bytes_at(image, 0x18E, 2));
}

TEST(ImageFinish, ChecksumIsTheSumOfBigEndianWordsFrom200) {
  std::vector<std::uint8_t> image(0x1000, 0x00);
  image[0x200] = 0x12;
  image[0x201] = 0x34;
  image[0xFFE] = 0xF0;
  image[0xFFF] = 0x01;
  EXPECT_EQ(0x0235, image_checksum(image));  // 0x1234 + 0xF001, carry dropped
  // Bytes below 0x200, the header fields among them, do not count.
  for (std::size_t i = 0; i < 0x200; ++i) image[i] = static_cast<std::uint8_t>(i * 7 + 3);
  EXPECT_EQ(0x0235, image_checksum(image));
  image[0x1FF] = 0x55;
  EXPECT_EQ(0x0235, image_checksum(image));
  image[0x203] = 0x01;
  EXPECT_EQ(0x0236, image_checksum(image));
  image.push_back(0x02);  // a last odd byte is the high byte of a word
  EXPECT_EQ(0x0436, image_checksum(image));
}

TEST(ImageFinish, ALargerImageKeepsItsDataAndCountsIt) {
  std::vector<std::uint8_t> image(0x300000, 0x00);
  image[0x2FFFFE] = 0x00;
  image[0x2FFFFF] = 0x07;
  std::string text;
  Report report;
  finish_image(report, image);
  text = report_text(report);
  EXPECT_EQ(0x300000u, image.size());
  EXPECT_EQ(0x07, image[0x2FFFFF]);
  EXPECT_EQ((std::vector<std::uint8_t>{0x00, 0x2F, 0xFF, 0xFF}), bytes_at(image, 0x1A4, 4));
  // The end address field lies below 0x200, so the sum is that of the data.
  EXPECT_EQ((std::vector<std::uint8_t>{0x00, 0x07}), bytes_at(image, 0x18E, 2));
}

}  // namespace
}  // namespace gorv
