// Start-up of the program as plain logic: which application folder, mode, language and font
// scale, the CD-ROM and first-use questions, and which window comes first. main() reads the plan.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/appsettings.h"
#include "app/messages.h"
#include "app/platformservices.h"

namespace brisko {

// "\RaceAdmin\Ver.txt": the mode and the language value.
struct VerTxt {
    int mode = 1;  // EditionMode; never below 1
    int lang = 0;  // 0 Japanese, 1 English
};

// Parses the file's bytes: "mode" or "mode,language" on the first line.
VerTxt parseVerTxt(std::string_view bytes);
// Reads AppPath + "\RaceAdmin\Ver.txt" (any letter case); a missing file gives mode 1, Japanese.
VerTxt readVerTxt(const std::string& appPath);

std::string productTitleFor(int lang);      // "Brisko" in English, "ブリスコ" in Japanese
double fontScaleForDpi(double logicalDpi);  // 96 / dpi; 1 for a dpi that makes no sense

// Chooses the application folder: "--app-dir DIR" (or "--app-dir=DIR") among the arguments,
// else the environment's BRISKO_APP_DIR, else the program's folder when it holds a raceadmin
// folder (any letter case), else the demo folder. Trailing separators are removed.
std::string chooseAppFolder(const std::vector<std::string>& arguments, const std::string& envDir,
                            const std::string& programDir, const std::string& demoDir);

// Settings of the first start-up steps: folder, mode, language, font name, title, font scale.
AppSettings loadStartupSettings(const std::string& appPath, double logicalDpi);

// The race opened first in browser mode: the first field of "\raceadmin\racefile.st", else the
// first "*.txt" of "\raceadmin\" by name (Ver.txt is not a race), else empty.
std::string chooseFirstRace(const std::string& appPath);

enum class StartupAction {
    Quit,            // the installer was started from the CD-ROM
    ShowLauncher,    // full mode
    ShowRaceScreen,  // browser mode: splash, then the race screen on raceFileName
};

// The CD-ROM install question, the first-use data expansion and the "Compile Data ?" question,
// in that order. May lower settings.EditionMode to 1 for this run.
StartupAction runStartupQuestions(AppSettings& settings, PlatformServices& platform,
                                  MessageSink& sink);

// What the caller of the start-up must know.
struct StartupEnvironment {
    std::vector<std::string> arguments;  // the command line
    std::string envAppDir;               // BRISKO_APP_DIR, empty when not set
    std::string programDir;              // the folder of the executable
    std::string demoDir;                 // the demo folder compiled into the program
    double logicalDpi = 96;              // of the primary screen
};

struct StartupPlan {
    StartupAction action = StartupAction::ShowRaceScreen;
    AppSettings settings;
    std::string raceFileName;  // ShowRaceScreen only; empty: the race screen opens without a race
};

StartupPlan planStartup(const StartupEnvironment& env, PlatformServices& platform,
                        MessageSink& sink);

}  // namespace brisko
