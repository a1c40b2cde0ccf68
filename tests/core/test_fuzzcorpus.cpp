// Every stored fuzz input, seeds and past crashes alike, through its reader's checks: an input
// that once broke a reader keeps failing here if the fault comes back, without a fuzz build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzztargets.h"

namespace fs = std::filesystem;

namespace {

int runCorpus(const std::string& target, int (*check)(const uint8_t*, size_t)) {
    int files = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(BRISKO_FUZZ_CORPUS) / target)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SCOPED_TRACE(entry.path().string());
        EXPECT_EQ(check(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
        ++files;
    }
    return files;
}

}  // namespace

TEST(FuzzCorpus, EveryStoredInputPassesItsReadersChecks) {
    EXPECT_GT(runCorpus("fuzz_racefile", brisko::fuzz::fuzzRaceFile), 0);
    EXPECT_GT(runCorpus("fuzz_track", brisko::fuzz::fuzzTrack), 0);
    EXPECT_GT(runCorpus("fuzz_gpx", brisko::fuzz::fuzzGpx), 0);
    EXPECT_GT(runCorpus("fuzz_nmea", brisko::fuzz::fuzzNmea), 0);
    EXPECT_GT(runCorpus("fuzz_wind", brisko::fuzz::fuzzWind), 0);
    EXPECT_GT(runCorpus("fuzz_coastline", brisko::fuzz::fuzzCoastline), 0);
}
