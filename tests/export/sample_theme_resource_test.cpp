// The theme and resource parts of the synthetic sample ROM image: they stay
// in their own places and dump cleanly.
#include <gtest/gtest.h>

#include "cli/messages.h"

#include <algorithm>
#include <utility>

#include "codec/lz_decoder.h"
#include "export/resource_file.h"
#include "export/theme_dump.h"
#include "sample_rom/sample_rom.h"
#include "support/current_dir.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;
using Range = std::pair<std::uint32_t, std::uint32_t>;  // [first, end)

// Places written by a piece: the piece ran on an image of zeros and on one
// of 0xFF bytes; wherever the two now agree, it wrote.
std::vector<Range> written_places(const ByteVector& on_zeros, const ByteVector& on_ones) {
  std::vector<Range> ranges;
  for (std::uint32_t i = 0; i < on_zeros.size(); ++i) {
    if (on_zeros[i] != on_ones[i]) continue;
    if (!ranges.empty() && ranges.back().second == i)
      ranges.back().second = i + 1;
    else
      ranges.push_back({i, i + 1});
  }
  return ranges;
}

bool inside_any(const Range& r, const std::vector<Range>& allowed) {
  return std::any_of(allowed.begin(), allowed.end(),
                     [&r](const Range& a) { return a.first <= r.first && r.second <= a.second; });
}

bool overlaps_any(const Range& r, const std::vector<Range>& places) {
  return std::any_of(places.begin(), places.end(),
                     [&r](const Range& p) { return r.first < p.second && p.first < r.second; });
}

// Fixed places of the image that belong to other parts of the tool.
const std::vector<Range> kOthersPlaces = {
    {0x690, 0x694},     {0x6B8, 0x6BC},     {0x236C, 0x2370},   {0xBCD2, 0xBCD6},
    {0x11A38, 0x11DE4}, {0x14C3C, 0x14C40}, {0x19AE0, 0x19AFC}, {0x3051A, 0x3051E},
    {0x3075C, 0x30760}, {0x307E4, 0x307E8}, {0xD8E8, 0xD99E},   {0x1A842, 0x1AB4E},
    {0x4033A, 0x50000},
};

// The length of the LZ stream at `offset`, packed from exactly `limit` bytes:
// the bytes its tokens took and the end token's two data bytes.
std::uint32_t packed_length(Bytes rom, std::uint32_t offset, std::uint16_t limit) {
  OutputBuffer buffer;
  reset(buffer, 0);
  return static_cast<std::uint32_t>(lz_decode(rom, offset, limit, buffer).compressed_size) + 2;
}

TEST(SampleThemes, StayInTheirPlaces) {
  ByteVector zeros(sample::kSampleRomSize, 0), ones(sample::kSampleRomSize, 0xFF);
  sample::add_themes(zeros);
  sample::add_themes(ones);
  const auto themes = written_places(zeros, ones);
  ASSERT_FALSE(themes.empty());
  for (const Range& r : themes) {
    EXPECT_TRUE(inside_any(r, {{0x7B018, 0x7B034}, {0x7B100, 0x7C000}, {0x80000, 0x99000}}))
        << std::hex << r.first << "-" << r.second;
    EXPECT_FALSE(overlaps_any(r, kOthersPlaces)) << std::hex << r.first;
  }

  // No two sections of any theme share a byte.
  const Bytes rom(ones);
  std::vector<Range> sections;
  for (std::uint8_t t = 1; t <= 0xA; ++t) {
    auto direct = [&](std::uint32_t slot) { return read_be32(rom, read_be32(rom, slot) + 4 * t); };
    auto through_area = [&](std::uint32_t slot) {
      return read_be32(rom, 0x7B018 + read_be16(rom, read_be32(rom, slot) + 2 * t));
    };
    const std::uint32_t c = direct(0x7B018), d = direct(0x7B01C);
    sections.push_back({through_area(0x7B028), through_area(0x7B028) + 30});
    sections.push_back({through_area(0x7B02C), through_area(0x7B02C) + 16});
    sections.push_back({c, c + packed_length(rom, c, 0x2C80)});
    sections.push_back({d, d + packed_length(rom, d, 0x1000)});
    sections.push_back({direct(0x7B020), direct(0x7B020) + 2048});
    sections.push_back({direct(0x7B030), direct(0x7B030) + 256});
  }
  std::sort(sections.begin(), sections.end());
  EXPECT_GE(sections.front().first, 0x80000u);
  EXPECT_LE(sections.back().second, 0x99000u);
  for (std::size_t i = 1; i < sections.size(); ++i)
    EXPECT_LE(sections[i - 1].second, sections[i].first) << std::hex << sections[i].first;
}

