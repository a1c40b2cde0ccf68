// Tests of the race control file: reading rules, byte-exact writing, both encodings, the checks
// of the files a race refers to, and bad input.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "race/racecontrolfile.h"
#include "race/racedefinition.h"
#include "util/datetime.h"
#include "util/fileutil.h"

namespace brisko {
namespace {

namespace fs = std::filesystem;

// A throw-away application folder with "RaceAdmin", "GPSDAT" and "WindDat" in mixed case.
class AppFolder {
public:
    AppFolder() {
        char tmpl[] = "/tmp/brisko-racefile-XXXXXX";
        path = ::mkdtemp(tmpl);
        fs::create_directories(path + "/RaceAdmin");
        fs::create_directories(path + "/GPSDAT");
        fs::create_directories(path + "/WindDat");
        settings.AppPath = path;
    }
    ~AppFolder() { fs::remove_all(path); }
    void put(const std::string& relative, const std::string& bytes) const {
        std::ofstream(path + "/" + relative, std::ios::binary) << bytes;
    }
    std::string get(const std::string& relative) const {
        return readFileBytes(path + "/" + relative).value_or("<missing>");
    }
    std::string path;
    AppSettings settings;
};

RaceDefinition parse(std::string_view text) {
    RaceDefinition def;
    parseRaceControlText(text, def);
    return def;
}

std::string golden(const char* name) {
    return readFileBytes(std::string(BRISKO_TEST_DATA) + "/racefiles/" + name).value();
}

TEST(RaceControlFileRead, BoatsOnlyGivesDefaults) {
    RaceDefinition def = parse("BN, a.trk, Alpha\r\nBN, b.trk, Bravo\r\n");
    EXPECT_EQ(def.BoatCount, 2);
    EXPECT_EQ(def.Boats[2].GpsFile, "b.trk");
    EXPECT_EQ(def.Boats[2].BoatName, "Bravo");
    EXPECT_TRUE(!def.RaceStart.has_value());
    EXPECT_TRUE(!def.RaceEnd.has_value());
    EXPECT_TRUE(!def.ViewStart.has_value());
    EXPECT_EQ(def.UpwindLayAngle, 45);
    EXPECT_EQ(def.DownwindLayAngle, 160);
    EXPECT_EQ(def.PreStartMinutes, 3);
    EXPECT_EQ(def.PreStartSeconds, 180);
    EXPECT_DOUBLE_EQ(def.BoatLength, 4.7);
    EXPECT_EQ(def.NorthUp, 0);
    EXPECT_EQ(def.MeanWindDir, 0);
    EXPECT_EQ(def.ViewRotation, 0);
}

TEST(RaceControlFileRead, RecordRules) {
    RaceDefinition def = parse(
        "  T1 ,  Spring Cup, Race 2  \r\n"      // key trimmed; the title keeps its comma
        "t2, lower-case keys are not ours\r\n"  // keys are case-sensitive
        "no comma on this line\r\n"
        "\r\n"
        "ZZ, 12\r\n"
        "MG, -6.5 degrees\r\n"                    // numeric prefix
        "WD, west\r\n"                            // no number: 0
        "BN,  boat1.trk ,  Kaze, Nami, Sora  \n"  // the name is the rest of the line
        "MK, 2118.5,8310.25\n"
        "LN, 1, 2, 3\n"  // the missing fourth value: no position, the line is unknown
        "CRS, L1, MK1\n"
        "CRS, MK2,, L1,\n"  // appended; empty pieces name nothing
        "LL, 0, 150\n"
        "BT, 2.6\n"
        "AT,  rules.pdf\n");
    EXPECT_EQ(def.Title1, "Spring Cup, Race 2");
    EXPECT_TRUE(def.Title2.empty());
    EXPECT_EQ(def.MagneticVariation, -6.5);
    EXPECT_EQ(def.MeanWindDir, 0);
    ASSERT_EQ(def.BoatCount, 1);
    EXPECT_EQ(def.Boats[1].GpsFile, "boat1.trk");
    EXPECT_EQ(def.Boats[1].BoatName, "Kaze, Nami, Sora");
    EXPECT_EQ(def.Marks[1].MarkLat, 2118.5);
    EXPECT_EQ(def.Marks[1].MarkLon, 8310.25);
    EXPECT_TRUE(def.Marks[1].PositionKnown);
    ASSERT_EQ(def.LineCount, 1);  // it keeps its number
    EXPECT_FALSE(def.Lines[1].PositionKnown);
    ASSERT_EQ(def.CourseCount, 4);
    EXPECT_EQ(def.Course[3], "MK2");
    EXPECT_EQ(def.Course[4], "L1");
    EXPECT_EQ(def.UpwindLayAngle, 45);
    EXPECT_EQ(def.DownwindLayAngle, 150);
    EXPECT_DOUBLE_EQ(def.PreStartSeconds, 156);
    EXPECT_EQ(def.Attachments[1], "rules.pdf");
}

TEST(RaceControlFileRead, TimeDifferenceIsWholeHours) {
    EXPECT_EQ(parse("TD, 9\r\n").TimeDiff, 9);
    EXPECT_EQ(parse("TD, 9.5\r\n").TimeDiff, 10);
    EXPECT_EQ(parse("TD, -3.4\r\n").TimeDiff, -3);
    EXPECT_EQ(parse("TD, x\r\n").TimeDiff, 0);
    EXPECT_EQ(parse("TD, 1e300\r\n").TimeDiff, 32767);
}

TEST(RaceControlFileRead, DerivedFields) {
    RaceDefinition def = parse("ST, 2024/05/12 10:00:00\r\nFT, 2024/05/12 11:05:30\r\nWD, 225\r\n");
    EXPECT_EQ(formatRaceTime(def.ViewStart), "2024/05/12 09:56:30");
    EXPECT_EQ(formatRaceTime(def.ViewEnd), "2024/05/12 11:05:30");
    EXPECT_EQ(def.RaceSeconds, 3930);
    EXPECT_EQ(def.RaceSecondsPlus, 3930 + 240);
    EXPECT_EQ(def.ViewRotation, 225);
    EXPECT_EQ(def.WindDirNow, 225);

    def = parse("WD, 225\r\nNU, 1\r\nST, 2024/01/01 00:02:00\r\nBT, 5\r\n");
    EXPECT_EQ(def.ViewRotation, 0);
    EXPECT_EQ(formatRaceTime(def.ViewStart),
              "2023/12/31 23:56:30");  // crosses midnight and the year

    // A start that is not a date-time counts as not given (the tracks settle it), and is said.
    RaceDefinition loose;
    AppSettings en;
    en.Lang = 1;
    auto res = parseRaceControlText("BN, a.trk, A\r\nST, soon\r\nFT, later\r\n", loose, en);
    EXPECT_TRUE(res.ok);
    EXPECT_TRUE(!loose.RaceStart.has_value());
    EXPECT_TRUE(!loose.RaceEnd.has_value());
    EXPECT_TRUE(!loose.ViewStart.has_value());
    EXPECT_EQ(loose.RaceSeconds, 0);
    ASSERT_EQ(res.warnings.size(), 2u);
    EXPECT_NE(res.warnings[0].find("line 2: the start time (ST) \"soon\""), std::string::npos);
}

TEST(RaceControlFileRead, AnalysisViewNeedsTwoCourseEntries) {
    RaceDefinition def;
    EXPECT_FALSE(parseRaceControlText("CRS, MK1\r\n", def).analysisViewEnabled);
    EXPECT_TRUE(parseRaceControlText("CRS, L1, MK1\r\n", def).analysisViewEnabled);
}

TEST(RaceControlFileRead, ReadingAnotherRaceForgetsThePreviousOne) {
    RaceDefinition def = parse(golden("race_cp932.txt"));
    ASSERT_EQ(def.MagneticVariation, -7);
    parseRaceControlText("BN, x.trk, X\r\nWD, 10\r\n", def);
    EXPECT_EQ(def.MagneticVariation, 0);
    EXPECT_EQ(def.TimeDiff, 0);
    EXPECT_EQ(def.BoatCount, 1);
    EXPECT_EQ(def.MarkCount, 0);
    EXPECT_EQ(def.CoastTileCount, 0);
    EXPECT_TRUE(def.Title1.empty());
    EXPECT_TRUE(def.WindFileName.empty());
}

TEST(RaceControlFileRead, BothEncodingsGiveTheSameRace) {
    RaceDefinition cp = parse(golden("race_cp932.txt"));
    RaceDefinition u8;
    auto res = parseRaceControlText(golden("race_utf8.txt"), u8);
    EXPECT_EQ(res.encoding, TextEncoding::Utf8Bom);
    EXPECT_EQ(cp.Title1, "第12回 葉山カップ");
    EXPECT_EQ(u8.Title1, cp.Title1);
    EXPECT_EQ(u8.Title3, "Skipper Søren");
    EXPECT_EQ(cp.Boats[1].BoatName, "海風, Tanaka");
    EXPECT_EQ(u8.Boats[1].BoatName, cp.Boats[1].BoatName);
    EXPECT_EQ(cp.Attachments[1], "帆走指示書.pdf");
    EXPECT_EQ(cp.Marks[2].MarkLat, -2118.125);
    EXPECT_EQ(cp.CoastTiles[1], "3583");
    EXPECT_EQ(cp.TimeDiff, 9);

    // The same file without its byte order mark is still UTF-8.
    RaceDefinition plain;
    std::string noBom = golden("race_utf8.txt").substr(3);
    EXPECT_EQ(parseRaceControlText(noBom, plain).encoding, TextEncoding::Utf8);
    EXPECT_EQ(plain.Title1, cp.Title1);
}

TEST(RaceControlFileWrite, ExactBytes) {
    RaceDefinition def;
    def.Title1 = "Title";
    def.MagneticVariation = 7;
    def.TimeDiff = -3;
    def.NorthUp = 1;
    def.MeanWindDir = 200;
    def.BoatCount = 1;
    def.Boats[1] = {"a.trk", "A, B"};
    def.MarkCount = 1;
    def.Marks[1] = {2118.123456789012, -0.5};
    def.CourseCount = 2;
    def.Course[1] = "L1";
    def.Course[2] = "MK1";
    def.UpwindLayAngle = 42.5;
    def.DownwindLayAngle = 150;
    def.PreStartMinutes = 2.6;
    def.BoatLength = 0;
    def.ViewRotation = 99;
    EXPECT_EQ(formatRaceControlFile(def),
              "T1, Title\r\nMG,  7\r\nTD, -3\r\nWD,  200\r\nNU, 1\r\n"
              "BN, a.trk, A, B\r\nMK, 2118.123456789012, -0.5\r\nCRS, L1, MK1\r\n"
              "LL, 42.5,150\r\nBT, 3\r\n");
    EXPECT_EQ(def.ViewRotation, 0);

    RaceDefinition empty;
    empty.UpwindLayAngle = 45;
    empty.PreStartMinutes = 2.5;  // half rounds up
    EXPECT_EQ(formatRaceControlFile(empty), "LL, 45,160\r\nBT, 3\r\n");
    empty.MagneticVariation = -7;
    EXPECT_EQ(formatRaceControlFile(empty), "MG, -7\r\nLL, 45,160\r\nBT, 3\r\n");
}

TEST(RaceControlFileWrite, LineBreaksInTextCannotSplitARecord) {
    RaceDefinition def;
    def.Title1 = "one\r\nBN, evil.trk, x";
    std::string text = formatRaceControlFile(def);
    RaceDefinition back = parse(text);
    EXPECT_EQ(back.BoatCount, 0);
    EXPECT_EQ(back.Title1, "one  BN, evil.trk, x");
}

TEST(RaceControlFileWrite, GoldenFilesAreReproducedByteForByte) {
    AppFolder app;
    for (const char* name : {"race_cp932.txt", "race_utf8.txt"}) {
        RaceDefinition def = parse(golden(name));
        def.RaceFileName = name;
        ASSERT_TRUE(writeRaceControlFile(app.settings, def).ok);
        EXPECT_EQ(app.get(std::string("RaceAdmin/") + name), golden(name)) << name;
    }
}

TEST(RaceControlFileWrite, RoundTripKeepsEveryField) {
    AppFolder app;
    RaceDefinition def;
    def.RaceFileName = "round.txt";
    def.WindFileName = "round_WIND.CSV";
    def.Title1 = "全日本選手権, 第3レース";
    def.Title2 = "T2";
    def.Title3 = "T3";
    def.MagneticVariation = -7.25;
    def.BoatLength = 6.1;
    def.RaceStart = parseDateTime("2024/05/12 10:00:00");
    def.RaceEnd = parseDateTime("2024/05/12 11:00:00");
    def.TimeDiff = 9;
    def.MeanWindDir = 187.5;
    def.NorthUp = 1;
    def.BoatCount = kMaxBoats;
    for (int i = 1; i <= kMaxBoats; ++i)
        def.Boats[i] = {"b" + std::to_string(i) + ".trk", "艇 " + std::to_string(i) + ", 東京"};
    def.MarkCount = 2;
    def.Marks[1] = {2118.1234567, 8310.7654321};
    def.Marks[2] = {-1.0 / 3.0, 0.1 + 0.2};
    def.LineCount = 1;
    def.Lines[1] = {1, 2, 3, 4.000000000001};
    def.CourseCount = 3;
    def.Course[1] = "L1";
    def.Course[2] = "MK1";
    def.Course[3] = "MK2";
    def.CoastTileCount = 2;
    def.CoastTiles[1] = "3583";
    def.CoastTiles[2] = "3584";
    def.UpwindLayAngle = 40;
    def.DownwindLayAngle = 155;
    def.PreStartMinutes = 5;
    def.AttachmentCount = 1;
    def.Attachments[1] = "規則.pdf";
    ASSERT_TRUE(writeRaceControlFile(app.settings, def).ok);
    std::string bytes = app.get("RaceAdmin/round.txt");
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF");  // everything fits code page 932

    RaceDefinition back;
    back.RaceFileName = "ROUND.TXT";  // found whatever its letter case
    back.MagneticVariation = 99;
    auto res = parseRaceControlText(bytes, back);
    EXPECT_EQ(res.encoding, TextEncoding::Cp932);
    EXPECT_EQ(back.Title1, def.Title1);
    EXPECT_EQ(back.Title2, def.Title2);
    EXPECT_EQ(back.Title3, def.Title3);
    EXPECT_EQ(back.WindFileName, def.WindFileName);
    EXPECT_EQ(back.MagneticVariation, def.MagneticVariation);
    EXPECT_EQ(back.BoatLength, def.BoatLength);
    EXPECT_EQ(back.RaceStart, def.RaceStart);
    EXPECT_EQ(back.RaceEnd, def.RaceEnd);
    EXPECT_EQ(back.TimeDiff, def.TimeDiff);
    EXPECT_EQ(back.MeanWindDir, def.MeanWindDir);
    EXPECT_EQ(back.NorthUp, 1);
    ASSERT_EQ(back.BoatCount, kMaxBoats);
    for (int i = 1; i <= kMaxBoats; ++i) {
        EXPECT_EQ(back.Boats[i].GpsFile, def.Boats[i].GpsFile);
        EXPECT_EQ(back.Boats[i].BoatName, def.Boats[i].BoatName);
    }
    ASSERT_EQ(back.MarkCount, 2);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(back.Marks[i].MarkLat, def.Marks[i].MarkLat);
        EXPECT_EQ(back.Marks[i].MarkLon, def.Marks[i].MarkLon);
    }
    EXPECT_EQ(back.Lines[1].LineLon2, def.Lines[1].LineLon2);
    ASSERT_EQ(back.CourseCount, 3);
    EXPECT_EQ(back.Course[3], "MK2");
    ASSERT_EQ(back.CoastTileCount, 2);
    EXPECT_EQ(back.CoastTiles[2], "3584");
    EXPECT_EQ(back.UpwindLayAngle, 40);
    EXPECT_EQ(back.DownwindLayAngle, 155);
    EXPECT_EQ(back.PreStartMinutes, 5);
    EXPECT_EQ(back.Attachments[1], "規則.pdf");

