// Tests of the coastline tiles: which files a race area wants, the grid-square column reader,
// loading from the application folder, and the demo folder's shoreline around the race.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "coasttiletext.h"
#include "race/racecontrolfile.h"
#include "race/racedefinition.h"
#include "session/openrace.h"
#include "track/coastline.h"
#include "track/geodesy.h"
#include "util/fileutil.h"
#include "util/numbers.h"

using namespace brisko;

namespace {

using test::slot;

std::string header(int count) { return test::polylineHeader(count); }

// Points are compared with the exact datum shift to 1e-6 minutes (2 mm).
constexpr double kTol = 1e-6;

// A window that takes every square of first-level square 5339 and around.
const CoastWindow kWide{2000, 2300, 8200, 8500};

double lonFactorAt(double lat) {
    const GeoFactors g = getCodeLength(lat);
    return g.MPerMinLon / g.MPerMinLat;
}

}  // namespace

TEST(CoastTiles, OneSquareWantsOneFile) {
    RaceDefinition def;
    // 35 deg 25' N, 139 deg 30' E with a span of 2': well inside square 5339.
    EXPECT_EQ(chooseCoastTiles(2125, 8370, 2, lonFactorAt(2125), def), 1);
    EXPECT_EQ(def.CoastTiles[1], "5339");
}

TEST(CoastTiles, AreaAcrossBandAndDegreeWantsFourInOrder) {
    RaceDefinition def;
    // Centre on 35 deg 20' N (a 40' band edge) and 140 deg E (a whole degree).
    ASSERT_EQ(chooseCoastTiles(2120, 8400, 4, lonFactorAt(2120), def), 4);
    EXPECT_EQ(def.CoastTileCount, 4);
    EXPECT_EQ(def.CoastTiles[1], "5239");
    EXPECT_EQ(def.CoastTiles[2], "5240");
    EXPECT_EQ(def.CoastTiles[3], "5339");
    EXPECT_EQ(def.CoastTiles[4], "5340");
}

TEST(CoastTiles, HugeOrBrokenAreasNeverOverflowTheList) {
    RaceDefinition def;
    // 11 rows of 8 squares would be wanted; the list keeps the first 20 (southern rows first).
    EXPECT_EQ(chooseCoastTiles(2120, 8400, 400, 1.0, def), kMaxCoastTiles);
    EXPECT_EQ(def.CoastTiles[1], "4836");
    EXPECT_EQ(def.CoastTiles[8], "4843");
    EXPECT_EQ(def.CoastTiles[kMaxCoastTiles], "5039");
    // A span the size of the globe must not loop over millions of bands either.
    EXPECT_EQ(chooseCoastTiles(2120, 8400, 1e12, 1.0, def), kMaxCoastTiles);
    // No usable longitude factor or centre: nothing is chosen and the old list is cleared.
    EXPECT_EQ(chooseCoastTiles(2120, 8400, 2, 0.0, def), 0);
    EXPECT_EQ(def.CoastTiles[1], "");
    EXPECT_EQ(chooseCoastTiles(NAN, 8400, 2, 0.8, def), 0);
    EXPECT_EQ(chooseCoastTiles(2120, INFINITY, 2, 0.8, def), 0);
    EXPECT_EQ(def.CoastTileCount, 0);
}

TEST(CoastReader, PolylineOfTenOverTwoLinesWithPadding) {
    std::string text = "M 533900\r\n" + header(10) + "\r\n";
    for (int i = 0; i < 7; ++i) text += slot(1000 * i, 500 * i);
    text += "\r\n";
    for (int i = 7; i < 10; ++i) text += slot(1000 * (i - 7), 9000);
    text += slot(9999, 9999) + slot(9999, 9999) + slot(9999, 9999) + slot(9999, 9999);
    text += "\r\n";

    CoastLine c;
    c.clear();
    readCoastlineText(text, kWide, c);
    ASSERT_EQ(c.CoastCount, 10);  // the four padding slots are not points

    double lat = 0, lon = 0;
    tokyoToWgs(2120 + 500 * 3 * 5.0 / 10000, 8340 + 3000 * 7.5 / 10000, lat, lon);
    EXPECT_NEAR(c.CoastLat[4], lat, kTol);
    EXPECT_NEAR(c.CoastLon[4], lon, kTol);
    tokyoToWgs(2120, 8340, lat, lon);
    EXPECT_NEAR(c.CoastLat[1], -lat, kTol);  // the start of a polyline is marked by a minus
    for (int n = 2; n <= 10; ++n) EXPECT_GT(c.CoastLat[n], 0) << n;
    EXPECT_NEAR(c.CoastLat[10], c.CoastLat[8], 1e-3);  // both on y = 9000
}

