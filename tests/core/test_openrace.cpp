// Opening a race from the test application folder: a race file with start and finish, race
// files without them, a single track, a missing race file; the times, the
// wind data, the reference speed and the last data time the opening leaves.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "race/racedefinition.h"
#include "session/openrace.h"

using namespace brisko;

namespace {

struct Opened {
    AppSettings settings;
    RaceDefinition race;
    RaceData data;
    CapturingMessageSink sink;
    OpenRaceResult result;

    Opened() {
        settings.AppPath = BRISKO_TEST_DATA "/tracks/app";
        settings.Lang = 1;
    }
    OpenRaceResult& open(const std::string& raceFile, const std::string& track = "") {
        race.RaceFileName = raceFile;
        OpenRaceOptions options;
        options.singleTrackFile = track;
        result = openRace(settings, race, data, sink, options);
        return result;
    }
};

}  // namespace

TEST(OpenRace, RaceFileWithStartAndFinish) {
    Opened o;
    int progressCalls = 0;
    o.race.RaceFileName = "race1.txt";
    OpenRaceOptions options;
    options.progress = [&](int, int n, const std::string&, const std::string&) {
        ++progressCalls;
        EXPECT_EQ(n, 2);
    };
    o.result = openRace(o.settings, o.race, o.data, o.sink, options);
    ASSERT_TRUE(o.result.ok) << o.result.error;
    EXPECT_EQ(progressCalls, 2);
    EXPECT_TRUE(o.sink.messages.empty());
    EXPECT_EQ(o.race.TimeDiff, 9);  // the file gives none
    EXPECT_EQ(formatRaceTime(o.race.RaceStart), "2005/08/11 10:00:00");
    EXPECT_EQ(formatRaceTime(o.race.ViewStart), "2005/08/11 09:56:30");
    EXPECT_EQ(o.race.RaceSeconds, 3600);
    EXPECT_EQ(o.race.RaceSecondsPlus, 3600 + 180 + 60);
    // The first line read of all files, the last line of the last file.
    EXPECT_EQ(formatRaceTime(o.race.FirstFix), "2005/08/11 09:55:00");
    EXPECT_EQ(formatRaceTime(o.race.LastFix), "2005/08/11 11:09:55");

    // Fixes from the minute of ViewStart to the minute of the finish, sorted into the store.
    const TrackStore& t = o.data.tracks;
    ASSERT_EQ(t.TrkCount(1), 390);
    ASSERT_EQ(t.TrkCount(2), 390);
    EXPECT_EQ(t.TrkSec(1, 1), -240);
    EXPECT_EQ(t.TrkSec(2, 1), -235);
    EXPECT_NEAR(t.TrkLat(2, 1), 2115 + 4.0 * 65 / 3600, 1e-4);  // decimal degrees, "+" marks
    EXPECT_NEAR(t.TrkLon(2, 1), 8370.1, 1e-4);
    EXPECT_EQ(o.data.LastDataTime, 3655);

    // Kinematics ran: boat 1 sails at 4.5 knots on the race area's scale.
    const double scale = t.MPerMinLat / kMetresPerNauticalMile;
    EXPECT_NEAR(t.TrkSpeed(1, 10), 4.5 * scale, 1e-6);
    EXPECT_NEAR(t.TrkCourse(1, 10), 0, 1e-9);
    EXPECT_NEAR(o.data.RefSpeed, 4.5 * scale, 1e-6);
    EXPECT_NEAR(o.data.SpeedBarScale, 70 / (1.6 * o.data.RefSpeed), 1e-12);

    // Wind samples of the minutes 09:56 .. 11:00.
    EXPECT_TRUE(o.data.WindShown);
    EXPECT_EQ(o.race.WindFileName, "race1_WIND.CSV");
    ASSERT_EQ(o.data.wind.WindCount, 13);
    EXPECT_EQ(o.data.wind.WindSec[1], 0);
    EXPECT_EQ(o.data.wind.WindSec[13], 3600);
    EXPECT_TRUE(o.data.analysisViewEnabled);
}