    // A name outside code page 932 switches the file to UTF-8 with a byte order mark.
    def.Boats[1].BoatName = "Søren";
    ASSERT_TRUE(writeRaceControlFile(app.settings, def).ok);
    bytes = app.get("RaceAdmin/round.txt");
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(parse(bytes).Boats[1].BoatName, "Søren");
}

TEST(RaceControlFileCheck, MissingGpsFileDropsItsBoatWithOneMessage) {
    AppFolder app;
    app.put("GPSDAT/one.trk", "x");
    app.put("GPSDAT/THREE.TRK", "x");
    app.put("RaceAdmin/r.txt",
            "BN, one.trk, One\r\nBN, two.trk, Two\r\nBN, three.trk, Three\r\nBN, four.trk, 4\r\n");
    RaceDefinition def;
    def.RaceFileName = "R.TXT";
    CapturingMessageSink sink;
    auto res = readRaceControlFile(app.settings, def, sink);
    ASSERT_TRUE(res.ok) << res.error;
    ASSERT_EQ(def.BoatCount, 2);
    EXPECT_EQ(def.Boats[1].BoatName, "One");
    EXPECT_EQ(def.Boats[2].BoatName, "Three");
    EXPECT_TRUE(def.Boats[3].GpsFile.empty());
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text,
              "GPSfile -- two.trk -- はありませんでした。\r\nこの艇を無視して表示します。");
    EXPECT_EQ(sink.messages[0].title, "ブリスコ");
    // Every boat left out is reported to the caller, not only the one the message names.
    ASSERT_EQ(res.droppedBoats.size(), 2u);
    EXPECT_EQ(res.droppedBoats[0].name, "Two");
    EXPECT_EQ(res.droppedBoats[0].gpsFile, "two.trk");
    EXPECT_EQ(res.droppedBoats[1].name, "4");
    EXPECT_EQ(res.droppedBoats[1].gpsFile, "four.trk");

