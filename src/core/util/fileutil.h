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

// Writes `bytes` to a temporary file in the same folder and renames it over `path`. On failure
// the old file stays whole and the result holds a description of what failed.
struct WriteResult {
    bool ok = true;
    std::string error;
};
WriteResult writeFileAtomically(const std::string& path, std::string_view bytes);

// Splits text into lines, accepting CR LF, LF and a lone CR.
std::vector<std::string_view> splitLines(std::string_view text);

std::string toLowerAscii(std::string_view s);

}  // namespace brisko
