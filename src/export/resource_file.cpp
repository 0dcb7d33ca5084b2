#include "export/resource_file.h"

#include "codec/lz_decoder.h"
#include "common/file_io.h"
#include "common/text.h"
#include "export/export_file.h"

namespace gorv {

namespace {

// Where a block of the resource file comes from.
enum class BlockSource {
  raw,       // `size` bytes at `offset`
  indirect,  // `size` bytes at the BE32 read at `offset`, plus `skip`
  packed,    // the LZ stream at `offset`, expanded with `size` as the limit
};

struct ResourceBlock {
  BlockSource source;
  std::uint32_t offset;
  std::uint16_t size;
  std::uint32_t skip;
};

// The blocks in file order.
constexpr ResourceBlock kResourceBlocks[] = {
    {BlockSource::raw, 0xD00C, 30, 0},         {BlockSource::indirect, 0xA0A02, 24, 0},
    {BlockSource::packed, 0xCAB2, 0x240, 0},   {BlockSource::packed, 0x992E4, 0x1A80, 0},
    {BlockSource::packed, 0x5B92, 0x180, 0},   {BlockSource::packed, 0x5C83, 0x180, 0},
    {BlockSource::packed, 0x1DA86, 0x5A0, 0},  {BlockSource::raw, 0x12BA4, 0x80, 0},
    {BlockSource::indirect, 0x4668, 0x280, 0}, {BlockSource::indirect, 0xA0A4E, 0x180, 6},
};

void put_rom_bytes(OutputBuffer& buffer, Bytes rom, std::uint64_t from, std::uint32_t count) {
  for (std::uint32_t i = 0; i < count; ++i) put_byte(buffer, read_u8(rom, from + i));
}

}  // namespace

void write_resource_file(Console& console, Bytes rom, OutputBuffer& buffer) {
  OutputFile file;
  if (!start_export_file(console, file, kResourceFileName)) return;
  say(console, format("\nWriting GorvEdit data as \"%s\"...\n\n", kResourceFileName));

  reset(buffer, 0);
  for (const ResourceBlock& block : kResourceBlocks) {
    switch (block.source) {
      case BlockSource::raw:
        put_rom_bytes(buffer, rom, block.offset, block.size);
        break;
      case BlockSource::indirect:
        put_rom_bytes(buffer, rom, std::uint64_t{read_be32(rom, block.offset)} + block.skip,
                      block.size);
        break;
      case BlockSource::packed:
        say(console, lz_size_report(lz_decode(rom, block.offset, block.size, buffer)));
        break;
    }
  }

  finish_export_file(console, file, buffer);
}

}  // namespace gorv