    app.settings.Lang = 1;
    app.settings.ProductTitle = "Brisko";
    sink.messages.clear();
    readRaceControlFile(app.settings, def, sink);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text,
              "GPSfile -- two.trk -- could not be found\r\nThis boat will be ignored");
    EXPECT_EQ(sink.messages[0].title, "Brisko");
}

TEST(RaceControlFileCheck, MissingWindFileIsClearedSilently) {
    AppFolder app;
    app.put("WindDat/race_WIND.CSV", "x");
    RaceDefinition def;
    CapturingMessageSink sink;
    def.WindFileName = "RACE_wind.csv";
    checkRaceFiles(app.settings, def, sink);
    EXPECT_EQ(def.WindFileName, "RACE_wind.csv");
    def.WindFileName = "other_WIND.CSV";
    checkRaceFiles(app.settings, def, sink);
    EXPECT_TRUE(def.WindFileName.empty());
    EXPECT_TRUE(sink.messages.empty());
}

TEST(RaceControlFileBadInput, NeverCrashesOrOverruns) {
    // Records beyond every list's capacity are ignored.
    std::string many;
    for (int i = 0; i < 200; ++i)
        many += "BN, b.trk, B\r\nMK, 1, 2\r\nLN, 1, 2, 3, 4\r\nCRS, MK1, L1\r\nMAP, 1\r\nAT, a\r\n";
    RaceDefinition def = parse(many);
    EXPECT_EQ(def.BoatCount, kMaxBoats);
    EXPECT_EQ(def.MarkCount, kMaxMarks);
    EXPECT_EQ(def.LineCount, kMaxLines);
    EXPECT_EQ(def.CourseCount, kMaxCourse);
    EXPECT_EQ(def.CoastTileCount, kMaxCoastTiles);
    EXPECT_EQ(def.AttachmentCount, kMaxAttachments);

    // A megabyte line, binary garbage, a file cut inside a two-byte character.
    std::string huge = "T1, " + std::string(2'000'000, 'x') + "\r\nBN, a.trk, A\r\n";
    def = parse(huge);
    EXPECT_EQ(def.Title1.size(), 2'000'000u);
    EXPECT_EQ(def.BoatCount, 1);
    std::string garbage;
    for (int i = 0; i < 100000; ++i) garbage += static_cast<char>((i * 7919) % 256);
    parse(garbage);
    parse(std::string("\0,\0,\0\r\n", 8));
    std::string cut = golden("race_cp932.txt");
    def = parse(cut.substr(0, cut.find("\x8a\x43") + 1));  // "海" of the first boat, half of it
    EXPECT_EQ(def.BoatCount, 1);
    EXPECT_EQ(def.Boats[1].GpsFile, "boat1.trk");
    def = parse("BT, 1e308\r\nST, 2024/05/12 10:00:00\r\nLL, -1e999, x\r\n");
    EXPECT_TRUE(!def.ViewStart.has_value());
    formatRaceControlFile(def);
}

