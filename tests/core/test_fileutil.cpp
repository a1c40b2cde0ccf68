// Tests of the file helpers: names found whatever their letter case, listings in name order,
// whole-file reads, line splitting and writes that never leave a half file.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "util/fileutil.h"

namespace brisko {
namespace {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder() {
        char tmpl[] = "/tmp/brisko-fileutil-XXXXXX";
        path = ::mkdtemp(tmpl);
    }
    ~TempFolder() { fs::remove_all(path); }
    void put(const std::string& relative, const std::string& bytes) const {
        fs::create_directories(fs::path(path + "/" + relative).parent_path());
        std::ofstream(path + "/" + relative, std::ios::binary) << bytes;
    }
    std::string path;
};

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

}  // namespace
}  // namespace brisko
