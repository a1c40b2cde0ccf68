// Making coastline tiles with a stand-in for gmt: the command that asks for the area, tiles
// written, kept and replaced, gmt missing or failing, a folder that refuses the tiles; the
// program runner itself; and the race session that names the tiles in its race file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "session/racesession.h"
#include "tempfolder.h"
#include "track/coastmaker.h"
#include "track/coasttilewriter.h"

using namespace brisko;
using brisko::test::TempFolder;
namespace fs = std::filesystem;

namespace {

// A shore running north through the test race's area in square 523974 (35 deg 15' N, 139 deg
// 30' E), and a lake beside it that must be left out.
const char* const kShore =
    "> Shore Bin # 19579, Level 1\n"
    "139.503\t35.265\n139.504\t35.275\n139.505\t35.285\n"
    "> Shore Bin # 19579, Level 2\n"
    "139.70\t35.27\n139.71\t35.28\n";

struct FakeGmt {
    ProgramRun answer;
    std::vector<std::vector<std::string>> calls;
    ProgramRunner runner() {
        return [this](const std::vector<std::string>& args) {
            calls.push_back(args);
            return answer;
        };
    }
    static FakeGmt printing(const char* out) {
        FakeGmt g;
        g.answer.status = 0;
        g.answer.out = out;
        return g;
    }
};

AppSettings settingsFor(const std::string& app, int lang = 1) {
    AppSettings s;
    s.AppPath = app;
    s.Lang = lang;
    return s;
}

// Every point of a tile as the chart reads it, in degrees.
std::vector<CoastPoint> pointsOf(const std::string& tileText) {
    CoastLine line;
    line.clear();
    readCoastlineText(tileText, {-5400, 5400, -10800, 10800}, line);
    std::vector<CoastPoint> pts;
    for (int i = 1; i <= line.CoastCount; ++i)
        pts.push_back({(line.CoastStart[i] ? -line.CoastLat[i] : line.CoastLat[i]) / 60,
                       line.CoastLon[i] / 60});
    return pts;
}

}  // namespace

TEST(CoastMaker, AsksGmtForTheTilesWithAMarginAroundThem) {
    EXPECT_EQ(gmtCoastCommand({{52, 39}, {53, 40}}),
              (std::vector<std::string>{"gmt", "coast", "-R138.9800/141.0200/34.6467/36.0200",
                                        "-Df", "-M", "-W", "--GMT_HISTORY=false"}));
    // West of Greenwich and south of the equator the bands are negative.
    EXPECT_EQ(gmtCoastCommand({{59, -101}})[2], "-R-1.0200/0.0200/39.3133/40.0200");
    EXPECT_EQ(gmtCoastCommand({{-51, 51}})[2], "-R150.9800/152.0200/-34.0200/-33.3133");
    EXPECT_TRUE(gmtCoastCommand({}).empty());
}

TEST(CoastMaker, WritesTheTilesKeepsThemAndReplacesThemOnRequest) {
    TempFolder app;
    const AppSettings s = settingsFor(app.path);
    FakeGmt gmt = FakeGmt::printing(kShore);
    CoastMakeOptions opts;
    opts.runner = gmt.runner();
    const CoastMakeResult r = makeCoastTiles(s, {{52, 39}, {52, 40}}, opts);
    ASSERT_TRUE(r.ok()) << r.message;
    ASSERT_EQ(gmt.calls.size(), 1u);  // one reading of the shorelines for every tile
    ASSERT_EQ(r.tiles.size(), 2u);
    EXPECT_EQ(r.named(CoastTileOutcome::Written), std::vector<std::string>{"5239"});
    EXPECT_EQ(r.named(CoastTileOutcome::NoShore), std::vector<std::string>{"5240"});
    EXPECT_FALSE(fs::exists(app.path + "/coastline/5240.cst"));

    const auto tile = readFileBytes(app.path + "/coastline/5239.cst");
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->rfind("W WGS84\r\nM 523974", 0), 0u) << *tile;
    const std::vector<CoastPoint> pts = pointsOf(*tile);
    ASSERT_EQ(pts.size(), 3u);  // the shore only; the lake is left out
    EXPECT_NEAR(pts.front().lat, 35.265, 1e-5);
    EXPECT_NEAR(pts.front().lon, 139.503, 1e-5);
    EXPECT_NEAR(pts.back().lat, 35.285, 1e-5);

    // Made again: the tile found is kept, whatever gmt says now; replaced only on request.
    gmt.answer.out = "> Shore Bin # 1, Level 1\n139.60\t35.28\n139.61\t35.29\n";
    EXPECT_EQ(makeCoastTiles(s, {{52, 39}}, opts).named(CoastTileOutcome::Kept),
              std::vector<std::string>{"5239"});
    EXPECT_EQ(readFileBytes(app.path + "/coastline/5239.cst"), tile);
    opts.replace = true;
    EXPECT_EQ(makeCoastTiles(s, {{52, 39}}, opts).named(CoastTileOutcome::Written),
              std::vector<std::string>{"5239"});
    EXPECT_NEAR(pointsOf(*readFileBytes(app.path + "/coastline/5239.cst")).front().lon, 139.60,
                1e-4);
}

