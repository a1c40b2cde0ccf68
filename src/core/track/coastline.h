// Coastline files ("\coastline\*.cst", one per first-level grid square): which files cover the
// race area, and the reader that turns them into one list of WGS points for the chart.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/appsettings.h"
#include "race/racedefinition.h"
#include "track/trackstore.h"
#include "util/fileutil.h"

namespace brisko {

// Grid squares, in minutes of arc. A first-level square is 40' of latitude by 1 degree of
// longitude; its 8 x 8 second-level squares are 5' by 7.5'.
constexpr double kBandLatMinutes = 40.0;
constexpr double kBandLonMinutes = 60.0;
constexpr double kSquareLatMinutes = 5.0;
constexpr double kSquareLonMinutes = 7.5;
constexpr double kBandLonOriginMinutes = 6000.0;  // longitude band 0 starts at 100 degrees east
constexpr int kBandLonOriginDegrees = 100;
constexpr double kSquareUnits = 10000.0;  // point offsets are in 1/10000 of the square
constexpr int kCoastSlotsPerLine = 7;
constexpr int kCoastSlotWidth = 10;

struct CoastLine {
    // 1-based, element 0 unused; the first point of every polyline has its latitude negated.
    std::vector<double> CoastLat, CoastLon;
    // 1-based like the points: 1 where a polyline starts. South of the equator every latitude
    // is negative, so there the sign alone cannot mark the starts; a start's stored latitude is
    // its true latitude negated in either hemisphere.
    std::vector<char> CoastStart;
    int CoastCount = 0;
    // The room the list reports: 100 at the start, n + 20 whenever n passes capacity - 10.
    int capacity = 100;

    void clear();
    // `lat` is the stored latitude (negated for a polyline's first point).
    void append(double lat, double lon, bool start);
    void append(double lat, double lon) { append(lat, lon, !(lat > 0)); }
};

// The area whose second-level squares are read (minutes of arc, WGS).
struct CoastWindow {
    double south = 0, north = 0, west = 0, east = 0;
};

// A tile's first line when its points are in WGS 84 (no datum shift is applied to them);
// tiles without it are in the Tokyo datum.
constexpr std::string_view kCoastWgsMarker = "W WGS84";

// Whether a first-level square fits the six-digit square code of an "M" line (both bands 0..99:
// 0 to 66 degrees north, 100 degrees east to 180). Other squares are headed by an "N" line,
// "N <latBand> <lonBand> <q> <v>" with signed whole numbers.
bool coastBandsHaveSquareCode(int latBand, int lonBand);

// "5339" for latitude band 53 and longitude band 39 (the file is "5339.cst"). A square without
// a six-digit code has its longitude band written with its sign: "59-101" (Valencia, 0.3
// degrees west), "-51+51" (Sydney), so that no two squares share a name.
std::string coastTileName(int latBand, int lonBand);

struct CoastBand {
    int latBand = 0, lonBand = 0;
};

// The first-level squares that cover the race area (within trackSpan / 2 of the centre), south
// to north and west to east; at most kMaxCoastTiles, an area that needs more keeps its first
// ones. Empty for an unusable area.
std::vector<CoastBand> coastTileBands(double centerLat, double centerLon, double trackSpan,
                                      double lonFactor);

// Chooses the tiles for the race area (within trackSpan / 2 of the centre), south to north and
// west to east, and writes them into def.CoastTiles / CoastTileCount. At most 20 are kept; an
// area that would need more keeps its first 20. Returns the count.
int chooseCoastTiles(double centerLat, double centerLon, double trackSpan, double lonFactor,
                     RaceDefinition& def);

// The drawing window: twice the area used for choosing the files.
CoastWindow coastDrawingWindow(double centerLat, double centerLon, double trackSpan,
                               double lonFactor);

// Appends the points of one coastline file's text that lie in wanted squares to `out`.
void readCoastlineText(std::string_view text, const CoastWindow& window, CoastLine& out);

// Loads the tiles already named in def.CoastTiles from appPath + "\coastline\" (names found
// whatever their letter case); missing or unreadable files, and names with folder parts, are
// skipped.
void loadCoastTiles(const std::string& appPath, const CoastWindow& window,
                    const RaceDefinition& def, CoastLine& out);

// Chooses the tiles for the race area and loads them into `out` (emptied first).
void loadCoastline(const std::string& appPath, double centerLat, double centerLon, double trackSpan,
                   double lonFactor, RaceDefinition& def, CoastLine& out);

}  // namespace brisko
