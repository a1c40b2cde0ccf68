// Track loading: the store's growth figures, the bounding box and map values after each file,
// the progress texts, a GPS file missing at load time and a store reused for another race.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "race/racedefinition.h"
#include "track/geodesy.h"
#include "track/trackloader.h"

using namespace brisko;

namespace {

// An application folder with a GPSDAT folder, removed at the end of the test.
struct AppFolder {
    std::string path;
    AppFolder() {
        std::string tmpl = ::testing::TempDir() + "trackstore_XXXXXX";
        path = ::mkdtemp(tmpl.data());
        ::mkdir((path + "/GPSDAT").c_str(), 0755);
    }
    ~AppFolder() { std::system(("rm -rf '" + path + "'").c_str()); }
    // A track of n fixes a second apart from 01:00:00 UTC, moving north by `step` minutes.
    void track(const std::string& name, int n, double lat, double lon, double step = 0.001) {
        std::ofstream f(path + "/GPSDAT/" + name, std::ios::binary);
        for (int i = 0; i < 12; ++i) f << "H  SOFTWARE NAME & VERSION   TEST WRITER 1.0\r\n";
        for (int i = 0; i < n; ++i) {
            char line[128];
            const double la = lat + step * i;
            std::snprintf(line, sizeof line,
                          "T  %c%02d%07.4f %c%03d%07.4f 11-08-05 01:%02d:%02d 0\r\n",
                          la < 0 ? 'S' : 'N', static_cast<int>(std::abs(la) / 60),
                          std::fmod(std::abs(la), 60.0), lon < 0 ? 'W' : 'E',
                          static_cast<int>(std::abs(lon) / 60), std::fmod(std::abs(lon), 60.0),
                          i / 60 % 60, i % 60);
            f << line;
        }
    }
};

struct Race {
    AppSettings settings;
    RaceDefinition race;
    TrackStore store;
    CapturingMessageSink sink;
    explicit Race(const AppFolder& app) {
        settings.AppPath = app.path;
        settings.Lang = 1;
        race.TimeDiff = 9;
    }
    void boat(const std::string& file) {
        ++race.BoatCount;
        race.Boats[race.BoatCount].GpsFile = file;
    }
    TrackLoadResult load(const LoadProgress& progress = {}) {
        return loadTracks(settings, race, store, sink, progress);
    }
};

}  // namespace

TEST(TrackStore, CapacityGrowsInStepsOfFive) {
    AppFolder app;
    app.track("three.trk", 3, 2130, 8385);
    app.track("many.trk", 97, 2130, 8385);
    Race r(app);
    r.boat("three.trk");
    ASSERT_TRUE(r.load().ok);
    EXPECT_EQ(r.store.TrkCount(1), 3);
    EXPECT_EQ(r.store.TrkCapacity, 100);

    r.boat("many.trk");
    ASSERT_TRUE(r.load().ok);
    EXPECT_EQ(r.store.TrkCount(2), 97);
    EXPECT_EQ(r.store.TrkCapacity, 105);

    TrackStore s;
    growTrackCapacity(s, 95);
    EXPECT_EQ(s.TrkCapacity, 100);
    growTrackCapacity(s, 96);  // 96 > 100 - 5
    EXPECT_EQ(s.TrkCapacity, 105);
    growTrackCapacity(s, 1000);
    EXPECT_EQ(s.TrkCapacity, 1005);
}

TEST(TrackStore, BoxCentreAndSpanAfterEachFile) {
    AppFolder app;
    app.track("a.trk", 11, 2130, 8385, 0.1);  // 2130 .. 2131 north
    app.track("b.trk", 3, 2129, 8387, 0);     // further south and east
    Race r(app);
    r.boat("a.trk");
    r.boat("b.trk");
    int calls = 0;
    ASSERT_TRUE(r.load([&](int i, int n, const std::string& l1, const std::string& l2) {
                     ++calls;
                     EXPECT_EQ(n, 2);
                     if (i == 2) {
                         // The values after boat 1 are in place when boat 2 starts.
                         EXPECT_NEAR(r.store.CenterLat, 2130.5, 1e-9);
                         EXPECT_NEAR(r.store.TrackSpan, 1.0, 1e-9);
                         EXPECT_EQ(l2, "Loading GPS data     ( b.trk)");
                     }
                 }).ok);
    EXPECT_EQ(calls, 2);
    const TrackStore& s = r.store;
    EXPECT_NEAR(s.LatMax, 2131, 1e-9);
    EXPECT_NEAR(s.LatMin, 2129, 1e-9);
    EXPECT_NEAR(s.LonMin, 8385, 1e-9);
    EXPECT_NEAR(s.LonMax, 8387, 1e-9);
    EXPECT_NEAR(s.CenterLat, 2130, 1e-9);
    EXPECT_NEAR(s.CenterLon, 8386, 1e-9);
    EXPECT_EQ(s.HomeLat, s.CenterLat);
    EXPECT_EQ(s.HomeLon, s.CenterLon);
    const GeoFactors g = getCodeLength(2130);
    EXPECT_DOUBLE_EQ(s.MPerMinLat, g.MPerMinLat);
    EXPECT_DOUBLE_EQ(s.LonFactor, g.MPerMinLon / g.MPerMinLat);
    // The longitude extent, scaled, is smaller than the two minutes of latitude.
    EXPECT_NEAR(s.TrackSpan, 2, 1e-9);
    EXPECT_NEAR(s.InitScale, 200, 1e-9);
}

