// A scratch folder for one test, removed with everything in it when the test ends.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace brisko::test {

class TempFolder {
public:
    TempFolder() {
        char tmpl[] = "/tmp/brisko-test-XXXXXX";
        path = ::mkdtemp(tmpl);
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes a file below the folder, making the folders on the way.
    void put(const std::string& relative, const std::string& bytes) const {
        std::filesystem::create_directories(
            std::filesystem::path(path + "/" + relative).parent_path());
        std::ofstream(path + "/" + relative, std::ios::binary) << bytes;
    }
    void mkdir(const std::string& relative) const {
        std::filesystem::create_directories(path + "/" + relative);
    }

    std::string path;
};

}  // namespace brisko::test