TEST(OpenRace, RaceFileWithoutTimesTakesThemFromTheTracks) {
    Opened o;
    ASSERT_TRUE(o.open("nostart.txt").ok) << o.result.error;
    EXPECT_EQ(formatRaceTime(o.race.RaceStart), "2005/08/11 09:59:00");
    EXPECT_EQ(formatRaceTime(o.race.RaceEnd), "2005/08/11 11:09:50");
    EXPECT_EQ(o.race.ViewStart, o.race.RaceStart);
    EXPECT_EQ(o.race.ViewEnd, o.race.RaceEnd);
    EXPECT_EQ(o.race.RaceSeconds, 4250);  // not a replay of zero seconds
    EXPECT_EQ(o.race.RaceSecondsPlus, 4250 + 240);
    EXPECT_EQ(o.data.tracks.TrkCount(1), 450);
    EXPECT_EQ(o.data.tracks.TrkCount(2), 450);
    // The wind file it names is missing: the race opens without wind.
    EXPECT_TRUE(o.race.WindFileName.empty());
    EXPECT_FALSE(o.data.WindShown);
    EXPECT_EQ(o.data.wind.WindCount, 0);
    EXPECT_FALSE(o.data.analysisViewEnabled);

    Opened f;
    ASSERT_TRUE(f.open("nofinish.txt").ok) << f.result.error;
    EXPECT_EQ(formatRaceTime(f.race.RaceStart), "2005/08/11 10:00:00");
    EXPECT_EQ(formatRaceTime(f.race.ViewStart),
              "2005/08/11 09:56:30");  // the file's start keeps its pre-start
    EXPECT_EQ(formatRaceTime(f.race.RaceEnd), "2005/08/11 11:09:50");
    EXPECT_EQ(f.race.ViewEnd, f.race.RaceEnd);
    EXPECT_EQ(f.race.RaceSeconds, 4190);
    EXPECT_EQ(f.data.tracks.TrkCount(1), 450);
    EXPECT_EQ(f.data.tracks.TrkCount(2), 444);
    EXPECT_EQ(f.data.tracks.TrkSec(1, 1), -300);
}

TEST(OpenRace, ImpossibleTimesInTheFileStillShowTheTracks) {
    // A finish before the start: the finish comes from the tracks, as when the file gives none.
    Opened f;
    ASSERT_TRUE(f.open("finishfirst.txt").ok) << f.result.error;
    EXPECT_EQ(formatRaceTime(f.race.RaceStart), "2005/08/11 10:00:00");
    EXPECT_EQ(formatRaceTime(f.race.RaceEnd), "2005/08/11 11:09:50");
    EXPECT_EQ(f.race.RaceSeconds, 4190);
    EXPECT_EQ(f.data.tracks.TrkCount(1), 450);
    EXPECT_EQ(f.data.tracks.TrkCount(2), 444);

    // A negative pre-start counts as none: the replay opens 30 s before the gun.
    Opened b;
    ASSERT_TRUE(b.open("negativebt.txt").ok) << b.result.error;
    EXPECT_EQ(b.race.PreStartSeconds, 0);
    EXPECT_EQ(formatRaceTime(b.race.ViewStart), "2005/08/11 09:59:30");
    EXPECT_EQ(b.race.RaceSecondsPlus, b.race.RaceSeconds + 60);
    EXPECT_GT(b.data.tracks.TrkCount(1), 300);
    EXPECT_GT(b.data.tracks.TrkCount(2), 300);
}

