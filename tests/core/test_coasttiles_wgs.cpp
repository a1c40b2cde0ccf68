// Coastline tiles for any race area: the WGS 84 marker, the signed square headers and tile
// names outside the six-digit square code (west of 100 degrees east, south of the equator), and
// the tile writer read back by the reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "coasttiletext.h"
#include "race/racecontrolfile.h"
#include "race/racedefinition.h"
#include "tempfolder.h"
#include "track/coastline.h"
#include "track/coasttilewriter.h"
#include "track/geodesy.h"

using namespace brisko;

namespace {

using test::slot;

std::string polyline(int count) { return test::polylineHeader(count) + "\r\n"; }

const CoastWindow kEverywhere{-5400, 5400, -10800, 10800};

double lonFactorAt(double lat) {
    const GeoFactors g = getCodeLength(lat);
    return g.MPerMinLon / g.MPerMinLat;
}

// The true latitude of point i whatever its hemisphere.
double trueLat(const CoastLine& c, int i) {
    return c.CoastStart[i] ? -c.CoastLat[i] : c.CoastLat[i];
}

}  // namespace

TEST(CoastTileNames, SquaresOutsideTheSquareCodeGetSignedNames) {
    EXPECT_EQ(coastTileName(53, 39), "5339");
    EXPECT_EQ(coastTileName(59, -101), "59-101");  // Valencia, 0.3 degrees west
    EXPECT_EQ(coastTileName(-51, 51), "-51+51");   // Sydney
    EXPECT_EQ(coastTileName(-51, -158), "-51-158");
    EXPECT_EQ(coastTileName(100, 5), "100+5");  // north of 66 degrees 40'
    // Squares the six-digit code cannot hold never share a name with one it can.
    EXPECT_NE(coastTileName(5, 339), coastTileName(53, 39));
    for (const char* name : {"59-101", "-51+51", "100+5"}) EXPECT_TRUE(isPlainFileName(name));
}

TEST(CoastTileNames, ChoiceAroundTheZeroMeridianAndSouthOfTheEquator) {
    RaceDefinition def;
    // Off Valencia: 39 deg 24' N, 0 deg 19' W.
    ASSERT_EQ(chooseCoastTiles(2364, -19, 6, lonFactorAt(2364), def), 1);
    EXPECT_EQ(def.CoastTiles[1], "59-101");
    // Across the zero meridian: the square west of it, then the one east of it.
    ASSERT_EQ(chooseCoastTiles(2364, 0.5, 4, lonFactorAt(2364), def), 2);
    EXPECT_EQ(def.CoastTiles[1], "59-101");
    EXPECT_EQ(def.CoastTiles[2], "59-100");
    // Sydney harbour, 33 deg 51' S, 151 deg 12' E.
    ASSERT_EQ(chooseCoastTiles(-2031, 9072, 4, lonFactorAt(-2031), def), 1);
    EXPECT_EQ(def.CoastTiles[1], "-51+51");
    const auto bands = coastTileBands(-2031, 9072, 4, lonFactorAt(-2031));
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(bands[0].latBand, -51);
    EXPECT_EQ(bands[0].lonBand, 51);
}

TEST(CoastReaderWgs, MarkerKeepsThePointsAsWritten) {
    // Square 59 -101, q 0, v 7: south edge 2360', west edge -7.5'; the last point is on 0 deg.
    const std::string body =
        "N 59 -101 0 7\r\n" + polyline(2) + slot(5000, 2000) + slot(10000, 10000) + "\r\n";
    CoastLine wgs;
    wgs.clear();
    readCoastlineText(std::string(kCoastWgsMarker) + "\r\n" + body, kEverywhere, wgs);
    ASSERT_EQ(wgs.CoastCount, 2);
    EXPECT_DOUBLE_EQ(wgs.CoastLat[1], -2361.0);
    EXPECT_DOUBLE_EQ(wgs.CoastLon[1], -3.75);
    EXPECT_DOUBLE_EQ(wgs.CoastLat[2], 2365.0);
    EXPECT_DOUBLE_EQ(wgs.CoastLon[2], 0.0);
    EXPECT_EQ(wgs.CoastStart[1], 1);
    EXPECT_EQ(wgs.CoastStart[2], 0);

    // The same square without the marker is Tokyo datum and shifted like any other.
    CoastLine tokyo;
    tokyo.clear();
    readCoastlineText(body, kEverywhere, tokyo);
    ASSERT_EQ(tokyo.CoastCount, 2);
    double lat = 0, lon = 0;
    tokyoToWgs(2365.0, 0.0, lat, lon);
    EXPECT_NEAR(tokyo.CoastLat[2], lat, 1e-6);
    EXPECT_NEAR(tokyo.CoastLon[2], lon, 1e-6);
    EXPECT_GT(std::fabs(tokyo.CoastLat[2] - 2365.0) + std::fabs(tokyo.CoastLon[2]), 0.01);
}

