// Test-only front end of the BPS codec, for the interoperability test and
// for measuring patches by hand:
//   bps_file create SOURCE TARGET PATCH
//   bps_file apply PATCH SOURCE TARGET
// Exit status 0 on success, 1 with a message on standard error otherwise.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/messages.h"
#include "codec/bps.h"
#include "common/file_io.h"

namespace {

bool read(const char* path, std::vector<std::uint8_t>& bytes) {
  if (gorv::read_whole_file(path, bytes, gorv::kBpsMaxImageSize)) return true;
  std::fprintf(stderr, "bps_file: cannot read %s\n", path);
  return false;
}

bool write(const char* path, const std::vector<std::uint8_t>& bytes) {
  gorv::OutputFile out;
  if (gorv::open_output_file(out, path) && gorv::commit_output_file(out, bytes)) return true;
  std::fprintf(stderr, "bps_file: cannot write %s\n", path);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 5 ? argv[1] : "";
  std::vector<std::uint8_t> first, second;
  if (mode == "create") {
    if (!read(argv[2], first) || !read(argv[3], second)) return 1;
    const gorv::BpsCreateResult result = gorv::bps_create(first, second);
    if (result.error != gorv::BpsCreateError::none) {
      std::fprintf(stderr, "bps_file: no patch (error %d, check %d)\n",
                   static_cast<int>(result.error), static_cast<int>(result.check));
      return 1;
    }
    return write(argv[4], result.patch) ? 0 : 1;
  }
  if (mode == "apply") {
    if (!read(argv[2], first) || !read(argv[3], second)) return 1;
    const gorv::BpsApplyResult result = gorv::bps_apply(first, second);
    if (result.error != gorv::BpsError::none) {
      std::fprintf(stderr, "bps_file: %s\n", gorv::bps_error_text(result).c_str());
      return 1;
    }
    return write(argv[4], result.target) ? 0 : 1;
  }
  std::fprintf(stderr, "usage: bps_file create SOURCE TARGET PATCH | apply PATCH SOURCE TARGET\n");
  return 2;
}