TEST(CoastReader, WantedSquaresAndNewPolylines) {
    // Square 533900 (35 20'-35 25' N, 139 00'-139 07.5' E) is in the window, 533977 is not;
    // the wanted state lasts until the next "M" line.
    const std::string text = "M 533977\n" + header(2) + "\n" + slot(1, 1) + slot(2, 2) + "\n" +
                             "M 533900\n" + header(2) + "\n" + slot(10, 10) + slot(20, 20) + "\n" +
                             header(3) + "\n" + slot(30, 30) + slot(40, 40) + slot(50, 50) + "\n" +
                             "M 533977\n" + header(1) + "\n" + slot(60, 60) + "\n";
    const CoastWindow window{2119, 2126, 8339, 8346};
    CoastLine c;
    c.clear();
    readCoastlineText(text, window, c);
    ASSERT_EQ(c.CoastCount, 5);
    EXPECT_LT(c.CoastLat[1], 0);
    EXPECT_GT(c.CoastLat[2], 0);
    EXPECT_LT(c.CoastLat[3], 0);
    EXPECT_GT(c.CoastLat[5], 0);

    // A byte-order mark before the first square does not hide it.
    CoastLine marked;
    marked.clear();
    readCoastlineText("\xEF\xBB\xBF" + text.substr(text.find("M 533900")), window, marked);
    EXPECT_EQ(marked.CoastCount, 5);

    // A square touching the window only at its edge is not wanted.
    CoastLine none;
    none.clear();
    readCoastlineText(text, CoastWindow{2125, 2130, 8347.5, 8350}, none);
    EXPECT_EQ(none.CoastCount, 0);
}

TEST(CoastReader, DamagedLinesNeverCrashOrInventPoints) {
    const std::string text = std::string("P 123\n") +  // points before any square
                             "M 53x900\n" + header(2) + "\n" + slot(1, 1) + slot(2, 2) + "\n" +
                             "M 5339\n" + header(2) + "\n" + slot(1, 1) + "\n" +  // short code
                             "M 533900\n" + "L short\n" + slot(5, 5) + "\n" +     // no count: 0
                             header(-4) + "\n" + slot(5, 5) + "\n" +              // negative
                             "L" + std::string(48, ' ') + "abc\n" + slot(5, 5) + "\n" + header(5) +
                             "\n" + slot(100, 200) + "\n" +        // short line: 1 point
                             "  xx  yy" + slot(300, 400) + "\n" +  // garbage slot reads 0, 0
                             std::string("\0\xff\xfe M", 5) + "\n\n\r\n" + header(1000000000) +
                             "\n" + slot(7, 7) + "\n";
    CoastLine c;
    c.clear();
    readCoastlineText(text, kWide, c);
    // The 5-point polyline gets 1 + 2 points from its two damaged lines; the binary line then
    // reads as one more slot of zeros, and the last polyline keeps its one point.
    ASSERT_EQ(c.CoastCount, 5);
    double lat = 0, lon = 0;
    tokyoToWgs(2120, 8340, lat, lon);
    EXPECT_NEAR(c.CoastLat[2], lat, kTol);  // "  xx  yy" is x 0, y 0
    EXPECT_NEAR(c.CoastLon[2], lon, kTol);
    EXPECT_LT(c.CoastLat[5], 0);
    for (int n = 1; n <= c.CoastCount; ++n) {
        EXPECT_TRUE(std::isfinite(c.CoastLat[n]) && std::isfinite(c.CoastLon[n]));
    }
}

TEST(CoastReader, ListGrowsInStepsAndKeepsItsPoints) {
    std::string text = "M 533900\n" + header(102) + "\n";
    for (int i = 0; i < 102; ++i) text += slot(i, i) + ((i % 7 == 6) ? "\n" : "");
    CoastLine c;
    c.clear();
    EXPECT_EQ(c.capacity, 100);
    readCoastlineText(text, kWide, c);
    ASSERT_EQ(c.CoastCount, 102);
    EXPECT_EQ(c.capacity, 122);  // point 91 (> 100 - 10) gives 111; point 102 (> 101) gives 122
    EXPECT_GE(static_cast<int>(c.CoastLat.size()), c.capacity + 1);
    double lat = 0, lon = 0;
    tokyoToWgs(2120 + 94 * 5.0 / 10000, 8340 + 94 * 7.5 / 10000, lat, lon);
    EXPECT_NEAR(c.CoastLat[95], lat, kTol);
}