TEST(OpenRace, SingleTrackAfterAnotherRace) {
    Opened o;
    ASSERT_TRUE(o.open("race1.txt").ok);
    // The same definition, now with one track and no race file: the earlier race's times,
    // marks and course do not cut or decorate it.
    ASSERT_TRUE(o.open("", "boat1.trk").ok) << o.result.error;
    EXPECT_EQ(o.race.BoatCount, 1);
    EXPECT_EQ(o.race.Boats[1].BoatName, "boat1");
    EXPECT_EQ(o.race.MarkCount, 0);
    EXPECT_EQ(o.race.CourseCount, 0);
    EXPECT_EQ(o.race.TimeDiff, 9);
    EXPECT_EQ(formatRaceTime(o.race.RaceStart), "2005/08/11 09:59:00");
    EXPECT_EQ(o.race.RaceSeconds, 4250);
    EXPECT_EQ(o.data.tracks.TrkCount(1), 450);
    EXPECT_EQ(o.data.tracks.boatCount(), 1);
    EXPECT_EQ(o.data.LastDataTime, 4250);
    EXPECT_FALSE(o.data.WindShown);

    // New start and finish confirmed for the same track: the set-up that follows keeps them.
    o.race.RaceStart = o.race.ViewStart = parseDateTime("2005/08/11 10:00:00");
    o.race.RaceEnd = o.race.ViewEnd = parseDateTime("2005/08/11 10:30:00");
    ASSERT_TRUE(o.open("", "boat1.trk").ok);
    EXPECT_EQ(o.race.RaceSeconds, 1800);
    EXPECT_EQ(o.data.tracks.TrkSec(1, 1), 0);
    EXPECT_EQ(o.data.tracks.TrkSec(1, o.data.tracks.TrkCount(1)), 1850);  // minute of the end
}

TEST(OpenRace, BoatWithoutItsLogIsLeftOutAndReported) {
    Opened o;
    auto& r = o.open("droppedboat.txt");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.status, OpenRaceStatus::Ok);
    ASSERT_EQ(r.droppedBoats.size(), 1u);
    EXPECT_EQ(r.droppedBoats[0].name, "Gone");
    EXPECT_EQ(r.droppedBoats[0].gpsFile, "gone.trk");
    ASSERT_EQ(o.sink.messages.size(), 1u);
    EXPECT_NE(o.sink.messages[0].text.find("gone.trk"), std::string::npos);
    // The race goes on with the others, renumbered, and their roundings line up with them.
    ASSERT_EQ(o.race.BoatCount, 2);
    EXPECT_EQ(o.race.Boats[1].BoatName, "One");
    EXPECT_EQ(o.data.tracks.boatCount(), 2);
    EXPECT_GT(o.data.tracks.TrkCount(1), 0);
    EXPECT_EQ(o.data.roundings.boatCount, 2);

    // A race without missing logs lists nobody.
    EXPECT_TRUE(o.open("race1.txt").droppedBoats.empty());
}

TEST(OpenRace, FinishEqualToTheStartIsNoFinish) {
    // A race of no length cannot be replayed: a finish equal to the start counts as not given,
    // as one before it does, and the tracks settle it (the last fix of the first file).
    Opened o;
    auto& r = o.open("nolength.txt");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(formatRaceTime(o.race.RaceStart), "2005/08/11 10:30:00");
    EXPECT_EQ(formatRaceTime(o.race.RaceEnd), "2005/08/11 11:09:50");
    EXPECT_EQ(o.race.RaceSeconds, 2390);
    EXPECT_EQ(o.race.RaceSecondsPlus, 2390 + 180 + 60);
    EXPECT_TRUE(std::isfinite(o.data.RefSpeed));

    // One second later the finish is given: the tracks end in its minute.
    auto& one = o.open("onesecond.txt");
    ASSERT_TRUE(one.ok) << one.error;
    EXPECT_EQ(formatRaceTime(o.race.RaceEnd), "2005/08/11 10:30:01");
    EXPECT_EQ(o.race.RaceSeconds, 1);
    const TrackStore& t = o.data.tracks;
    ASSERT_GT(t.TrkCount(1), 0);
    EXPECT_EQ(t.TrkSec(1, 1), -240);  // from the minute of ViewStart, 10:26:30
    EXPECT_EQ(t.TrkSec(1, t.TrkCount(1)), 50);
    EXPECT_GT(o.data.RefSpeed, 0);
}

TEST(OpenRace, FailuresAreReportedNotThrown) {
    Opened o;
    auto& r = o.open("no_such_race.txt");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, OpenRaceStatus::RaceFileFailed);
    EXPECT_FALSE(r.error.empty());

    Opened s;
    auto& m = s.open("", "vanished.trk");
    EXPECT_FALSE(m.ok);
    EXPECT_EQ(m.status, OpenRaceStatus::GpsFileMissing);
    ASSERT_EQ(s.sink.messages.size(), 1u);
    EXPECT_NE(s.sink.messages[0].text.find("vanished.trk"), std::string::npos);

    // No race file and no track: one boat without a file, reported by the loader.
    Opened n;
    EXPECT_EQ(n.open("").status, OpenRaceStatus::GpsFileMissing);
}

