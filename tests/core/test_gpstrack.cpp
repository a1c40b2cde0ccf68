// GPS track files: coordinate forms and hemisphere marks, date and time forms, the time
// window, the race times a track settles, the file acceptance rules and bad input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>

#include "race/racedefinition.h"
#include "track/gpstrack.h"
#include "util/datetime.h"

using namespace brisko;

namespace {

// Header lines in front of the track lines, so the file passes the 500-byte rule.
std::string padded(const std::string& body) {
    std::string s;
    while (s.size() + body.size() <= kMinTrackFileBytes)
        s += "H  SOFTWARE NAME & VERSION          TEST LOG WRITER 1.0\r\n";
    return s + body;
}

struct Parsed {
    RaceDefinition race;
    BoatTrack track;
    GpsTrackStats stats;
};

Parsed parse(const std::string& body, int timeDiff = 0, const std::string& start = "",
             const std::string& end = "", const std::string& viewStart = "",
             const std::string& viewEnd = "") {
    Parsed p;
    p.race.TimeDiff = timeDiff;
    // An empty text is a time not given.
    auto time = [](const std::string& t) { return t.empty() ? RaceTime() : parseDateTime(t); };
    p.race.RaceStart = time(start);
    p.race.RaceEnd = time(end);
    p.race.ViewStart = time(viewStart);
    p.race.ViewEnd = time(viewEnd);
    p.stats = parseGpsTrack(body, p.race, p.track);
    return p;
}

std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "gpstrack_" + std::to_string(::getpid()) + "_" + name;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

TEST(GpsTrack, CoordinateFormsAndMarks) {
    const auto dm = CoordinateForm::DegreesMinutes;
    EXPECT_DOUBLE_EQ(readCoordinate("N3530.0000", true, dm), 2130);
    EXPECT_DOUBLE_EQ(readCoordinate("S3530.0000", true, dm), -2130);
    EXPECT_DOUBLE_EQ(readCoordinate("N35.5", true, CoordinateForm::DecimalDegrees), 2130);
    EXPECT_DOUBLE_EQ(readCoordinate("N353000", true, CoordinateForm::DegreesMinutesSeconds), 2130);
    EXPECT_NEAR(readCoordinate("E1394530.6", false, CoordinateForm::DegreesMinutesSeconds),
                139 * 60 + 45 + 30.6 / 60, 1e-9);
    EXPECT_NEAR(readCoordinate("W13945.12345", false, dm), -(139 * 60 + 45.12345), 1e-9);
    // Degrees and minutes are split by value, not by the column of the digits.
    EXPECT_NEAR(readCoordinate("N00.00006", true, dm), 0.00006, 1e-12);
    EXPECT_DOUBLE_EQ(readCoordinate("N30.00000", true, dm), 30);
    EXPECT_DOUBLE_EQ(readCoordinate("S0.5", true, dm), -0.5);
    // Sign notation reads each coordinate's own sign, a negative latitude included.
    EXPECT_NEAR(readCoordinate("+3530.1234", true, dm), 2130.1234, 1e-9);
    EXPECT_NEAR(readCoordinate("-3530.1234", true, dm), -2130.1234, 1e-9);
    EXPECT_NEAR(readCoordinate("-13945.5", false, dm), -8385.5, 1e-9);
    // A mark written after the number, no mark at all, no digits.
    EXPECT_DOUBLE_EQ(readCoordinate("3530.0000S", true, dm), -2130);
    EXPECT_DOUBLE_EQ(readCoordinate("3530.0000", true, dm), 2130);
    // No digits is no position (not 0°, which would be a fix off West Africa).
    EXPECT_TRUE(std::isnan(readCoordinate("Nxyz", true, dm)));
    EXPECT_TRUE(std::isnan(readCoordinate("", true, dm)));
    EXPECT_TRUE(std::isnan(readCoordinate("E", false, dm)));
    EXPECT_TRUE(std::isnan(readCoordinate("N.", true, dm)));
    EXPECT_DOUBLE_EQ(readCoordinate("N12abc", true, dm), 12);  // a leading number still reads
}

TEST(GpsTrack, FastAndGeneralReadingsAgree) {
    // Random numbers of every length, in every form, read from whole lines (the fast path, with
    // the buffer ending right after the line or not) and from the field alone.
    std::mt19937 rng(11);
    const CoordinateForm forms[] = {CoordinateForm::DegreesMinutes, CoordinateForm::DecimalDegrees,
                                    CoordinateForm::DegreesMinutesSeconds};
    const char* const units[] = {"U  LAT LON DM\n", "U  LAT LON DEG\n", "U  LAT LON DMS\n"};
    for (int i = 0; i < 3000; ++i) {
        auto digits = [&](int n) {
            std::string s;
            for (int k = 0; k < n; ++k) s += static_cast<char>('0' + rng() % 10);
            return s;
        };
        const std::string number = digits(1 + static_cast<int>(rng() % 9)) +
                                   (rng() % 4 ? "." + digits(static_cast<int>(rng() % 9)) : "");
        const int f = static_cast<int>(rng() % 3);
        const double v = std::strtod(number.c_str(), nullptr);
        double expected;
        if (forms[f] == CoordinateForm::DecimalDegrees) {
            expected = 60 * v;
        } else if (forms[f] == CoordinateForm::DegreesMinutes) {
            expected = 60 * std::floor(v / 100) + (v - 100 * std::floor(v / 100));
        } else {
            const double deg = std::floor(v / 10000), r = v - 10000 * deg;
            expected = 60 * deg + std::floor(r / 100) + (r - 100 * std::floor(r / 100)) / 60;
        }
        const bool south = rng() % 2;
        const std::string lat = (south ? "S" : "N") + number;
        const double want = south ? -expected : expected;
        EXPECT_NEAR(readCoordinate(lat, true, forms[f]), want, 1e-9 * (1 + std::fabs(want))) << lat;
        if (std::fabs(want) > 90 * 60) continue;
        const std::string line = "T  " + lat + " E1 11-08-05 01:00:00 0";
        for (const char* tail : {"", "\n"}) {
            auto p = parse(padded(units[f] + line + tail), 9);
            ASSERT_EQ(p.track.count(), 1) << line;
            EXPECT_NEAR(p.track.TrkLat[1], want, 1e-9 * (1 + std::fabs(want))) << line;
        }
    }
}

TEST(GpsTrack, DatesTimesAndCenturies) {
    const auto aug11 = civilFromDate(2005, 8, 11) / 86400;
    EXPECT_EQ(readTrackDate("11-08-05", false), aug11);
    EXPECT_EQ(readTrackDate("11/08/05", false), aug11);
    EXPECT_EQ(readTrackDate("2005/08/11", true), aug11);
    EXPECT_EQ(readTrackDate("2005-8-11", true), aug11);
    EXPECT_EQ(readTrackDate("11-AUG-05", false), aug11);
    EXPECT_EQ(readTrackDate("11-aug-05", false), aug11);
    EXPECT_EQ(readTrackDate("11-August-2005", true), aug11);
    // A four-digit year written last is read as the year in either form.
    EXPECT_EQ(readTrackDate("11/08/2005", true), aug11);
    EXPECT_EQ(readTrackDate("11-08-85", false), civilFromDate(1985, 8, 11) / 86400);
    EXPECT_EQ(readTrackDate("01-01-79", false), civilFromDate(2079, 1, 1) / 86400);
    EXPECT_EQ(readTrackDate("01-01-80", false), civilFromDate(1980, 1, 1) / 86400);
    for (const char* bad :
         {"31-02-05", "11-XYZ-05", "11-08", "", "--", "2005/13/01", "a-b-c", "9999/12/31"})
        EXPECT_FALSE(readTrackDate(bad, false)) << bad;

    EXPECT_EQ(readTrackTime("10:23:45"), 10 * 3600 + 23 * 60 + 45);
    EXPECT_EQ(readTrackTime("9:05:07"), 9 * 3600 + 5 * 60 + 7);
    EXPECT_EQ(readTrackTime("09:05:07.75"), 9 * 3600 + 5 * 60 + 7);
    EXPECT_EQ(readTrackTime("09:05:07Z"), 9 * 3600 + 5 * 60 + 7);
    for (const char* bad : {"24:00:00", "10:60:00", "10:00:61", "10", "ab:cd:ef", "10:00:00PM"})
        EXPECT_FALSE(readTrackTime(bad)) << bad;
}

TEST(GpsTrack, LeapDayOf2000) {
    // 2000 is a leap year (a multiple of 400); 1900 and 2100 are not.
    const auto feb29 = civilFromDate(2000, 2, 29) / 86400;
    EXPECT_EQ(readTrackDate("2000/02/29", true), feb29);
    EXPECT_EQ(readTrackDate("29-02-00", false), feb29);
    EXPECT_EQ(readTrackDate("2000/03/01", true), feb29 + 1);
    for (const char* bad : {"1900/02/29", "2100/02/29", "2000/02/30"})
        EXPECT_FALSE(readTrackDate(bad, true)) << bad;
    EXPECT_FALSE(readTrackDate("29-02-01", false));

    // The time difference carries fixes onto and over the leap day, and the seconds between
    // them count it.
    auto p = parse(padded("T N3530 E13945 2000/02/28 23:30:00 0\n"
                          "T N3530 E13945 2000/02/29 20:00:00 0\n"),
                   9);
    EXPECT_EQ(formatRaceTime(p.race.FirstFix), "2000/02/29 08:30:00");
    EXPECT_EQ(formatRaceTime(p.race.LastFix), "2000/03/01 05:00:00");
    ASSERT_EQ(p.track.count(), 2);
    EXPECT_EQ(p.track.TrkSec[2] - p.track.TrkSec[1], 20.5 * 3600);
}

TEST(GpsTrack, TwoDigitYearFirstDate) {
    // Neither outer part of "05/08/11" is longer than three characters: the file is day first,
    // and the date is 5 August 2011.
    auto d = parse(padded("T N3530 E13945 05/08/11 01:00:00 0\n"));
    EXPECT_EQ(formatRaceTime(d.race.FirstFix), "2011/08/05 01:00:00");
    // In a file that began with four-digit years the same field is read year first.
    auto y =
        parse(padded("T N3530 E13945 2005/08/10 23:00:00 0\n"
                     "T N3530 E13945 05/08/11 01:00:00 0\n"));
    EXPECT_EQ(formatRaceTime(y.race.LastFix), "2005/08/11 01:00:00");
    ASSERT_EQ(y.track.count(), 2);
    EXPECT_EQ(y.track.TrkSec[2] - y.track.TrkSec[1], 2 * 3600);
}

TEST(GpsTrack, FixesWithMarksInTheirOwnFields) {
    // The N of JUN and the "+" of the altitude are no hemisphere marks.
    auto p =
        parse(padded("T  S3530.0000 W13945.0000 12-JUN-05 10:00:00 +12\r\n"
                     "T  -3530.0000 +13945.0000 12-JUN-05 10:00:01 -3\r\n"
                     "T  N3530.0000 E13945.0000 12-JUN-05 10:00:02 0 extra fields\r\n"));
    ASSERT_EQ(p.track.count(), 3);
    EXPECT_DOUBLE_EQ(p.track.TrkLat[1], -2130);
    EXPECT_DOUBLE_EQ(p.track.TrkLon[1], -8385);
    EXPECT_DOUBLE_EQ(p.track.TrkLat[2], -2130);
    EXPECT_DOUBLE_EQ(p.track.TrkLon[2], 8385);
    EXPECT_DOUBLE_EQ(p.track.TrkLat[3], 2130);
    EXPECT_DOUBLE_EQ(p.track.TrkLon[3], 8385);
}

TEST(GpsTrack, CoordinateSystemLinesHoldForLaterLines) {
    auto p =
        parse(padded("T N3530.0000 E13945.0000 2005/08/11 01:00:00 0\n"
                     "U  LAT LON DEG\n"
                     "T N35.5 E139.75 2005/08/11 01:00:01 0\n"
                     "U  LAT LON DMS\n"
                     "T N353000 E1394500 2005/08/11 01:00:02 0\n"
                     "U  LAT LON DM\n"
                     "T N3530 E13945 2005/08/11 01:00:03 0\n"));
    ASSERT_EQ(p.track.count(), 4);
    for (int k = 1; k <= 4; ++k) {
        EXPECT_DOUBLE_EQ(p.track.TrkLat[k], 2130) << k;
        EXPECT_DOUBLE_EQ(p.track.TrkLon[k], 8385) << k;
    }
}

TEST(GpsTrack, LineEndsOfEveryKind) {
    const std::string lines[] = {"H  header", "T N3530 E13945 11-08-05 01:00:00 0",
                                 "T N3531 E13945 11-08-05 01:00:01 0"};
    for (const char* eol : {"\r\n", "\n", "\r"}) {
        std::string body;
        while (body.size() <= kMinTrackFileBytes) body += lines[0] + eol;
        body += lines[1] + eol + lines[2];  // the last line without its line end
        auto p = parse(body, 9);
        ASSERT_EQ(p.track.count(), 2) << static_cast<int>(eol[0]);
        EXPECT_DOUBLE_EQ(p.track.TrkLat[2], 2131);
    }
}

TEST(GpsTrack, TimeDifferenceMovesTheDateBothWays) {
    auto fwd = parse(padded("T N3530 E13945 11-08-05 23:30:00 0\n"), 9);
    EXPECT_EQ(formatRaceTime(fwd.race.FirstFix), "2005/08/12 08:30:00");
    auto back = parse(padded("T N3530 E13945 11-08-05 02:00:00 0\n"), -5);
    EXPECT_EQ(formatRaceTime(back.race.FirstFix), "2005/08/10 21:00:00");
    // Across the year end, and in the year-first form.
    auto year = parse(padded("T N3530 E13945 2005/12/31 20:00:00 0\n"), 9);
    EXPECT_EQ(formatRaceTime(year.race.FirstFix), "2006/01/01 05:00:00");
}

TEST(GpsTrack, RaceWithoutStartTakesItFromTheFirstFix) {
    auto p = parse(padded("T N3530 E13945 11-08-05 01:00:00 0\n"
                          "T N3530 E13945 11-08-05 01:02:00 0\n"
                          "T N3530 E13945 11-08-05 01:10:00 0\n"),
                   9);
    EXPECT_EQ(formatRaceTime(p.race.RaceStart), "2005/08/11 10:04:00");
    EXPECT_EQ(formatRaceTime(p.race.ViewStart), "2005/08/11 10:00:00");
    EXPECT_EQ(formatRaceTime(p.race.RaceEnd), "2005/08/11 10:10:00");
    EXPECT_EQ(formatRaceTime(p.race.LastFix), "2005/08/11 10:10:00");
    ASSERT_EQ(p.track.count(), 3);
    EXPECT_EQ(p.track.TrkSec[1], -240);
    EXPECT_EQ(p.track.TrkSec[2], -120);
    EXPECT_EQ(p.track.TrkSec[3], 360);

    // A second file of the same race is cut by the window the first one settled, with an open
    // end while ViewEnd is still unset.
    BoatTrack second;
    parseGpsTrack(padded("T N3530 E13945 11-08-05 00:58:00 0\n"
                         "T N3530 E13945 11-08-05 01:00:30 0\n"
                         "T N3530 E13945 11-08-05 01:30:00 0\n"),
                  p.race, second);
    ASSERT_EQ(second.count(), 2);
    EXPECT_EQ(second.TrkSec[1], -210);
    EXPECT_EQ(formatRaceTime(p.race.FirstFix), "2005/08/11 10:00:00");
    EXPECT_EQ(formatRaceTime(p.race.LastFix), "2005/08/11 10:30:00");
}

TEST(GpsTrack, WindowIsComparedInWholeMinutes) {
    const std::string body = padded(
        "T N3530 E13945 2005/08/11 01:58:59 0\n"    // the minute before ViewStart: out
        "T N3530 E13945 2005/08/11 01:59:59 0\n"    // same minute as ViewStart 10:59:30: in
        "T N3530 E13945 2005/08/11 02:30:00 0\n"    // inside
        "T N3530 E13945 2005/08/11 03:00:59 0\n"    // same minute as ViewEnd 12:00:10: in
        "T N3530 E13945 2005/08/11 03:01:00 0\n");  // next minute: out
    auto p = parse(body, 9, "2005/08/11 11:03:00", "2005/08/11 12:00:10", "2005/08/11 10:59:30",
                   "2005/08/11 12:00:10");
    ASSERT_EQ(p.track.count(), 3);
    EXPECT_EQ(p.track.TrkSec[1], -181);
    EXPECT_EQ(p.track.TrkSec[3], 3479);
    EXPECT_EQ(formatRaceTime(p.race.RaceStart), "2005/08/11 11:03:00");  // given times stay
    EXPECT_EQ(formatRaceTime(p.race.RaceEnd), "2005/08/11 12:00:10");
    EXPECT_EQ(formatRaceTime(p.race.FirstFix), "2005/08/11 10:58:59");
    EXPECT_EQ(formatRaceTime(p.race.LastFix), "2005/08/11 12:01:00");
}

TEST(GpsTrack, RepeatedSecondsKeepTheFirstFix) {
    auto p = parse(padded("T N3530 E13945 11-08-05 01:00:00 0\n"
                          "T N3531 E13946 11-08-05 01:00:00 0\n"
                          "T N3532 E13947 11-08-05 01:00:01 0\n"
                          "T N3533 E13948 11-08-05 01:00:00 0\n"),  // back in time: kept
                   9);
    ASSERT_EQ(p.track.count(), 3);
    EXPECT_DOUBLE_EQ(p.track.TrkLat[1], 2130);
    EXPECT_DOUBLE_EQ(p.track.TrkLat[2], 2132);
    EXPECT_DOUBLE_EQ(p.track.TrkLat[3], 2133);
    EXPECT_EQ(p.track.TrkSec[3], p.track.TrkSec[1]);  // file order is kept, not sorted
}

TEST(GpsTrack, HeaderOnlyFileSetsNothing) {
    auto p = parse(padded("H  header\nM  datum\nI  info\n\nT too few fields\n"));
    EXPECT_EQ(p.track.count(), 0);
    EXPECT_TRUE(!p.race.RaceStart.has_value());
    EXPECT_TRUE(!p.race.FirstFix.has_value());
    EXPECT_TRUE(!p.race.LastFix.has_value());
    EXPECT_TRUE(!p.race.RaceEnd.has_value());
}

TEST(GpsTrack, FileSizeAndExtensionRules) {
    const std::string body =
        "T N3530 E13945 11-08-05 01:00:00 0\nT N3531 E13945 11-08-05 01:00:05 0\n";
    const std::string full = padded(body);
    const std::string exact = body + "H" + std::string(kMinTrackFileBytes - body.size() - 1, 'x');
    ASSERT_EQ(exact.size(), kMinTrackFileBytes);

    auto samplesOf = [](const std::string& path, std::string_view written = {}) {
        RaceDefinition race;
        race.TimeDiff = 9;
        BoatTrack t;
        auto st = readGpsTrackFile(path, race, t, written);
        return std::make_pair(st.accepted, t.count());
    };
    const std::string upper = tempPath("a.TRK"), lower = tempPath("a.dtr"),
                      mixed = tempPath("a.Trk"), small = tempPath("small.trk");
    writeFile(upper, full);
    writeFile(lower, full);
    writeFile(mixed, full);
    writeFile(small, exact);
    EXPECT_EQ(samplesOf(upper), std::make_pair(true, 2));
    EXPECT_EQ(samplesOf(lower), std::make_pair(true, 2));
    EXPECT_EQ(samplesOf(mixed), std::make_pair(false, 0));
    EXPECT_EQ(samplesOf(small), std::make_pair(false, 0));
    writeFile(small, exact + "\n");  // 501 bytes: read
    EXPECT_EQ(samplesOf(small), std::make_pair(true, 2));
    EXPECT_EQ(samplesOf(tempPath("missing.trk")), std::make_pair(false, 0));
    // The rule applies to the name as the race writes it.
    EXPECT_EQ(samplesOf(mixed, "a.TRK"), std::make_pair(true, 2));
    for (auto& f : {upper, lower, mixed, small}) std::remove(f.c_str());
}

TEST(GpsTrack, BadInputNeverStopsTheRest) {
    // Binary junk, including NULs and lines that start with T.
    std::mt19937 rng(7);
    std::string junk;
    for (int i = 0; i < 200000; ++i) junk += static_cast<char>(rng() & 0xFF);
    for (int i = 0; i < 2000; ++i) junk += "\nT" + std::string(1, static_cast<char>(rng() & 0xFF));
    auto j = parse(junk + "\nT N3530 E13945 11-08-05 01:00:00 0\n", 9);
    EXPECT_GE(j.track.count(), 1);
    EXPECT_DOUBLE_EQ(j.track.TrkLat[j.track.count()], 2130);

    // A ten-million-character line, a truncated last line, absurd positions, unreadable dates
    // and times, more than twenty fields.
    std::string body = "T N3530 E13945 11-08-05 01:00:00 0\n";
    body += "T " + std::string(10'000'000, '9') + "\n";
    body += "T " + std::string(5'000'000, ' ') + "N1 E1 11-08-05 01:00:01 0\n";
    body += "T N99999999 E13945 11-08-05 01:00:02 0\n";
    body += "T N3530 E1e999 11-08-05 01:00:03 0\n";
    body += "T N3530 E13945 99-99-99 01:00:04 0\n";
    body += "T N3530 E13945 11-08-05 1:0:xx 0\n";
    body += "T N3530 E13945 11-08-05 01:00:05";
    for (int i = 0; i < 30; ++i) body += " f";
    body += "\nT N3531 E13946 11-08-05 01:00:06";  // truncated: fewer than 6 fields
    auto p = parse(padded(body), 9);
    ASSERT_EQ(p.track.count(), 3);
    EXPECT_DOUBLE_EQ(p.track.TrkLat[2], 1);
    EXPECT_EQ(p.track.TrkSec[2], -239);
    EXPECT_EQ(p.track.TrkSec[3], -235);
    EXPECT_EQ(p.stats.unreadable, 4);
    EXPECT_EQ(formatRaceTime(p.race.LastFix), "2005/08/11 10:00:05");

    // A first line with an unreadable date does not settle the start.
    auto q = parse(
        padded("T N3530 E13945 xx-yy-zz 01:00:00 0\nT N3530 E13945 11-08-05 01:00:09 0\n"), 9);
    EXPECT_EQ(formatRaceTime(q.race.FirstFix), "2005/08/11 10:00:09");
    EXPECT_EQ(formatRaceTime(q.race.RaceStart), "2005/08/11 10:04:09");
}

namespace brisko {
namespace {

TEST(GpsTrack, EveryLineLeftOutIsCountedByWhy) {
    auto p = parse(padded("T N3530 E13945 2005/08/11 01:58:59 0\n"   // before the window
                          "T N3530 E13945 2005/08/11 02:30:00 0\n"   // kept
                          "T N3531 E13945 2005/08/11 02:30:00 0\n"   // same second
                          "T NNaN E13945 2005/08/11 02:30:01 0\n"    // not a number
                          "T N E13945 2005/08/11 02:30:02 0\n"       // no digits: not 0°
                          "T N1e300 E13945 2005/08/11 02:30:03 0\n"  // off the globe
                          "T N3530 Einf 2005/08/11 02:30:04 0\n"     // infinite
                          "T N3530 E13945 2005/08/11 25:30:05 0\n"   // no time of day
                          "T N3530 E13945\n"),                       // too few fields
                   9, "2005/08/11 11:03:00", "2005/08/11 12:00:10", "2005/08/11 10:59:30",
                   "2005/08/11 12:00:10");
    EXPECT_EQ(p.track.count(), 1);
    EXPECT_EQ(p.stats.kept, 1);
    EXPECT_EQ(p.stats.outsideWindow, 1);
    EXPECT_EQ(p.stats.sameSecond, 1);
    EXPECT_EQ(p.stats.unreadable, 5);
    EXPECT_EQ(p.stats.tooFewFields, 1);
    EXPECT_EQ(p.stats.trackLines, 8);
}

TEST(GpsTrack, RefusedFilesSayWhy) {
    RaceDefinition race;
    BoatTrack t;
    const std::string small = tempPath("tiny.trk");
    writeFile(small, "T N3530 E13945 11-08-05 01:00:00 0\n");
    auto st = readGpsTrackFile(small, race, t);
    EXPECT_EQ(st.refusal, TrackFileRefusal::TooSmall);
    EXPECT_EQ(st.bytes, 35u);
    EXPECT_EQ(readGpsTrackFile(small, race, t, "tiny.Trk").refusal,
              TrackFileRefusal::WrongExtension);
    EXPECT_EQ(readGpsTrackFile(tempPath("none.trk"), race, t).refusal,
              TrackFileRefusal::NotReadable);
    std::remove(small.c_str());
}

}  // namespace
}  // namespace brisko
