// Tests of the file helpers: names found whatever their letter case, listings in name order,
// whole-file reads, line splitting and writes that never leave a half file.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tempfolder.h"
#include "util/fileutil.h"

namespace brisko {
namespace {

namespace fs = std::filesystem;

using test::TempFolder;

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

TEST(FileUtil, NamesAreFoundWhateverTheirCase) {
    TempFolder app;
    app.put("gpsdat/Boat1.trk", "x");
    app.put("raceadmin/race1.txt", "r");

    EXPECT_EQ(findPath(app.path, "\\GPSDAT\\BOAT1.TRK"), app.path + "/gpsdat/Boat1.trk");
    EXPECT_EQ(findPath(app.path + "/", "\\RaceAdmin\\RACE1.TXT"),
              app.path + "/raceadmin/race1.txt");
    EXPECT_EQ(findPath(app.path, "/gpsdat/"), app.path + "/gpsdat");
    EXPECT_EQ(findPath(app.path, "\\GPSDAT"), app.path + "/gpsdat");
    EXPECT_FALSE(findPath(app.path, "\\gpsdat\\boat2.trk"));
    EXPECT_FALSE(findPath(app.path, "\\nowhere\\boat1.trk"));

    // A missing part is kept as written so that the caller can create it there.
    EXPECT_EQ(resolvePath(app.path, "\\GPSDAT\\New.trk"), app.path + "/gpsdat/New.trk");
    EXPECT_EQ(resolvePath(app.path, "\\WindDat\\a.csv"), app.path + "/WindDat/a.csv");

    EXPECT_TRUE(fileExists(app.path + "/gpsdat/Boat1.trk"));
    EXPECT_FALSE(fileExists(app.path + "/gpsdat"));
    EXPECT_TRUE(folderExists(app.path + "/gpsdat"));
}

TEST(FileUtil, ListingIsSortedAndMatchesWithoutCase) {
    TempFolder app;
    for (const char* n : {"c.txt", "a.TXT", "b.txt", "b.txt.bak", "notes.doc"}) app.put(n, "");
    fs::create_directories(app.path + "/d.txt");  // a folder is not a file
    EXPECT_EQ(listFiles(app.path, "*.txt"), (std::vector<std::string>{"a.TXT", "b.txt", "c.txt"}));
    EXPECT_TRUE(listFiles(app.path + "/missing", "*").empty());

    EXPECT_TRUE(wildcardMatch("*_WIND.CSV", "race1_wind.csv"));
    EXPECT_TRUE(wildcardMatch("a?c*", "abcdef"));
    EXPECT_TRUE(wildcardMatch("*", ""));
    EXPECT_FALSE(wildcardMatch("*.txt", "a.txt.bak"));
    EXPECT_FALSE(wildcardMatch("?", ""));
}

TEST(FileUtil, ReadingWholeFiles) {
    TempFolder app;
    std::string bytes("a\0b\r\n\xff", 6);
    app.put("f.bin", bytes);
    EXPECT_EQ(readFileBytes(app.path + "/f.bin"), bytes);
    app.put("empty", "");
    EXPECT_EQ(readFileBytes(app.path + "/empty"), "");
    EXPECT_FALSE(readFileBytes(app.path));  // a folder
    EXPECT_FALSE(readFileBytes(app.path + "/missing"));
}

TEST(FileUtil, SplitLinesAcceptsEveryLineEnd) {
    auto lines = splitLines("a\r\nb\nc\rd");
    EXPECT_EQ(lines, (std::vector<std::string_view>{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n").size(), 1u);
    EXPECT_EQ(splitLines("\r\n\r\n"), (std::vector<std::string_view>{"", ""}));
    EXPECT_TRUE(splitLines("").empty());
}

TEST(FileUtil, AtomicWriteReplacesOrKeepsTheOldFile) {
    TempFolder app;
    const std::string target = app.path + "/race.txt";
    ASSERT_TRUE(writeFileAtomically(target, "old").ok);
    ASSERT_TRUE(writeFileAtomically(target, "new contents").ok);
    EXPECT_EQ(readFileBytes(target), "new contents");

    fs::create_directories(app.path + "/folder.txt");
    WriteResult r = writeFileAtomically(app.path + "/folder.txt", "x");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_TRUE(folderExists(app.path + "/folder.txt"));

    r = writeFileAtomically(app.path + "/missing/race.txt", "x");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());

    // The failures left no temporary files and the old file as it was.
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(app.path)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"folder.txt", "race.txt"}));
    EXPECT_EQ(readFileBytes(target), "new contents");
}

// Root may write anything; the writer must still refuse what the permission bits forbid, so
// these checks mean the same whoever runs the tests.
TEST(FileUtil, AtomicWriteRefusesReadOnlyFilesAndFolders) {
    TempFolder app;
    const std::string file = app.path + "/locked.txt";
    app.put("locked.txt", "keep me");
    ::chmod(file.c_str(), 0444);
    WriteResult r = writeFileAtomically(file, "lost");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, WriteFailure::ReadOnlyFile);
    EXPECT_NE(r.error.find("locked.txt"), std::string::npos) << r.error;
    EXPECT_NE(writeFailureText(r, false).find("読み取り専用"), std::string::npos);
    EXPECT_EQ(readFileBytes(file), "keep me");
    EXPECT_EQ(modeOf(file), 0444u);