TEST(CoastMaker, WithoutGmtOrItsShorelinesNothingIsWrittenAndThePackagesAreNamed) {
    TempFolder app;
    CoastMakeOptions opts;
    FakeGmt gmt;
    opts.runner = gmt.runner();

    gmt.answer.spawnError = ENOENT;
    for (int lang : {0, 1}) {
        const CoastMakeResult r = makeCoastTiles(settingsFor(app.path, lang), {{52, 39}}, opts);
        EXPECT_EQ(r.status, CoastMakeStatus::GmtMissing);
        EXPECT_NE(r.message.find("gmt gmt-gshhg-full"), std::string::npos) << r.message;
        EXPECT_TRUE(r.tiles.empty());
    }
    EXPECT_NE(makeCoastTiles(settingsFor(app.path, 0), {{52, 39}}, opts).message.find("ありません"),
              std::string::npos);

    // gmt without its full-resolution data: its own words are kept beside ours.
    gmt.answer = {};
    gmt.answer.status = 71;
    gmt.answer.err = "coast [ERROR]: Cannot find file binned_GSHHS_f.nc\n";
    CoastMakeResult r = makeCoastTiles(settingsFor(app.path), {{52, 39}}, opts);
    EXPECT_EQ(r.status, CoastMakeStatus::GmtMissing);
    EXPECT_EQ(r.gmtError, gmt.answer.err);
    EXPECT_NE(r.message.find("exit status 71"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("gmt gmt-gshhg-full"), std::string::npos);

    // A gmt that cannot be started at all is no missing package.
    gmt.answer = {};
    gmt.answer.spawnError = EACCES;
    r = makeCoastTiles(settingsFor(app.path), {{52, 39}}, opts);
    EXPECT_EQ(r.status, CoastMakeStatus::Failed);
    EXPECT_NE(r.message.find("could not be started"), std::string::npos);

    EXPECT_FALSE(fs::exists(app.path + "/coastline"));
    EXPECT_EQ(makeCoastTiles(settingsFor(app.path), {}, opts).status, CoastMakeStatus::Failed);
}

TEST(CoastMaker, AFolderThatRefusesTheTilesFailsEachOneAndSaysWhy) {
    TempFolder app;
    app.mkdir("coastline");
    ::chmod((app.path + "/coastline").c_str(), 0555);
    FakeGmt gmt = FakeGmt::printing(kShore);
    CoastMakeOptions opts;
    opts.runner = gmt.runner();
    const CoastMakeResult r = makeCoastTiles(settingsFor(app.path), {{52, 39}, {52, 40}}, opts);
    ::chmod((app.path + "/coastline").c_str(), 0755);
    EXPECT_EQ(r.status, CoastMakeStatus::Failed);
    EXPECT_EQ(r.named(CoastTileOutcome::Failed), std::vector<std::string>{"5239"});
    EXPECT_NE(r.message.find("5239.cst"), std::string::npos) << r.message;
    EXPECT_FALSE(fs::exists(app.path + "/coastline/5239.cst"));
}

TEST(ProgramRun, CollectsBothStreamsAndTheStatusAndTellsAMissingProgram) {
    const ProgramRun r = runProgram({"sh", "-c", "echo out; echo err >&2; exit 3"});
    EXPECT_EQ(r.spawnError, 0);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "out\n");
    EXPECT_EQ(r.err, "err\n");
    // More than a pipe holds on both streams at once must not stall it.
    const ProgramRun big = runProgram(
        {"sh", "-c", "head -c 300000 /dev/zero; head -c 300000 /dev/zero >&2; read x; echo $x"});
    EXPECT_EQ(big.status, 0);
    EXPECT_EQ(big.out.size(), 300001u);  // standard input is empty: "read" gives a blank line
    EXPECT_EQ(big.err.size(), 300000u);
    EXPECT_EQ(runProgram({"brisko-no-such-program"}).spawnError, ENOENT);
    EXPECT_NE(runProgram({}).spawnError, 0);
}

// The race session: tiles made for the race shown, their MAP records written through its own
// writer, the coastline read again.
namespace {

const std::string kApp = BRISKO_TEST_DATA "/tracks/app";

struct SessionApp {
    TempFolder dir;
    AppSettings settings;
    CapturingMessageSink sink;
    SessionApp() {
        fs::copy(kApp, dir.path, fs::copy_options::recursive);
        settings = settingsFor(dir.path);
    }
    std::unique_ptr<RaceSession> open(const std::string& race, const std::string& track = {}) {
        RaceRequest req;
        req.seed.RaceFileName = race;
        req.singleTrackFile = track;
        return RaceSession::open(settings, req, sink).session;
    }
    std::string raceFile(const std::string& name) const {
        return readFileBytes(dir.path + "/raceadmin/" + name).value_or("");
    }
};

}  // namespace

