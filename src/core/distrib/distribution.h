// A distribution folder for the web or a CD-ROM: which files go into
// "distribution/<folder>/" for a set of races, and the copying itself. Used by the distribution
// builder window and its tests; nothing here ever writes outside the distribution folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/appsettings.h"
#include "app/messages.h"

namespace brisko {

enum class DistributionMedia { Web, CdRom };

// What the user chose in the builder window.
struct DistributionChoice {
    std::vector<std::string> races;  // race control files in the order picked; may repeat
    std::string folderName;          // the new folder inside "distribution"
    std::string startupRace;         // written to "racefile.st" when not empty
    DistributionMedia media = DistributionMedia::Web;
    bool attachMapData = false;     // copy the coastline tiles of the races
    bool smallestDataSize = false;  // web only: leave the runtime files out
};

// One file of the distribution: copied from `source` (an absolute path) or, when `source` is
// empty, written with `bytes`. `target` is the path inside the distribution folder with '/'
// between its parts ("gpsdat/JPN1.trk", "lib/libQt6Core.so.6").
struct DistributionFile {
    std::string target;
    std::string source;
    std::string bytes;
    bool executable = false;  // a written file that must be runnable (the start script)
};

// What the platform puts beside the races: the program with its start script, and the runtime
// files (libraries, plugins and their configuration) that let it run where they are missing.
struct ProgramFiles {
    std::vector<DistributionFile> program;
    std::vector<DistributionFile> runtime;
    std::vector<std::string> missing;  // runtime files the platform could not find
};

enum class SkipReason {
    EmptyName,   // the race file names no file
    Missing,     // no such file in its folder
    NotAFile,    // the name is that of a folder or of something that is no plain file
    UnsafeName,  // folder parts, "..", a drive or control characters: never made into a path
};

struct SkippedFile {
    std::string folder;  // "raceadmin", "gpsdat", ... or "" for the program's own files
    std::string name;    // as the race file or the platform gave it
    std::string race;    // the race that referred to it; empty for the program's files
    SkipReason reason = SkipReason::Missing;
};

struct DistributionPlan {
    std::string folder;                   // the distribution folder, absolute
    std::vector<std::string> folders;     // sub-folders to create, in order
    std::vector<DistributionFile> files;  // in copy order; each target once
    std::vector<SkippedFile> skipped;     // in the order met
};

// Why a folder name cannot be used; None when it can.
enum class FolderNameProblem { None, Empty, Unsafe, Exists };

// The folder "distribution" of the application folder, found whatever its letter case, or where
// it will be made.
std::string distributionRoot(const std::string& appPath);

// Checks the typed folder name: empty, holding folder parts, ".." or control characters, or
// already present in the distribution folder (any kind of entry of that exact name).
FolderNameProblem checkFolderName(const std::string& appPath, const std::string& folderName);

// The message box for a folder name problem, and the question asked before building.
Message folderNameMessage(FolderNameProblem problem, const AppSettings& settings);
Message confirmBuildMessage(const AppSettings& settings);

// Which files go where, reading each chosen race file for the GPS files of its boats, its
// coastline tiles (MAP records, ".cst" appended), its attachments (AT) and its wind file (WF).
// A name is used only when it is a plain file name and the file exists; every other one is
// listed in `skipped`. The same target met twice is copied once. Reads files, writes none.
DistributionPlan planDistribution(const AppSettings& settings, const DistributionChoice& choice,
                                  const ProgramFiles& programFiles);

struct DistributionResult {
    bool ok = true;
    std::vector<std::string> errors;  // one sentence each, in the user's language
    int copied = 0;
    int written = 0;
    std::uintmax_t bytes = 0;  // the size of every file put into the folder
};

// Makes the folder (which must not exist yet) and its sub-folders, copies and writes every file.
// A target that would leave the folder is refused. Carries on after a failed file and lists it.
DistributionResult buildDistribution(const DistributionPlan& plan, const AppSettings& settings);

// One message listing the skipped files (empty text when none), in the user's language.
std::string skippedFilesText(const std::vector<SkippedFile>& skipped, const AppSettings& settings);

// "1,1" for a distribution built in English: browser mode, English.
constexpr const char* kEnglishBrowserVerTxt = "1,1\r\n";

}  // namespace brisko
