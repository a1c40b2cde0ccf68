// Tests of the start-up: Ver.txt, folder choice, font scale, the first race and the questions
// asked before the first window, with a fake desktop.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "app/startup.h"
#include "tempfolder.h"

namespace brisko {
namespace {

namespace fs = std::filesystem;

class FakePlatform : public PlatformServices {
public:
    bool onCdRom = false;
    bool startsOk = true;
    std::vector<std::string> started;
    bool isOnCdRom(const std::string&) override { return onCdRom; }
    bool startDetached(const std::string& program) override {
        started.push_back(program);
        return startsOk;
    }
    std::string openDocument(const std::string&) override { return {}; }
    void playSound(const std::string&) override {}
};

using test::TempFolder;

TEST(Startup, VerTxtVariants) {
    auto check = [](std::string_view bytes, int mode, int lang) {
        VerTxt v = parseVerTxt(bytes);
        EXPECT_EQ(v.mode, mode) << bytes;
        EXPECT_EQ(v.lang, lang) << bytes;
    };
    check("2", 2, 0);
    check("2,1\r\n", 2, 1);
    check("1,1", 1, 1);
    check(" 3 , 0 \r\n1,1", 3, 0);  // only the first line counts
    check("0", 1, 0);               // every mode up to 1 is the browser
    check("-5,1", 1, 1);
    check("", 1, 0);
    check("garbage,x", 1, 0);
    check(
        "\xEF\xBB\xBF"
        "2,1",
        2, 1);  // a byte order mark does not hide the mode
    check(std::string("\x00\xff\xfe,\x01", 5), 1, 0);
    check("1e400,1e400", 2147483647, 1);

    TempFolder app;
    VerTxt missing = readVerTxt(app.path);
    EXPECT_EQ(missing.mode, 1);
    EXPECT_EQ(missing.lang, 0);
    app.put("raceadmin/ver.txt", "2,1\r\n");  // as the distribution builder names it
    EXPECT_EQ(readVerTxt(app.path).mode, 2);
    EXPECT_EQ(readVerTxt(app.path).lang, 1);
}

TEST(Startup, SettingsFromTheFolder) {
    TempFolder app;
    app.put("RaceAdmin/Ver.txt", "1,1\r\n");
    AppSettings s = loadStartupSettings(app.path + "/", 120);
    EXPECT_EQ(s.AppPath, app.path);
    EXPECT_EQ(s.EditionMode, 1);
    EXPECT_EQ(s.Lang, 1);
    EXPECT_EQ(s.ProductTitle, "Brisko");
    EXPECT_EQ(s.UiFontName, "MS Sans Serif");
    EXPECT_DOUBLE_EQ(s.FontScale, 0.8);

    EXPECT_EQ(productTitleFor(0), "ブリスコ");
    EXPECT_DOUBLE_EQ(fontScaleForDpi(96), 1.0);
    EXPECT_DOUBLE_EQ(fontScaleForDpi(192), 0.5);
    EXPECT_DOUBLE_EQ(fontScaleForDpi(0), 1.0);
    EXPECT_DOUBLE_EQ(fontScaleForDpi(-1), 1.0);
}

TEST(Startup, ApplicationFolderChoice) {
    TempFolder prog, demo;
    prog.mkdir("RACEADMIN");
    std::vector<std::string> none = {"brisko"};
    EXPECT_EQ(
        chooseAppFolder({"brisko", "--app-dir", "/data/races/"}, "/env", prog.path, demo.path),
        "/data/races");
    EXPECT_EQ(chooseAppFolder({"brisko", "--app-dir=/x"}, "/env", prog.path, demo.path), "/x");
    EXPECT_EQ(chooseAppFolder(none, "/env", prog.path, demo.path), "/env");
    EXPECT_EQ(chooseAppFolder(none, "", prog.path, demo.path), prog.path);
    EXPECT_EQ(chooseAppFolder({"brisko", "--app-dir"}, "", demo.path, demo.path + "/"),
              demo.path);  // no raceadmin beside the program: the demo folder
    EXPECT_EQ(chooseAppFolder(none, "", "/", "/"), "/");
    EXPECT_EQ(chooseAppFolder({"brisko", "--app-dir", "rel/./dir/"}, "", "", ""),
              (fs::current_path() / "rel/dir").string());
}

TEST(Startup, FirstRace) {
    TempFolder app;
    EXPECT_EQ(chooseFirstRace(app.path), "");  // no race folder at all
    app.put("RaceAdmin/Ver.txt", "1");
    EXPECT_EQ(chooseFirstRace(app.path), "");  // Ver.txt is not a race
    app.put("RaceAdmin/b_race.txt", "");
    app.put("RaceAdmin/a_race.TXT", "");
    app.put("RaceAdmin/notes.doc", "");
    app.mkdir("RaceAdmin/0folder.txt");
    EXPECT_EQ(chooseFirstRace(app.path), "a_race.TXT");

    app.put("RaceAdmin/RaceFile.st", " b_race.txt , whatever\r\nother\r\n");
    EXPECT_EQ(chooseFirstRace(app.path), "b_race.txt");
    app.put("RaceAdmin/RaceFile.st", "\"葉山.txt\"\r\n");
    EXPECT_EQ(chooseFirstRace(app.path), "葉山.txt");
    app.put("RaceAdmin/RaceFile.st", "..\\..\\etc\\passwd");
    EXPECT_EQ(chooseFirstRace(app.path), "a_race.TXT");
    app.put("RaceAdmin/RaceFile.st", "");
    EXPECT_EQ(chooseFirstRace(app.path), "a_race.TXT");
}

struct QuestionsCase {
    TempFolder app;
    FakePlatform platform;
    CapturingMessageSink sink;
    AppSettings settings;
    void load() { settings = loadStartupSettings(app.path, 96); }
};

TEST(Startup, InstallFromCdRom) {
    QuestionsCase c;
    c.app.put("setup.exe", "x");
    c.app.mkdir("gpsdat");
    c.load();
    c.platform.onCdRom = true;
    c.sink.setAnswer(MessageAnswer::Yes);
    EXPECT_EQ(runStartupQuestions(c.settings, c.platform, c.sink), StartupAction::Quit);
    ASSERT_EQ(c.sink.messages.size(), 2u);
    EXPECT_EQ(c.sink.messages[0].text, "今すぐインストールしますか？");
    EXPECT_EQ(c.sink.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(c.sink.messages[0].title, "ブリスコ");
    EXPECT_EQ(c.sink.messages[1].buttons, MessageButtons::Ok);
    ASSERT_EQ(c.platform.started.size(), 1u);
    EXPECT_EQ(c.platform.started[0], c.app.path + "/setup.exe");

    // No: the program goes on from the CD-ROM.
    QuestionsCase no;
    no.app.put("SETUP.EXE", "x");
    no.app.mkdir("gpsdat");
    no.load();
    no.platform.onCdRom = true;
    no.sink.setAnswer(MessageAnswer::No);
    EXPECT_EQ(runStartupQuestions(no.settings, no.platform, no.sink),
              StartupAction::ShowRaceScreen);
    EXPECT_EQ(no.sink.messages.size(), 1u);
    EXPECT_TRUE(no.platform.started.empty());

    // Not on a CD-ROM: no question even with an installer beside the program.
    QuestionsCase hd;
    hd.app.put("setup.exe", "x");
    hd.app.mkdir("gpsdat");
    hd.load();
    EXPECT_EQ(runStartupQuestions(hd.settings, hd.platform, hd.sink),
              StartupAction::ShowRaceScreen);
    EXPECT_TRUE(hd.sink.messages.empty());

    // An installer that does not start is said so and the program stays.
    QuestionsCase broken;
    broken.app.put("setup.exe", "x");
    broken.app.mkdir("gpsdat");
    broken.app.put("RaceAdmin/Ver.txt", "1,1");
    broken.load();
    broken.platform.onCdRom = true;
    broken.platform.startsOk = false;
    broken.sink.setAnswer(MessageAnswer::Yes);
    EXPECT_EQ(runStartupQuestions(broken.settings, broken.platform, broken.sink),
              StartupAction::ShowRaceScreen);
    ASSERT_EQ(broken.sink.messages.size(), 2u);
    EXPECT_EQ(broken.sink.messages[0].text, "Do you want to install now ?");
    EXPECT_EQ(broken.sink.messages[1].text, "The installer could not be started.");
}

TEST(Startup, FirstUseExpansion) {
    for (int lang : {0, 1}) {
        QuestionsCase c;
        c.app.put("Data.exe", "x");
        c.app.put("RaceAdmin/Ver.txt", lang ? "1,1" : "1");
        c.load();
        EXPECT_EQ(runStartupQuestions(c.settings, c.platform, c.sink),
                  StartupAction::ShowRaceScreen);
        ASSERT_EQ(c.sink.messages.size(), 1u);
        EXPECT_EQ(c.sink.messages[0].text,
                  lang ? "Expand coast line data" : "海岸線などの基本データを解凍します");
        EXPECT_EQ(c.sink.messages[0].title, lang ? "Expansion" : "データの解凍");
        ASSERT_EQ(c.platform.started.size(), 1u);
        EXPECT_EQ(c.platform.started[0], c.app.path + "/Data.exe");
    }
    // Already expanded (GPSDAT in any case), or nothing to expand: no message.
    QuestionsCase done;
    done.app.put("data.exe", "x");
    done.app.mkdir("GPSDAT");
    done.load();
    runStartupQuestions(done.settings, done.platform, done.sink);
    EXPECT_TRUE(done.sink.messages.empty());
    QuestionsCase nothing;
    nothing.load();
    runStartupQuestions(nothing.settings, nothing.platform, nothing.sink);
    EXPECT_TRUE(nothing.sink.messages.empty());
    EXPECT_TRUE(nothing.platform.started.empty());
}

TEST(Startup, CompileQuestionChoosesTheFirstWindow) {
    QuestionsCase yes;
    yes.app.put("RaceAdmin/Ver.txt", "2,1");
    yes.app.mkdir("gpsdat");
    yes.load();
    yes.sink.setAnswer(MessageAnswer::Yes);
    EXPECT_EQ(runStartupQuestions(yes.settings, yes.platform, yes.sink),
              StartupAction::ShowLauncher);
    ASSERT_EQ(yes.sink.messages.size(), 1u);
    EXPECT_EQ(yes.sink.messages[0].text, "Compile Data ?");
    EXPECT_EQ(yes.sink.messages[0].title, "Brisko");
    EXPECT_EQ(yes.settings.EditionMode, 2);

    // No in full mode runs exactly like the browser, racefile.st included.
    TempFolder prog;
    prog.put("RaceAdmin/Ver.txt", "3");
    prog.put("RaceAdmin/racefile.st", "chosen.txt\r\n");
    prog.put("RaceAdmin/a.txt", "");
    prog.mkdir("gpsdat");
    FakePlatform platform;
    CapturingMessageSink sink(MessageAnswer::No);
    StartupEnvironment env;
    env.arguments = {"brisko", "--app-dir", prog.path};
    env.logicalDpi = 120;
    StartupPlan plan = planStartup(env, platform, sink);
    EXPECT_EQ(plan.action, StartupAction::ShowRaceScreen);
    EXPECT_EQ(plan.settings.EditionMode, 1);
    EXPECT_EQ(plan.raceFileName, "chosen.txt");
    EXPECT_DOUBLE_EQ(plan.settings.FontScale, 0.8);
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "編集しますか?");
    EXPECT_NE(sink.messages[0].title, "ブリスコ");  // the application's own title

    // Browser mode asks nothing.
    QuestionsCase browser;
    browser.app.mkdir("gpsdat");
    browser.load();
    EXPECT_EQ(runStartupQuestions(browser.settings, browser.platform, browser.sink),
              StartupAction::ShowRaceScreen);
    EXPECT_TRUE(browser.sink.messages.empty());
}

}  // namespace
}  // namespace brisko
