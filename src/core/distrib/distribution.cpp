// The distribution folder: its file list for a set of races and the copying; see distribution.h.
#include "distrib/distribution.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#include "race/racecontrolfile.h"
#include "race/racedefinition.h"
#include "util/fileutil.h"

namespace brisko {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRaceFolder = "raceadmin";
constexpr const char* kGpsFolder = "gpsdat";
constexpr const char* kWindFolder = "winddat";
constexpr const char* kAttachmentFolder = "attachment";
constexpr const char* kCoastFolder = "coastline";
constexpr const char* kCoastTileSuffix = ".cst";

// A target inside the distribution folder: relative, made of plain names only.
bool isSafeTarget(const std::string& target) {
    if (target.empty() || target.front() == '/') return false;
    size_t start = 0;
    while (start <= target.size()) {
        size_t slash = target.find('/', start);
        if (slash == std::string::npos) slash = target.size();
        if (!isPlainFileName(std::string_view(target).substr(start, slash - start))) return false;
        start = slash + 1;
    }
    return true;
}

// Collects the files in order, each target once, and what was left out.
class Planner {
public:
    Planner(const std::string& appPath, DistributionPlan& plan) : appPath_(appPath), plan_(plan) {}

    void add(const DistributionFile& file) {
        if (!isSafeTarget(file.target)) {
            skip("", file.target, "", SkipReason::UnsafeName);
            return;
        }
        if (!file.source.empty() && !fileExists(file.source)) {
            skip("", file.source, "",
                 fs::exists(file.source) ? SkipReason::NotAFile : SkipReason::Missing);
            return;
        }
        if (targets_.insert(toLowerAscii(file.target)).second) plan_.files.push_back(file);
    }

    // The copy rule: the file `name` of the application's `folder` goes to the same folder of
    // the distribution ("" for the top), when the name is a plain name and the file exists.
    void copy(const char* folder, const std::string& name, const std::string& race) {
        if (name.empty()) return skip(folder, name, race, SkipReason::EmptyName);
        if (!isPlainFileName(name)) return skip(folder, name, race, SkipReason::UnsafeName);
        std::string relative = std::string("\\") + folder + (*folder ? "\\" : "") + name;
        auto found = findPath(appPath_, relative);
        if (!found) return skip(folder, name, race, SkipReason::Missing);
        if (!fileExists(*found)) return skip(folder, name, race, SkipReason::NotAFile);
        // The name as it is on disk, so that two spellings of one file make one copy.
        std::string onDisk = fs::path(*found).filename().string();
        DistributionFile f;
        f.target = *folder ? std::string(folder) + "/" + onDisk : onDisk;
        f.source = *found;
        if (targets_.insert(toLowerAscii(f.target)).second) plan_.files.push_back(std::move(f));
    }

    void write(const std::string& target, std::string bytes) {
        DistributionFile f;
        f.target = target;
        f.bytes = std::move(bytes);
        add(f);
    }

private:
    void skip(const char* folder, const std::string& name, const std::string& race,
              SkipReason reason) {
        plan_.skipped.push_back({folder, name, race, reason});
    }

    const std::string& appPath_;
    DistributionPlan& plan_;
    std::set<std::string> targets_;
};

// The names a race refers to, read the way the race screen reads them.
RaceDefinition readReferences(const AppSettings& settings, const std::string& raceFile) {
    RaceDefinition def;
    def.RaceFileName = raceFile;
    auto path = findPath(settings.AppPath, std::string("\\raceadmin\\") + raceFile);
    if (!path) return def;
    if (auto bytes = readFileBytes(*path)) parseRaceControlText(*bytes, def, settings);
    return def;
}

const char* reasonText(SkipReason reason, bool english) {
    switch (reason) {
        case SkipReason::EmptyName:
            return english ? "no file name" : "ファイル名がありません";
        case SkipReason::Missing:
            return english ? "not found" : "見つかりません";
        case SkipReason::NotAFile:
            return english ? "not a file" : "ファイルではありません";
        case SkipReason::UnsafeName:
            return english ? "not a plain file name" : "使えないファイル名です";
    }
    return "";
}

}  // namespace

std::string distributionRoot(const std::string& appPath) {
    return resolvePath(appPath, "\\distribution");
}

FolderNameProblem checkFolderName(const std::string& appPath, const std::string& folderName) {
    if (folderName.empty()) return FolderNameProblem::Empty;
    if (!isPlainFileName(folderName)) return FolderNameProblem::Unsafe;
    std::error_code ec;
    const fs::path d = fs::path(distributionRoot(appPath)) / folderName;
    if (fs::exists(fs::symlink_status(d, ec))) return FolderNameProblem::Exists;
    return FolderNameProblem::None;
}

Message folderNameMessage(FolderNameProblem problem, const AppSettings& s) {
    const bool en = s.english();
    switch (problem) {
        case FolderNameProblem::Empty:
            return makeMessage(
                s.tr("収納するフォルダー名を入れてください", "Input folder name to be saved"),
                en ? "Brisko" : s.ProductTitle, MessageButtons::Ok);
        case FolderNameProblem::Unsafe:
            return makeMessage(s.tr("フォルダー名に「/」「\\」「..」などは使えません。"
                                    "別の名前を入れてください。",
                                    "A folder name cannot hold \"/\", \"\\\" or \"..\". "
                                    "Input other name."),
                               en ? "Brisko" : "フォルダー名", MessageButtons::Ok);
        case FolderNameProblem::Exists:
            return makeMessage(s.tr("同名のフォルダーがあります。新しい名前を入れてください。",
                                    "The same name folder exists. Input other name."),
                               en ? "Brisko" : "フォルダー名", MessageButtons::Ok);
        case FolderNameProblem::None:
            break;
    }
    return {};
}

