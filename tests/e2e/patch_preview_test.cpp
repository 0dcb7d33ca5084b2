// --patch, --apply, --preview and --compare through the real binary.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "picture/font.h"
#include "preview/draw.h"
#include "rom/game_facts.h"
#include "sample_rom/sample_rom.h"
#include "support/map_file_maker.h"
#include "support/png_pixels.h"
#include "support/run_tool.h"
#include "support/temp_dir.h"

namespace gorv::test {
namespace {

namespace fs = std::filesystem;

TEST(PatchOptions, APatchMadeAndAppliedGivesTheImageBack) {
  TempDir dir;
  auto clean = sample::build_sample_rom();
  write_file(dir.path / "clean.bin", clean);
  auto edited = clean;
  edited[0x1234] ^= 0x5A;
  edited.resize(edited.size() + 0x100000, 0xFF);
  write_file(dir.path / "hack.bin", edited);

  const ToolRun made = run_gorvtool({"hack.bin", "--patch", "clean.bin"}, dir.path);
  EXPECT_EQ(made.status, 0) << made.output;
  const auto patch = read_file(dir.path / "hack.bps");
  EXPECT_EQ(made.output,
            "\nWriting patch as \"hack.bps\"...\n\npatch: " + std::to_string(patch.size()) +
                " bytes (source 1048576 bytes, target " + "2097152 bytes)\n");
  EXPECT_LT(patch.size(), 200u);

  // Applied to the clean image it gives hack.bin, which already exists.
  const ToolRun refused = run_gorvtool({"clean.bin", "--apply", "hack.bps"}, dir.path);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.output, "ERROR: file \"hack.bin\" exists; nothing was written\n");
  fs::create_directory(dir.path / "out");
  fs::copy_file(dir.path / "clean.bin", dir.path / "out" / "clean.bin");
  fs::copy_file(dir.path / "hack.bps", dir.path / "out" / "hack.bps");
  const ToolRun applied = run_gorvtool({"clean.bin", "--apply=hack.bps"}, dir.path / "out");
  EXPECT_EQ(applied.status, 0) << applied.output;
  EXPECT_EQ(read_file(dir.path / "out" / "hack.bin"), edited);

  // The wrong image, and a damaged patch: nothing is written.
  fs::remove(dir.path / "out" / "hack.bin");
  clean[0x10] ^= 1;
  write_file(dir.path / "out" / "wrong.bin", clean);
  const ToolRun other = run_gorvtool({"wrong.bin", "--apply", "hack.bps"}, dir.path / "out");
  EXPECT_EQ(other.status, 1);
  EXPECT_EQ(
      other.output.rfind("ERROR: the patch \"hack.bps\" is for another image (source CRC32 ", 0),
      0u)
      << other.output;
  auto damaged = patch;
  damaged[damaged.size() / 2] ^= 1;
  write_file(dir.path / "out" / "hack.bps", damaged);
  const ToolRun broken = run_gorvtool({"clean.bin", "--apply", "hack.bps"}, dir.path / "out");
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.output.rfind("ERROR: the patch \"hack.bps\" is damaged\n  ", 0), 0u);
  EXPECT_FALSE(fs::exists(dir.path / "out" / "hack.bin"));

  // In the same run as an import, the patch is made from the image as it
  // was read (the import builds the new one in memory of its own then).
  fs::create_directory(dir.path / "imported");
  write_file(dir.path / "imported" / "hack.bin", edited);
  write_file(dir.path / "imported" / "clean.bin", read_file(dir.path / "clean.bin"));
  EXPECT_EQ(run_gorvtool({"hack.bin", "-map", "00"}, dir.path / "imported").status, 0);
  const ToolRun both =
      run_gorvtool({"hack.bin", "-import", "--patch", "clean.bin"}, dir.path / "imported");
  EXPECT_EQ(both.status, 0) << both.output;
  EXPECT_EQ(read_file(dir.path / "imported" / "hack.bps"), patch);