TEST(RaceSessionCoast, MakesTheTilesNamesThemInTheRaceFileAndDrawsThem) {
    SessionApp a;
    auto s = a.open("race1.txt");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->missingCoastTiles(), std::vector<std::string>{"5239"});
    EXPECT_EQ(s->coast().CoastCount, 0);
    const std::string before = a.raceFile("race1.txt");

    FakeGmt gmt = FakeGmt::printing(kShore);
    const CoastTilesAdded added = s->makeCoastTiles(gmt.runner());
    ASSERT_TRUE(added.made.ok()) << added.made.message;
    EXPECT_TRUE(added.raceFile.ok) << added.raceFile.error;
    EXPECT_TRUE(added.raceFileNote.empty());
    EXPECT_EQ(a.raceFile("race1.txt"),
              "WF, race1_WIND.CSV\r\nT1, Test race\r\nMG, -7\r\nLG,  4.7\r\n"
              "ST, 2005/08/11 10:00:00\r\nFT, 2005/08/11 11:00:00\r\nTD,  9\r\nWD,  180\r\n"
              "BN, boat1.trk, One\r\nBN, boat2.dtr, Two\r\nMK, 2116.5, 8370\r\n"
              "MK, 2115, 8370.05\r\nCRS, MK2, MK1, MK2\r\nMAP, 5239\r\nLL, 45,160\r\nBT, 3\r\n");
    EXPECT_EQ(a.raceFile("race1.txt.bak"), before);
    // The session holds what the file holds, and the chart has its coast.
    EXPECT_EQ(s->race().CoastTileCount, 1);
    EXPECT_EQ(s->race().CoastTiles[1], "5239");
    EXPECT_EQ(s->coast().CoastCount, 3);
    EXPECT_TRUE(s->missingCoastTiles().empty());
    // A later change writes the MAP record again rather than losing it.
    ASSERT_TRUE(s->setMark({2116, 8371}).ok);
    EXPECT_NE(a.raceFile("race1.txt").find("MAP, 5239\r\n"), std::string::npos);
}

TEST(RaceSessionCoast, ARaceFileReadInPartIsNotWrittenAgainButOneWithoutABoatIs) {
    SessionApp a;
    // A boat whose log is missing keeps its BN record, in its place, beside the new MAP record.
    auto s = a.open("droppedboat.txt");
    ASSERT_TRUE(s);
    const std::string before = a.raceFile("droppedboat.txt");
    FakeGmt gmt = FakeGmt::printing(kShore);
    const CoastTilesAdded added = s->makeCoastTiles(gmt.runner());
    ASSERT_TRUE(added.made.ok());
    EXPECT_TRUE(added.raceFileNote.empty()) << added.raceFileNote;
    const std::string after = a.raceFile("droppedboat.txt");
    EXPECT_NE(after.find("BN, gone.trk, Gone\r\nBN, boat1.trk, One\r\n"), std::string::npos)
        << after;
    EXPECT_NE(after.find("MAP, 5239\r\n"), std::string::npos);
    EXPECT_EQ(a.raceFile("droppedboat.txt.bak"), before);
    EXPECT_EQ(s->coast().CoastCount, 3);

    // Records beyond a list's capacity are a part that was not read.
    std::string many = a.raceFile("race1.txt");
    for (int i = 0; i < 31; ++i) many += "MK, 2116, 8370\r\n";
    a.dir.put("raceadmin/many.txt", many);
    s = a.open("many.txt");
    ASSERT_TRUE(s);
    EXPECT_FALSE(s->makeCoastTiles(gmt.runner()).raceFileNote.empty());
    EXPECT_EQ(a.raceFile("many.txt"), many);
}

TEST(RaceSessionCoast, ASingleTrackGetsItsTilesButHasNoRaceFileToNameThem) {
    SessionApp a;
    const std::string before = a.raceFile("race1.txt");
    auto single = a.open("", "boat1.trk");
    ASSERT_TRUE(single);
    FakeGmt gmt = FakeGmt::printing(kShore);
    const CoastTilesAdded one = single->makeCoastTiles(gmt.runner());
    EXPECT_TRUE(one.made.ok());
    EXPECT_FALSE(one.raceFileNote.empty());
    EXPECT_TRUE(fs::exists(a.dir.path + "/coastline/5239.cst"));
    EXPECT_GT(single->coast().CoastCount, 0);
    EXPECT_EQ(a.raceFile("race1.txt"), before);
}

TEST(RaceSessionCoast, OpenSeaIsMadeOnceAndThenNoLongerMissing) {
    SessionApp a;
    auto s = a.open("race1.txt");
    ASSERT_TRUE(s);
    FakeGmt sea = FakeGmt::printing("");
    const CoastTilesAdded added = s->makeCoastTiles(sea.runner());
    EXPECT_EQ(added.made.named(CoastTileOutcome::NoShore), std::vector<std::string>{"5239"});
    EXPECT_TRUE(s->missingCoastTiles().empty());
    EXPECT_EQ(s->coast().CoastCount, 0);
    // The next race shown in the same window remembers it.
    auto next = a.open("race1.txt");
    ASSERT_TRUE(next);
    EXPECT_EQ(next->missingCoastTiles().size(), 1u);
    next->continueReplayOf(*s);
    EXPECT_TRUE(next->missingCoastTiles().empty());
}
