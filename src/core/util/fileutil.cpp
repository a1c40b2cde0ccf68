// Case-insensitive file lookup and whole-file reads on POSIX (atomic writes: atomicwrite.cpp).
#include "util/fileutil.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace brisko {

std::string toLowerAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool folderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* d = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!d) return names;
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(std::move(n));
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

std::string joinPath(const std::string& a, std::string_view b) {
    if (a.empty()) return std::string(b);
    if (a.back() == '/') return a + std::string(b);
    return a + "/" + std::string(b);
}

// Resolves part by part; `exists` tells whether every part was found.
std::string resolve(std::string_view base, std::string_view relative, bool& exists) {
    std::string path(base);
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    exists = true;
    size_t i = 0;
    while (i <= relative.size()) {
        size_t j = relative.find_first_of("/\\", i);
        if (j == std::string_view::npos) j = relative.size();
        std::string_view part = relative.substr(i, j - i);
        i = j + 1;
        if (part.empty() || part == ".") continue;
        std::string candidate = joinPath(path, part);
        struct stat st {};
        if (exists && ::stat(candidate.c_str(), &st) != 0) {
            std::string want = toLowerAscii(part);
            bool found = false;
            for (const auto& name : folderEntries(path)) {
                if (toLowerAscii(name) == want) {
                    candidate = joinPath(path, name);
                    found = true;
                    break;
                }
            }
            if (!found) exists = false;
        }
        path = std::move(candidate);
    }
    return path;
}

}  // namespace

std::string resolvePath(std::string_view base, std::string_view relative) {
    bool exists = false;
    return resolve(base, relative, exists);
}

std::optional<std::string> findPath(std::string_view base, std::string_view relative) {
    bool exists = false;
    std::string p = resolve(base, relative, exists);
    if (!exists) return std::nullopt;
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return std::nullopt;
    return p;
}

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    // Iterative '*' and '?' matching with backtracking to the last star.
    size_t p = 0, n = 0, star = std::string_view::npos, mark = 0;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<std::string> listFiles(const std::string& folder, std::string_view pattern) {
    std::vector<std::string> out;
    for (auto& name : folderEntries(folder))
        if (wildcardMatch(pattern, name) && fileExists(joinPath(folder, name)))
            out.push_back(std::move(name));
    return out;
}

std::optional<std::string> readFileBytes(const std::string& path) {
    if (!fileExists(path)) return std::nullopt;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string data;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t r = ::read(fd, buf, sizeof buf);
        if (r < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        if (r == 0) break;
        data.append(buf, static_cast<size_t>(r));
    }
    ::close(fd);
    return data;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t i = 0;
    while (i < text.size()) {
        size_t j = text.find_first_of("\r\n", i);
        if (j == std::string_view::npos) {
            lines.push_back(text.substr(i));
            break;
        }
        lines.push_back(text.substr(i, j - i));
        i = (text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n') ? j + 2 : j + 1;
    }
    return lines;
}

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '/' || c == '\\' || c == ':') return false;
    }
    return true;
}

std::string shownName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            out += "\xEF\xBF\xBD";
        else
            out += c;
    }
    return out;
}

}  // namespace brisko
