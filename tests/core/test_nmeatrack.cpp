// NMEA 0183 logs: RMC and GGA of any talker, checksums, fixes the receiver marks as void,
// garbage between sentences, sub-second times, GGA dating across midnight UTC, and the file
// read by its content.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "parsedtrack.h"
#include "race/racedefinition.h"
#include "track/gpstrack.h"
#include "track/nmeatrack.h"

using namespace brisko;

namespace {

// "$" + body + "*" + its checksum.
std::string sentence(const std::string& body) {
    unsigned char sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", sum);
    return "$" + body + tail;
}

std::string rmc(const std::string& talker, const std::string& time, const std::string& date,
                const std::string& status = "A", const std::string& lat = "3924.4647,N",
                const std::string& lon = "00019.4005,W") {
    return sentence(talker + "RMC," + time + "," + status + "," + lat + "," + lon + ",5.2,87.1," +
                    date + ",,,A") +
           "\r\n";
}

std::string gga(const std::string& talker, const std::string& time,
                const std::string& quality = "1", const std::string& lat = "3924.4647,N",
                const std::string& lon = "00019.4005,W") {
    return sentence(talker + "GGA," + time + "," + lat + "," + lon + "," + quality +
                    ",09,0.9,3.2,M,49.6,M,,") +
           "\r\n";
}

using test::Parsed;

Parsed parse(const std::string& log, int timeDiff = 0) {
    return test::parsedWith(parseNmeaTrack, log, timeDiff);
}

}  // namespace

TEST(NmeaTrack, RmcAndGgaOfEveryTalkerGiveFixesInMinutes) {
    const std::string log = rmc("GP", "101500", "210625") + gga("GN", "101501") +
                            rmc("GL", "101502.00", "210625") + rmc("GA", "101503", "210625") +
                            rmc("BD", "101504", "210625") + gga("GP", "101505", "2");
    auto p = parse(log, 2);
    EXPECT_EQ(p.stats.kind, TrackFileKind::Nmea);
    EXPECT_EQ(p.stats.trackLines, 6);
    ASSERT_EQ(p.track.count(), 6);
    EXPECT_DOUBLE_EQ(p.track.TrkLat[1], 39 * 60 + 24.4647);
    EXPECT_DOUBLE_EQ(p.track.TrkLon[1], -(0 * 60 + 19.4005));
    EXPECT_EQ(formatRaceTime(p.race.FirstFix), "2025/06/21 12:15:00");
    EXPECT_EQ(formatRaceTime(p.race.LastFix), "2025/06/21 12:15:05");
    for (int k = 1; k <= 6; ++k) EXPECT_DOUBLE_EQ(p.track.TrkSec[k], -240 + (k - 1));
    // Southern and eastern hemispheres.
    auto se = parse(rmc("GP", "000000", "010125", "A", "3352.1200,S", "15112.6000,E"));
    ASSERT_EQ(se.track.count(), 1);
    EXPECT_DOUBLE_EQ(se.track.TrkLat[1], -(33 * 60 + 52.12));
    EXPECT_DOUBLE_EQ(se.track.TrkLon[1], 151 * 60 + 12.6);
}

TEST(NmeaTrack, BadChecksumsVoidFixesAndGarbageAreSkippedAndCounted) {
    std::string wrong = rmc("GP", "101501", "210625");
    wrong[wrong.size() - 3] = wrong[wrong.size() - 3] == '0' ? '1' : '0';
    std::string noSum = rmc("GP", "101502", "210625");
    noSum.erase(noSum.find('*'));
    noSum += "\r\n";
    const std::string log = "GARBAGE \x01\x02 line\r\n" + rmc("GP", "101500", "210625") + wrong +
                            noSum + "junk before$" + gga("GP", "101503").substr(1) +
                            rmc("GP", "101504", "210625", "V") + gga("GP", "101505", "0") +
                            "$GPGSV,3,1,11,03,03,111,00*74\r\n!AIVDM,1,1,,A,13aG*5C\r\n" +
                            "$GPRMC,10150" +  // a sentence cut by the next one
                            rmc("GP", "101506", "210625") + std::string("\x00\xFF\r\n", 4) +
                            sentence("GPRMC,101507,A,39xx.1,N,00019.4005,W,5,87,210625,,") + "\n" +
                            sentence("GPRMC,101508,A,3924.1,N,00019.4005,W,5,87,310625,,") + "\n" +
                            gga("GP", "101509", "");  // no fix quality given: no fix
    auto p = parse(log);
    EXPECT_EQ(p.track.count(), 3);  // 10:15:00, 10:15:03, 10:15:06
    EXPECT_EQ(p.stats.badChecksum, 3);
    EXPECT_EQ(p.stats.noFix, 3);
    EXPECT_EQ(p.stats.unreadable, 2);  // a coordinate and a date that cannot be read
    EXPECT_EQ(p.stats.trackLines, 11);
    EXPECT_DOUBLE_EQ(p.track.TrkSec[2], -237);
    EXPECT_DOUBLE_EQ(p.track.TrkSec[3], -234);
}