    // The same file reached through a link is refused too.
    fs::create_symlink("locked.txt", app.path + "/link.txt");
    EXPECT_EQ(writeFileAtomically(app.path + "/link.txt", "lost").failure,
              WriteFailure::ReadOnlyFile);

    const std::string folder = app.path + "/ro";
    app.put("ro/race.txt", "old race");
    ::chmod(folder.c_str(), 0555);
    r = writeFileAtomically(folder + "/race.txt", "new race");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, WriteFailure::ReadOnlyFolder);
    EXPECT_NE(r.error.find("read-only"), std::string::npos) << r.error;
    EXPECT_EQ(readFileBytes(folder + "/race.txt"), "old race");
    EXPECT_EQ(writeFileAtomically(folder + "/new.txt", "x").failure, WriteFailure::ReadOnlyFolder);
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"race.txt"});
    ::chmod(folder.c_str(), 0755);

    EXPECT_EQ(namesIn(app.path), (std::vector<std::string>{"link.txt", "locked.txt", "ro"}));
    EXPECT_EQ(writeFileAtomically("/dev/null", "x").failure, WriteFailure::NotAFile);
}

TEST(FileUtil, AtomicWriteKeepsPermissionsAndOwner) {
    TempFolder app;
    const std::string secret = app.path + "/secret.txt";
    app.put("secret.txt", "a");
    ::chmod(secret.c_str(), 0600);
    ASSERT_TRUE(writeFileAtomically(secret, "b").ok);
    EXPECT_EQ(modeOf(secret), 0600u);
    ::chmod(secret.c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(secret, "c").ok);
    EXPECT_EQ(modeOf(secret), 0640u);
    EXPECT_EQ(readFileBytes(secret), "c");
    // The set-group-id bit (a shared race folder's files keep the club's group) stays too.
    ASSERT_EQ(::chmod(secret.c_str(), 02660), 0);
    ASSERT_EQ(modeOf(secret), 02660u);
    ASSERT_TRUE(writeFileAtomically(secret, "c2").ok);
    EXPECT_EQ(modeOf(secret), 02660u);
    ::chmod(secret.c_str(), 0640);

    ASSERT_TRUE(writeFileAtomically(app.path + "/fresh.txt", "new").ok);
    EXPECT_EQ(modeOf(app.path + "/fresh.txt"), 0644u);

    // Only root can give a file to someone else; other users keep what the system allows.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(secret.c_str(), 4321, 4322), 0);
        ASSERT_TRUE(writeFileAtomically(secret, "d").ok);
        struct stat st {};
        ::stat(secret.c_str(), &st);
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4322u);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        // Giving the file its owner clears set-id bits; they are set again after it.
        ASSERT_EQ(::chmod(secret.c_str(), 06750), 0);
        ASSERT_TRUE(writeFileAtomically(secret, "e").ok);
        EXPECT_EQ(modeOf(secret), 06750u);
    }
}

TEST(FileUtil, AtomicWriteReplacesALinksTargetAndKeepsTheLink) {
    TempFolder app;
    app.put("real/race.txt", "old");
    ::chmod((app.path + "/real/race.txt").c_str(), 0600);
    fs::create_directories(app.path + "/raceadmin");
    // A relative link to a link to the file.
    fs::create_symlink("../real/race.txt", app.path + "/raceadmin/hop.txt");
    fs::create_symlink("hop.txt", app.path + "/raceadmin/race.txt");

    WriteResult r = writeFileAtomically(app.path + "/raceadmin/race.txt", "new");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.path, app.path + "/raceadmin/../real/race.txt");
    EXPECT_TRUE(fs::is_symlink(app.path + "/raceadmin/race.txt"));
    EXPECT_EQ(fs::read_symlink(app.path + "/raceadmin/race.txt"), "hop.txt");
    EXPECT_TRUE(fs::is_symlink(app.path + "/raceadmin/hop.txt"));
    EXPECT_EQ(readFileBytes(app.path + "/real/race.txt"), "new");
    EXPECT_EQ(modeOf(app.path + "/real/race.txt"), 0600u);
    EXPECT_EQ(namesIn(app.path + "/real"), std::vector<std::string>{"race.txt"});
    EXPECT_EQ(namesIn(app.path + "/raceadmin"), (std::vector<std::string>{"hop.txt", "race.txt"}));

    // An absolute link whose file does not exist yet: the file is made where the link points.
    fs::create_symlink(app.path + "/real/later.txt", app.path + "/raceadmin/later.txt");
    ASSERT_TRUE(writeFileAtomically(app.path + "/raceadmin/later.txt", "made").ok);
    EXPECT_EQ(readFileBytes(app.path + "/real/later.txt"), "made");
    EXPECT_TRUE(fs::is_symlink(app.path + "/raceadmin/later.txt"));

    // Links in a circle name no file.
    fs::create_symlink("b", app.path + "/a");
    fs::create_symlink("a", app.path + "/b");
    r = writeFileAtomically(app.path + "/a", "x");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.sysError, ELOOP);
    EXPECT_EQ(fs::read_symlink(app.path + "/a"), "b");
}