TEST(CoastReaderWgs, MarkedSquareCodeTileIsNotShifted) {
    const std::string body = "M 533900\r\n" + polyline(1) + slot(0, 0) + "\r\n";
    CoastLine c;
    c.clear();
    readCoastlineText("W  WGS84 \r\n" + body, kEverywhere, c);  // blanks around the name
    ASSERT_EQ(c.CoastCount, 1);
    EXPECT_DOUBLE_EQ(c.CoastLat[1], -2120.0);
    EXPECT_DOUBLE_EQ(c.CoastLon[1], 8340.0);
    // Another datum's name is no WGS 84 marker: the points stay in the Tokyo datum.
    c.clear();
    readCoastlineText("W ED50\r\n" + body, kEverywhere, c);
    ASSERT_EQ(c.CoastCount, 1);
    EXPECT_GT(std::fabs(c.CoastLon[1] - 8340.0), 0.1);
}

TEST(CoastReaderWgs, SouthernPointsKeepTheirPolylines) {
    // Square -51 51, q 2, v 3: south edge -2030', west edge 9082.5'.
    const std::string text = std::string(kCoastWgsMarker) + "\r\nN -51 +51 2 3\r\n" + polyline(3) +
                             slot(0, 0) + slot(2000, 4000) + slot(10000, 10000) + "\r\n" +
                             polyline(1) + slot(5000, 5000) + "\r\n";
    CoastLine c;
    c.clear();
    readCoastlineText(text, kEverywhere, c);
    ASSERT_EQ(c.CoastCount, 4);
    EXPECT_EQ(c.CoastStart[1], 1);
    EXPECT_EQ(c.CoastStart[2], 0);
    EXPECT_EQ(c.CoastStart[3], 0);
    EXPECT_EQ(c.CoastStart[4], 1);
    EXPECT_DOUBLE_EQ(trueLat(c, 1), -2030.0);
    EXPECT_DOUBLE_EQ(c.CoastLat[1], 2030.0);  // a start is stored negated in either hemisphere
    EXPECT_DOUBLE_EQ(trueLat(c, 2), -2028.0);
    EXPECT_DOUBLE_EQ(c.CoastLon[2], 9084.0);
    EXPECT_DOUBLE_EQ(trueLat(c, 3), -2025.0);
    EXPECT_DOUBLE_EQ(trueLat(c, 4), -2027.5);
}

TEST(CoastReaderWgs, DamagedSignedHeadersReadNoPoints) {
    for (const char* head :
         {"N 59 -101 8 0", "N 59 -101 0", "N 59 -101 0 0 7", "N59 -101 0 0", "N 59 - 0 0",
          "N 99999999999 0 0 0", "N 5000 0 0 0", "Nonsense", "N"}) {
        CoastLine c;
        c.clear();
        readCoastlineText(std::string(kCoastWgsMarker) + "\r\n" + head + "\r\n" + polyline(1) +
                              slot(5000, 5000) + "\r\n",
                          kEverywhere, c);
        EXPECT_EQ(c.CoastCount, 0) << head;
    }
}