TEST(CoastReader, FiftyThousandPointsAllKept) {
    std::string text;
    for (int sq = 0; sq < 8; ++sq) {
        text += "M 53390" + std::to_string(sq) + "\r\n";
        for (int line = 0; line < 25; ++line) {
            text += header(250) + "\r\n";
            for (int i = 0; i < 250; ++i) {
                text += slot((i * 37) % 10000, (i * 41 + line) % 10000);
                if (i % 7 == 6 || i == 249) text += "\r\n";
            }
        }
    }
    CoastLine c;
    c.clear();
    readCoastlineText(text, kWide, c);
    ASSERT_EQ(c.CoastCount, 50000);
}

TEST(CoastLoad, FindsTilesWhateverTheirCaseAndSkipsMissingOnes) {
    const std::string app = std::string(BRISKO_TEST_DATA) + "/coastline/app";
    RaceDefinition def;
    CoastLine c;
    // Tiles 5339 (in the folder as CoastLine/5339.CST) and 5340 (missing).
    loadCoastline(app, 2120.5, 8400, 2, 1.0, def, c);
    ASSERT_EQ(def.CoastTileCount, 4);
    // Only square 533900's three points lie in the drawing window around 35 20' N, 140 E...
    // which is far from 139 00'-139 07.5' E: nothing is drawn.
    EXPECT_EQ(c.CoastCount, 0);

    loadCoastline(app, 2122, 8344, 8, 1.0, def, c);
    ASSERT_EQ(def.CoastTileCount, 2);  // 5239 (missing) and 5339
    ASSERT_EQ(c.CoastCount, 3);
    double lat = 0, lon = 0;
    tokyoToWgs(2125, 8347.5, lat, lon);
    EXPECT_NEAR(c.CoastLat[3], lat, kTol);
    EXPECT_NEAR(c.CoastLon[3], lon, kTol);

    // Tile names as a race file might give them: only plain names inside the folder are read.
    RaceDefinition named;
    named.CoastTileCount = 3;
    named.CoastTiles[1] = "../CoastLine/5339";
    named.CoastTiles[2] = "..\\app\\CoastLine\\5339";
    named.CoastTiles[3] = "5339";
    CoastLine only;
    only.clear();
    loadCoastTiles(app, kWide, named, only);
    // 5339 once (both its squares lie in the wide window), not three times.
    EXPECT_EQ(only.CoastCount, 5);
}

TEST(CoastLoad, EditorModeStoresTheTileListWithTheRace) {
    namespace fs = std::filesystem;
    const fs::path app = fs::temp_directory_path() / ("brisko-coast-" + std::to_string(::getpid()));
    fs::remove_all(app);
    fs::create_directories(app / "raceadmin");
    fs::copy(fs::path(BRISKO_TEST_DATA) / "coastline/app/CoastLine", app / "coastline");

    AppSettings settings;
    settings.AppPath = app.string();
    RaceDefinition def;
    def.RaceFileName = "race.txt";
    def.Title1 = "test";
    TrackStore tracks;
    tracks.CenterLat = 2122;
    tracks.CenterLon = 8344;
    tracks.TrackSpan = 2;
    tracks.LonFactor = lonFactorAt(2122);

    CoastLine c;
    settings.EditionMode = 1;  // browser mode: the race file is left alone
    EXPECT_TRUE(loadCoastlineForRace(settings, tracks, def, c).ok);
    EXPECT_FALSE(fs::exists(app / "raceadmin/race.txt"));
    EXPECT_EQ(c.CoastCount, 3);

    settings.EditionMode = 2;
    EXPECT_TRUE(loadCoastlineForRace(settings, tracks, def, c).ok);
    EXPECT_EQ(c.CoastCount, 3);  // loaded afresh, not appended
    const auto text = readFileBytes((app / "raceadmin/race.txt").string());
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find("MAP, 5339"), std::string::npos) << *text;

    // A read-only race file keeps its text; the coastline is still drawn and the caller told.
    fs::permissions(app / "raceadmin/race.txt", fs::perms::owner_read | fs::perms::group_read);
    def.Title1 = "changed";
    const WriteResult refused = loadCoastlineForRace(settings, tracks, def, c);
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.error.empty());
    EXPECT_EQ(c.CoastCount, 3);
    EXPECT_EQ(readFileBytes((app / "raceadmin/race.txt").string()), text);
    fs::remove_all(app);
}

