// Replacing a file without ever losing it: a flushed temporary beside it renamed over it, with
// the file's links, permissions and owner kept, and the temporaries of killed saves cleared.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

#include "util/fileutil.h"

namespace brisko {

namespace {

constexpr std::string_view kTempMark = ".brisko-tmp-";
// The target's name as it appears in its temporaries' names, short enough that the temporary's
// name stays within the 255 bytes a folder entry may have.
constexpr size_t kTempNameStem = 200;
// A temporary nobody has written to for this long is stale even if its process number is in use
// again by another program.
constexpr time_t kStaleSeconds = 3600;

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string inFolder(const std::string& folder, std::string_view name) {
    return folder == "/" ? "/" + std::string(name) : folder + "/" + std::string(name);
}

std::string temporaryPrefix(std::string_view target) {
    return "." + std::string(target.substr(0, kTempNameStem)) + std::string(kTempMark);
}

bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

bool allAlnum(std::string_view s) {
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    return true;
}

// The process number in the name of one of our temporaries, 0 for an earlier version's name.
long ownerOf(std::string_view name, std::string_view target) {
    const std::string prefix = temporaryPrefix(target);
    if (name.substr(0, prefix.size()) != prefix) return 0;
    std::string_view rest = name.substr(prefix.size());
    rest = rest.substr(0, rest.find('-'));
    return rest.size() <= 9 ? std::stol(std::string(rest)) : 0;
}

bool processAlive(long pid) {
    if (pid <= 0) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Removes the temporaries that killed or failed saves of `target` left in its folder. One whose
// process is still running is left alone: that save may still be under way.
void removeStaleTemporaries(const std::string& folder, const std::string& target) {
    DIR* d = ::opendir(folder.c_str());
    if (!d) return;
    std::vector<std::string> stale;
    const time_t now = std::time(nullptr);
    while (dirent* e = ::readdir(d)) {
        const std::string_view name = e->d_name;
        if (!isTemporaryNameFor(name, target)) continue;
        const std::string path = inFolder(folder, name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        const long pid = ownerOf(name, target);
        const bool idle = now - st.st_mtime > kStaleSeconds;
        if (pid != 0 && processAlive(pid) && !idle) continue;
        stale.push_back(path);
    }
    ::closedir(d);
    for (const auto& path : stale) ::unlink(path.c_str());
}

// Follows a chain of symbolic links to the file it names (which need not exist yet); a relative
// link is read from the link's own folder.
bool followLinks(std::string path, std::string& out, int& err) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            out = path;
            return true;
        }
        std::vector<char> buf(st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 4096);
        const ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size());
        if (n <= 0 || static_cast<size_t>(n) >= buf.size()) {
            err = n < 0 ? errno : n == 0 ? ENOENT : ENAMETOOLONG;
            return false;
        }
        std::string link(buf.data(), static_cast<size_t>(n));
        path = link.front() == '/' ? link : inFolder(folderOf(path), link);
    }
    err = ELOOP;
    return false;
}

// Keeps the file size signal from ending the process while this thread writes: the write then
// fails with EFBIG instead. A signal that the write raised is taken back before the thread's
// signal mask is restored, so it never arrives late.
class FileSizeSignalHeld {
public:
    FileSizeSignalHeld() {
        ::sigemptyset(&only_);
        ::sigaddset(&only_, SIGXFSZ);
        ::pthread_sigmask(SIG_BLOCK, &only_, &previous_);
        sigset_t pending;
        ::sigpending(&pending);
        pendingBefore_ = ::sigismember(&pending, SIGXFSZ) == 1;
    }
    ~FileSizeSignalHeld() {
        sigset_t pending;
        ::sigpending(&pending);
        if (!pendingBefore_ && ::sigismember(&pending, SIGXFSZ) == 1) {
            const timespec now{};
            ::sigtimedwait(&only_, nullptr, &now);
        }
        ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    FileSizeSignalHeld(const FileSizeSignalHeld&) = delete;
    FileSizeSignalHeld& operator=(const FileSizeSignalHeld&) = delete;

private:
    sigset_t only_{};
    sigset_t previous_{};
    bool pendingBefore_ = false;
};

// Nobody may write a file or folder whose permission bits allow no writing at all, not even a
// program run with the rights to override them; otherwise the system's own check decides.
bool writable(const std::string& path, const struct stat& st, int& err) {
    if ((st.st_mode & 0222) == 0) {
        err = 0;
        return false;
    }
    const int want = S_ISDIR(st.st_mode) ? (W_OK | X_OK) : W_OK;
    if (::access(path.c_str(), want) != 0 && (errno == EACCES || errno == EROFS)) {
        err = errno;
        return false;
    }
    return true;
}

bool writeAll(int fd, std::string_view bytes, int& err) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            err = w < 0 ? errno : ENOSPC;
            return false;
        }
        done += static_cast<size_t>(w);
    }
    return true;
}

WriteFailure failureOf(int err) {
    switch (err) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return WriteFailure::DiskFull;
        case EACCES:
        case EPERM:
        case EROFS:
            return WriteFailure::ReadOnlyFolder;
        default:
            return WriteFailure::Other;
    }
}

WriteResult failed(const std::string& path, WriteFailure kind, int err) {
    WriteResult r;
    r.ok = false;
    r.failure = kind;
    r.path = path;
    r.sysError = err;
    r.error = writeFailureText(r, true);
    return r;
}

