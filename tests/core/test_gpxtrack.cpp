// GPX track logs: ISO 8601 times, the elements that count and those that do not (routes,
// waypoints, extensions of other namespaces), damaged XML, the kind told by content, and the
// same race rules as track files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "parsedtrack.h"
#include "race/racedefinition.h"
#include "track/gpstrack.h"
#include "track/gpxtrack.h"
#include "util/datetime.h"

using namespace brisko;

namespace {

using test::Parsed;

Parsed parseGpx(const std::string& text, int timeDiff = 0) {
    return test::parsedWith(
        [](std::string_view b, RaceDefinition& r, BoatTrack& t) { return parseGpxTrack(b, r, t); },
        text, timeDiff);
}

std::string point(double lat, double lon, const std::string& time, const std::string& inner = "") {
    char head[96];
    std::snprintf(head, sizeof head, "<trkpt lat=\"%.6f\" lon=\"%.6f\">", lat, lon);
    return std::string(head) + "<ele>3.5</ele>" +
           (time.empty() ? "" : "<time>" + time + "</time>") + inner + "</trkpt>\n";
}

std::string gpx(const std::string& body,
                const std::string& rootAttrs = " xmlns=\"http://www.topografix.com/GPX/1/1\"") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"test\"" +
           rootAttrs + ">\n" + body + "</gpx>\n";
}

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "gpxtrack_" + std::to_string(::getpid()) + "_" + name;
}

}  // namespace

TEST(GpxTrack, IsoTimesWithZonesAndFractions) {
    const CivilSeconds base = civilFromDate(2025, 6, 21, 11, 18, 34);
    EXPECT_EQ(readIsoTime("2025-06-21T11:18:34Z"), base);
    EXPECT_EQ(readIsoTime(" 2025-06-21T11:18:34.999Z\n"), base);  // the second it falls in
    EXPECT_EQ(readIsoTime("2025-06-21T11:18:34"), base);          // no zone: UTC
    EXPECT_EQ(readIsoTime("2025-06-21T13:18:34+02:00"), base);
    EXPECT_EQ(readIsoTime("2025-06-21T13:18:34.5+0200"), base);
    EXPECT_EQ(readIsoTime("2025-06-21T06:18:34-05"), base);
    EXPECT_EQ(readIsoTime("2025-06-21t11:18:34z"), base);
    // An offset moves the date too.
    EXPECT_EQ(readIsoTime("2025-06-22T01:00:00+09:00"), civilFromDate(2025, 6, 21, 16));
    for (const char* bad : {"", "2025-06-21", "2025-06-21T11:18", "2025-02-30T11:18:34Z",
                            "2025-06-21T24:00:00Z", "2025-06-21T11:18:34.Z",
                            "2025-06-21T11:18:34+2", "2025-06-21T11:18:34Zjunk", "yesterday"})
        EXPECT_FALSE(readIsoTime(bad)) << bad;
}

TEST(GpxTrack, EveryTrackPointOfEveryTrackInDocumentOrder) {
    const std::string body =
        "<metadata><time>2025-06-21T09:00:00Z</time></metadata>\n"
        "<wpt lat=\"40\" lon=\"1\"><time>2025-06-21T10:00:00Z</time></wpt>\n"
        "<rte><rtept lat=\"40\" lon=\"1\"><time>2025-06-21T10:00:01Z</time></rtept></rte>\n"
        "<trk><name>one</name><trkseg>" +
        point(39.5, -0.25, "2025-06-21T10:00:00Z") +
        point(39.5001, -0.2501, "2025-06-21T10:00:05Z") + "</trkseg><trkseg>" +
        point(39.5002, -0.2502, "2025-06-21T10:00:10Z") + "</trkseg></trk>\n<trk><trkseg>" +
        point(-33.5, 151.25, "2025-06-21T10:00:15Z") + "</trkseg></trk>\n";
    auto p = parseGpx(gpx(body), 2);
    ASSERT_EQ(p.track.count(), 4);
    EXPECT_EQ(p.stats.kind, TrackFileKind::Gpx);
    EXPECT_EQ(p.stats.trackLines, 4);
    EXPECT_DOUBLE_EQ(p.track.TrkLat[1], 39.5 * 60);
    EXPECT_DOUBLE_EQ(p.track.TrkLon[1], -0.25 * 60);
    EXPECT_DOUBLE_EQ(p.track.TrkLat[4], -33.5 * 60);
    EXPECT_DOUBLE_EQ(p.track.TrkLon[4], 151.25 * 60);
    // Local time two hours ahead; the start 240 s after the first fix.
    EXPECT_EQ(formatRaceTime(p.race.FirstFix), "2025/06/21 12:00:00");
    EXPECT_EQ(formatRaceTime(p.race.LastFix), "2025/06/21 12:00:15");
    EXPECT_DOUBLE_EQ(p.track.TrkSec[1], -240);
    EXPECT_DOUBLE_EQ(p.track.TrkSec[4], -225);
}