TEST(RaceControlFileBadInput, UnreadableRaceFileLeavesTheRaceAsItWas) {
    AppFolder app;
    fs::create_directories(app.path + "/RaceAdmin/folder.txt");
    CapturingMessageSink sink;
    RaceDefinition def = parse("BN, a.trk, A\r\n");
    for (const char* name : {"folder.txt", "missing.txt", "..", "../RaceAdmin/x.txt", ""}) {
        def.RaceFileName = name;
        auto res = readRaceControlFile(app.settings, def, sink);
        EXPECT_FALSE(res.ok) << name;
        EXPECT_FALSE(res.error.empty()) << name;
        EXPECT_EQ(def.BoatCount, 1) << name;
    }
    EXPECT_TRUE(sink.messages.empty());
}

TEST(RaceControlFileBadInput, FailedWriteKeepsTheOldFile) {
    AppFolder app;
    app.put("RaceAdmin/race.txt", "T1, old\r\n");
    RaceDefinition def;
    def.Title1 = "new";

    def.RaceFileName = "";
    EXPECT_TRUE(writeRaceControlFile(app.settings, def).ok);  // nothing to write

    fs::create_directories(app.path + "/RaceAdmin/dir.txt");
    def.RaceFileName = "dir.txt";
    EXPECT_FALSE(writeRaceControlFile(app.settings, def).ok);
    EXPECT_TRUE(folderExists(app.path + "/RaceAdmin/dir.txt"));

    def.RaceFileName = "../escape.txt";
    EXPECT_FALSE(writeRaceControlFile(app.settings, def).ok);
    EXPECT_FALSE(fs::exists(app.path + "/escape.txt"));

    // The race folder has gone: the write fails and says so.
    AppSettings elsewhere;
    elsewhere.AppPath = app.path + "/nowhere";
    def.RaceFileName = "race.txt";
    WriteResult res = writeRaceControlFile(elsewhere, def);
    EXPECT_FALSE(res.ok);
    EXPECT_FALSE(res.error.empty());
    EXPECT_EQ(app.get("RaceAdmin/race.txt"), "T1, old\r\n");
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(app.path + "/RaceAdmin")) ++entries;
    EXPECT_EQ(entries, 2);
}