  const ToolRun no_value = run_gorvtool({"clean.bin", "--patch"}, dir.path);
  EXPECT_EQ(no_value.status, 2);
  EXPECT_EQ(no_value.output, "ERROR: option \"--patch\" needs a value; see gorvtool --help\n");
}

TEST(PreviewOptions, PicturesOfMapFilesAndOfTheirChanges) {
  TempDir dir;
  write_file(dir.path / "rom.bin", sample::build_sample_rom());
  ASSERT_EQ(run_gorvtool({"rom.bin", "-map", "4A"}, dir.path).status, 0);
  auto edited = read_file(dir.path / "map4a.gvm");
  edited[28 + 5] ^= 0x11;  // one tile
  write_file(dir.path / "edited.gvm", edited);
  write_file(dir.path / "broken.gvm", {'G', 'M', 'A', 'P', 0x80});

  const ToolRun previews =
      run_gorvtool({"--preview", "map4a.gvm", "broken.gvm", "edited.gvm"}, dir.path);
  EXPECT_EQ(previews.status, 1);
  EXPECT_EQ(previews.output,
            "\nWriting preview as \"map4a.png\"...\n"
            "ERROR: map file \"broken.gvm\" is damaged\n  the file ends inside its header\n"
            "\nWriting preview as \"edited.png\"...\n");
  EXPECT_TRUE(fs::exists(dir.path / "map4a.png"));
  EXPECT_FALSE(fs::exists(dir.path / "broken.png"));

  const ToolRun compared = run_gorvtool({"--compare", "map4a.gvm", "edited.gvm"}, dir.path);
  EXPECT_EQ(compared.status, 0);
  EXPECT_EQ(compared.output,
            "tiles: 1 square differs at (5, 0)\n\nWriting changes as \"edited-changes.png\"...\n");
  EXPECT_TRUE(fs::exists(dir.path / "edited-changes.png"));
}

// The row of the strip's text whose top is `top`, read back from the pixels
// in the text colour: each glyph of the font found whole, and a space for
// each glyph advance of blank columns between two glyphs.
std::string strip_text(const Picture& p, unsigned top) {
  auto lit = [&](unsigned x, unsigned y) {
    return x < p.width && top + y < p.height && pixel_at(p, x, top + y) == kText;
  };
  auto glyph_at = [&](unsigned x, char32_t c) {
    const auto rows = glyph_rows(c);
    for (unsigned y = 0; y < kGlyphHeight; ++y)
      for (unsigned col = 0; col <= kGlyphWidth + 1; ++col)  // and a blank column either side
        if (lit(x + col - 1, y) !=
            (col > 0 && col <= kGlyphWidth && ((rows[y] >> (kGlyphWidth - col)) & 1u) != 0))
          return false;
    return true;
  };
  std::string text;
  for (unsigned x = 1, next = 0; x + kGlyphWidth < p.width; ++x) {
    for (char32_t c = '!'; c <= '~'; ++c) {
      if (!glyph_at(x, c)) continue;
      if (!text.empty()) text.append((x - next) / kGlyphAdvance, ' ');
      text += static_cast<char>(c);
      next = x + kGlyphAdvance;
      x += kGlyphWidth;
      break;
    }
  }
  return text;
}

