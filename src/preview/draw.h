// Pictures of a map file: the tile layer, the block layer on top, the
// screen borders, the extra rows, the start and end positions, and a strip
// below with the file's figures and a legend. Pure functions: no files.
#pragma once

#include <cstdint>
#include <string_view>

#include "format/map_file.h"
#include "picture/colours.h"
#include "picture/picture.h"
#include "preview/compare.h"

namespace gorv {

// Pixels per square: 8, or the largest from 7 down to 2 for which both
// sides of the map part (`columns` x `rows` squares) stay within
// kMaxPreviewSide; 2 when none does.
inline constexpr unsigned kMaxPreviewSide = 4096;
unsigned preview_scale(std::uint64_t columns, std::uint64_t rows);

// Where a map's parts lie in its picture, in pixels.
struct PreviewGeometry {
  unsigned columns = 0;     // grid squares across
  unsigned grid_rows = 0;   // grid squares down
  unsigned extra_rows = 0;  // squares down below the grid (two for each extra row)
  unsigned scale = 8;       // pixels per square side
  unsigned strip_top = 0;   // the first row of the strip below the map part
};
PreviewGeometry preview_geometry(const MapValues& values);

// The fixed colours, besides those of tiles and blocks (picture/colours.h).
inline constexpr Rgb kNoDataDark{36, 36, 40};
inline constexpr Rgb kNoDataLight{78, 78, 86};
inline constexpr Rgb kExtraRowBase{30, 34, 52};
inline constexpr Rgb kExtraRowStripe{64, 72, 108};
inline constexpr Rgb kScreenLine{255, 255, 255};
inline constexpr Rgb kStartMarker{40, 230, 60};
inline constexpr Rgb kEndMarker{255, 40, 40};
inline constexpr Rgb kChangeMark{255, 255, 255};
inline constexpr Rgb kText = kLightMark;  // the strip's text

// The square's pattern colour where the file holds no tile for it: a
// checkerboard of two-pixel squares.
inline constexpr Rgb no_data_colour(unsigned x, unsigned y) {
  return (((x >> 1) + (y >> 1)) & 1u) != 0 ? kNoDataLight : kNoDataDark;
}

Picture draw_preview(const MapFile& map, std::string_view file_name);

// The preview of `new_map` with the squares whose tile or block differs
// from the old map (`d`, from compare_maps) framed and the rest of the map
// dimmed; the strip counts the changed squares.
Picture draw_changes(const MapFile& new_map, const MapDifferences& d, std::string_view file_name);

// A dimmed colour as draw_changes shows unchanged squares.
inline constexpr Rgb dimmed(Rgb c) {
  return {static_cast<std::uint8_t>(c.r * 3 / 10), static_cast<std::uint8_t>(c.g * 3 / 10),
          static_cast<std::uint8_t>(c.b * 3 / 10)};
}

}  // namespace gorv
