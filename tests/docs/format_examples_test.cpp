// The worked examples of docs/formats/*.md, run through the tool's own
// decoders and parsers. Each example is a ```hex example=NAME block and an
// ```expect example=NAME block of `key: value` lines (docs/formats/README.md).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "codec/block_decoder.h"
#include "codec/block_encoder.h"
#include "codec/lz_decoder.h"
#include "codec/lz_encoder.h"
#include "common/text.h"
#include "format/map_file.h"
#include "import/image_finish.h"

namespace gorv {
namespace {

using ByteVector = std::vector<std::uint8_t>;
using Facts = std::map<std::string, std::string>;

struct Example {
  std::string hex;
  Facts expect;
};

// "XX" and "XX*N" tokens; '#' starts a comment.
ByteVector parse_hex(const std::string& text) {
  ByteVector bytes;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream tokens(line.substr(0, line.find('#')));
    for (std::string token; tokens >> token;) {
      const auto star = token.find('*');
      const std::size_t count = star == std::string::npos ? 1 : std::stoul(token.substr(star + 1));
      if (token.substr(0, star).size() != 2) throw std::invalid_argument("bad hex token " + token);
      bytes.insert(bytes.end(), count,
                   static_cast<std::uint8_t>(std::stoul(token.substr(0, star), nullptr, 16)));
    }
  }
  return bytes;
}

std::map<std::string, Example> read_examples(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::map<std::string, Example> examples;
  std::string line, name, kind, body;
  while (std::getline(in, line)) {
    if (name.empty()) {
      std::istringstream fence(line);
      std::string tag, attribute;
      if (fence >> tag >> attribute && (tag == "```hex" || tag == "```expect") &&
          attribute.rfind("example=", 0) == 0) {
        kind = tag.substr(3);
        name = attribute.substr(8);
        body.clear();
      }
    } else if (line.rfind("```", 0) == 0) {
      if (kind == "hex") {
        examples[name].hex = body;
      } else {
        std::istringstream facts(body);
        for (std::string fact; std::getline(facts, fact);) {
          const auto colon = fact.find(':');
          if (colon != std::string::npos)
            examples[name].expect[fact.substr(0, colon)] = fact.substr(colon + 2);
        }
      }
      name.clear();
    } else {
      body += line + "\n";
    }
  }
  return examples;
}

std::string hex_of(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (std::uint8_t b : bytes) text += format(" %02X", unsigned{b});
  return text;
}

std::string hex_of(const BlockCell& c) {
  return hex_of(ByteVector{c.type, c.d1, c.d2, c.d3, c.d4});
}

// A value as bytes when it is written as bytes, else as it stands.
std::string normal(const std::string& value) {
  try {
    return hex_of(parse_hex(value));
  } catch (const std::exception&) {
    return value;
  }
}

void add_cells(std::span<const BlockCell> cells, Facts& found) {
  std::size_t squares = 0;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (cells[i].type == 0) continue;
    ++squares;
    found[format("square %zu", i)] = hex_of(cells[i]);
  }
  found["blocks"] = std::to_string(squares);
}

