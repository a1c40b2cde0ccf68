// The race session: a race switch replaces everything, the period and clock operations with the
// frame that follows them, and the write-through that changes nothing when the file cannot be
// written.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "display/framestate.h"
#include "race/racedefinition.h"
#include "session/racesession.h"

using namespace brisko;
namespace fs = std::filesystem;

namespace {

const std::string kApp = BRISKO_TEST_DATA "/tracks/app";

struct Opener {
    AppSettings settings;
    CapturingMessageSink sink;
    explicit Opener(const std::string& app = kApp, int mode = 1) {
        settings.AppPath = app;
        settings.Lang = 1;
        settings.EditionMode = mode;
    }
    RaceSession::Opened open(const std::string& raceFile) {
        RaceRequest req;
        req.seed.RaceFileName = raceFile;
        return RaceSession::open(settings, req, sink);
    }
};

// A copy of the test application folder that the test may write into.
struct TempApp {
    fs::path root;
    TempApp() {
        root =
            fs::temp_directory_path() /
            ("brisko_session_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::copy(kApp, root, fs::copy_options::recursive);
    }
    ~TempApp() { fs::remove_all(root); }
    fs::path raceFile(const std::string& name) const { return root / "raceadmin" / name; }
};

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(RaceSession, OpensWithTheClockAtThePreStartAndTheWholeRaceAsPeriod) {
    Opener o;
    auto opened = o.open("race1.txt");
    ASSERT_EQ(opened.status, SessionOpenStatus::Ok) << opened.error;
    const RaceSession& s = *opened.session;
    EXPECT_EQ(s.shownFile(), "race1.txt");
    EXPECT_EQ(s.boatCount(), 2);
    EXPECT_DOUBLE_EQ(s.clock().PeriodFrom, -210);
    EXPECT_DOUBLE_EQ(s.clock().PeriodTo, 3600);
    EXPECT_DOUBLE_EQ(s.clock().RaceTime, -200);
    EXPECT_DOUBLE_EQ(s.frame().LastDataTime, 3655);
    EXPECT_EQ(s.frame().FinishCount, 0);
    // The mean wind until the wind data take over.
    EXPECT_DOUBLE_EQ(s.windDirNow(), 180);
}

TEST(RaceSession, ARaceSwitchReplacesEverything) {
    Opener o;
    auto first = o.open("race1.txt");
    ASSERT_TRUE(first.session);
    RaceSession& a = *first.session;
    a.setPeriod(2000, 1000);
    a.jumpTo(3500);
    a.advanceFrame(800);
    a.setOrientation(true);

    auto second = o.open("nostart.txt");
    ASSERT_EQ(second.status, SessionOpenStatus::Ok) << second.error;
    const RaceSession& b = *second.session;
    EXPECT_EQ(b.race().RaceFileName, "nostart.txt");
    EXPECT_NE(b.race().Title1, a.race().Title1);
    EXPECT_EQ(b.race().MarkCount, 0);  // race1's marks are not carried over
    EXPECT_EQ(b.tracks().TrkCount(1), 450);
    EXPECT_DOUBLE_EQ(b.clock().PeriodTo, 4250);
    EXPECT_DOUBLE_EQ(b.clock().RaceTime, -200);
    EXPECT_EQ(b.frame().FinishCount, 0);
    EXPECT_FALSE(b.data().WindShown);
    // The first session is untouched by the second: a refused switch keeps the race shown.
    EXPECT_EQ(a.race().RaceFileName, "race1.txt");
    EXPECT_DOUBLE_EQ(a.clock().PeriodFrom, 1000);

    auto missing = o.open("missing.txt");
    EXPECT_FALSE(missing.session);
    EXPECT_EQ(missing.status, SessionOpenStatus::RaceFileFailed);
}

TEST(RaceSession, RacesThatCannotBeShownSayWhy) {
    TempApp app;
    // Every GPS file missing.
    std::ofstream(app.raceFile("nogps.txt")) << "T1, x\r\nBN, gone1.trk, A\r\nBN, gone2.trk, B\r\n";
    // Start and finish years away from the logs.
    std::ofstream(app.raceFile("elsewhen.txt"))
        << "ST, 2019/01/01 10:00:00\r\nFT, 2019/01/01 11:00:00\r\nBN, boat1.trk, One\r\n";
    Opener o(app.root.string());
    auto nogps = o.open("nogps.txt");
    EXPECT_FALSE(nogps.session);
    EXPECT_EQ(nogps.status, SessionOpenStatus::NoTracks);
    auto elsewhen = o.open("elsewhen.txt");
    EXPECT_FALSE(elsewhen.session);
    EXPECT_EQ(elsewhen.status, SessionOpenStatus::NoFixesInRace);
}

TEST(RaceSession, PeriodAndClockOperationsDriveTheFrame) {
    Opener o;
    auto opened = o.open("race1.txt");
    RaceSession& s = *opened.session;
    s.setPeriod(2000, 1000);
    EXPECT_DOUBLE_EQ(s.clock().PeriodFrom, 1000);
    EXPECT_DOUBLE_EQ(s.clock().PeriodTo, 2000);
    EXPECT_DOUBLE_EQ(s.clock().RaceTime, 1000);
    // Past the period's end the frame brings the clock back to its start.
    s.jumpTo(2000.5);
    EXPECT_TRUE(s.advanceFrame(800).events.wrapped);
    EXPECT_DOUBLE_EQ(s.clock().RaceTime, 1000);
    EXPECT_TRUE(s.frame().Boats[1].visible);
    // Backwards before it, the frame continues from its end.
    s.backward();
    s.jumpTo(999);
    s.advanceFrame(800);
    EXPECT_DOUBLE_EQ(s.clock().RaceTime, 2000);
    // The step buttons stop the replay and move at least a second.
    s.stepForward();
    EXPECT_TRUE(s.clock().stopped());
    EXPECT_DOUBLE_EQ(s.clock().RaceTime, 2001);
    s.stepBackward();
    EXPECT_DOUBLE_EQ(s.clock().RaceTime, 2000);
    s.cancelPeriod();
    EXPECT_DOUBLE_EQ(s.clock().PeriodFrom, -240);
    EXPECT_DOUBLE_EQ(s.clock().PeriodTo, 3840);
    // The wind data move the wind in force as the frame reaches a new second.
    s.jumpTo(1800.2);
    s.advanceFrame(800);
    EXPECT_NE(s.windNow().WindSpeedNow, 0);
}

TEST(RaceSession, WriteThroughChangesTheFileAndTheMemoryTogether) {
    TempApp app;
    Opener o(app.root.string(), 2);
    auto opened = o.open("race1.txt");
    ASSERT_TRUE(opened.session) << opened.error;
    RaceSession& s = *opened.session;
    ASSERT_TRUE(s.setWindDirection(-30).ok);
    EXPECT_DOUBLE_EQ(s.race().MeanWindDir, 330);
    EXPECT_NE(readFile(app.raceFile("race1.txt")).find(" 330\r\n"), std::string::npos);

    ASSERT_TRUE(s.saveAs("copy.txt").ok);
    EXPECT_EQ(s.race().RaceFileName, "copy.txt");
    EXPECT_EQ(s.shownFile(), "copy.txt");
    EXPECT_TRUE(fs::exists(app.raceFile("copy.txt")));
}

TEST(RaceSession, AFailedWriteIsReportedAndChangesNothing) {
    TempApp app;
    Opener o(app.root.string(), 2);
    auto opened = o.open("race1.txt");
    ASSERT_TRUE(opened.session) << opened.error;
    RaceSession& s = *opened.session;
    const RaceDefinition before = s.race();
    // The race file turned into a folder: it can no longer be replaced.
    fs::remove(app.raceFile("race1.txt"));
    fs::create_directory(app.raceFile("race1.txt"));
    const WriteResult w = s.setWindDirection(90);
    EXPECT_FALSE(w.ok);
    EXPECT_FALSE(w.error.empty());
    EXPECT_DOUBLE_EQ(s.race().MeanWindDir, before.MeanWindDir);
    EXPECT_DOUBLE_EQ(s.windDirNow(), 180);

    fs::create_directory(app.raceFile("taken.txt"));
    EXPECT_FALSE(s.saveAs("taken.txt").ok);
    EXPECT_FALSE(s.saveAs("../outside.txt").ok);
    EXPECT_EQ(s.race().RaceFileName, "race1.txt");
    EXPECT_EQ(s.shownFile(), "race1.txt");
    EXPECT_FALSE(fs::exists(app.root / "outside.txt"));

    // Times outside the logs are refused and leave the race as it was.
    EXPECT_FALSE(s.setStartFinish("2005/08/11 12:00:00", "2005/08/11 12:30:00"));
    EXPECT_EQ(s.race().RaceStart, before.RaceStart);
    EXPECT_TRUE(s.setStartFinish("2005/08/11 10:05:00", "2005/08/11 11:00:00"));
    EXPECT_EQ(formatRaceTime(s.race().RaceStart), "2005/08/11 10:05:00");
}

TEST(RaceSession, RefusalsAreSaidInTheUsersLanguage) {
    for (int lang : {0, 1}) {
        TempApp app;
        Opener o(app.root.string(), 2);
        o.settings.Lang = lang;
        auto opened = o.open("race1.txt");
        ASSERT_TRUE(opened.session) << opened.error;
        RaceSession& s = *opened.session;
        const WriteResult name = s.saveAs("../outside.txt");
        const WriteResult wind = s.setWindDirection(std::nan(""));
        EXPECT_FALSE(name.ok);
        EXPECT_FALSE(wind.ok);
        EXPECT_NE(name.error.find("../outside.txt"), std::string::npos);
        if (lang == 1) {
            EXPECT_EQ(name.error, "not a file name: ../outside.txt");
            EXPECT_EQ(wind.error, "not a direction");
        } else {
            EXPECT_EQ(name.error, "ファイル名として使えません: ../outside.txt");
            EXPECT_EQ(wind.error, "風向として読めません");
        }
    }
}

TEST(RaceSession, TypedNamesAndTimes) {
    EXPECT_EQ(raceFileNameFromAnswer("race2"), "race2.txt");
    EXPECT_EQ(raceFileNameFromAnswer("race2.TXT"), "race2.TXT");
    EXPECT_EQ(raceFileNameFromAnswer("  "), "");
    EXPECT_EQ(raceFileNameFromAnswer("a/b"), "");
    const RaceTime first = parseDateTime("2026/06/07 10:00:00");
    const RaceTime last = parseDateTime("2026/06/07 10:00:01");
    EXPECT_TRUE(acceptableRaceTimes("2026/06/07 10:00:00", "2026/06/07 10:00:01", first, last));
    EXPECT_FALSE(acceptableRaceTimes("2026/06/07 10:00:01", "2026/06/07 10:00:01", first, last));
    EXPECT_FALSE(acceptableRaceTimes("", "", RaceTime(), RaceTime()));
    // Logs that settled only one end of their time give nothing to check typed times against.
    EXPECT_FALSE(acceptableRaceTimes("2026/06/07 10:00:00", "2026/06/07 10:00:01", first,
                                     RaceTime()));
    EXPECT_FALSE(acceptableRaceTimes("2026/06/07 10:00:00", "2026/06/07 10:00:01", RaceTime(),
                                     last));
}

// Boats whose logs are missing, or whose names are refused, are left out of the race shown but
// never out of the race file: every write keeps their BN records where they were.
TEST(RaceSession, WritesKeepTheBoatsLeftOutOfTheRace) {
    TempApp app;
    {
        std::ofstream f(app.raceFile("gaps.txt"), std::ios::binary);
        f << "T1, Gaps\r\nST, 2005/08/11 10:00:00\r\nFT, 2005/08/11 11:00:00\r\n"
             "BN, gone.trk, Gone\r\nBN, boat1.trk, One\r\nBN, ..\\secret.trk, Refused\r\n"
             "BN, later.trk, Later\r\nBN, boat2.dtr, Two\r\nBN, last.trk, Last\r\n"
             "MK, 2116.5, 8370\r\nMK, 2115, 8370.05\r\nCRS, MK2, MK1, MK2\r\nBT, 3\r\n";
    }
    const std::string boats =
        "BN, gone.trk, Gone\r\nBN, boat1.trk, One\r\nBN, ..\\secret.trk, Refused\r\n"
        "BN, later.trk, Later\r\nBN, boat2.dtr, Two\r\nBN, last.trk, Last\r\n";
    for (int mode : {1, 2}) {  // the full mode writes the tile list as the race opens
        SCOPED_TRACE(mode);
        Opener o(app.root.string(), mode);
        auto opened = o.open("gaps.txt");
        ASSERT_TRUE(opened.session) << opened.error;
        RaceSession& s = *opened.session;
        EXPECT_EQ(s.race().BoatCount, 2);  // shown: One and Two
        ASSERT_TRUE(s.setWindDirection(-30).ok);
        const std::string text = readFile(app.raceFile("gaps.txt"));
        EXPECT_NE(text.find(boats), std::string::npos) << text;
        EXPECT_EQ(s.race().BoatCount, 2);
    }
}

// A race file read in part (here marks beyond the list's room) is not written back as the race
// opens in the editor; a change the user makes writes it, its old text kept as ".bak".
TEST(RaceSession, OpeningAFileReadInPartLeavesItAsItIs) {
    TempApp app;
    std::string text = readFile(app.raceFile("race1.txt"));
    for (int i = 0; i < 31; ++i) text += "MK, 2116, 8370\r\n";
    {
        std::ofstream f(app.raceFile("many.txt"), std::ios::binary);
        f << text;
    }
    Opener o(app.root.string(), 2);
    auto opened = o.open("many.txt");
    ASSERT_TRUE(opened.session) << opened.error;
    EXPECT_EQ(readFile(app.raceFile("many.txt")), text);
    ASSERT_TRUE(opened.session->setWindDirection(-30).ok);
    EXPECT_EQ(readFile(app.raceFile("many.txt.bak")), text);
}

TEST(RaceSession, ALongCourseFinishesAtItsLastEntryTakingPart) {
    // 25 course entries: only the first 20 are rounded, so the 20th is the finish the
    // finishing list waits for. Waiting for the 25th would never show the list.
    RaceDefinition race;
    race.BoatCount = 3;
    race.CourseCount = 25;
    RoundingResults r;
    r.entryCount = kMaxRoundingEntries;
    r.boatCount = 3;
    r.setRoundTime(kMaxRoundingEntries, 1, 3010);
    r.setRoundTime(kMaxRoundingEntries, 2, 2950);  // boat 3 never finished
    r.setLeadTime(kMaxRoundingEntries, 2950);
    const FinishInputs in = finishInputsOf(race, r);
    EXPECT_EQ(in.courseCount, kMaxRoundingEntries);
    EXPECT_EQ(in.leadFinish, 2950);
    EXPECT_EQ(in.finishTime[1], 3010);
    EXPECT_EQ(in.finishTime[2], 2950);
    EXPECT_EQ(in.finishTime[3], 0);

    FrameState frame;
    frame.boatCount = 3;
    EXPECT_FALSE(frame.updateFinishes(in, 2900));
    EXPECT_FALSE(frame.FinishListShown);
    EXPECT_TRUE(frame.updateFinishes(in, 3020));
    EXPECT_TRUE(frame.FinishListShown);
    ASSERT_EQ(frame.FinishCount, 2);
    EXPECT_EQ(frame.FinishOrder[1], 2);
    EXPECT_EQ(frame.finishRowText(2, in), "00:50:10   <60>");
}