std::atomic<unsigned> temporaryCounter{0};

}  // namespace

bool isTemporaryNameFor(std::string_view name, std::string_view target) {
    const std::string prefix = temporaryPrefix(target);
    if (name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix) {
        const std::string_view rest = name.substr(prefix.size());
        const size_t dash = rest.find('-');
        return dash != std::string_view::npos && allDigits(rest.substr(0, dash)) &&
               allDigits(rest.substr(dash + 1));
    }
    // Earlier versions made "<name>.tmpXXXXXX" with six letters or digits.
    const std::string legacy = std::string(target) + ".tmp";
    return name.size() == legacy.size() + 6 && name.substr(0, legacy.size()) == legacy &&
           allAlnum(name.substr(legacy.size()));
}

WriteResult writeFileAtomically(const std::string& requested, std::string_view bytes) {
    std::string path;
    int err = 0;
    if (!followLinks(requested, path, err)) return failed(requested, WriteFailure::Other, err);

    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode)) return failed(path, WriteFailure::Folder, 0);
        if (!S_ISREG(old.st_mode)) return failed(path, WriteFailure::NotAFile, 0);
        if (!writable(path, old, err)) return failed(path, WriteFailure::ReadOnlyFile, err);
    } else if (errno != ENOENT) {
        // A folder on the way that cannot be searched, or a file where a folder should be.
        const int e = errno;
        return failed(path, e == EACCES ? WriteFailure::ReadOnlyFolder : WriteFailure::NoFolder, e);
    }
    const std::string folder = folderOf(path);
    const std::string name = nameOf(path);
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0) return failed(path, WriteFailure::NoFolder, errno);
    if (!S_ISDIR(dir.st_mode)) return failed(path, WriteFailure::NoFolder, ENOTDIR);
    if (!writable(folder, dir, err)) return failed(path, WriteFailure::ReadOnlyFolder, err);

    removeStaleTemporaries(folder, name);

    // Our own temporary: a unique name made from the process number and a counter.
    const std::string prefix = inFolder(folder, temporaryPrefix(name));
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = prefix + std::to_string(::getpid()) + "-" + std::to_string(++temporaryCounter);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return failed(path, failureOf(errno), errno);

    WriteResult res;
    res.path = path;
    auto fail = [&](WriteFailure kind, int e) {
        if (res.ok) res = failed(path, kind, e);
    };
    // The replaced file keeps its owner where the system lets us give it (the owner first:
    // changing it clears set-id bits) and its permission bits; a new file gets rw-r--r--.
    if (exists) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, -1, old.st_gid);
        if (::fchmod(fd, old.st_mode & 07777) != 0) fail(WriteFailure::Other, errno);
    } else if (::fchmod(fd, 0644) != 0) {
        fail(WriteFailure::Other, errno);
    }
    {
        FileSizeSignalHeld held;
        if (res.ok && !writeAll(fd, bytes, err)) fail(failureOf(err), err);
        if (res.ok && ::fsync(fd) != 0) fail(failureOf(errno), errno);
    }
    if (::close(fd) != 0) fail(failureOf(errno), errno);
    if (res.ok && ::rename(tmp.c_str(), path.c_str()) != 0) fail(failureOf(errno), errno);
    if (!res.ok) {
        ::unlink(tmp.c_str());
        return res;
    }
    // The rename is on disk only once the folder is: flush it where the file system can.
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        if (::fsync(dfd) != 0 && errno != EINVAL && errno != ENOTSUP)
            fail(WriteFailure::NotFlushed, errno);
        ::close(dfd);
    }
    return res;
}

std::string writeFailureText(const WriteResult& r, bool english) {
    const std::string& p = r.path;
    const std::string why = r.sysError != 0 ? std::strerror(r.sysError) : "";
    switch (r.failure) {
        case WriteFailure::None:
            return {};
        case WriteFailure::Folder:
            return english ? p + " is a folder, not a file."
                           : p + " はフォルダです（ファイルではありません）。";
        case WriteFailure::NotAFile:
            return english ? p + " is not a plain file; it was left unchanged."
                           : p + " は通常のファイルではありません。変更していません。";
        case WriteFailure::NoFolder:
            return english ? "The folder of " + p + " does not exist."
                           : p + " のフォルダがありません。";
        case WriteFailure::ReadOnlyFile:
            return english ? p + " is read-only; it was left unchanged."
                           : p + " は読み取り専用です。変更していません。";
        case WriteFailure::ReadOnlyFolder:
            return english ? "The folder " + folderOf(p) + " is read-only; " + p +
                                 " was left unchanged."
                           : "フォルダ " + folderOf(p) + " は書き込みできません。" + p +
                                 " は変更していません。";
        case WriteFailure::DiskFull:
            return english ? "The disk is full (or the largest file size allowed was reached) "
                             "while writing " +
                                 p + "; the old file was left unchanged."
                           : p + " の書き込み中にディスクがいっぱいになりました（またはファイル"
                                 "サイズの上限です）。元のファイルは変更していません。";
        case WriteFailure::NotFlushed:
            return english ? p + " was written, but it could not be flushed to disk: " + why
                           : p +
                                 " は書き込みましたが、ディスクへの書き出しを確認できません"
                                 "でした: " +
                                 why;
        case WriteFailure::Other:
            break;
    }
    return english ? p + " could not be written: " + why
                   : p + " に書き込めませんでした（元のファイルは変更していません）: " + why;
}

}  // namespace brisko
