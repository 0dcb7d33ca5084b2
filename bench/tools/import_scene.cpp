// The import timing's scene and its I/O baseline, as whole processes:
//   import_scene make DIR   writes DIR/rom.bin (2 MiB) and map files for all
//                           126 maps of 4 x 3 screens with tile-like data;
//   import_scene io DIR     does only the I/O an import cannot avoid: reads
//                           the 126 map files and the image, then writes and
//                           flushes two copies of a 2 MiB image beside it.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "format/map_file.h"
#include "rom/map_header.h"
#include "support/map_file_maker.h"
#include "support/temp_dir.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: import_scene make|io DIR\n");
    return 2;
  }
  const std::string dir = argv[2];
  const std::string rom_path = dir + "/rom.bin";
  if (std::strcmp(argv[1], "make") == 0) {
    std::vector<std::uint8_t> image(0x200000, 0xFF);
    for (std::size_t i = 0; i < 0x100000; ++i) image[i] = static_cast<std::uint8_t>(i * 13 + 1);
    gorv::test::write_file(rom_path, image);
    for (int map = 0; map < gorv::kMapCount; ++map) {
      const auto parts = gorv::test::generated_map(4, 3, static_cast<std::uint32_t>(1000 + map));
      gorv::test::write_file(dir + "/" + gorv::map_file_name(static_cast<std::uint8_t>(map)),
                             gorv::test::make_map_file(parts));
    }
    return 0;
  }
  std::vector<std::uint8_t> bytes;
  std::size_t total = 0;
  for (int map = 0; map < gorv::kMapCount; ++map) {
    if (!gorv::read_whole_file(dir + "/" + gorv::map_file_name(static_cast<std::uint8_t>(map)),
                               bytes))
      return 1;
    total += bytes.size();
  }
  std::vector<std::uint8_t> image;
  if (!gorv::read_whole_file(rom_path, image)) return 1;
  image.resize(0x200000, 0xFF);
  for (const char* copy : {"/io-copy-1.bin", "/io-copy-2.bin"}) {
    gorv::OutputFile out;
    if (!gorv::open_output_file(out, dir + copy) || !gorv::commit_output_file(out, image)) return 1;
  }
  return total == 0 ? 1 : 0;
}
