// The preview on arbitrary bytes: whatever map file parses is drawn without
// reading or writing outside its arrays, into a picture of the size its
// geometry gives; it shows no differences from itself, and its picture
// encodes as a PNG file. Encoding costs several times the drawing and
// depends on the picture's content only through the deflate's matches, so
// it is done for one input in 32 (and for small pictures only).
#include <cstddef>
#include <cstdint>

#include "cli/compare_text.h"
#include "format/map_file.h"
#include "one_in.h"
#include "picture/png.h"
#include "preview/compare.h"
#include "preview/draw.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const gorv::ParsedMapFile parsed = gorv::parse_map_file({data, size});
  if (parsed.damage.problem != gorv::MapFileDamage::Problem::none) return 0;
  const gorv::MapFile& map = parsed.file;
  const gorv::Picture picture = gorv::draw_preview(map, "map00.gvm");
  const gorv::PreviewGeometry g = gorv::preview_geometry(map.values);
  if (picture.width < g.columns * g.scale || picture.height <= g.strip_top ||
      picture.rgb.size() != std::size_t{picture.width} * picture.height * 3)
    __builtin_trap();
  const auto lines = gorv::describe_differences(gorv::compare_maps(map, map));
  if (lines.size() != 1 || lines[0] != "no differences") __builtin_trap();
  if (gorv::fuzz::one_in(data, size, 32) &&
      std::size_t{picture.width} * picture.height <= (std::size_t{1} << 20) &&
      gorv::encode_png(picture).size() < 8)
    __builtin_trap();
  return 0;
}