TEST(RaceControlFileBadInput, ReadOnlyRaceFileOrFolderIsRefusedInTheUsersLanguage) {
    AppFolder app;
    app.put("RaceAdmin/race.txt", "T1, old\r\n");
    const std::string file = app.path + "/RaceAdmin/race.txt";
    RaceDefinition def;
    def.RaceFileName = "race.txt";
    def.Title1 = "new";

    ::chmod(file.c_str(), 0444);
    WriteResult res = writeRaceControlFile(app.settings, def);  // Japanese by default
    EXPECT_FALSE(res.ok);
    EXPECT_EQ(res.failure, WriteFailure::ReadOnlyFile);
    EXPECT_EQ(res.error.rfind("レースファイルを保存できませんでした: ", 0), 0u) << res.error;
    EXPECT_NE(res.error.find("読み取り専用"), std::string::npos) << res.error;
    EXPECT_EQ(app.get("RaceAdmin/race.txt"), "T1, old\r\n");

    ::chmod(file.c_str(), 0600);
    ::chmod((app.path + "/RaceAdmin").c_str(), 0555);
    app.settings.Lang = 1;
    res = writeRaceControlFile(app.settings, def);
    EXPECT_FALSE(res.ok);
    EXPECT_EQ(res.failure, WriteFailure::ReadOnlyFolder);
    EXPECT_NE(res.error.find("The race file could not be saved: The folder"), std::string::npos)
        << res.error;
    EXPECT_EQ(app.get("RaceAdmin/race.txt"), "T1, old\r\n");
    ::chmod((app.path + "/RaceAdmin").c_str(), 0755);
    ASSERT_TRUE(writeRaceControlFile(app.settings, def).ok);
    EXPECT_EQ(app.get("RaceAdmin/race.txt"), "T1, new\r\nLL, 45,160\r\nBT, 3\r\n");
    struct stat st {};
    ::stat(file.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0600u);  // the saved race file keeps its permissions
    int entries = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(app.path + "/RaceAdmin")) ++entries;
    EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace brisko

