// Start-up settings and the first questions to the user; the Qt main() only carries them out.
#include "app/startup.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "util/fileutil.h"
#include "util/numbers.h"
#include "util/textcodec.h"

namespace brisko {

namespace {

constexpr double kStandardDpi = 96;  // where one pixel is 15 twips and fonts keep their size
constexpr const char* kApplicationTitle = "Brisko";  // the title of untitled message boxes
constexpr const char* kUiFontName = "MS Sans Serif";

std::string firstLine(std::string_view bytes) {
    DecodedText d = decodeText(bytes);
    auto lines = splitLines(d.text);
    return lines.empty() ? std::string() : std::string(lines.front());
}

// Made absolute so that the folder stays the same whatever the working folder becomes.
std::string absoluteFolder(const std::string& dir) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(dir, ec);
    return ec ? dir : p.lexically_normal().string();
}

std::string stripTrailingSeparators(std::string dir) {
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
    return dir;
}

bool holdsRaceFolder(const std::string& dir) {
    if (dir.empty()) return false;
    auto p = findPath(dir, "\\raceadmin");
    return p && folderExists(*p);
}

}  // namespace

VerTxt parseVerTxt(std::string_view bytes) {
    VerTxt v;
    std::string line = firstLine(bytes);
    size_t comma = line.find(',');
    std::string_view text = line;
    double mode = numericPrefix(text.substr(0, comma));
    double lang = comma == std::string::npos ? 0.0 : numericPrefix(text.substr(comma + 1));
    // Every mode up to 1 is the race browser; a line without a number is one of them.
    v.mode = std::max(1, roundToInt(mode));
    v.lang = lang > 0 ? 1 : 0;
    return v;
}

VerTxt readVerTxt(const std::string& appPath) {
    auto p = findPath(appPath, "\\RaceAdmin\\Ver.txt");
    if (!p) return {};
    auto bytes = readFileBytes(*p);
    if (!bytes) return {};
    return parseVerTxt(*bytes);
}

std::string productTitleFor(int lang) { return lang == 1 ? "Brisko" : "ブリスコ"; }

double fontScaleForDpi(double logicalDpi) {
    if (!std::isfinite(logicalDpi) || logicalDpi <= 0) return 1.0;
    return kStandardDpi / logicalDpi;
}

std::string chooseAppFolder(const std::vector<std::string>& arguments, const std::string& envDir,
                            const std::string& programDir, const std::string& demoDir) {
    static const std::string kOption = "--app-dir";
    std::string fromArgs;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == kOption && i + 1 < arguments.size())
            fromArgs = arguments[++i];
        else if (a.rfind(kOption + "=", 0) == 0)
            fromArgs = a.substr(kOption.size() + 1);
    }
    std::string dir = demoDir;
    if (!fromArgs.empty())
        dir = fromArgs;
    else if (!envDir.empty())
        dir = envDir;
    else if (holdsRaceFolder(programDir))
        dir = programDir;
    return stripTrailingSeparators(dir.empty() ? dir : absoluteFolder(dir));
}

AppSettings loadStartupSettings(const std::string& appPath, double logicalDpi) {
    AppSettings s;
    s.AppPath = stripTrailingSeparators(appPath);
    VerTxt v = readVerTxt(s.AppPath);
    s.EditionMode = v.mode;
    s.Lang = v.lang;
    s.UiFontName = kUiFontName;
    s.ProductTitle = productTitleFor(s.Lang);
    s.FontScale = fontScaleForDpi(logicalDpi);
    return s;
}

std::string chooseFirstRace(const std::string& appPath) {
    if (auto st = findPath(appPath, "\\raceadmin\\racefile.st")) {
        if (auto bytes = readFileBytes(*st)) {
            std::string line = firstLine(*bytes);
            std::string_view field = trimBlanks(std::string_view(line).substr(0, line.find(',')));
            if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
                field = field.substr(1, field.size() - 2);
            // An empty field or one that leaves the race folder falls back to the listing.
            if (!field.empty() && field.find_first_of("/\\") == std::string_view::npos &&
                field != "." && field != "..")
                return std::string(field);
        }
    }
    auto folder = findPath(appPath, "\\raceadmin");
    if (!folder) return {};
    for (const std::string& name : listFiles(*folder, "*.txt"))
        if (toLowerAscii(name) != "ver.txt") return name;
    return {};
}

StartupAction runStartupQuestions(AppSettings& s, PlatformServices& platform, MessageSink& sink) {
    const bool en = s.english();

    // Running from the distribution CD-ROM: offer to install and end, so that the next start
    // comes from the hard disk.
    auto setup = findPath(s.AppPath, "\\setup.exe");
    if (setup && fileExists(*setup) && platform.isOnCdRom(s.AppPath)) {
        MessageAnswer a = sink.show(
            makeMessage(s.tr("今すぐインストールしますか？", "Do you want to install now ?"),
                        s.ProductTitle, MessageButtons::YesNo));
        if (a == MessageAnswer::Yes) {
            if (platform.startDetached(*setup)) {
                sink.show(
                    makeMessage(s.tr("ソフトがインストールされますので次回からはHDDから起動して"
                                     "ください",
                                     "Start up software from Hard Disk after next time because "
                                     "the Software is already installed in HDD now"),
                                s.ProductTitle, MessageButtons::Ok));
                return StartupAction::Quit;
            }
            // Quitting after a failed start would leave the user with nothing at all.
            sink.show(makeMessage(
                s.tr("インストーラを起動できませんでした。", "The installer could not be started."),
                s.ProductTitle, MessageButtons::Ok));
        }
    }

    // First use: the base data (coastlines) has not been expanded yet.
    auto gpsdat = findPath(s.AppPath, "\\gpsdat");
    auto expander = findPath(s.AppPath, "\\data.exe");
    if (!(gpsdat && folderExists(*gpsdat)) && expander && fileExists(*expander)) {
        sink.show(makeMessage(en ? "Expand coast line data" : "海岸線などの基本データを解凍します",
                              en ? "Expansion" : "データの解凍", MessageButtons::Ok));
        if (!platform.startDetached(*expander))
            sink.show(makeMessage(s.tr("データの解凍プログラムを起動できませんでした。",
                                       "The data expander could not be started."),
                                  s.ProductTitle, MessageButtons::Ok));
    }

    if (s.EditionMode > 1) {
        MessageAnswer a =
            sink.show(makeMessage(en ? "Compile Data ?" : "編集しますか?",
                                  en ? s.ProductTitle : kApplicationTitle, MessageButtons::YesNo));
        if (a != MessageAnswer::Yes) s.EditionMode = 1;
    }
    return s.EditionMode > 1 ? StartupAction::ShowLauncher : StartupAction::ShowRaceScreen;
}

StartupPlan planStartup(const StartupEnvironment& env, PlatformServices& platform,
                        MessageSink& sink) {
    StartupPlan plan;
    plan.settings = loadStartupSettings(
        chooseAppFolder(env.arguments, env.envAppDir, env.programDir, env.demoDir), env.logicalDpi);
    plan.action = runStartupQuestions(plan.settings, platform, sink);
    if (plan.action == StartupAction::ShowRaceScreen)
        plan.raceFileName = chooseFirstRace(plan.settings.AppPath);
    return plan;
}

}  // namespace brisko