TEST(TrackStore, FixWithOneCoordinateAtZeroStaysOffTheMap) {
    TrackStore s;
    s.reset(2);
    s.boats[1].append(2130, 8385, 0);
    s.boats[1].append(0, 8400, 1);  // latitude unreadable, longitude beyond the others
    s.boats[1].append(2140, 0, 2);  // longitude unreadable, latitude beyond the others
    s.boats[1].append(2131, 8386, 3);
    updateMapValues(s, 1);
    EXPECT_EQ(s.LatMin, 2130);
    EXPECT_EQ(s.LatMax, 2131);
    EXPECT_EQ(s.LonMin, 8385);
    EXPECT_EQ(s.LonMax, 8386);
    EXPECT_DOUBLE_EQ(s.CenterLat, 2130.5);
    EXPECT_DOUBLE_EQ(s.TrackSpan, 1);
    // South and west are not "zero": a negative position widens the box.
    s.boats[2].append(-10, -20, 0);
    updateMapValues(s, 2);
    EXPECT_EQ(s.LatMin, -10);
    EXPECT_EQ(s.LonMin, -20);
}

TEST(TrackStore, SmallAreasZeroPositionsAndEmptyTracks) {
    AppFolder app;
    app.track("tiny.trk", 5, 2130, 8385, 0.01);  // 0.04 minutes in all
    app.track("zero.trk", 3, 0, 0, 0);
    {
        std::ofstream f(app.path + "/GPSDAT/short.trk");
        f << "H only a header\n";
    }
    Race r(app);
    r.boat("zero.trk");
    r.boat("short.trk");
    ASSERT_TRUE(r.load().ok);
    // Positions of 0 are stored but leave the box at its start values.
    EXPECT_EQ(r.store.TrkCount(1), 3);
    EXPECT_EQ(r.store.TrkCount(2), 0);
    EXPECT_EQ(r.store.CenterLat, 0);
    EXPECT_EQ(r.store.CenterLon, 0);
    EXPECT_EQ(r.store.LatMax, -200000);
    EXPECT_DOUBLE_EQ(r.store.TrackSpan, 0.1);

    r.boat("tiny.trk");
    ASSERT_TRUE(r.load().ok);
    EXPECT_NEAR(r.store.CenterLat, 2130.02, 1e-9);
    EXPECT_DOUBLE_EQ(r.store.TrackSpan, 0.1);
    EXPECT_DOUBLE_EQ(r.store.InitScale, 10);
}

TEST(TrackStore, MissingFileStopsTheLoadWithItsMessage) {
    AppFolder app;
    app.track("a.trk", 10, 2130, 8385);
    Race r(app);
    r.race.RaceFileName = "race1.txt";
    r.boat("a.trk");
    r.boat("gone.trk");
    r.boat("a.trk");
    std::vector<std::string> lines;
    auto result = r.load(
        [&](int i, int n, const std::string& l1, const std::string&) { lines.push_back(l1); });
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.missingBoat, 2);
    EXPECT_TRUE(lines.empty());  // every file is looked for before any is read
    ASSERT_EQ(r.sink.messages.size(), 1u);
    EXPECT_EQ(r.sink.messages[0].text,
              "No GPS file  (" + app.path + "/GPSDAT/gone.trk)　be sure！");

    r.settings.Lang = 0;
    EXPECT_EQ(loadProgressLine2(r.settings, "a.trk"), "GPSﾃﾞｰﾀ　（　a.trk）　を読み込み中");
    EXPECT_EQ(missingGpsFileMessage(r.settings, "x"),
              "GPSファイルがありません。(x)　ファイル名を正確に！！");
}

TEST(TrackStore, ReloadForgetsTheRaceBefore) {
    AppFolder app;
    app.track("a.trk", 50, 2130, 8385);
    app.track("b.trk", 7, 2130, 8385);
    Race r(app);
    r.boat("a.trk");
    r.boat("b.trk");
    ASSERT_TRUE(r.load().ok);
    EXPECT_EQ(formatRaceTime(r.race.FirstFix), "2005/08/11 10:00:00");
    // Another race in the same store and definition: nothing of the first one stays.
    r.race.BoatCount = 1;
    r.race.Boats[1].GpsFile = "b.trk";
    r.race.RaceStart = parseDateTime("2005/08/11 10:00:03");
    r.race.ViewStart = parseDateTime("2005/08/11 10:00:00");
    r.race.RaceEnd = r.race.ViewEnd = parseDateTime("2005/08/11 11:00:00");
    ASSERT_TRUE(r.load().ok);
    EXPECT_EQ(r.store.boatCount(), 1);
    EXPECT_EQ(r.store.TrkCount(1), 7);
    EXPECT_EQ(r.store.TrkCount(2), 0);
    EXPECT_EQ(r.store.TrkSec(1, 1), -3);
    EXPECT_EQ(formatRaceTime(r.race.LastFix), "2005/08/11 10:00:06");
}
