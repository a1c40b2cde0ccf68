// The race file editor's operations: default times from the first log, the boat list, reading
// for editing and saving with a backup of the replaced file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "editor/raceedit.h"
#include "race/racecontrolfile.h"
#include "race/racedefinition.h"

using namespace brisko;
namespace fs = std::filesystem;

namespace {

struct TempApp {
    fs::path dir;
    TempApp() {
        dir = fs::temp_directory_path() /
              ("brisko_raceedit_" + std::to_string(::getpid()) + "_" + std::to_string(counter()++));
        fs::create_directories(dir / "raceadmin");
        fs::create_directories(dir / "gpsdat");
    }
    ~TempApp() { fs::remove_all(dir); }
    static int& counter() {
        static int n = 0;
        return n;
    }
    AppSettings settings(int lang = 1) const {
        AppSettings s;
        s.AppPath = dir.string();
        s.Lang = lang;
        return s;
    }
    void write(const std::string& rel, const std::string& text) const {
        std::ofstream(dir / rel, std::ios::binary) << text;
    }
    std::string read(const std::string& rel) const {
        std::ifstream in(dir / rel, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

// A log that starts at 01:10:05 UTC at 139 degrees 45 minutes east and runs 40 fixes of 10 s.
std::string trackFrom(const std::string& date, int h, int m, int s) {
    std::string out = "H  SOFTWARE NAME & VERSION\r\n";
    for (int i = 0; i < 40; ++i) {
        int t = h * 3600 + m * 60 + s + 10 * i;
        char line[96];
        std::snprintf(line, sizeof line, "T  N3516.2322 E13945.0000 %s %02d:%02d:%02d -4\r\n",
                      date.c_str(), t / 3600, t / 60 % 60, t % 60);
        out += line;
    }
    return out;
}

}  // namespace

TEST(RaceEdit, FirstLogGivesTimeZoneStartAndFinish) {
    TempApp app;
    app.write("gpsdat/a.trk", trackFrom("11-AUG-05", 1, 10, 5));
    auto scan = scanGpsFile((app.dir / "gpsdat/a.trk").string());
    ASSERT_TRUE(scan);
    EXPECT_EQ(formatDateTime(scan->firstFix), "2005/08/11 01:10:05");
    RaceDefinition race;
    applyScanDefaults(race, *scan);
    EXPECT_EQ(race.TimeDiff, 9);
    EXPECT_EQ(formatRaceTime(race.RaceStart), "2005/08/11 10:14:05");
    EXPECT_EQ(formatRaceTime(race.RaceEnd), "2005/08/11 10:16:35");  // last fix 01:16:35 + 9 h
    EXPECT_EQ(race.ViewEnd, race.RaceEnd);

    // Set values are kept; an hour past midnight moves the date.
    app.write("gpsdat/b.trk", trackFrom("11-AUG-05", 20, 0, 0));
    RaceDefinition late;
    applyScanDefaults(late, *scanGpsFile((app.dir / "gpsdat/b.trk").string()));
    EXPECT_EQ(formatRaceTime(late.RaceStart), "2005/08/12 05:04:00");
    RaceDefinition set;
    set.TimeDiff = 2;
    set.RaceStart = parseDateTime("2005/08/11 09:00:00");
    applyScanDefaults(set, *scan);
    EXPECT_EQ(set.TimeDiff, 2);
    EXPECT_EQ(formatRaceTime(set.RaceStart), "2005/08/11 09:00:00");
    EXPECT_EQ(formatRaceTime(set.RaceEnd), "2005/08/11 03:16:35");

    EXPECT_FALSE(scanGpsFile((app.dir / "gpsdat/none.trk").string()));
}

TEST(RaceEdit, BoatListAddAndDelete) {
    RaceDefinition race;
    ASSERT_TRUE(addBoat(race, "a.trk", "あ"));
    ASSERT_TRUE(addBoat(race, "b.trk", "B"));
    ASSERT_TRUE(addBoat(race, "c.trk", "C, D"));
    EXPECT_EQ(boatListLine(race.Boats[1]), "あ        a.trk");
    EXPECT_TRUE(deleteBoat(race, 2));
    EXPECT_EQ(race.BoatCount, 2);
    EXPECT_EQ(race.Boats[2].GpsFile, "c.trk");
    EXPECT_EQ(race.Boats[3].GpsFile, "");
    EXPECT_FALSE(deleteBoat(race, 3));
    EXPECT_FALSE(deleteBoat(race, 0));
    for (int i = race.BoatCount; i < kMaxBoats; ++i) ASSERT_TRUE(addBoat(race, "x.trk", "x"));
    EXPECT_FALSE(addBoat(race, "y.trk", "y"));
    EXPECT_EQ(race.BoatCount, kMaxBoats);
}

TEST(RaceEdit, SaveKeepsOneBackupOfTheFirstOldContents) {
    TempApp app;
    const AppSettings s = app.settings();
    app.write("raceadmin/r.txt", "BN, old.trk, OLD\r\n");
    RaceDefinition race;
    race.RaceFileName = "r.txt";
    addBoat(race, "a.trk", "あいう");
    RaceFileBackups backups;
    ASSERT_TRUE(saveRaceForEditing(s, race, backups).ok);
    EXPECT_EQ(app.read("raceadmin/r.txt.bak"), "BN, old.trk, OLD\r\n");
    addBoat(race, "b.trk", "B");
    ASSERT_TRUE(saveRaceForEditing(s, race, backups).ok);
    // The backup still holds the file as it was before this run touched it.
    EXPECT_EQ(app.read("raceadmin/r.txt.bak"), "BN, old.trk, OLD\r\n");

    // A new file needs no backup.
    race.RaceFileName = "new.txt";
    ASSERT_TRUE(saveRaceForEditing(s, race, backups).ok);
    EXPECT_FALSE(fs::exists(app.dir / "raceadmin/new.txt.bak"));

    // Unsafe names are refused by the writer and nothing is written.
    race.RaceFileName = "../escape.txt";
    EXPECT_FALSE(saveRaceForEditing(s, race, backups).ok);
    EXPECT_FALSE(fs::exists(app.dir / "escape.txt"));
}

TEST(RaceEdit, ReadForEditingKeepsBoatsWithMissingLogs) {
    TempApp app;
    app.write("raceadmin/r.txt",
              "T1, Title\r\nST, 2005/08/11 10:00:00\r\nFT, 2005/08/11 11:00:00\r\n"
              "BN, gone.trk, Gone\r\nAT, notes.pdf\r\n");
    RaceDefinition race;
    race.RaceFileName = "r.txt";
    ASSERT_TRUE(readRaceForEditing(app.settings(), race).ok);
    EXPECT_EQ(race.BoatCount, 1);
    EXPECT_EQ(race.Boats[1].GpsFile, "gone.trk");
    EXPECT_EQ(formatRaceTime(race.ViewStart), "2005/08/11 09:55:00");
    EXPECT_EQ(formatRaceTime(race.ViewEnd), "2005/08/11 11:00:00");
    EXPECT_EQ(race.AttachmentCount, 1);

    RaceDefinition missing;
    missing.RaceFileName = "nope.txt";
    missing.Title1 = "kept";
    EXPECT_FALSE(readRaceForEditing(app.settings(), missing).ok);
    EXPECT_EQ(missing.Title1, "kept");
}

TEST(RaceEdit, TimeZoneFromLongitudeWestAndEastOfGreenwich) {
    EXPECT_EQ(nauticalTimeZone(-0.33 * 60), 0);  // Valencia
    EXPECT_EQ(nauticalTimeZone(-75 * 60), -5);   // west of Greenwich
    EXPECT_EQ(nauticalTimeZone(139.5 * 60), 9);  // Enoshima
    EXPECT_EQ(nauticalTimeZone(7.5 * 60), 1);    // a zone's edge rounds east
    EXPECT_EQ(nauticalTimeZone(-7.5 * 60 - 1), -1);
}
