// Writes the synthetic sample ROM image to the file named on the command line.
#include <cstdio>
#include <string>

#include "common/platform.h"
#include "sample_rom/sample_rom.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample_rom OUTPUT\n");
    return 2;
  }
  const auto image = gorv::sample::build_sample_rom();
  const std::string path = gorv::program_arguments(argc, argv)[1];
  std::FILE* file = gorv::open_file(path, "wb");
  if (file == nullptr || std::fwrite(image.data(), 1, image.size(), file) != image.size() ||
      std::fclose(file) != 0) {
    std::fprintf(stderr, "make_sample_rom: cannot write %s\n", path.c_str());
    return 1;
  }
  return 0;
}