TEST(CoastLoad, DemoShorelineSurroundsOpenWater) {
    // The demo race lies off Enoshima in Sagami Bay; its area wants tile 5239 and finds the
    // Shonan shore to the north while the course itself is open water.
    const double centerLat = 35.27 * 60, centerLon = 139.47 * 60, span = 3;
    const double lonFactor = lonFactorAt(centerLat);
    RaceDefinition def;
    CoastLine c;
    loadCoastline(std::string(BRISKO_SOURCE_DIR) + "/demo", centerLat, centerLon, span, lonFactor,
                  def, c);
    ASSERT_GE(def.CoastTileCount, 1);
    EXPECT_EQ(def.CoastTiles[1], "5239");
    ASSERT_GT(c.CoastCount, 50);
    EXPECT_LT(c.CoastLat[1], 0);

    double nearest = 1e9, nearestToEnoshima = 1e9;
    for (int n = 1; n <= c.CoastCount; ++n) {
        const double lat = std::fabs(c.CoastLat[n]), lon = c.CoastLon[n];
        nearest = std::min(nearest, std::hypot(lat - centerLat, (lon - centerLon) * lonFactor));
        nearestToEnoshima = std::min(
            nearestToEnoshima, std::hypot(lat - 35.300 * 60, (lon - 139.479 * 60) * lonFactor));
    }
    EXPECT_LT(nearestToEnoshima, 0.3);  // the island's shore, in minutes (nautical miles)
    EXPECT_GT(nearest, 1.0);            // no shore within a mile of the race centre
    EXPECT_LT(nearest, 3.0);
}

TEST(DemoRace, EveryBoatsTrackIsWholeAndStaysAtSea) {
    // The demo folder is what a newcomer sees first: every GPS file its race names must be
    // there, long enough to be read, and keep clear of the shore.
    const std::string demo = std::string(BRISKO_SOURCE_DIR) + "/demo";
    const auto raceFile = findPath(demo, "\\raceadmin\\enoshima_0607.txt");
    ASSERT_TRUE(raceFile.has_value());
    const auto race = readFileBytes(*raceFile);
    ASSERT_TRUE(race.has_value());

    RaceDefinition def;
    CoastLine coast;
    loadCoastline(demo, 35.28 * 60, 139.48 * 60, 6, lonFactorAt(35.28 * 60), def, coast);
    ASSERT_GT(coast.CoastCount, 100);

    int boats = 0;
    for (std::string_view line : splitLines(*race)) {
        if (line.substr(0, 3) != "BN,") continue;
        const std::string_view rest = line.substr(3);
        const std::string file{trimBlanks(rest.substr(0, rest.find(',')))};
        const auto path = findPath(demo, "\\gpsdat\\" + file);
        ASSERT_TRUE(path.has_value()) << file;
        const auto bytes = readFileBytes(*path);
        ASSERT_TRUE(bytes.has_value() && bytes->size() > 500) << file;
        ++boats;

        int fixes = 0;
        double nearest = 1e9;
        for (std::string_view t : splitLines(*bytes)) {
            if (t.empty() || t[0] != 'T') continue;
            // "T  N3515.6097 E13928.6973 07-JUN-26 01:52:19 6": packed degrees and minutes.
            const size_t n = t.find('N'), e = t.find('E');
            ASSERT_TRUE(n != std::string_view::npos && e != std::string_view::npos) << t;
            const double latDm = numericPrefix(t.substr(n + 1));
            const double lonDm = numericPrefix(t.substr(e + 1));
            const double lat = 60 * std::floor(latDm / 100) + std::fmod(latDm, 100);
            const double lon = 60 * std::floor(lonDm / 100) + std::fmod(lonDm, 100);
            ++fixes;
            if (fixes % 5 != 0) continue;  // every fifth fix is plenty for the shore check
            for (int k = 1; k <= coast.CoastCount; ++k) {
                const double d = std::hypot(std::fabs(coast.CoastLat[k]) - lat,
                                            (coast.CoastLon[k] - lon) * 0.82);
                nearest = std::min(nearest, d);
            }
        }
        EXPECT_GT(fixes, 1000) << file;
        EXPECT_GT(nearest, 0.1) << file << " comes within 185 m of the shore";
    }
    EXPECT_GE(boats, 8);
}