Message confirmBuildMessage(const AppSettings& s) {
    return makeMessage(s.tr("配布データフォルダーを作成しますか？",
                            "Do you want to create new folder for distribution ?"),
                       s.english() ? "Brisko" : "配布用フォルダー名", MessageButtons::YesNo);
}

DistributionPlan planDistribution(const AppSettings& settings, const DistributionChoice& choice,
                                  const ProgramFiles& programFiles) {
    DistributionPlan plan;
    plan.folder = (fs::path(distributionRoot(settings.AppPath)) / choice.folderName).string();
    plan.folders = {kRaceFolder, kGpsFolder, kWindFolder, kAttachmentFolder};
    if (choice.attachMapData) plan.folders.push_back(kCoastFolder);

    Planner p(settings.AppPath, plan);
    for (const DistributionFile& f : programFiles.program) p.add(f);
    p.copy("", "gun.wav", "");
    if (!choice.startupRace.empty())
        p.write(std::string(kRaceFolder) + "/racefile.st", choice.startupRace + "\r\n");
    const bool cdRom = choice.media == DistributionMedia::CdRom;
    if (cdRom || !choice.smallestDataSize) {
        for (const DistributionFile& f : programFiles.runtime) p.add(f);
        for (const std::string& name : programFiles.missing)
            plan.skipped.push_back({"", name, "", SkipReason::Missing});
    }
    if (cdRom) p.copy("", "autorun.inf", "");
    if (settings.english()) p.write(std::string(kRaceFolder) + "/ver.txt", kEnglishBrowserVerTxt);

    for (const std::string& race : choice.races) p.copy(kRaceFolder, race, race);
    for (const std::string& race : choice.races) {
        if (!isPlainFileName(race)) continue;  // already listed as skipped
        const RaceDefinition def = readReferences(settings, race);
        for (int i = 1; i <= def.BoatCount && i <= kMaxBoats; ++i)
            p.copy(kGpsFolder, def.Boats[i].GpsFile, race);
        if (choice.attachMapData)
            for (int i = 1; i <= def.CoastTileCount && i <= kMaxCoastTiles; ++i)
                p.copy(kCoastFolder, def.CoastTiles[i] + kCoastTileSuffix, race);
        for (int i = 1; i <= def.AttachmentCount && i <= kMaxAttachments; ++i)
            p.copy(kAttachmentFolder, def.Attachments[i], race);
        // A race without a wind file has nothing to copy and nothing is missing.
        if (!def.WindFileName.empty()) p.copy(kWindFolder, def.WindFileName, race);
    }
    return plan;
}

DistributionResult buildDistribution(const DistributionPlan& plan, const AppSettings& settings) {
    DistributionResult r;
    const bool en = settings.english();
    auto fail = [&](const std::string& what, const std::error_code& ec) {
        r.ok = false;
        r.errors.push_back(what + ": " + ec.message());
    };
    std::error_code ec;
    const fs::path root(plan.folder);
    fs::create_directories(root.parent_path(), ec);
    if (ec) {
        fail(root.parent_path().string(), ec);
        return r;
    }
    // A folder made by someone else meanwhile is not ours to fill.
    if (!fs::create_directory(root, ec)) {
        r.ok = false;
        r.errors.push_back(
            ec ? root.string() + ": " + ec.message()
               : (en ? "The folder exists already: " : "フォルダーが既にあります: ") +
                     root.string());
        return r;
    }
    for (const std::string& sub : plan.folders) {
        if (!isSafeTarget(sub)) continue;
        fs::create_directory(root / sub, ec);
        if (ec) fail((root / sub).string(), ec);
    }
    for (const DistributionFile& f : plan.files) {
        if (!isSafeTarget(f.target)) {
            r.ok = false;
            r.errors.push_back((en ? "Refused: " : "作成を拒否しました: ") + f.target);
            continue;
        }
        const fs::path to = root / f.target;
        fs::create_directories(to.parent_path(), ec);
        if (ec) {
            fail(to.parent_path().string(), ec);
            continue;
        }
        if (!f.source.empty()) {
            fs::copy_file(f.source, to, fs::copy_options::overwrite_existing, ec);
            if (ec) {
                fail(f.source, ec);
                continue;
            }
            ++r.copied;
        } else {
            WriteResult w = writeFileAtomically(to.string(), f.bytes);
            if (!w.ok) {
                r.ok = false;
                r.errors.push_back(writeFailureText(w, en));
                continue;
            }
            if (f.executable) {
                fs::permissions(
                    to, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, ec);
                if (ec) fail(to.string(), ec);
            }
            ++r.written;
        }
        r.bytes += fs::file_size(to, ec);
    }
    return r;
}

std::string skippedFilesText(const std::vector<SkippedFile>& skipped, const AppSettings& s) {
    if (skipped.empty()) return {};
    const bool en = s.english();
    std::string text = en ? "These files were left out of the distribution:"
                          : "次のファイルは配布データに含めませんでした:";
    for (const SkippedFile& f : skipped) {
        text += "\n";
        std::string where = f.folder.empty() ? std::string() : f.folder + "/";
        text += where + shownName(f.name.empty() ? "\"\"" : f.name);
        text += " (";
        text += reasonText(f.reason, en);
        if (!f.race.empty()) text += (en ? ", race " : "、レース ") + shownName(f.race);
        text += ")";
    }
    return text;
}

}  // namespace brisko