// What the tool makes of `bytes`, for the example's kind; the input keys
// (limit, width, height) are given back as they stand.
Facts facts_of(const ByteVector& bytes, const Facts& expect) {
  Facts found;
  for (const char* input : {"kind", "limit", "width", "height"})
    if (expect.contains(input)) found[input] = expect.at(input);
  const std::string kind = expect.at("kind");
  if (kind == "lz") {
    OutputBuffer out;
    reset(out, 0);
    const auto limit = static_cast<std::uint16_t>(std::stoul(expect.at("limit")));
    const LzDecodeResult result = lz_decode(bytes, 0, limit, out);
    const auto product = contents(out);
    found["product"] = hex_of(product);
    found["compressed size"] = std::to_string(result.compressed_size);
    const ByteVector packed = lz_compress(product);
    found["encodes back"] = packed == bytes ? "yes" : "no";
  } else if (kind == "block-stream") {
    const auto width = static_cast<std::uint8_t>(std::stoul(expect.at("width")));
    const auto height = static_cast<std::uint8_t>(std::stoul(expect.at("height")));
    BlockDecoding decoded =
        decode_block_cells(bytes, 0, width, width * height * 280u, kAllBlockTypes);
    add_cells(decoded.cells, found);
    std::string unknown;
    for (const auto& entry : decoded.unhandled)
      unknown += format(" %02X", unsigned{entry.type_code});
    found["unknown"] = unknown;
    ByteVector section;
    append_block_section(decoded.cells, section);
    found["section"] = hex_of(section);
    // Back to working types (type code + 1), with the empty sentinel row.
    for (BlockCell& cell : decoded.cells)
      if (cell.type != 0) cell.type = static_cast<std::uint8_t>((cell.type & 0x3F) + 1);
    decoded.cells.resize(decoded.cells.size() + width * 20u);
    const BlockEncoding encoded = encode_block_layout(decoded.cells, width, height);
    found["encodes back"] =
        encoded.error == BlockEncodeError::none && encoded.stream == bytes ? "yes" : "no";
  } else if (kind == "map-file") {
    const ParsedMapFile parsed = parse_map_file(bytes);
    const MapFile& map = parsed.file;
    const MapValues& v = map.values;
    static const char* const kProblems[] = {"none",
                                            "header_cut",
                                            "tile_inside_header",
                                            "offsets_out_of_order",
                                            "sections_past_end",
                                            "no_screens",
                                            "too_many_screens",
                                            "tile_section_short",
                                            "block_section_short",
                                            "block_cell_cut",
                                            "background_no_end_word",
                                            "background_entry_cut",
                                            "background_block_short",
                                            "enemy_count_missing",
                                            "enemy_entries_cut"};
    found["problem"] = kProblems[static_cast<int>(parsed.damage.problem)];
    found["layout"] = map.current_layout ? "current" : "earlier";
    found["width"] = std::to_string(v.width);
    found["size byte"] = format("%02X", unsigned{v.size_byte});
    found["attribute"] = format("%02X", unsigned{v.attribute});
    found["theme byte"] = format("%02X", unsigned{v.theme_byte});
    found["start x"] = format("%04X", unsigned{v.start_x});
    found["start y"] = format("%04X", unsigned{v.start_y});
    found["end x"] = format("%04X", unsigned{v.end_x});
    found["end y"] = format("%04X", unsigned{v.end_y});
    found["tiles"] = hex_of(map.tiles);
    add_cells(map.blocks, found);
    found["background"] = hex_of(map.background);
    found["art_load"] = hex_of(map.enemy.art_load);
    ByteVector entries;
    for (const auto& entry : map.enemy.entries)
      entries.insert(entries.end(), entry.begin(), entry.end());
    found["entries"] = hex_of(entries);
    found["writes back"] = serialize_map_file(map) == bytes ? "yes" : "no";
  } else if (kind == "checksum") {
    found["checksum"] = format("%04X", unsigned{image_checksum(bytes)});
  } else if (kind == "image-finish") {
    ByteVector image = bytes;
    Report said;
    finish_image(said, image);
    found["size"] = format("%zX", image.size());
    found["end address"] = hex_of(std::span(image).subspan(kEndAddressOffset, 4));
    found["checksum"] = hex_of(std::span(image).subspan(kChecksumOffset, 2));
  } else {
    ADD_FAILURE() << "unknown kind \"" << kind << "\"";
  }
  return found;
}

// Compares what the tool makes of each document's examples with what the
// document says; byte values are compared as byte sequences.
void check_document(const std::string& name) {
  const auto examples =
      read_examples(std::filesystem::path(GORV_SOURCE_DIR) / "docs/formats" / name);
  ASSERT_FALSE(examples.empty()) << name << " has no worked example";
  for (const auto& [example, parts] : examples) {
    SCOPED_TRACE(name + ", example " + example);
    ASSERT_FALSE(parts.hex.empty()) << "no hex block";
    ASSERT_FALSE(parts.expect.empty()) << "no expect block";
    const Facts found = facts_of(parse_hex(parts.hex), parts.expect);
    for (const auto& [key, value] : parts.expect) {
      ASSERT_TRUE(found.contains(key)) << "unknown key \"" << key << "\"";
      EXPECT_EQ(normal(value), normal(found.at(key))) << key;
    }
  }
}

TEST(FormatDocuments, WorkedExamplesGiveWhatTheySay) {
  for (const char* name :
       {"lz-stream.md", "block-layout-stream.md", "map-file.md", "rom-import.md"})
    check_document(name);
}

}  // namespace
}  // namespace gorv