TEST(GpxTrack, NamespacesAndExtensionsOfGarminSuuntoAndStrava) {
    // Garmin: prefixed extension elements, one of them named "time" deep inside.
    const std::string garmin =
        "<trk><trkseg>" +
        point(39.4, -0.32, "2025-06-21T11:18:34.000Z",
              "<extensions><ns3:TrackPointExtension><ns3:hr>90</ns3:hr><ns3:time>1999-01-01T00:"
              "00:00Z</ns3:time></ns3:TrackPointExtension></extensions>") +
        "</trkseg></trk>";
    const std::string garminRoot =
        " xmlns=\"http://www.topografix.com/GPX/1/1\""
        " xmlns:ns3=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\"";
    // Suunto: GPX elements under a prefix of their own, extensions in another namespace.
    const std::string suunto =
        "<gpx:trk><gpx:trkseg><gpx:trkpt lat=\"39.4\" lon=\"-0.32\"><gpx:time>2025-06-21T11:18:"
        "34Z</gpx:time><gpx:extensions><s:speed>2.1</s:speed></gpx:extensions></gpx:trkpt>"
        "</gpx:trkseg></gpx:trk>";
    const std::string suuntoDoc =
        "<?xml version=\"1.0\"?><gpx:gpx xmlns:gpx=\"http://www.topografix.com/GPX/1/1\" "
        "xmlns:s=\"http://www.suunto.com/schemas\" version=\"1.1\">" +
        suunto + "</gpx:gpx>";
    // Strava: GPX 1.1 with an extension element named like a GPX one, in its own namespace.
    const std::string strava =
        "<trk><trkseg><trkpt lat=\"39.4\" lon=\"-0.32\"><extensions><x:trkpt lat=\"1\" "
        "lon=\"1\"/></extensions><time>2025-06-21T11:18:34Z</time></trkpt></trkseg></trk>";
    const std::string stravaRoot =
        " xmlns=\"http://www.topografix.com/GPX/1/1\" xmlns:x=\"http://www.strava.com/ext\"";
    // No namespace at all, and GPX 1.0.
    const std::string plain =
        "<trk><trkseg>" + point(39.4, -0.32, "2025-06-21T11:18:34Z") + "</trkseg></trk>";
    for (const std::string& doc :
         {gpx(garmin, garminRoot), suuntoDoc, gpx(strava, stravaRoot), gpx(plain, ""),
          gpx(plain, " xmlns=\"http://www.topografix.com/GPX/1/0\"")}) {
        auto p = parseGpx(doc);
        ASSERT_EQ(p.track.count(), 1) << doc;
        EXPECT_DOUBLE_EQ(p.track.TrkLat[1], 39.4 * 60);
        EXPECT_DOUBLE_EQ(p.track.TrkLon[1], -0.32 * 60);
        EXPECT_EQ(formatRaceTime(p.race.FirstFix), "2025/06/21 11:18:34") << doc;
    }
    // The same names in a foreign namespace are not a track.
    auto foreign = parseGpx(gpx(plain, " xmlns=\"http://example.com/not-gpx\""));
    EXPECT_EQ(foreign.track.count(), 0);
}

TEST(GpxTrack, PointsWithoutTimeOrPositionAreCountedNotKept) {
    const std::string body =
        "<trk><trkseg>" + point(39.4, -0.32, "") + point(39.4, -0.32, "not a time") +
        "<trkpt lat=\"91\" lon=\"0\"><time>2025-06-21T11:00:00Z</time></trkpt>"
        "<trkpt lat=\"39\"><time>2025-06-21T11:00:00Z</time></trkpt>"
        "<trkpt lat=\"39x\" lon=\"1\"><time>2025-06-21T11:00:00Z</time></trkpt>" +
        point(39.4, -0.32, "2025-06-21T11:00:01Z") + "</trkseg></trk>";
    auto p = parseGpx(gpx(body));
    EXPECT_EQ(p.track.count(), 1);
    EXPECT_EQ(p.stats.trackLines, 6);
    EXPECT_EQ(p.stats.unreadable, 5);
    EXPECT_TRUE(p.stats.damage.empty());
}

