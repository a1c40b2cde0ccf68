// Tests of the distribution's file list and its copying: the copy rule, skipped and unsafe
// names, races picked twice, ver.txt by language, web, CD-ROM and smallest data size.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "distrib/distribution.h"
#include "tempfolder.h"

namespace brisko {
namespace {

namespace fs = std::filesystem;

using test::TempFolder;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// An application folder with two races sharing a boat, a wind file, a tile and an attachment,
// with folders in the letter cases the demo uses.
struct AppFolder {
    TempFolder dir;
    AppSettings settings;
    AppFolder() {
        settings.AppPath = dir.path;
        dir.put("gun.wav", "RIFF");
        dir.put("autorun.inf", "[autorun]");
        dir.put("RaceAdmin/race1.txt",
                "WF, race1_WIND.CSV\r\nBN, A.trk, Alpha\r\nBN, B.trk, Bravo\r\n"
                "BN, gone.trk, Ghost\r\nMAP, 5239\r\nMAP, 9999\r\nAT, notice.pdf \r\n");
        dir.put("RaceAdmin/race2.txt",
                "BN, a.TRK, Alpha again\r\nBN, ../../etc/passwd, Evil\r\n"
                "AT, sub/x.pdf\r\nAT, ..\r\nMAP, 5239\r\n");
        dir.put("GPSDAT/A.trk", "a");
        dir.put("GPSDAT/B.trk", "b");
        dir.put("WINDDAT/race1_WIND.CSV", "w");
        dir.put("coastline/5239.cst", "c");
        dir.put("attachment/notice.pdf", "pdf");
    }
};

std::vector<std::string> targets(const DistributionPlan& plan) {
    std::vector<std::string> t;
    for (const auto& f : plan.files) t.push_back(f.target);
    return t;
}

bool has(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

ProgramFiles programFiles(const std::string& exe, const std::string& lib) {
    ProgramFiles pf;
    pf.program.push_back({"brisko", exe, "", false});
    pf.program.push_back({"Brisko.sh", "", "#!/bin/sh\n", true});
    pf.runtime.push_back({"lib/libQt6Core.so.6", lib, "", false});
    pf.runtime.push_back({"qt.conf", "", "[Paths]\n", false});
    return pf;
}

TEST(Distribution, FileListFollowsTheCopyRuleInOrder) {
    AppFolder app;
    app.dir.put("bin/brisko", "ELF");
    app.dir.put("qt/libQt6Core.so.6", "lib");
    DistributionChoice c;
    c.races = {"race1.txt", "race2.txt", "race1.txt"};  // picked twice: one copy
    c.folderName = "web1";
    c.startupRace = "race2.txt";
    c.attachMapData = true;
    DistributionPlan plan = planDistribution(
        app.settings, c,
        programFiles(app.dir.path + "/bin/brisko", app.dir.path + "/qt/libQt6Core.so.6"));

    EXPECT_EQ(plan.folder, app.dir.path + "/distribution/web1");
    const std::vector<std::string> expected = {"brisko",
                                               "Brisko.sh",
                                               "gun.wav",
                                               "raceadmin/racefile.st",
                                               "lib/libQt6Core.so.6",
                                               "qt.conf",
                                               "raceadmin/race1.txt",
                                               "raceadmin/race2.txt",
                                               "gpsdat/A.trk",
                                               "gpsdat/B.trk",
                                               "coastline/5239.cst",
                                               "attachment/notice.pdf",
                                               "winddat/race1_WIND.CSV"};
    EXPECT_EQ(targets(plan), expected);
    EXPECT_TRUE(has(plan.folders, "coastline"));

    // Every file left out is listed with its race: the missing boat and tile, the unsafe names.
    auto skippedAs = [&](const std::string& name, SkipReason reason) {
        return std::any_of(plan.skipped.begin(), plan.skipped.end(), [&](const SkippedFile& f) {
            return f.name == name && f.reason == reason;
        });
    };
    EXPECT_TRUE(skippedAs("gone.trk", SkipReason::Missing));
    EXPECT_TRUE(skippedAs("9999.cst", SkipReason::Missing));
    EXPECT_TRUE(skippedAs("../../etc/passwd", SkipReason::UnsafeName));
    EXPECT_TRUE(skippedAs("sub/x.pdf", SkipReason::UnsafeName));
    EXPECT_TRUE(skippedAs("..", SkipReason::UnsafeName));
    EXPECT_FALSE(skippedAs("autorun.inf", SkipReason::Missing));  // web: not asked for
    // race1 picked twice lists its missing files twice; nothing else.
    EXPECT_EQ(plan.skipped.size(), 2u * 2u + 3u);
    const std::string text = skippedFilesText(plan.skipped, app.settings);
    EXPECT_NE(text.find("gpsdat/gone.trk"), std::string::npos);
    EXPECT_NE(text.find("race1.txt"), std::string::npos);
}

TEST(Distribution, MediaDecideRuntimeFilesAndAutorun) {
    AppFolder app;
    app.dir.put("bin/brisko", "ELF");
    app.dir.put("qt/libQt6Core.so.6", "lib");
    const ProgramFiles pf =
        programFiles(app.dir.path + "/bin/brisko", app.dir.path + "/qt/libQt6Core.so.6");
    DistributionChoice c;
    c.races = {"race1.txt"};
    c.folderName = "d";

    auto plan = [&](DistributionMedia media, bool smallest) {
        c.media = media;
        c.smallestDataSize = smallest;
        return targets(planDistribution(app.settings, c, pf));
    };
    auto web = plan(DistributionMedia::Web, false);
    EXPECT_TRUE(has(web, "lib/libQt6Core.so.6"));
    EXPECT_TRUE(has(web, "qt.conf"));
    EXPECT_FALSE(has(web, "autorun.inf"));
    auto smallest = plan(DistributionMedia::Web, true);
    EXPECT_FALSE(has(smallest, "lib/libQt6Core.so.6"));
    EXPECT_FALSE(has(smallest, "qt.conf"));
    EXPECT_TRUE(has(smallest, "brisko"));
    EXPECT_TRUE(has(smallest, "Brisko.sh"));
    // A CD-ROM always carries the runtime files and autorun.inf, whatever the smallest box says.
    auto cd = plan(DistributionMedia::CdRom, true);
    EXPECT_TRUE(has(cd, "lib/libQt6Core.so.6"));
    EXPECT_TRUE(has(cd, "autorun.inf"));
    // No map data asked for: no coastline folder, no tiles.
    EXPECT_FALSE(has(cd, "coastline/5239.cst"));
    EXPECT_FALSE(has(planDistribution(app.settings, c, pf).folders, "coastline"));
    // No start-up race typed: no racefile.st.
    EXPECT_FALSE(has(cd, "raceadmin/racefile.st"));
}

TEST(Distribution, VerTxtOnlyInEnglish) {
    AppFolder app;
    DistributionChoice c;
    c.races = {"race1.txt"};
    c.folderName = "d";
    EXPECT_FALSE(has(targets(planDistribution(app.settings, c, {})), "raceadmin/ver.txt"));
    app.settings.Lang = 1;
    DistributionPlan plan = planDistribution(app.settings, c, {});
    auto it = std::find_if(plan.files.begin(), plan.files.end(), [](const DistributionFile& f) {
        return f.target == "raceadmin/ver.txt";
    });
    ASSERT_NE(it, plan.files.end());
    EXPECT_EQ(it->bytes, "1,1\r\n");
}

TEST(Distribution, ProgramFilesThatWouldLeaveTheFolderAreRefused) {
    AppFolder app;
    ProgramFiles pf;
    pf.program.push_back({"../escape.sh", "", "x", false});
    pf.program.push_back({"/etc/x", "", "x", false});
    pf.runtime.push_back({"lib/../../x", "", "x", false});
    pf.program.push_back({"brisko", app.dir.path + "/no-such-program", "", false});
    DistributionChoice c;
    c.folderName = "d";
    DistributionPlan plan = planDistribution(app.settings, c, pf);
    EXPECT_FALSE(has(targets(plan), "../escape.sh"));
    EXPECT_FALSE(has(targets(plan), "brisko"));
    EXPECT_EQ(plan.skipped.size(), 4u);
}

TEST(Distribution, FolderNameChecks) {
    AppFolder app;
    EXPECT_EQ(checkFolderName(app.dir.path, ""), FolderNameProblem::Empty);
    for (const char* bad : {"..", ".", "a/b", "../up", "a\\b", "new\nline"})
        EXPECT_EQ(checkFolderName(app.dir.path, bad), FolderNameProblem::Unsafe) << bad;
    EXPECT_EQ(checkFolderName(app.dir.path, "web 2026"), FolderNameProblem::None);
    app.dir.put("Distribution/taken/x", "");  // found whatever the letter case of the folder
    EXPECT_EQ(checkFolderName(app.dir.path, "taken"), FolderNameProblem::Exists);
    app.dir.put("Distribution/afile", "");
    EXPECT_EQ(checkFolderName(app.dir.path, "afile"), FolderNameProblem::Exists);

    AppSettings ja;
    Message m = folderNameMessage(FolderNameProblem::Exists, ja);
    EXPECT_EQ(m.text, "同名のフォルダーがあります。新しい名前を入れてください。");
    EXPECT_EQ(m.title, "フォルダー名");
    AppSettings en;
    en.Lang = 1;
    EXPECT_EQ(folderNameMessage(FolderNameProblem::Empty, en).text,
              "Input folder name to be saved");
    EXPECT_EQ(confirmBuildMessage(en).buttons, MessageButtons::YesNo);
    EXPECT_EQ(confirmBuildMessage(ja).title, "配布用フォルダー名");
}

TEST(Distribution, BuildCopiesIntoANewFolderOnly) {
    AppFolder app;
    app.dir.put("bin/brisko", "ELF-program");
    app.dir.put("qt/libQt6Core.so.6", "lib");
    ::chmod((app.dir.path + "/bin/brisko").c_str(), 0755);
    DistributionChoice c;
    c.races = {"race1.txt", "race2.txt"};
    c.folderName = "cd";
    c.media = DistributionMedia::CdRom;
    c.startupRace = "race1.txt";
    DistributionPlan plan = planDistribution(
        app.settings, c,
        programFiles(app.dir.path + "/bin/brisko", app.dir.path + "/qt/libQt6Core.so.6"));
    DistributionResult r = buildDistribution(plan, app.settings);
    ASSERT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors.front());
    const std::string d = app.dir.path + "/distribution/cd";
    EXPECT_EQ(readAll(d + "/gpsdat/A.trk"), "a");
    EXPECT_EQ(readAll(d + "/raceadmin/racefile.st"), "race1.txt\r\n");
    EXPECT_EQ(readAll(d + "/lib/libQt6Core.so.6"), "lib");
    EXPECT_EQ(readAll(d + "/autorun.inf"), "[autorun]");
    EXPECT_TRUE(fs::is_directory(d + "/attachment"));
    EXPECT_TRUE(fs::is_directory(d + "/winddat"));
    EXPECT_FALSE(fs::exists(d + "/coastline"));
    // The program stays runnable, and so does the written start script.
    EXPECT_EQ(::access((d + "/brisko").c_str(), X_OK), 0);
    EXPECT_EQ(::access((d + "/Brisko.sh").c_str(), X_OK), 0);
    EXPECT_EQ(r.copied + r.written, static_cast<int>(plan.files.size()));
    EXPECT_GT(r.bytes, 0u);
    // Nothing appeared outside the folder.
    EXPECT_FALSE(fs::exists(app.dir.path + "/etc"));

    // The same folder again is refused before anything is written into it.
    fs::remove(d + "/gpsdat/A.trk");
    DistributionResult again = buildDistribution(plan, app.settings);
    EXPECT_FALSE(again.ok);
    EXPECT_FALSE(fs::exists(d + "/gpsdat/A.trk"));

    // A hand-made plan whose target leaves the folder writes nothing there.
    DistributionPlan evil;
    evil.folder = app.dir.path + "/distribution/evil";
    evil.folders = {"../out"};
    evil.files.push_back({"../../escaped", "", "x", false});
    DistributionResult e = buildDistribution(evil, app.settings);
    EXPECT_FALSE(e.ok);
    EXPECT_FALSE(fs::exists(app.dir.path + "/escaped"));
    EXPECT_FALSE(fs::exists(app.dir.path + "/distribution/out"));
}

TEST(Distribution, DemoRaceListsEveryBoatAndTheWindFile) {
    AppSettings s;
    s.AppPath = std::string(BRISKO_SOURCE_DIR) + "/demo";
    DistributionChoice c;
    c.races = {"enoshima_0607.txt"};
    c.folderName = "x";
    c.attachMapData = true;
    DistributionPlan plan = planDistribution(s, c, {});
    auto t = targets(plan);
    EXPECT_EQ(std::count_if(t.begin(), t.end(),
                            [](const std::string& x) { return x.rfind("GPSDAT/", 0) == 0; }),
              0);  // targets use the distribution's own folder names
    EXPECT_EQ(std::count_if(t.begin(), t.end(),
                            [](const std::string& x) { return x.rfind("gpsdat/", 0) == 0; }),
              10);
    EXPECT_TRUE(has(t, "winddat/enoshima_0607_WIND.CSV"));
    EXPECT_TRUE(has(t, "coastline/5239.cst"));
    EXPECT_TRUE(has(t, "raceadmin/enoshima_0607.txt"));
    EXPECT_TRUE(plan.skipped.empty()) << skippedFilesText(plan.skipped, s);
}

}  // namespace
}  // namespace brisko
