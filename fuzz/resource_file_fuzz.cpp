// The resource file on arbitrary ROM images (the whole input is a sparse
// image).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "export/resource_file.h"
#include "sparse_image.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gorv::fuzz::enter_scratch_directory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto image = gorv::fuzz::sparse_image(data, size);
  std::string output;
  gorv::Console console;
  console.capture = &output;
  gorv::OutputBuffer buffer;
  gorv::write_resource_file(console, gorv::Bytes(image), buffer);
  std::FILE* file = std::fopen("gorvedit.dat", "rb");
  if ((file != nullptr) == console.error_printed) __builtin_trap();
  if (file != nullptr) std::fclose(file);
  std::remove("gorvedit.dat");
  return 0;
}
