// Real logs: the GPX files of two boats off Valencia named directly by a race file, opened as a
// race. Counts, first and last fixes and sailed distances are checked against the GPX points
// taken out of the files by plain text search; the same race written as track files, or as
// NMEA logs beside track files of the same degrees and minutes, gives the very same samples.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

#include "race/racedefinition.h"
#include "session/openrace.h"
#include "util/datetime.h"
#include "util/fileutil.h"

using namespace brisko;

namespace {

const char* const kFolder = BRISKO_SHARED_DATA "/real/valencia-2025-06-21";
const char* const kLogs[] = {"2025-06-21-ESP29375-P01.gpx", "2025-06-21-ESP30782-P01.gpx"};
constexpr int kTimeDiff = 2;  // Valencia in summer

struct RawPoint {
    std::string lat, lon;  // the attribute texts, degrees
    std::string time;      // "2025-06-21T11:18:34.000Z"
};

std::string textBetween(const std::string& t, size_t from, size_t stop, const std::string& open,
                        const std::string& close) {
    const size_t a = t.find(open, from);
    if (a == std::string::npos || a >= stop) return {};
    const size_t b = t.find(close, a + open.size());
    return b == std::string::npos ? std::string{} : t.substr(a + open.size(), b - a - open.size());
}

// Every track point by text search: these logs have one attribute order and no CDATA.
std::vector<RawPoint> rawPoints(const std::string& path) {
    std::vector<RawPoint> pts;
    const auto bytes = readFileBytes(path);
    if (!bytes) return pts;
    const std::string& t = *bytes;
    for (size_t at = t.find("<trkpt "); at != std::string::npos; at = t.find("<trkpt ", at + 1)) {
        const size_t stop = t.find("</trkpt>", at);
        RawPoint p{textBetween(t, at, stop, "lat=\"", "\""),
                   textBetween(t, at, stop, "lon=\"", "\""),
                   textBetween(t, at, stop, "<time>", "</time>")};
        if (!p.time.empty()) pts.push_back(p);
    }
    return pts;
}

// Local race time of a point: its UTC text read field by field, plus the time difference.
CivilSeconds localTime(const RawPoint& p) {
    return civilFromDate(std::stoi(p.time.substr(0, 4)), std::stoi(p.time.substr(5, 2)),
                         std::stoi(p.time.substr(8, 2)), std::stoi(p.time.substr(11, 2)),
                         std::stoi(p.time.substr(14, 2)), std::stoi(p.time.substr(17, 2))) +
           kTimeDiff * 3600;
}

double haversineNm(const RawPoint& a, const RawPoint& b) {
    constexpr double kRad = 3.14159265358979323846 / 180;
    const double la1 = std::stod(a.lat) * kRad, la2 = std::stod(b.lat) * kRad;
    const double dLat = la2 - la1, dLon = (std::stod(b.lon) - std::stod(a.lon)) * kRad;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                     std::cos(la1) * std::cos(la2) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * (6371008.8 / 1852) * std::asin(std::sqrt(h));
}

// A track line in decimal degrees carrying the GPX texts unchanged, day-first date.
std::string trackLine(const RawPoint& p) {
    static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    auto marked = [](const std::string& deg, char plus, char minus) {
        return deg[0] == '-' ? minus + deg.substr(1) : plus + deg;
    };
    return "T  " + marked(p.lat, 'N', 'S') + " " + marked(p.lon, 'E', 'W') + " " +
           p.time.substr(8, 2) + "-" + kMonths[std::stoi(p.time.substr(5, 2)) - 1] + "-" +
           p.time.substr(2, 2) + " " + p.time.substr(11, 8) + " -500\r\n";
}

struct App {
    std::string path;
    App() {
        std::string tmpl = ::testing::TempDir() + "gpxrace_XXXXXX";
        path = ::mkdtemp(tmpl.data());
        ::mkdir((path + "/gpsdat").c_str(), 0755);
        ::mkdir((path + "/raceadmin").c_str(), 0755);
    }
    ~App() { std::system(("rm -rf '" + path + "'").c_str()); }
    void raceFile(const std::string& name, const std::string& st, const std::string& ft,
                  const std::vector<std::string>& files) const {
        std::ofstream f(path + "/raceadmin/" + name, std::ios::binary);
        f << "T1, Valencia\r\nST, " << st << "\r\nFT, " << ft << "\r\nTD, " << kTimeDiff << "\r\n";
        for (size_t i = 0; i < files.size(); ++i)
            f << "BN, " << files[i] << ", Boat" << i + 1 << "\r\n";
        f << "BT, 3\r\n";
    }
};

struct Opened {
    RaceDefinition race;
    RaceData data;
    OpenRaceResult result;
};

Opened openAt(const App& app, const std::string& raceFile) {
    AppSettings settings;
    settings.AppPath = app.path;
    settings.Lang = 1;
    Opened o;
    o.race.RaceFileName = raceFile;
    CapturingMessageSink sink;
    o.result = openRace(settings, o.race, o.data, sink);
    return o;
}

// The race: from twenty minutes after the first boat's first fix, for forty minutes.
std::pair<std::string, std::string> raceTimes(const std::vector<RawPoint>& first) {
    const CivilSeconds st = localTime(first.front()) + 20 * 60;
    return {formatDateTime(st), formatDateTime(st + 40 * 60)};
}

// Degrees and minutes of a point, as an NMEA sentence and a track line in degrees and minutes
// both write them: "3924.46466" and "N", "00019.40050" and "W".
struct DegreesMinutes {
    std::string lat, latSide, lon, lonSide;
};
DegreesMinutes degreesMinutes(const RawPoint& p) {
    auto dm = [](double v, int width) {
        const double a = std::fabs(v);
        const int d = static_cast<int>(a);
        char text[32];
        std::snprintf(text, sizeof text, "%0*d%08.5f", width, d, (a - d) * 60);
        return std::string(text);
    };
    const double lat = std::stod(p.lat), lon = std::stod(p.lon);
    return {dm(lat, 2), lat < 0 ? "S" : "N", dm(lon, 3), lon < 0 ? "W" : "E"};
}

// An RMC sentence of the point, with its checksum.
std::string rmcSentence(const RawPoint& p) {
    const DegreesMinutes dm = degreesMinutes(p);
    const std::string hms = p.time.substr(11, 2) + p.time.substr(14, 2) + p.time.substr(17, 2);
    const std::string dmy = p.time.substr(8, 2) + p.time.substr(5, 2) + p.time.substr(2, 2);
    const std::string body = "GNRMC," + hms + ".00,A," + dm.lat + "," + dm.latSide + "," + dm.lon +
                             "," + dm.lonSide + ",3.1,87.0," + dmy + ",,,A";
    unsigned char sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

// The same point as a track line in degrees and minutes.
std::string trackLineDm(const RawPoint& p) {
    static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    const DegreesMinutes dm = degreesMinutes(p);
    return "T  " + dm.latSide + dm.lat + " " + dm.lonSide + dm.lon + " " + p.time.substr(8, 2) +
           "-" + kMonths[std::stoi(p.time.substr(5, 2)) - 1] + "-" + p.time.substr(2, 2) + " " +
           p.time.substr(11, 8) + " -500\r\n";
}

// Two opened races hold the very same samples and what is computed from them.
void expectSameSamples(const Opened& g, const Opened& t) {
    ASSERT_TRUE(g.result.ok) << g.result.error;
    ASSERT_TRUE(t.result.ok) << t.result.error;
    EXPECT_EQ(formatRaceTime(g.race.RaceStart), formatRaceTime(t.race.RaceStart));
    EXPECT_EQ(formatRaceTime(g.race.RaceEnd), formatRaceTime(t.race.RaceEnd));
    EXPECT_EQ(formatRaceTime(g.race.FirstFix), formatRaceTime(t.race.FirstFix));
    EXPECT_EQ(formatRaceTime(g.race.LastFix), formatRaceTime(t.race.LastFix));
    EXPECT_EQ(g.data.RefSpeed, t.data.RefSpeed);
    const TrackStore &a = g.data.tracks, &b = t.data.tracks;
    EXPECT_EQ(a.CenterLat, b.CenterLat);
    EXPECT_EQ(a.CenterLon, b.CenterLon);
    for (int boat = 1; boat <= 2; ++boat) {
        ASSERT_EQ(a.TrkCount(boat), b.TrkCount(boat));
        ASSERT_GT(a.TrkCount(boat), 100);
        int differing = 0;
        for (int k = 1; k <= a.TrkCount(boat); ++k)
            differing += a.TrkLat(boat, k) != b.TrkLat(boat, k) ||
                         a.TrkLon(boat, k) != b.TrkLon(boat, k) ||
                         a.TrkSec(boat, k) != b.TrkSec(boat, k) ||
                         a.TrkDist(boat, k) != b.TrkDist(boat, k) ||
                         a.TrkSpeed(boat, k) != b.TrkSpeed(boat, k) ||
                         a.TrkCourse(boat, k) != b.TrkCourse(boat, k);
        EXPECT_EQ(differing, 0) << "boat " << boat;
    }
}

}  // namespace

TEST(RealGpxRace, BoatsNamedByTheirGpxFilesOpenAsARace) {
    if (!folderExists(kFolder)) GTEST_SKIP() << "no real logs at " << kFolder;
    App app;
    std::vector<std::vector<RawPoint>> logs;
    std::vector<std::string> names;
    for (const char* name : kLogs) {
        logs.push_back(rawPoints(std::string(kFolder) + "/" + name));
        ASSERT_GT(logs.back().size(), 1000u) << name;
        ASSERT_EQ(::symlink((std::string(kFolder) + "/" + name).c_str(),
                            (app.path + "/gpsdat/" + name).c_str()),
                  0);
        names.push_back(name);
    }
    const auto [st, ft] = raceTimes(logs[0]);
    app.raceFile("gpx.txt", st, ft, names);
    Opened o = openAt(app, "gpx.txt");
    ASSERT_TRUE(o.result.ok) << o.result.error;
    ASSERT_EQ(o.data.tracks.boatCount(), 2);
    EXPECT_EQ(formatRaceTime(o.race.ViewStart), formatDateTime(*parseDateTime(st) - 210));

    const std::int64_t viewStartMinute = *o.race.ViewStart / 60;
    const std::int64_t viewEndMinute = *o.race.ViewEnd / 60;
    const CivilSeconds start = *parseDateTime(st);
    for (int b = 1; b <= 2; ++b) {
        // The points of the race window, by whole minutes, one a second.
        std::vector<RawPoint> in;
        CivilSeconds prev = -1;
        for (const RawPoint& p : logs[static_cast<size_t>(b - 1)]) {
            const CivilSeconds t = localTime(p);
            const std::int64_t minute = t / 60;
            if (minute < viewStartMinute || minute > viewEndMinute || t == prev) continue;
            in.push_back(p);
            prev = t;
        }
        const TrackStore& s = o.data.tracks;
        const int n = s.TrkCount(b);
        ASSERT_EQ(n, static_cast<int>(in.size())) << kLogs[b - 1];
        ASSERT_GT(n, 500);  // the window cuts hundreds of fixes out of the log
        EXPECT_EQ(o.result.trackStats[b].kind, TrackFileKind::Gpx);
        EXPECT_EQ(o.result.trackStats[b].trackLines,
                  static_cast<int>(logs[static_cast<size_t>(b - 1)].size()));
        EXPECT_DOUBLE_EQ(s.TrkLat(b, 1), std::stod(in.front().lat) * 60);
        EXPECT_DOUBLE_EQ(s.TrkLon(b, 1), std::stod(in.front().lon) * 60);
        EXPECT_DOUBLE_EQ(s.TrkSec(b, 1), static_cast<double>(localTime(in.front()) - start));
        EXPECT_DOUBLE_EQ(s.TrkLat(b, n), std::stod(in.back().lat) * 60);
        EXPECT_DOUBLE_EQ(s.TrkLon(b, n), std::stod(in.back().lon) * 60);
        EXPECT_DOUBLE_EQ(s.TrkSec(b, n), static_cast<double>(localTime(in.back()) - start));
        double sailed = 0;
        for (size_t k = 1; k < in.size(); ++k) sailed += haversineNm(in[k - 1], in[k]);
        EXPECT_GT(sailed, 1);
        EXPECT_NEAR(s.TrkDist(b, n) / sailed, 1, 0.005) << kLogs[b - 1];
    }
    // Off Valencia.
    EXPECT_NEAR(o.data.tracks.CenterLat / 60, 39.40, 0.05);
    EXPECT_NEAR(o.data.tracks.CenterLon / 60, -0.32, 0.05);
}

TEST(RealGpxRace, SameRaceAsTrackFilesGivesIdenticalSamples) {
    if (!folderExists(kFolder)) GTEST_SKIP() << "no real logs at " << kFolder;
    App app;
    std::vector<std::vector<RawPoint>> logs;
    std::vector<std::string> gpxNames, trkNames;
    for (const char* name : kLogs) {
        logs.push_back(rawPoints(std::string(kFolder) + "/" + name));
        const std::string gpx = std::string(kFolder) + "/" + name;
        ASSERT_EQ(::symlink(gpx.c_str(), (app.path + "/gpsdat/" + name).c_str()), 0);
        const std::string trk = std::string(name).substr(0, 23) + ".trk";
        std::ofstream f(app.path + "/gpsdat/" + trk, std::ios::binary);
        f << "H  CONVERTED FROM GPX\r\nU  LAT LON DEG\r\n";
        for (const RawPoint& p : logs.back()) f << trackLine(p);
        gpxNames.push_back(name);
        trkNames.push_back(trk);
    }
    const auto [st, ft] = raceTimes(logs[0]);
    app.raceFile("gpx.txt", st, ft, gpxNames);
    app.raceFile("trk.txt", st, ft, trkNames);
    // And once with no start or finish: the first boat's fixes settle them.
    app.raceFile("gpx-open.txt", "", "", gpxNames);
    app.raceFile("trk-open.txt", "", "", trkNames);

    for (const auto& [gpxRace, trkRace] :
         {std::pair{"gpx.txt", "trk.txt"}, std::pair{"gpx-open.txt", "trk-open.txt"}}) {
        SCOPED_TRACE(gpxRace);
        expectSameSamples(openAt(app, gpxRace), openAt(app, trkRace));
    }
}

// The same logs as NMEA sentences and as track lines of the same degrees and minutes: both races
// hold the very same samples, and so do they when the NMEA files are named .gpx.
TEST(RealGpxRace, SameRaceAsNmeaLogsGivesTheTrackFilesSamples) {
    if (!folderExists(kFolder)) GTEST_SKIP() << "no real logs at " << kFolder;
    App app;
    std::vector<std::string> nmeaNames, trkNames, hiddenNames;
    std::vector<RawPoint> first;
    for (const char* name : kLogs) {
        const std::vector<RawPoint> log = rawPoints(std::string(kFolder) + "/" + name);
        if (first.empty()) first = log;
        const std::string stem = std::string(name).substr(0, 23);
        std::ofstream nmea(app.path + "/gpsdat/" + stem + ".nmea", std::ios::binary);
        std::ofstream hidden(app.path + "/gpsdat/" + stem + "-nmea.gpx", std::ios::binary);
        std::ofstream trk(app.path + "/gpsdat/" + stem + ".trk", std::ios::binary);
        trk << "H  CONVERTED FROM GPX\r\nU  LAT LON DM\r\n";
        for (const RawPoint& p : log) {
            nmea << "$GNGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0*33\r\n" << rmcSentence(p);
            hidden << rmcSentence(p);
            trk << trackLineDm(p);
        }
        nmeaNames.push_back(stem + ".nmea");
        hiddenNames.push_back(stem + "-nmea.gpx");
        trkNames.push_back(stem + ".trk");
    }
    const auto [st, ft] = raceTimes(first);
    app.raceFile("nmea.txt", st, ft, nmeaNames);
    app.raceFile("lying.txt", st, ft, hiddenNames);
    app.raceFile("trk.txt", st, ft, trkNames);
    const Opened t = openAt(app, "trk.txt");
    for (const char* race : {"nmea.txt", "lying.txt"}) {
        SCOPED_TRACE(race);
        expectSameSamples(openAt(app, race), t);
    }
}