// Runs `child` in a forked process and returns its wait status; the child ends with _exit.
template <class F>
int inChildProcess(F child) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(child());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST(FileUtil, AtomicWriteOnAFullDiskKeepsTheOldFileAndLivesOn) {
    TempFolder app;
    const std::string target = app.path + "/race.txt";
    app.put("race.txt", "old race");
    const std::string big(4 << 20, 'x');
    // The file size limit stands for a full disk: the kernel sends SIGXFSZ, which would end the
    // process unless the writer holds it back.
    const int status = inChildProcess([&] {
        const rlimit limit{64 << 10, 64 << 10};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
        const WriteResult r = writeFileAtomically(target, big);
        if (r.ok) return 11;
        if (r.failure != WriteFailure::DiskFull) return 12;
        if (r.error.find("disk is full") == std::string::npos) return 13;
        // The signal is neither left pending nor left blocked.
        sigset_t set;
        ::sigpending(&set);
        if (::sigismember(&set, SIGXFSZ)) return 14;
        ::pthread_sigmask(SIG_BLOCK, nullptr, &set);
        if (::sigismember(&set, SIGXFSZ)) return 15;
        return 0;
    });
    ASSERT_TRUE(WIFEXITED(status)) << "child ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFileBytes(target), "old race");
    EXPECT_EQ(namesIn(app.path), std::vector<std::string>{"race.txt"});
}

TEST(FileUtil, AtomicWriteKilledHalfWayLeavesOneWholeFile) {
    TempFolder app;
    const std::string target = app.path + "/race.txt";
    const std::string oldBytes(1 << 20, 'o');
    std::string newBytes(64 << 20, 'n');
    for (size_t i = 0; i < newBytes.size(); i += 4096) newBytes[i] = '\n';
    app.put("race.txt", oldBytes);

    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(writeFileAtomically(target, newBytes).ok ? 0 : 1);
    // Kill the writer as soon as its temporary has some of the new bytes.
    bool seen = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!seen && std::chrono::steady_clock::now() < deadline) {
        for (auto& e : fs::directory_iterator(app.path)) {
            std::error_code ec;
            if (isTemporaryNameFor(e.path().filename().string(), "race.txt") &&
                fs::file_size(e.path(), ec) > 0)
                seen = true;
        }
        if (!seen) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(seen) << "the writer's temporary never appeared";

    const std::string after = readFileBytes(target).value_or("");
    EXPECT_TRUE(after == oldBytes || after == newBytes) << "a mix of " << after.size() << " bytes";
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer finished before it was killed";
    EXPECT_EQ(namesIn(app.path).size(), 2u);  // the killed save's temporary is still there
    // The next save clears what the killed one left.
    ASSERT_TRUE(writeFileAtomically(target, "third").ok);
    EXPECT_EQ(readFileBytes(target), "third");
    EXPECT_EQ(namesIn(app.path), std::vector<std::string>{"race.txt"});
}

TEST(FileUtil, OnlyStaleTemporariesOfTheSameFileAreCleared) {
    EXPECT_TRUE(isTemporaryNameFor(".race.txt.brisko-tmp-123-4", "race.txt"));
    EXPECT_TRUE(isTemporaryNameFor("race.txt.tmpAb12Cd", "race.txt"));  // earlier versions
    EXPECT_FALSE(isTemporaryNameFor(".race.txt.brisko-tmp-123-", "race.txt"));
    EXPECT_FALSE(isTemporaryNameFor(".race.txt.brisko-tmp-x-4", "race.txt"));
    EXPECT_FALSE(isTemporaryNameFor(".race.txt.brisko-tmp-1-2", "race.tx"));
    EXPECT_FALSE(isTemporaryNameFor("race.txt.tmpl", "race.txt"));
    EXPECT_FALSE(isTemporaryNameFor("race.txt.tmp-b-c-d", "race.txt"));
    const std::string longName(250, 'a');
    EXPECT_TRUE(isTemporaryNameFor("." + longName.substr(0, 200) + ".brisko-tmp-1-1", longName));

    TempFolder app;
    app.put("race.txt", "old");
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = ".race.txt.brisko-tmp-" + std::to_string(gone) + "-1";
    const std::string alive = ".race.txt.brisko-tmp-" + std::to_string(::getppid()) + "-1";
    const std::string other = ".other.txt.brisko-tmp-" + std::to_string(gone) + "-1";
    for (const auto& n : {dead, alive, other, std::string("race.txt.tmpAb12Cd")}) app.put(n, "x");
    ASSERT_TRUE(writeFileAtomically(app.path + "/race.txt", "new").ok);
    // A save under way in another running process keeps its temporary; another file's too.
    std::vector<std::string> kept{alive, other, "race.txt"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(namesIn(app.path), kept);
}

}  // namespace
}  // namespace brisko
