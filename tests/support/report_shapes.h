// The shapes many suites were written against: a decoded block layout
// appended to an output buffer, and the texts of single messages. They are
// built here from the layered interfaces (decoder, map file section,
// message table), so the suites keep their expected bytes and texts.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "cli/messages.h"
#include "codec/block_decoder.h"
#include "codec/lz_decoder.h"
#include "format/map_file.h"
#include "rom/output_buffer.h"

namespace gorv::test {

// Appends the map file's block section for `cells` to `out`.
inline void write_block_section(std::span<const BlockCell> cells, OutputBuffer& out) {
  std::vector<std::uint8_t> section;
  append_block_section(cells, section);
  for (const std::uint8_t b : section) put_byte(out, b);
}

// Decodes the stream and appends its block section; returns the unhandled
// block types met.
inline std::vector<UnhandledBlockType> decode_block_layout(Bytes rom, std::uint64_t address,
                                                           std::uint8_t width,
                                                           std::uint16_t grid_size,
                                                           std::uint8_t filter, OutputBuffer& out) {
  BlockDecoding decoded = decode_block_cells(rom, address, width, grid_size, filter);
  write_block_section(decoded.cells, out);
  return std::move(decoded.unhandled);
}

inline std::string unhandled_block_type_message(const UnhandledBlockType& event) {
  return message_text(msg::UnhandledBlock{event.type_code, event.position});
}

inline std::string unhandled_block_types_omitted_message() {
  return message_text(msg::UnhandledOmitted{});
}

inline std::string lz_size_report(const LzDecodeResult& result) {
  return message_text(msg::LzSizes{result.compressed_size, result.size});
}

}  // namespace gorv::test