TEST(SampleResources, StayInTheirPlaces) {
  ByteVector zeros(sample::kSampleRomSize, 0), ones(sample::kSampleRomSize, 0xFF);
  sample::add_resources(zeros);
  sample::add_resources(ones);
  const Bytes rom(ones);
  const std::uint32_t after_5b92 = 0x5B92 + packed_length(rom, 0x5B92, 0x180);
  const std::uint32_t after_5c83 = 0x5C83 + packed_length(rom, 0x5C83, 0x180);
  const std::uint32_t after_cab2 = 0xCAB2 + packed_length(rom, 0xCAB2, 0x240);
  const std::uint32_t after_992e4 = 0x992E4 + packed_length(rom, 0x992E4, 0x1A80);
  const std::uint32_t after_1da86 = 0x1DA86 + packed_length(rom, 0x1DA86, 0x5A0);
  EXPECT_LE(after_5b92, 0x5C83u);
  EXPECT_LE(after_cab2, 0xD00Cu);
  EXPECT_LE(after_992e4, 0xA0000u);
  const std::vector<Range> allowed = {
      {0xD00C, 0xD00C + 30}, {0xA0A02, 0xA0A06},   {0xCAB2, after_cab2},   {0x992E4, after_992e4},
      {0x5B92, after_5b92},  {0x5C83, after_5c83}, {0x1DA86, after_1da86}, {0x12BA4, 0x12BA4 + 128},
      {0x4668, 0x466C},      {0xA0A4E, 0xA0A52},   {0xA1000, 0xA8000},
  };
  const auto resources = written_places(zeros, ones);
  ASSERT_FALSE(resources.empty());
  for (const Range& r : resources) {
    EXPECT_TRUE(inside_any(r, allowed)) << std::hex << r.first << "-" << r.second;
    EXPECT_FALSE(overlaps_any(r, kOthersPlaces)) << std::hex << r.first;
  }

  // Nothing of the themes lies under a resource block.
  ByteVector theme_zeros(sample::kSampleRomSize, 0), theme_ones(sample::kSampleRomSize, 0xFF);
  sample::add_themes(theme_zeros);
  sample::add_themes(theme_ones);
  for (const Range& r : written_places(theme_zeros, theme_ones))
    EXPECT_FALSE(overlaps_any(r, resources)) << std::hex << r.first;
}

TEST(SampleThemes, EveryThemeDumpsWithoutOverrun) {
  const ByteVector image = sample::build_sample_rom();
  test::TempDir dir;
  test::CurrentDirGuard in_dir(dir.path);
  for (std::uint8_t t = 1; t <= 0xA; ++t) {
    EXPECT_FALSE(report_has_error(dump_theme(Bytes(image), t).report));
    const char name[] = {'t', 'h', 'e', 'm', 'e', "0123456789a"[t], '.', 'g', 'v', 't', '\0'};
    const ByteVector file = test::read_file(dir.path / name);
    EXPECT_EQ(17842u, file.size()) << name;
    EXPECT_EQ((ByteVector{'G', 'T', 'H', 'M'}), ByteVector(file.begin(), file.begin() + 4));
  }
}

TEST(SampleResources, ResourceFileHasItsBlocks) {
  const ByteVector image = sample::build_sample_rom();
  test::TempDir dir;
  test::CurrentDirGuard in_dir(dir.path);
  EXPECT_FALSE(report_has_error(write_resource_file(Bytes(image)).report));
  const ByteVector file = test::read_file(dir.path / "gorvedit.dat");
  ASSERT_EQ(10774u, file.size());
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + 30, image.begin() + 0xD00C));
  EXPECT_TRUE(std::equal(file.begin() + 30, file.begin() + 54, image.begin() + 0xA1000));
  EXPECT_TRUE(std::equal(file.begin() + 9622, file.begin() + 9750, image.begin() + 0x12BA4));
  EXPECT_TRUE(std::equal(file.begin() + 9750, file.begin() + 10390, image.begin() + 0xA1100));
  EXPECT_TRUE(std::equal(file.begin() + 10390, file.end(), image.begin() + 0xA1406));
}

TEST(SampleThemesAndResources, OneRunWritesBothInOrder) {
  test::TempDir dir;
  test::write_file(dir.path / "sample.bin", sample::build_sample_rom());
  const auto run = test::run_gorvtool({"sample.bin", "-resource", "-theme", "2"}, dir.path);
  EXPECT_EQ(0, run.status) << run.output;
  const std::size_t theme_line = run.output.find("\nWriting theme as \"theme2.gvt\"...\n\n");
  const std::size_t resource_line =
      run.output.find("\nWriting GorvEdit data as \"gorvedit.dat\"...\n\n");
  ASSERT_EQ(0u, theme_line) << run.output;
  ASSERT_NE(std::string::npos, resource_line) << run.output;
  EXPECT_LT(theme_line, resource_line);
  std::size_t reports = 0;
  for (std::size_t at = run.output.find("COMPRESSED DATA SIZE:"); at != std::string::npos;
       at = run.output.find("COMPRESSED DATA SIZE:", at + 1))
    ++reports;
  EXPECT_EQ(14u, reports);  // each report has two such lines: 2 + 5 reports
  EXPECT_EQ(17842u, test::read_file(dir.path / "theme2.gvt").size());
  EXPECT_EQ(10774u, test::read_file(dir.path / "gorvedit.dat").size());
}

}  // namespace
}  // namespace gorv