namespace {

// The test race with its race file replaced, in a scratch copy of the folder.
struct ScratchRace : Opened {
    explicit ScratchRace(const std::string& raceText) {
        char tmpl[] = "/tmp/brisko-openrace-XXXXXX";
        root = ::mkdtemp(tmpl);
        std::filesystem::copy(BRISKO_TEST_DATA "/tracks/app", root,
                              std::filesystem::copy_options::recursive);
        std::ofstream(root + "/raceadmin/scratch.txt", std::ios::binary) << raceText;
        settings.AppPath = root;
    }
    ~ScratchRace() { std::filesystem::remove_all(root); }
    std::string root;
};

const char* const kRace1Head =
    "ST, 2005/08/11 10:00:00\r\nFT, 2005/08/11 11:00:00\r\nBN, boat1.trk, One\r\n"
    "BN, boat2.dtr, Two\r\n";

}  // namespace

TEST(OpenRace, CourseBeyondTheRoundingsIsSaidAndAgreesWithTheTables) {
    std::string crs = "CRS, MK2";
    for (int i = 0; i < 24; ++i) crs += i % 2 ? ", MK2" : ", MK1";
    ScratchRace o(std::string(kRace1Head) + "MK, 2116.5, 8370\r\nMK, 2115, 8370.05\r\n" + crs +
                  "\r\nBT, 3\r\n");
    auto& r = o.open("scratch.txt");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(o.race.CourseCount, 25);                            // the race keeps all it was given
    EXPECT_EQ(o.data.roundings.entryCount, kMaxRoundingEntries);  // the tables take part of it
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_EQ(r.warnings[0],
              "Only the first 20 course entries take part in the mark roundings and the leg "
              "tables; entries 21 to 25 are left out.");
    ASSERT_EQ(o.sink.messages.size(), 1u);  // told once
}

TEST(OpenRace, MarkWithoutPositionIsNotRoundedAndNoStartTimeFails) {
    ScratchRace o(std::string(kRace1Head) +
                  "MK, 2116.5, 8370\r\nMK, x, y\r\nCRS, MK1, MK2, MK1\r\nBT, 3\r\n");
    auto& r = o.open("scratch.txt");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(o.data.roundings.pointKnown[2]);
    for (int b = 1; b <= 2; ++b) EXPECT_EQ(o.data.roundings.RoundTime(2, b), 0);
    ASSERT_EQ(r.trackStats.size(), 3u);
    EXPECT_GT(r.trackStats[1].kept, 0);

    // A race file without ST whose tracks give no fix has no start: an error, said.
    ScratchRace none("BN, empty.trk, E\r\n");
    std::ofstream(none.root + "/GPSDAT/empty.trk") << std::string(600, 'H') << "\n";
    auto& n = none.open("scratch.txt");
    EXPECT_FALSE(n.ok);
    EXPECT_EQ(n.status, OpenRaceStatus::NoStartTime);
    ASSERT_EQ(none.sink.messages.size(), 2u);
    EXPECT_NE(none.sink.messages[0].text.find("no fix can be read"), std::string::npos);
    EXPECT_EQ(none.sink.messages[1].text, n.error);
}