// The strip of a one-screen map (its map part 112 pixels high) in the
// file's own words: one glyph for each character of a UTF-8 name, '?' for
// one the font lacks; the theme and effect by name; j, p, q, y and g, and
// nothing else, reaching below the line, in the last row of a comparison's
// strip too.
TEST(PreviewOptions, TheStripReadsAsWrittenWithDescendersAndUtf8Names) {
  TempDir dir;
  MapFileParts parts;
  parts.theme_byte = 0x12;  // theme 2, effect 1
  parts.tile.assign(kSquaresPerScreen, 0);
  parts.block = empty_block_section(kSquaresPerScreen);
  parts.background = {0xFF, 0xFF};
  write_file(dir.path / "jpqy-карта.gvm", make_map_file(parts));
  parts.tile[0] = 1;
  write_file(dir.path / "edited.gvm", make_map_file(parts));

  const ToolRun run = run_gorvtool({"--preview", "jpqy-карта.gvm"}, dir.path);
  EXPECT_EQ(run.output, "\nWriting preview as \"jpqy-карта.png\"...\n");
  const Picture preview = read_png(read_file(dir.path / "jpqy-карта.png"));
  const unsigned top = 112 + 6;
  EXPECT_EQ("jpqy-?????.gvm   1 x 1 screens   theme ice (0x2)   effect lava",
            strip_text(preview, top));
  std::set<unsigned> below;  // the glyphs with pixels below the line
  for (unsigned y = top + kGlyphAscent; y < top + kGlyphHeight; ++y)
    for (unsigned x = 6; x < preview.width; ++x)
      if (pixel_at(preview, x, y) == kText) below.insert((x - 6) / kGlyphAdvance);
  EXPECT_EQ((std::set<unsigned>{0, 1, 2, 3, 11}), below);

  EXPECT_EQ(run_gorvtool({"--compare", "jpqy-карта.gvm", "edited.gvm"}, dir.path).status, 0);
  const Picture changes = read_png(read_file(dir.path / "edited-changes.png"));
  EXPECT_EQ("1 square changed", strip_text(changes, changes.height - 6 - kGlyphHeight));
}

// A wildcard: Windows has no shell to expand it, so the tool does; on other
// systems the shell does, and a name that reaches the tool is a file name.
TEST(PreviewOptions, WildcardsAreExpandedWhereNoShellDoes) {
  TempDir dir;
  write_file(dir.path / "rom.bin", sample::build_sample_rom());
  ASSERT_EQ(run_gorvtool({"rom.bin", "-map", "4A", "-map", "01"}, dir.path).status, 0);
  ASSERT_EQ(run_gorvtool({"rom.bin", "-map", "01"}, dir.path).status, 0);
  const ToolRun run = run_gorvtool({"--preview", "map?a.gvm", "map0*.gvm"}, dir.path);
  if (std::getenv("GORVTOOL_OUTPUT_CRLF") != nullptr) {  // the Windows build
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output,
              "\nWriting preview as \"map4a.png\"...\n\nWriting preview as \"map01.png\"...\n");
  } else {
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.output,
              "ERROR: cannot open file \"map?a.gvm\" (no such file)\n"
              "ERROR: cannot open file \"map0*.gvm\" (no such file)\n");
  }
}

// The map file reader's fuzz seeds, and copies of them cut short or with
// bytes flipped: every file gets a picture or the import's damage message,
// and the tool never dies on one.
TEST(PreviewOptions, DamagedAndHostileFilesGetAClearError) {
  TempDir dir;
  std::vector<std::string> names;
  std::size_t count = 0;
  for (const auto& seed :
       fs::directory_iterator(fs::path(GORV_SOURCE_DIR) / "fuzz/corpus/preview")) {
    const auto bytes = read_file(seed.path());
    for (std::size_t variant = 0; variant < 12; ++variant) {
      auto copy = bytes;
      if (variant < 6) copy.resize(copy.size() * variant / 6);
      if (variant >= 6) copy[(copy.size() * (variant - 5)) / 7 % copy.size()] ^= 0xA5;
      const std::string name = "f" + std::to_string(count++) + ".gvm";
      write_file(dir.path / name, copy);
      names.push_back(name);
    }
  }
  std::vector<std::string> args = {"--preview"};
  args.insert(args.end(), names.begin(), names.end());
  const ToolRun run = run_gorvtool(args, dir.path);
  EXPECT_TRUE(run.status == 0 || run.status == 1) << run.status;
  for (const std::string& name : names) {
    const std::string png = name.substr(0, name.size() - 4) + ".png";
    const bool pictured = run.output.find("\"" + png + "\"") != std::string::npos;
    const bool refused =
        run.output.find("ERROR: map file \"" + name + "\" is damaged\n  ") != std::string::npos;
    EXPECT_NE(pictured, refused) << name;
    EXPECT_EQ(pictured, fs::exists(dir.path / png)) << name;
  }
}

}  // namespace
}  // namespace gorv::test
