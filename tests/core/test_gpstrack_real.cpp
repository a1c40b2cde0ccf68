// Real logs: GPX tracks of two boats sailing off Valencia, written out as track files with a
// small GPX reader, then loaded and derived as a race would be. Checks sane speeds and that the
// sailed distances agree with the great-circle distances of the GPX points themselves.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "race/racedefinition.h"
#include "track/kinematics.h"
#include "track/trackloader.h"
#include "util/fileutil.h"

using namespace brisko;

namespace {

struct GpxPoint {
    double lat = 0, lon = 0;  // degrees
    std::string time;         // "2025-06-21T11:18:34.000Z"
};

// The attribute or element text after `key` in `text` from `from` on.
std::string between(const std::string& text, size_t from, const std::string& open,
                    const std::string& close, size_t* end = nullptr) {
    size_t a = text.find(open, from);
    if (a == std::string::npos) return {};
    a += open.size();
    size_t b = text.find(close, a);
    if (b == std::string::npos) return {};
    if (end) *end = b;
    return text.substr(a, b - a);
}

std::vector<GpxPoint> readGpx(const std::string& path) {
    std::vector<GpxPoint> pts;
    auto bytes = readFileBytes(path);
    if (!bytes) return pts;
    const std::string& t = *bytes;
    for (size_t at = t.find("<trkpt"); at != std::string::npos; at = t.find("<trkpt", at + 1)) {
        const size_t stop = t.find("</trkpt>", at);
        GpxPoint p;
        p.lat = std::stod(between(t, at, "lat=\"", "\""));
        p.lon = std::stod(between(t, at, "lon=\"", "\""));
        size_t e = 0;
        p.time = between(t, at, "<time>", "</time>", &e);
        if (e < stop) pts.push_back(p);
    }
    return pts;
}

// One track line: packed degrees-minutes with letter marks, day-first date with a month name.
std::string trackLine(const GpxPoint& p) {
    static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    auto packed = [](double deg) {
        const double a = std::fabs(deg);
        const int d = static_cast<int>(a);
        return d * 100 + (a - d) * 60;
    };
    const int year = std::stoi(p.time.substr(0, 4)), month = std::stoi(p.time.substr(5, 2));
    char line[128];
    std::snprintf(line, sizeof line, "T  %c%010.5f %c%011.5f %s-%s-%02d %s -500\r\n",
                  p.lat < 0 ? 'S' : 'N', packed(p.lat), p.lon < 0 ? 'W' : 'E', packed(p.lon),
                  p.time.substr(8, 2).c_str(), kMonths[month - 1], year % 100,
                  p.time.substr(11, 8).c_str());
    return line;
}

double greatCircleNm(const GpxPoint& a, const GpxPoint& b) {
    constexpr double kRad = 3.14159265358979323846 / 180;
    constexpr double kEarthRadiusNm = 6371008.8 / kMetresPerNauticalMile;
    const double dLat = (b.lat - a.lat) * kRad, dLon = (b.lon - a.lon) * kRad;
    const double h =
        std::sin(dLat / 2) * std::sin(dLat / 2) +
        std::cos(a.lat * kRad) * std::cos(b.lat * kRad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthRadiusNm * std::asin(std::sqrt(h));
}

}  // namespace

TEST(RealTracks, ValenciaLogsLoadWithSaneSpeedsAndDistances) {
    const std::string folder = BRISKO_SHARED_DATA "/real/valencia-2025-06-21";
    if (!folderExists(folder)) GTEST_SKIP() << "no real logs at " << folder;
    const char* const kLogs[] = {"2025-06-21-ESP29375-P01.gpx", "2025-06-21-ESP30782-P01.gpx",
                                 "2025-06-21-ESP29375-P02.gpx", "2025-06-21-ESP30782-P02.gpx"};

    std::string tmpl = ::testing::TempDir() + "realtracks_XXXXXX";
    const std::string app = ::mkdtemp(tmpl.data());
    ::mkdir((app + "/gpsdat").c_str(), 0755);
    AppSettings settings;
    settings.AppPath = app;
    RaceDefinition race;
    race.TimeDiff = 2;  // Valencia in summer
    std::vector<std::vector<GpxPoint>> logs;
    for (const char* name : kLogs) {
        logs.push_back(readGpx(folder + "/" + name));
        ASSERT_GT(logs.back().size(), 1000u) << name;
        std::ofstream f(app + "/gpsdat/" + std::string(name).substr(0, 23) + ".trk",
                        std::ios::binary);
        f << "H  SOFTWARE NAME & VERSION\r\nH  CONVERTED FROM GPX\r\nU  LAT LON DM\r\n";
        for (const auto& p : logs.back()) f << trackLine(p);
        ++race.BoatCount;
        race.Boats[race.BoatCount].GpsFile = std::string(name).substr(0, 23) + ".trk";
    }

    // Each log as a race of its own: every fix is kept.
    for (int i = 0; i < 4; ++i) {
        RaceDefinition one = race;
        one.BoatCount = 1;
        one.Boats[1] = race.Boats[i + 1];
        TrackStore store;
        CapturingMessageSink sink;
        ASSERT_TRUE(loadTracks(settings, one, store, sink).ok);
        deriveKinematics(store);
        const auto& pts = logs[static_cast<size_t>(i)];
        const int n = store.TrkCount(1);
        EXPECT_EQ(n, static_cast<int>(pts.size())) << kLogs[i];

        // Off Valencia: 39.4 N, 0.3 W.
        EXPECT_NEAR(store.CenterLat / 60, 39.40, 0.05);
        EXPECT_NEAR(store.CenterLon / 60, -0.32, 0.05);
        EXPECT_NEAR(store.TrkLat(1, 1), pts[0].lat * 60, 1e-4);
        EXPECT_NEAR(store.TrkLon(1, 1), pts[0].lon * 60, 1e-4);

        double fastest = 0, gpxDistance = 0;
        for (int k = 1; k < n; ++k) fastest = std::max(fastest, store.TrkSpeed(1, k));
        for (size_t k = 1; k < pts.size(); ++k) gpxDistance += greatCircleNm(pts[k - 1], pts[k]);
        EXPECT_LT(fastest, 30) << kLogs[i];
        EXPECT_GT(fastest, 3) << kLogs[i];
        EXPECT_GT(gpxDistance, 1);
        EXPECT_NEAR(store.TrkDist(1, n) / gpxDistance, 1, 0.01) << kLogs[i];

        // The start settled 240 s after the first fix, local time two hours ahead of UTC.
        const int utcHour = std::stoi(pts[0].time.substr(11, 2));
        char local[16];
        std::snprintf(local, sizeof local, "%02d%s", utcHour + 2,
                      pts[0].time.substr(13, 6).c_str());
        EXPECT_EQ(formatRaceTime(one.FirstFix).substr(11), local);
        EXPECT_EQ(store.TrkSec(1, 1), -240);
    }

    // Both boats of the first race together: the second boat's fixes before the first boat's
    // first minute fall outside the window; the reference speed is a sailing speed.
    RaceDefinition p01 = race;
    p01.BoatCount = 2;
    TrackStore store;
    CapturingMessageSink sink;
    ASSERT_TRUE(loadTracks(settings, p01, store, sink).ok);
    deriveKinematics(store);
    EXPECT_GT(store.TrkCount(2), 1000);
    EXPECT_LE(store.TrkCount(2), static_cast<int>(logs[1].size()));
    const double raceSeconds =
        store.TrkSec(1, store.TrkCount(1));  // the first log's end is the race's end
    const double ref = referenceSpeed(store, raceSeconds);
    EXPECT_GT(ref, 1);
    EXPECT_LT(ref, 15);
    std::system(("rm -rf '" + app + "'").c_str());
}
