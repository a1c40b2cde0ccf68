// Files and folders of the application folder: names found whatever their letter case
// ("\GPSDAT\" finds gpsdat/), whole-file reads, and writes that never leave a half file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brisko {

// Joins a base folder and a relative path written with backslashes or slashes
// ("\raceadmin\race1.txt") and finds each part whatever its letter case. A part that does not
// exist is kept as written, so the result names where the file would be.
std::string resolvePath(std::string_view base, std::string_view relative);

// Like resolvePath, but only when the file or folder exists.
std::optional<std::string> findPath(std::string_view base, std::string_view relative);

bool fileExists(const std::string& path);    // a regular file
bool folderExists(const std::string& path);  // a folder

// File names (not paths) in `folder` whose names match the wildcard pattern ("*.txt", "*.TRK"),
// compared without regard to letter case, sorted by name so that listings repeat.
std::vector<std::string> listFiles(const std::string& folder, std::string_view pattern);

bool wildcardMatch(std::string_view pattern, std::string_view name);  // case-insensitive

// Reads a whole regular file; nullopt when it cannot be read (missing, a folder, no rights).
std::optional<std::string> readFileBytes(const std::string& path);

// Why a write failed, so that each caller can say it in the user's language.
enum class WriteFailure {
    None,
    Folder,          // the path names a folder
    NotAFile,        // a device, a pipe or another thing that is not a plain file
    NoFolder,        // the folder it belongs in does not exist
    ReadOnlyFile,    // the file has no write permission: it is left alone
    ReadOnlyFolder,  // no file may be created in its folder
    DiskFull,        // no space left, or the largest file size the process may write
    NotFlushed,      // the file was replaced but the folder could not be flushed to disk
    Other,           // any other system error (sysError)
};

struct WriteResult {
    bool ok = true;
    std::string error;  // what failed, in English (writeFailureText gives either language)
    WriteFailure failure = WriteFailure::None;
    std::string path;  // the file written or refused: a symbolic link's target, not the link
    int sysError = 0;  // errno of the failing call, 0 when the refusal was our own
};

// Replaces the file at `path` with `bytes` without ever leaving a half file: the bytes go to a
// temporary file beside it (".<name>.brisko-tmp-<pid>-<n>"), are flushed to disk, and the
// temporary is renamed over the file; the folder is flushed after. On failure the old file
// stays whole and no temporary is left. A symbolic link stays a link and its target is
// replaced; a file without write permission (or in a folder without it) is refused, whoever
// runs the program; the replaced file keeps its permission bits and, where the system allows,
// its owner. A file size limit gives DiskFull rather than ending the process. Temporaries of
// earlier saves of the same file whose process has gone (a save killed half way) are removed.
WriteResult writeFileAtomically(const std::string& path, std::string_view bytes);

// One sentence naming the file and why it could not be written, in English or Japanese.
std::string writeFailureText(const WriteResult& result, bool english);

// True for the name of a temporary that writeFileAtomically makes while it replaces `target`
// (a file name, not a path), including those of earlier versions ("<name>.tmpXXXXXX").
bool isTemporaryNameFor(std::string_view name, std::string_view target);

// Splits text into lines, accepting CR LF, LF and a lone CR.
std::vector<std::string_view> splitLines(std::string_view text);

std::string toLowerAscii(std::string_view s);

// Whether a name from a race file (or the data folders) names a plain file inside its folder: not
// empty, not "." or
// "..", no "/", "\\" or ":" (no folder parts, no drive) and no control characters (no line
// breaks). Every name is checked with it before a path is made of it.
bool isPlainFileName(std::string_view name);

// A name as it can be shown in a message: control characters replaced by U+FFFD.
std::string shownName(std::string_view name);

}  // namespace brisko
