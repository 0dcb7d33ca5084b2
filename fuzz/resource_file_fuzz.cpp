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
  static gorv::fuzz::SparseImage image;
  const gorv::ExportResult result =
      gorv::write_resource_file(gorv::fuzz::sparse_image(image, data, size));
  std::FILE* file = std::fopen("gorvedit.dat", "rb");
  if ((file != nullptr) != result.written) __builtin_trap();
  if (file != nullptr) std::fclose(file);
  std::remove("gorvedit.dat");
  return 0;
}