TEST(GpxTrack, PointsOnThePolesAndTheDateLineAreKept) {
    // The ends of the ranges are positions; a hair beyond them is not.
    const std::string body = "<trk><trkseg>" + point(90, 180, "2025-06-21T11:00:00Z") +
                             point(-90, -180, "2025-06-21T11:00:01Z") +
                             point(90.000001, 0, "2025-06-21T11:00:02Z") +
                             point(0, -180.000001, "2025-06-21T11:00:03Z") + "</trkseg></trk>";
    auto p = parseGpx(gpx(body));
    ASSERT_EQ(p.track.count(), 2);
    EXPECT_EQ(p.stats.unreadable, 2);
    EXPECT_DOUBLE_EQ(p.track.TrkLat[1], 90 * 60);
    EXPECT_DOUBLE_EQ(p.track.TrkLon[1], 180 * 60);
    EXPECT_DOUBLE_EQ(p.track.TrkLat[2], -90 * 60);
    EXPECT_DOUBLE_EQ(p.track.TrkLon[2], -180 * 60);
}

TEST(GpxTrack, NoTrackAndDamagedXmlKeepWhatCameBefore) {
    auto none = parseGpx(gpx("<wpt lat=\"40\" lon=\"1\"><time>2025-06-21T10:00:00Z</time></wpt>"));
    EXPECT_EQ(none.track.count(), 0);
    EXPECT_TRUE(!none.race.FirstFix.has_value());
    EXPECT_TRUE(!none.race.RaceStart.has_value());
    EXPECT_TRUE(none.stats.damage.empty());

    std::string doc = gpx("<trk><trkseg>" + point(39.4, -0.32, "2025-06-21T11:00:00Z") +
                          point(39.41, -0.32, "2025-06-21T11:00:01Z") +
                          point(39.42, -0.32, "2025-06-21T11:00:02Z") + "</trkseg></trk>");
    // Cut inside the third point: the first two stay, the break is said.
    const std::string cut = doc.substr(0, doc.find("39.420000") + 4);
    auto p = parseGpx(cut);
    EXPECT_EQ(p.track.count(), 2);
    EXPECT_FALSE(p.stats.damage.empty());
    EXPECT_NE(p.stats.damage.find("line"), std::string::npos);
    EXPECT_EQ(formatRaceTime(p.race.LastFix), "2025/06/21 11:00:01");
    // A stray byte that is no XML, and a mismatched tag, break it the same way.
    std::string stray = doc;
    stray.insert(stray.find("<trkpt", stray.find("11:00:01")), "<<");
    EXPECT_EQ(parseGpx(stray).track.count(), 2);
    EXPECT_EQ(parseGpx("<gpx><trk><trkseg></trk></gpx>").stats.damage.empty(), false);
    EXPECT_EQ(parseGpx("").track.count(), 0);
}

TEST(GpxTrack, EncodingExpatDoesNotKnowIsReadAsLatin1) {
    const std::string doc =
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<gpx><trk><name>Caf\xE9 \x80</name>"
        "<trkseg>" +
        point(39.4, -0.32, "2025-06-21T11:00:00Z") + "</trkseg></trk></gpx>";
    auto p = parseGpx(doc);
    EXPECT_EQ(p.track.count(), 1);
    EXPECT_TRUE(p.stats.damage.empty()) << p.stats.damage;
    // Fed a few bytes at a time, the declaration is found out in the same way.
    RaceDefinition race;
    BoatTrack t;
    GpsTrackStats st;
    GpxTrackReader reader(race, t, st);
    for (size_t at = 0; at < doc.size(); at += 5)
        reader.feed(doc.substr(at, 5), at + 5 >= doc.size());
    reader.finish();
    EXPECT_EQ(t.count(), 1);
}

