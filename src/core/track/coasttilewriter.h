// Making coastline tiles: shoreline polylines in WGS 84 (minutes of arc) cut at the
// second-level squares and written in the tile layout the coastline reader takes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "track/coastline.h"

namespace brisko {

struct CoastPoint {
    double lat = 0, lon = 0;  // minutes of arc, north and east positive
};
using CoastPolyline = std::vector<CoastPoint>;

// Reads the text that "gmt coast -M -W" prints: segments opened by ">" lines, points as
// "longitude latitude" in degrees. Segments whose header names a GSHHG level outside
// `levels` are left out (1 = sea shore, 2 = lake); a header without a level keeps its segment.
// Lines that are not two numbers are counted in `badLines` (when given) and skipped.
std::vector<CoastPolyline> readGmtSegments(std::string_view text, const std::vector<int>& levels,
                                           int* badLines = nullptr);

// The text of one tile: the WGS 84 marker, then per second-level square of the first-level
// square (latBand, lonBand) that the polylines cross, south to north and west to east, its
// header and the pieces of polyline inside it ("L" line and point lines, CR LF ends). Empty
// when no polyline crosses the square.
std::string makeCoastTile(const std::vector<CoastPolyline>& polylines, int latBand, int lonBand);

}  // namespace brisko