TEST(NmeaTrack, SubSecondFixesKeepTheFirstOfEachSecond) {
    std::string log;
    for (int tenth = 0; tenth < 20; ++tenth) {
        char t[16];
        std::snprintf(t, sizeof t, "1015%02d.%d0", tenth / 10, tenth % 10);
        log += rmc("GN", t, "210625") + gga("GN", t);
    }
    auto p = parse(log);
    ASSERT_EQ(p.track.count(), 2);
    EXPECT_EQ(p.stats.sameSecond, 38);
    EXPECT_DOUBLE_EQ(p.track.TrkSec[2] - p.track.TrkSec[1], 1);
}

TEST(NmeaTrack, GgaDatedAcrossMidnightAndBeforeTheFirstRmc) {
    // GGA fixes before any RMC take the first RMC's date; one logged just before midnight
    // keeps the day before. After 00:00 the GGA that follows a late RMC moves a day on.
    const std::string log = gga("GP", "235958") + gga("GP", "235959") +
                            rmc("GP", "000000", "010725") + gga("GP", "000001") +
                            rmc("GP", "235959", "010725") + gga("GP", "000002");
    auto p = parse(log);
    ASSERT_EQ(p.track.count(), 6);
    EXPECT_EQ(formatRaceTime(p.race.FirstFix), "2025/06/30 23:59:58");
    EXPECT_DOUBLE_EQ(p.track.TrkSec[3] - p.track.TrkSec[1], 2);
    EXPECT_DOUBLE_EQ(p.track.TrkSec[4] - p.track.TrkSec[1], 3);
    EXPECT_DOUBLE_EQ(p.track.TrkSec[5] - p.track.TrkSec[1], 86401);
    EXPECT_DOUBLE_EQ(p.track.TrkSec[6] - p.track.TrkSec[1], 86404);
    EXPECT_EQ(formatRaceTime(p.race.LastFix), "2025/07/02 00:00:02");
    // An RMC date moving on at midnight dates the fixes that follow.
    auto roll = parse(rmc("GP", "235959", "300625") + rmc("GP", "000000", "010725"));
    ASSERT_EQ(roll.track.count(), 2);
    EXPECT_DOUBLE_EQ(roll.track.TrkSec[2] - roll.track.TrkSec[1], 1);
    // GGA alone has no date: counted, nothing kept.
    auto alone = parse(gga("GP", "101500") + gga("GP", "101501"));
    EXPECT_EQ(alone.track.count(), 0);
    EXPECT_EQ(alone.stats.undated, 2);
    EXPECT_TRUE(!alone.race.FirstFix.has_value());
}

TEST(NmeaTrack, OutOfOrderFixesStayInLogOrderWithinTheWindow) {
    Parsed p;
    p.race.TimeDiff = 2;
    p.race.RaceStart = parseDateTime("2025/06/21 12:15:00");
    p.race.RaceEnd = parseDateTime("2025/06/21 13:00:00");
    p.race.ViewStart = parseDateTime("2025/06/21 12:14:00");
    p.race.ViewEnd = parseDateTime("2025/06/21 13:00:00");
    const std::string log = rmc("GP", "101310", "210625") + rmc("GP", "101510", "210625") +
                            rmc("GP", "101505", "210625") + rmc("GP", "101505", "210625") +
                            rmc("GP", "110100", "210625");
    p.stats = parseNmeaTrack(log, p.race, p.track);
    ASSERT_EQ(p.track.count(), 2);
    EXPECT_DOUBLE_EQ(p.track.TrkSec[1], 10);
    EXPECT_DOUBLE_EQ(p.track.TrkSec[2], 5);
    EXPECT_EQ(p.stats.sameSecond, 1);
    EXPECT_EQ(p.stats.outsideWindow, 2);
}

TEST(NmeaTrack, LogFileReadByContentWithoutTheSizeRule) {
    const std::string path =
        ::testing::TempDir() + "nmeatrack_" + std::to_string(::getpid()) + ".log";
    std::ofstream(path, std::ios::binary) << rmc("GP", "101500", "210625");
    RaceDefinition race;
    BoatTrack t;
    const GpsTrackStats st = readGpsTrackFile(path, race, t);
    EXPECT_TRUE(st.accepted);
    EXPECT_EQ(st.kind, TrackFileKind::Nmea);
    EXPECT_EQ(t.count(), 1);
    // The same sentences under a track file's name are read as NMEA too.
    RaceDefinition race2;
    BoatTrack t2;
    EXPECT_EQ(readGpsTrackFile(path, race2, t2, "boat.trk").kept, 1);
    EXPECT_EQ(parseAnyTrack(rmc("GP", "101500", "210625"), race2, t2).kind, TrackFileKind::Nmea);
    std::remove(path.c_str());
}