TEST(CoastTileWriter, WrittenTileReadsBackAcrossSquaresAndTheZeroMeridian) {
    // A shore from 39 deg 20.5' N, 0 deg 8' W north-east across 7.5' W, 0 deg and 39 deg 25' N.
    const std::vector<CoastPolyline> shore{
        {{2360.5, -8.0}, {2363.0, -4.0}, {2366.0, 3.0}, {2366.0, 3.0}}};
    const std::string west = makeCoastTile(shore, 59, -101);
    const std::string east = makeCoastTile(shore, 59, -100);
    ASSERT_EQ(west.rfind(std::string(kCoastWgsMarker) + "\r\n", 0), 0u);
    EXPECT_NE(west.find("N 59 -101 0 6\r\n"), std::string::npos);
    EXPECT_NE(west.find("N 59 -101 0 7\r\n"), std::string::npos);
    EXPECT_NE(east.find("N 59 -100 0 0\r\n"), std::string::npos);
    EXPECT_NE(east.find("N 59 -100 1 0\r\n"), std::string::npos);
    EXPECT_TRUE(makeCoastTile(shore, 58, -101).empty());

    CoastLine c;
    c.clear();
    readCoastlineText(west, kEverywhere, c);
    readCoastlineText(east, kEverywhere, c);
    ASSERT_GE(c.CoastCount, 8);  // four pieces of at least two points
    int starts = 0;
    for (int i = 1; i <= c.CoastCount; ++i) {
        starts += c.CoastStart[i];
        const double lat = trueLat(c, i), lon = c.CoastLon[i];
        // Every point lies on the shore line, to the tile's 1/10000 of a square.
        const double expected =
            lon <= -4.0 ? 2360.5 + (lon + 8.0) * 2.5 / 4.0 : 2363.0 + (lon + 4.0) * 3.0 / 7.0;
        EXPECT_NEAR(lat, expected, 0.002) << i;
        EXPECT_GE(lon, -8.0 - 1e-3);
        EXPECT_LE(lon, 3.0 + 1e-3);
    }
    EXPECT_EQ(starts, 4);
    EXPECT_NEAR(trueLat(c, 1), 2360.5, 1e-3);
    EXPECT_NEAR(c.CoastLon[1], -8.0, 1e-3);

    // Inside the six-digit code the square header stays an "M" line.
    const std::string japan = makeCoastTile({{{2125.0, 8370.0}, {2126.0, 8371.0}}}, 53, 39);
    EXPECT_NE(japan.find("\r\nM 533914\r\n"), std::string::npos);
}

TEST(CoastTileWriter, TileWithSignedNameLoadsFromTheAppFolder) {
    test::TempFolder app;
    app.put("coastline/59-101.cst", makeCoastTile({{{2362.0, -20.0}, {2366.0, -19.0}}}, 59, -101));
    RaceDefinition def;
    CoastLine c;
    loadCoastline(app.path, 2364, -19, 6, lonFactorAt(2364), def, c);
    EXPECT_EQ(def.CoastTiles[1], "59-101");
    ASSERT_GE(c.CoastCount, 2);
    EXPECT_NEAR(trueLat(c, 1), 2362.0, 1e-3);
    EXPECT_NEAR(c.CoastLon[1], -20.0, 1e-3);
}

TEST(GmtSegments, LevelsAndDamagedLines) {
    const std::string text =
        "> Shore Bin # 1, Level 1\n-0.5\t39.2\n-0.4 39.3\r\n"
        "> Shore Bin # 2, Level 2\n-0.3\t39.4\n-0.2\t39.5\n"
        "> no level\n1 2\nrubbish\n3 95\n4\n";
    int bad = 0;
    const auto segs = readGmtSegments(text, {1}, &bad);
    ASSERT_EQ(segs.size(), 2u);
    ASSERT_EQ(segs[0].size(), 2u);
    EXPECT_DOUBLE_EQ(segs[0][0].lat, 39.2 * 60);
    EXPECT_DOUBLE_EQ(segs[0][0].lon, -0.5 * 60);
    EXPECT_DOUBLE_EQ(segs[0][1].lon, -0.4 * 60);
    EXPECT_EQ(segs[1].size(), 1u);
    EXPECT_EQ(bad, 3);  // "rubbish", a latitude of 95 and a lone number
    EXPECT_EQ(readGmtSegments(text, {1, 2}).size(), 3u);
}
