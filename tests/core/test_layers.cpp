// The core's folders include one way: a folder may include its own headers and those of folders
// below it, never one above. Where a file seems to need a higher folder, a type is in the wrong
// place; this test names the include so it is moved rather than worked around.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

namespace {

// Bottom to top. Folders on one level do not include each other.
const std::map<std::string, int> kLevel = {
    {"util", 0},     {"app", 1},      {"race", 2},   {"track", 3},   {"display", 4},
    {"analysis", 5}, {"interact", 5}, {"editor", 6}, {"distrib", 6}, {"session", 7},
};

TEST(CoreLayers, EveryIncludeRunsDownward) {
    namespace fs = std::filesystem;
    const fs::path core = fs::path(BRISKO_SOURCE_DIR) / "src" / "core";
    const std::regex include(R"re(^\s*#\s*include\s*"([a-z]+)/[^"]+")re");
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(core)) {
        if (!entry.is_regular_file()) continue;
        const auto ext = entry.path().extension();
        if (ext != ".h" && ext != ".cpp") continue;
        const std::string from = entry.path().parent_path().filename().string();
        ASSERT_TRUE(kLevel.count(from)) << "core folder without a level: " << from;
        ++files;
        std::ifstream in(entry.path());
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) {
            std::smatch m;
            if (!std::regex_search(line, m, include)) continue;
            const std::string to = m[1];
            ASSERT_TRUE(kLevel.count(to)) << entry.path() << ":" << n << " includes " << to;
            if (to == from) continue;
            EXPECT_LT(kLevel.at(to), kLevel.at(from))
                << entry.path().lexically_relative(core).string() << ":" << n << " includes " << to
                << "/ from " << from << "/";
        }
    }
    EXPECT_GT(files, 50);
}

}  // namespace