TEST(OpenRace, TheRaceFilesTimeDifferenceIsKeptWestOfGreenwichAndForASingleTrack) {
    // Five hours behind GPS time: the fixes of 00:55 UTC are 19:55 of the day before. The
    // default of nine hours would put every fix a day away from the race.
    ScratchRace west(
        "TD,-5\r\nST, 2005/08/10 20:00:00\r\nFT, 2005/08/10 21:00:00\r\nBN, boat1.trk, One\r\n"
        "BN, boat2.dtr, Two\r\nBT, 3\r\n");
    ASSERT_TRUE(west.open("scratch.txt").ok) << west.result.error;
    EXPECT_EQ(west.race.TimeDiff, -5);
    EXPECT_EQ(formatRaceTime(west.race.FirstFix), "2005/08/10 19:55:00");
    EXPECT_EQ(west.data.tracks.TrkCount(1), 390);  // as race1.txt nine hours east
    EXPECT_EQ(west.data.tracks.TrkSec(1, 1), -240);
    EXPECT_TRUE(west.result.warnings.empty());

    // Eleven hours ahead: a single track opened next keeps the race's time zone.
    ScratchRace east(
        "TD, 11\r\nST, 2005/08/11 12:00:00\r\nFT, 2005/08/11 13:00:00\r\nBN, boat1.trk, One\r\n"
        "BN, boat2.dtr, Two\r\n");
    ASSERT_TRUE(east.open("scratch.txt").ok) << east.result.error;
    EXPECT_EQ(formatRaceTime(east.race.FirstFix), "2005/08/11 11:55:00");
    ASSERT_TRUE(east.open("", "boat1.trk").ok) << east.result.error;
    EXPECT_EQ(east.race.TimeDiff, 11);
    EXPECT_EQ(formatRaceTime(east.race.FirstFix), "2005/08/11 11:55:00");
    EXPECT_EQ(formatRaceTime(east.race.RaceStart), "2005/08/11 11:59:00");
}

TEST(OpenRace, AFinishWithoutAStartDoesNotCutTheTracks) {
    // The finish alone is no window: the tracks give the start, and with it the finish, and
    // every fix is kept as when the file gives no time at all (nostart.txt).
    ScratchRace o("FT, 2005/08/11 10:30:00\r\nBN, boat1.trk, One\r\nBN, boat2.dtr, Two\r\n");
    ASSERT_TRUE(o.open("scratch.txt").ok) << o.result.error;
    EXPECT_EQ(formatRaceTime(o.race.RaceStart), "2005/08/11 09:59:00");
    EXPECT_EQ(formatRaceTime(o.race.RaceEnd), "2005/08/11 11:09:50");
    EXPECT_EQ(o.race.RaceSeconds, 4250);
    EXPECT_EQ(o.data.tracks.TrkCount(1), 450);
    EXPECT_EQ(o.data.tracks.TrkCount(2), 450);
    EXPECT_EQ(o.result.trackStats[1].outsideWindow, 0);
    EXPECT_EQ(o.result.trackStats[2].outsideWindow, 0);
}

// Each kind of log counts its fixes in its own words, in both languages: track points of a GPX
// file, sentences of an NMEA log, lines of a track file.
TEST(OpenRace, UnreadableFixesAreCountedInTheWordsOfTheirFile) {
    BoatEntry boat{"v1.gpx", "Vela"};
    GpsTrackStats st;
    st.accepted = true;
    st.trackLines = 10;
    st.unreadable = 2;
    st.kept = 8;
    const std::pair<TrackFileKind, std::array<const char*, 2>> cases[] = {
        {TrackFileKind::Gpx,
         {": 航跡点 10 点のうち 2 点は位置か日時が読めないため除きました。",
          ": 2 of 10 track points have a position, date or time that cannot be read; they are "
          "left out."}},
        {TrackFileKind::Nmea,
         {": RMC / GGA 文 10 行のうち 2 行は位置か日時が読めないため除きました。",
          ": 2 of 10 RMC / GGA sentences have a position, date or time that cannot be read; they "
          "are left out."}},
        {TrackFileKind::Track,
         {": 航跡の行 10 行のうち 2 行は位置か日時が読めないため除きました。",
          ": 2 of 10 track lines have a position, date or time that cannot be read; they are left "
          "out."}},
    };
    for (const auto& [kind, said] : cases) {
        st.kind = kind;
        for (int lang : {0, 1}) {
            AppSettings settings;
            settings.Lang = lang;
            const auto w = trackFileWarnings(settings, boat, st);
            ASSERT_EQ(w.size(), 1u);
            const std::string who = lang ? "Boat \"Vela\", GPS file \"v1.gpx\""
                                         : "艇 \"Vela\" の GPS ファイル \"v1.gpx\"";
            EXPECT_EQ(w[0], who + said[lang]);
        }
    }
}