TEST(GpxTrack, WindowAndRepeatedSecondAsForTrackFiles) {
    const std::string body =
        "<trk><trkseg>" + point(39.4, -0.32, "2025-06-21T09:58:59Z") +
        point(39.4, -0.32, "2025-06-21T09:59:59Z") + point(39.4, -0.32, "2025-06-21T09:59:59.5Z") +
        point(39.4, -0.32, "2025-06-21T10:30:00Z") + point(39.4, -0.32, "2025-06-21T10:29:00Z") +
        point(39.4, -0.32, "2025-06-21T12:01:00Z") + "</trkseg></trk>";
    Parsed p;
    p.race.TimeDiff = 2;
    p.race.RaceStart = parseDateTime("2025/06/21 12:00:00");
    p.race.RaceEnd = parseDateTime("2025/06/21 14:00:00");
    p.race.ViewStart = parseDateTime("2025/06/21 11:59:30");
    p.race.ViewEnd = parseDateTime("2025/06/21 14:00:30");
    p.stats = parseGpxTrack(gpx(body), p.race, p.track);
    // Out of time order stays in file order, as track lines do.
    ASSERT_EQ(p.track.count(), 3);
    EXPECT_DOUBLE_EQ(p.track.TrkSec[1], -1);
    EXPECT_DOUBLE_EQ(p.track.TrkSec[2], 1800);
    EXPECT_DOUBLE_EQ(p.track.TrkSec[3], 1740);
    EXPECT_EQ(p.stats.outsideWindow, 2);
    EXPECT_EQ(p.stats.sameSecond, 1);
}

TEST(GpxTrack, KindToldByContentAndNamesAdmitted) {
    EXPECT_EQ(detectTrackKind("<?xml version=\"1.0\"?><gpx/>"), TrackFileKind::Gpx);
    EXPECT_EQ(detectTrackKind("\xEF\xBB\xBF  \r\n<gpx>"), TrackFileKind::Gpx);
    EXPECT_EQ(detectTrackKind("junk\r\n$GPRM"), TrackFileKind::Track);  // too short to tell
    EXPECT_EQ(detectTrackKind("junk\r\n$GNRMC,123519,A"), TrackFileKind::Nmea);
    EXPECT_EQ(detectTrackKind("H header\r\nT N3530 E13945\r\n$GPGGA,1,2"), TrackFileKind::Track);
    EXPECT_EQ(detectTrackKind(""), TrackFileKind::Track);
    for (const char* name : {"a.gpx", "A.GPX", "b.nmea", "c.NMA", "d.log", "e.trk", "f.DTR"})
        EXPECT_TRUE(isReadableTrackName(name)) << name;
    for (const char* name : {"a.Trk", "gpx", "a.gpx.bak", "a.txt", "log"})
        EXPECT_FALSE(isReadableTrackName(name)) << name;
}

TEST(GpxTrack, FileReadInPiecesWhateverItsExtensionSays) {
    // A GPX document far longer than one reading piece, saved under a track file's name.
    std::string body = "<trk><trkseg>";
    const int n = 30000;
    for (int i = 0; i < n; ++i) {
        char t[32];
        std::snprintf(t, sizeof t, "2025-06-21T%02d:%02d:%02dZ", 10 + i / 3600, i / 60 % 60,
                      i % 60);
        body += point(39.4 + i * 1e-6, -0.32, t,
                      "<extensions><x:hr xmlns:x=\"urn:x\">120</x:hr></extensions>");
    }
    body += "</trkseg></trk>";
    const std::string doc = gpx(body);
    ASSERT_GT(doc.size(), 2u * 1024 * 1024);
    const std::string path = tempPath("lies.trk");
    std::ofstream(path, std::ios::binary) << doc;
    RaceDefinition race;
    BoatTrack t;
    const GpsTrackStats st = readGpsTrackFile(path, race, t);
    EXPECT_TRUE(st.accepted);
    EXPECT_EQ(st.kind, TrackFileKind::Gpx);
    EXPECT_EQ(st.bytes, doc.size());
    ASSERT_EQ(t.count(), n);
    EXPECT_DOUBLE_EQ(t.TrkLat[n], (39.4 + (n - 1) * 1e-6) * 60);
    // A small GPX file is read: the size rule is that of track files.
    const std::string small = tempPath("small.gpx");
    std::ofstream(small, std::ios::binary)
        << gpx("<trk><trkseg>" + point(1, 2, "2025-06-21T10:00:00Z") + "</trkseg></trk>");
    RaceDefinition race2;
    BoatTrack t2;
    EXPECT_EQ(readGpsTrackFile(small, race2, t2).kept, 1);
    // An empty one is too small, as an empty track file is.
    const std::string empty = tempPath("empty.gpx");
    std::ofstream(empty, std::ios::binary) << "";
    EXPECT_EQ(readGpsTrackFile(empty, race2, t2).refusal, TrackFileRefusal::TooSmall);
    std::remove(path.c_str());
    std::remove(small.c_str());
    std::remove(empty.c_str());
}