namespace brisko {
namespace {

TEST(RaceControlFileBadInput, NoBoatIsNoRaceAndSaysWhy) {
    AppSettings en;
    en.Lang = 1;
    RaceDefinition def;
    auto fails = [&](std::string_view bytes, const char* why) {
        auto res = parseRaceControlText(bytes, def, en);
        EXPECT_FALSE(res.ok) << why;
        EXPECT_NE(res.error.find(why), std::string::npos) << res.error;
    };
    fails("", "empty");
    fails("WF, w.csv\r\nMK, 1, 2\r\n", "no boat (BN) line");
    fails(std::string("\x01\x00\x02\x03", 4), "binary");
    fails(
        "\xFF\xFE"
        "B\0N\0,\0",
        "UTF-16");
    fails("BN\r\nBN, , nameless\r\n", "No boat can be read");
    // In Japanese by default.
    EXPECT_EQ(parseRaceControlText("", def).error, "レースファイルが空です");
}

TEST(RaceControlFileBadInput, CutShortAndOverCapacityAreSaid) {
    AppSettings en;
    en.Lang = 1;
    RaceDefinition def;
    auto res = parseRaceControlText("BN, a.trk, A\r\nMK, 1, 2\r\nCRS, MK1, M", def, en);
    ASSERT_TRUE(res.ok);
    ASSERT_EQ(res.warnings.size(), 1u);
    EXPECT_EQ(res.warnings[0],
              "The race file seems cut short (its last line has no line end): it has no LL "
              "line, no BT line.");
    // A file of boats alone is a documented race: nothing to say.
    EXPECT_TRUE(parseRaceControlText("BN, a.trk, A\r\n", def, en).warnings.empty());
    EXPECT_TRUE(parseRaceControlText("BN, a.trk, A", def, en).warnings.size() == 1);

    std::string many;
    for (int i = 0; i < 53; ++i) many += "BN, b.trk, B\r\nAT, a.pdf\r\n";
    res = parseRaceControlText(many + "CRS" + std::string(60 * 5, ',') + "\r\n", def, en);
    ASSERT_EQ(res.warnings.size(), 2u);
    EXPECT_EQ(res.warnings[0],
              "A race holds at most 50 boats (BN): the 3 after the 50th are left out.");
    EXPECT_EQ(res.warnings[1],
              "A race holds at most 50 attachments (AT): the 3 after the 50th are left out.");
}

TEST(RaceControlFileBadInput, PositionsThatAreNoPositionsStayUnknownThroughAWrite) {
    AppSettings en;
    en.Lang = 1;
    RaceDefinition def;
    auto res = parseRaceControlText(
        "BN, a.trk, A\r\nMK, nan, 8368\r\nMK, 2116, 8368\r\nMK, 1e999, 1\r\nMK, 5401, 1\r\n"
        "MK, 2116\r\nLN, 1, 2, 3, inf\r\nLN, -0, 0, 1, 1\r\n",
        def, en);
    ASSERT_EQ(def.MarkCount, 5);  // numbers kept: the course still names the right marks
    EXPECT_FALSE(def.Marks[1].PositionKnown);
    EXPECT_TRUE(def.Marks[2].PositionKnown);
    EXPECT_FALSE(def.Marks[3].PositionKnown);
    EXPECT_FALSE(def.Marks[4].PositionKnown);  // beyond the pole
    EXPECT_FALSE(def.Marks[5].PositionKnown);  // no longitude
    EXPECT_FALSE(def.Lines[1].PositionKnown);
    EXPECT_TRUE(def.Lines[2].PositionKnown);
    EXPECT_EQ(res.warnings.size(), 5u);
    EXPECT_NE(res.warnings[0].find("line 2: mark 1 has no position"), std::string::npos);
    // Written back, an unknown position stays unknown instead of becoming 0°, 0°.
    const std::string text = formatRaceControlFile(def);
    EXPECT_NE(text.find("MK, ,\r\nMK, 2116, 8368\r\n"), std::string::npos);
    RaceDefinition back;
    parseRaceControlText(text, back, en);
    EXPECT_FALSE(back.Marks[1].PositionKnown);
    EXPECT_FALSE(back.Lines[1].PositionKnown);
    EXPECT_EQ(formatRaceControlFile(back), text);
}

TEST(RaceControlFileCheck, EveryNameIsCheckedBeforeAPathIsMade) {
    EXPECT_TRUE(isPlainFileName("JPN 4012.trk"));
    EXPECT_TRUE(isPlainFileName("a..b.trk"));
    for (const char* bad : {"", ".", "..", "../x.trk", "..\\..\\x.trk", "/etc/passwd", "C:x.trk",
                            "a\nb.trk", "a\tb", "a\x7f"})
        EXPECT_FALSE(isPlainFileName(bad)) << bad;
    EXPECT_EQ(shownName("a\nb"),
              "a\xEF\xBF\xBD"
              "b");

    AppFolder app;
    app.settings.Lang = 1;
    app.put("GPSDAT/ok.trk", "x");
    app.put("outside.trk", "x");
    app.put("outside_WIND.CSV", "x");
    RaceDefinition def;
    auto res = parseRaceControlText(
        "WF, ../outside_WIND.CSV\r\nBN, ../outside.trk, Out\r\nBN, ok.trk, In\r\n"
        "MAP, ..\r\nMAP, 5239\r\nAT, ../../secret.pdf\r\nAT, rules.pdf\r\n",
        def, app.settings);
    ASSERT_TRUE(res.ok);
    CapturingMessageSink sink;
    auto dropped = checkRaceFiles(app.settings, def, sink);
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].reason, DropReason::RefusedName);
    EXPECT_EQ(std::string(dropReasonKey(dropped[0].reason)), "refused name");
    ASSERT_EQ(def.BoatCount, 1);
    EXPECT_EQ(def.Boats[1].BoatName, "In");
    EXPECT_TRUE(def.WindFileName.empty());
    ASSERT_EQ(def.CoastTileCount, 1);
    EXPECT_EQ(def.CoastTiles[1], "5239");
    ASSERT_EQ(def.AttachmentCount, 1);
    EXPECT_EQ(def.Attachments[1], "rules.pdf");
    ASSERT_EQ(sink.messages.size(), 1u);  // one message names them all
    for (const char* name : {"GPS file \"../outside.trk\"", "wind file \"../outside_WIND.CSV\"",
                             "coastline tile \"..\"", "attachment \"../../secret.pdf\""})
        EXPECT_NE(sink.messages[0].text.find(name), std::string::npos) << name;

    // A GPS file that is a folder is said as one.
    fs::create_directories(app.path + "/GPSDAT/dir.trk");
    def = RaceDefinition{};
    parseRaceControlText("BN, dir.trk, D\r\nBN, ok.trk, In\r\n", def, app.settings);
    sink.messages.clear();
    dropped = checkRaceFiles(app.settings, def, sink);
    ASSERT_EQ(dropped.size(), 1u);
    EXPECT_EQ(dropped[0].reason, DropReason::Folder);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].text.find("folders, not track files"), std::string::npos);
}

}  // namespace
}  // namespace brisko
