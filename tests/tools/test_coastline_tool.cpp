// brisko-coastline end to end: tiles made with gmt for a race built from the real Valencia GPX
// logs, their MAP records and the coastline they give; and the message without gmt. The run
// ends with status 77 (reported as skipped) when gmt, its full-resolution shorelines or the
// logs are absent.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "race/racedefinition.h"
#include "session/openrace.h"
#include "track/coastline.h"
#include "util/fileutil.h"

using namespace brisko;

namespace {

constexpr int kSkipped = 77;
bool g_skipped = false;

const char* const kFolder = BRISKO_SHARED_DATA "/real/valencia-2025-06-21";
const char* const kLogs[] = {"2025-06-21-ESP29375-P01.gpx", "2025-06-21-ESP30782-P01.gpx"};

struct Scratch {
    std::string path;
    Scratch() {
        char tmpl[] = "/tmp/brisko-coastline-XXXXXX";
        path = ::mkdtemp(tmpl);
    }
    ~Scratch() { std::filesystem::remove_all(path); }
};

// An application folder whose race file names the two Valencia logs (linked, not copied).
void valenciaRace(const std::string& app) {
    std::filesystem::create_directories(app + "/gpsdat");
    std::filesystem::create_directories(app + "/raceadmin");
    std::ofstream f(app + "/raceadmin/valencia.txt", std::ios::binary);
    f << "T1, Valencia\r\nTD, 2\r\n";
    for (const char* name : kLogs) {
        std::filesystem::create_symlink(std::string(kFolder) + "/" + name, app + "/gpsdat/" + name);
        f << "BN, " << name << ", " << std::string(name).substr(11, 8) << "\r\n";
    }
    f << "BT, 3\r\n";
}

struct ToolRun {
    int status = -1;
    std::string err;
};

// Runs the tool with the given PATH; its standard error is kept.
ToolRun runTool(const std::string& app, const std::string& pathVar, const std::string& scratch) {
    const std::string errFile = scratch + "/stderr.txt";
    const std::string cmd = "PATH='" + pathVar + "' '" BRISKO_COASTLINE "' --app-dir '" + app +
                            "' --race valencia.txt >/dev/null 2>'" + errFile + "'";
    const int rc = std::system(cmd.c_str());
    ToolRun r;
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.err = readFileBytes(errFile).value_or("");
    return r;
}

std::string pathVariable() {
    const char* p = std::getenv("PATH");
    return p ? p : "/usr/bin:/bin";
}

bool gmtWithFullShorelines() {
    return std::system(
               "gmt coast -R-0.4/-0.3/39.4/39.5 -Df -M -W --GMT_HISTORY=false "
               ">/dev/null 2>&1") == 0;
}

}  // namespace

TEST(CoastlineTool, MakesTheValenciaTilesAndTheirMapRecords) {
    if (!folderExists(kFolder) || !gmtWithFullShorelines()) {
        g_skipped = true;
        GTEST_SKIP() << "needs gmt, gmt-gshhg-full and the logs at " << kFolder;
    }
    Scratch s;
    const std::string app = s.path + "/app";
    valenciaRace(app);
    const ToolRun r = runTool(app, pathVariable(), s.path);
    ASSERT_EQ(r.status, 0) << r.err;

    const auto tile = readFileBytes(app + "/coastline/59-101.cst");
    ASSERT_TRUE(tile);
    EXPECT_EQ(tile->rfind("W WGS84\r\nN 59 -101 ", 0), 0u);

    AppSettings settings;
    settings.AppPath = app;
    settings.Lang = 1;
    RaceDefinition race;
    race.RaceFileName = "valencia.txt";
    RaceData data;
    CapturingMessageSink sink;
    ASSERT_TRUE(openRace(settings, race, data, sink).ok);
    ASSERT_EQ(data.tracks.boatCount(), 2);  // the rewritten race file keeps its boats
    ASSERT_EQ(race.CoastTileCount, 1);
    EXPECT_EQ(race.CoastTiles[1], "59-101");

    const TrackStore& t = data.tracks;
    CoastLine coast;
    coast.clear();
    loadCoastTiles(app, coastDrawingWindow(t.CenterLat, t.CenterLon, t.TrackSpan, t.LonFactor),
                   race, coast);
    ASSERT_GT(coast.CoastCount, 20);
    int nearTheRace = 0;
    for (int i = 1; i <= coast.CoastCount; ++i) {
        const double lat = (coast.CoastStart[i] ? -coast.CoastLat[i] : coast.CoastLat[i]) / 60;
        const double lon = coast.CoastLon[i] / 60;
        // The beaches south of Valencia's harbour run north by north-west near 0 deg 20' W.
        EXPECT_GT(lat, 39.2);
        EXPECT_LT(lat, 39.6);
        EXPECT_GT(lon, -0.45);
        EXPECT_LT(lon, -0.2);
        if (std::fabs(lat - 39.40) < 0.01) {
            ++nearTheRace;
            EXPECT_NEAR(lon, -0.33, 0.015) << lat;
        }
    }
    EXPECT_GT(nearTheRace, 2);

    // A second run keeps the tile it finds and writes the same records again.
    const ToolRun again = runTool(app, pathVariable(), s.path);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(readFileBytes(app + "/coastline/59-101.cst"), tile);
}

TEST(CoastlineTool, WithoutGmtSaysWhichPackagesToInstall) {
    if (!folderExists(kFolder)) GTEST_SKIP() << "no logs at " << kFolder;
    Scratch s;
    const std::string app = s.path + "/app";
    valenciaRace(app);
    const auto raceBefore = readFileBytes(app + "/raceadmin/valencia.txt");
    std::filesystem::create_directories(s.path + "/emptybin");
    const ToolRun r = runTool(app, s.path + "/emptybin", s.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("gmt gmt-gshhg-full"), std::string::npos) << r.err;
    EXPECT_EQ(readFileBytes(app + "/raceadmin/valencia.txt"), raceBefore);
    EXPECT_FALSE(folderExists(app + "/coastline"));

    // A gmt that cannot read the full-resolution shorelines: its words, then the packages.
    std::filesystem::create_directories(s.path + "/fakebin");
    std::ofstream(s.path + "/fakebin/gmt")
        << "#!/bin/sh\necho 'coast [ERROR]: Cannot find file binned_GSHHS_f.nc' >&2\nexit 71\n";
    std::filesystem::permissions(s.path + "/fakebin/gmt", std::filesystem::perms::owner_all);
    const ToolRun fake = runTool(app, s.path + "/fakebin:/usr/bin:/bin", s.path);
    EXPECT_EQ(fake.status, 1);
    EXPECT_NE(fake.err.find("binned_GSHHS_f.nc"), std::string::npos) << fake.err;
    EXPECT_NE(fake.err.find("gmt gmt-gshhg-full"), std::string::npos) << fake.err;
    EXPECT_EQ(readFileBytes(app + "/raceadmin/valencia.txt"), raceBefore);
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    return rc == 0 && g_skipped ? kSkipped : rc;
}
