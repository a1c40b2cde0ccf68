// Work spread over threads: every item is done once whatever the count of workers, a helper
// thread really takes items, and the two users (the kinematics and the track loader) give the
// same numbers, to the bit, on one thread and on two over a load large enough to take two.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "race/racedefinition.h"
#include "track/kinematics.h"
#include "track/trackloader.h"
#include "util/parallel.h"

using namespace brisko;

namespace {

bool sameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

// Every sample array of every boat and the map values, bit for bit.
void expectSameStore(const TrackStore& a, const TrackStore& b) {
    ASSERT_EQ(a.boatCount(), b.boatCount());
    for (int i = 1; i <= a.boatCount(); ++i) {
        const BoatTrack &x = a.boats[i], &y = b.boats[i];
        EXPECT_TRUE(sameBits(x.TrkLat, y.TrkLat)) << "boat " << i;
        EXPECT_TRUE(sameBits(x.TrkLon, y.TrkLon)) << "boat " << i;
        EXPECT_TRUE(sameBits(x.TrkSec, y.TrkSec)) << "boat " << i;
        EXPECT_TRUE(sameBits(x.TrkDist, y.TrkDist)) << "boat " << i;
        EXPECT_TRUE(sameBits(x.TrkSpeed, y.TrkSpeed)) << "boat " << i;
        EXPECT_TRUE(sameBits(x.TrkCourse, y.TrkCourse)) << "boat " << i;
    }
    EXPECT_EQ(a.TrkCapacity, b.TrkCapacity);
    EXPECT_TRUE(sameBits({a.LatMax, a.LatMin, a.LonMax, a.LonMin, a.CenterLat, a.CenterLon,
                          a.LonFactor, a.TrackSpan, a.InitScale, a.MPerMinLat, a.MPerMinLon},
                         {b.LatMax, b.LatMin, b.LonMax, b.LonMin, b.CenterLat, b.CenterLon,
                          b.LonFactor, b.TrackSpan, b.InitScale, b.MPerMinLat, b.MPerMinLon}));
}

long sampleCount(const TrackStore& s) {
    long n = 0;
    for (int b = 1; b <= s.boatCount(); ++b) n += s.TrkCount(b);
    return n;
}

}  // namespace

TEST(Parallel, EveryItemOnceForAnyWorkerCount) {
    for (int workers : {-1, 0, 1, 2, 3, 8, 100}) {
        for (int items : {0, 1, 2, 5, 97}) {
            std::vector<int> done(static_cast<size_t>(items) + 10, 0);
            std::vector<int> by(done.size(), -1);
            forEachInParallel(10, 10 + items, workers, [&](int worker, int i) {
                ++done[static_cast<size_t>(i - 10)];
                by[static_cast<size_t>(i - 10)] = worker;
            });
            for (int i = 0; i < items; ++i) {
                ASSERT_EQ(done[static_cast<size_t>(i)], 1) << workers << " " << items << " " << i;
                // Never more workers than asked for, nor than items.
                ASSERT_GE(by[static_cast<size_t>(i)], 0);
                ASSERT_LT(by[static_cast<size_t>(i)], std::max(1, std::min(workers, items)));
            }
        }
    }
    // An empty or reversed range does nothing.
    int calls = 0;
    forEachInParallel(5, 3, 2, [&](int, int) { ++calls; });
    EXPECT_EQ(calls, 0);
}

TEST(Parallel, HelperThreadTakesItemsAndTheCallerWaitsForIt) {
    std::atomic<bool> helperStarted{false};
    std::atomic<int> finished{0};
    const auto caller = std::this_thread::get_id();
    forEachInParallel(0, 4, 2, [&](int worker, int) {
        if (worker == 0) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            // Hold the caller's first item until the helper has one of its own.
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (!helperStarted && std::chrono::steady_clock::now() < until)
                std::this_thread::yield();
        } else {
            EXPECT_NE(std::this_thread::get_id(), caller);
            helperStarted = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ++finished;
    });
    EXPECT_TRUE(helperStarted);
    EXPECT_EQ(finished, 4);  // the helper's slow item is done before the call returns
}

TEST(Parallel, WorkersForStaysWithinItemsAndWish) {
    EXPECT_EQ(workersFor(0, 2), 1);
    EXPECT_EQ(workersFor(1, 2), 1);
    EXPECT_EQ(workersFor(5, 1), 1);
    EXPECT_LE(workersFor(5, 2), 2);
    EXPECT_GE(workersFor(5, 2), 1);
}

TEST(Parallel, KinematicsOnTwoThreadsMatchOneToTheBit) {
    // Five boats of random walks, 125 000 samples in all: enough for the second thread.
    TrackStore serial;
    serial.reset(5);
    serial.LonFactor = 0.8191520442889918;
    serial.MPerMinLat = 1846.3;
    std::mt19937_64 rng(3);
    std::normal_distribution<double> step(0, 0.002);
    for (int b = 1; b <= 5; ++b) {
        double lat = 2130 + b, lon = 8385;
        for (int k = 0; k < 25000; ++k) {
            lat += step(rng);
            lon += step(rng);
            // Now and then a repeated position or a step back in time.
            serial.boats[b].append(lat, lon, k % 997 == 0 ? k - 2 : k);
        }
    }
    ASSERT_GE(sampleCount(serial), kSamplesWorthASecondThread);
    TrackStore twoThreads = serial, chosen = serial;
    deriveKinematics(serial, 1);
    deriveKinematics(twoThreads, 2);
    deriveKinematics(chosen);  // the size makes it choose the parallel path where it can
    expectSameStore(serial, twoThreads);
    expectSameStore(serial, chosen);
    EXPECT_GT(serial.TrkDist(5, 25000), 0);
}

TEST(Parallel, TrackLoaderOnTwoThreadsMatchesOneToTheBit) {
    // An application folder with four boats of 32 000 one-second fixes each. The first file
    // settles the first fix; the other three are read by two threads.
    namespace fs = std::filesystem;
    const std::string app = ::testing::TempDir() + "parallel_load_" + std::to_string(::getpid());
    fs::create_directories(app + "/GPSDAT");
    const int boats = 4, fixes = 32000;
    std::mt19937_64 rng(9);
    std::uniform_int_distribution<int> jitter(-40, 40);
    for (int b = 1; b <= boats; ++b) {
        std::ofstream out(app + "/GPSDAT/b" + std::to_string(b) + ".trk", std::ios::binary);
        out << "H  SOFTWARE NAME & VERSION\r\nI  PCX5 2.09\r\n\r\nH  COORDINATE SYSTEM\r\n"
               "U  LAT LON DM\r\n\r\n";
        long lat = 3515000 + 1000 * b, lon = 13930000;  // hundred-thousandths of a minute
        char line[96];
        for (int k = 0; k < fixes; ++k) {
            lat += jitter(rng);
            lon += jitter(rng);
            const int s = 55 * 60 + k;  // from 00:55:00 GPS time
            std::snprintf(
                line, sizeof line,
                "T  N%02ld%02ld.%05ld E%03ld%02ld.%05ld 11-AUG-05 %02d:%02d:%02d 00003\r\n",
                lat / 6000000, lat / 100000 % 60, lat % 100000, lon / 6000000, lon / 100000 % 60,
                lon % 100000, s / 3600, s / 60 % 60, s % 60);
            out << line;
        }
    }
    AppSettings settings;
    settings.AppPath = app;
    settings.Lang = 1;
    RaceDefinition race;
    race.BoatCount = boats;
    for (int b = 1; b <= boats; ++b) race.Boats[b].GpsFile = "b" + std::to_string(b) + ".trk";
    race.TimeDiff = 9;
    race.RaceStart = parseDateTime("2005/08/11 10:00:00");
    race.RaceEnd = parseDateTime("2005/08/11 19:00:00");
    race.ViewStart = parseDateTime("2005/08/11 09:56:30");
    race.ViewEnd = race.RaceEnd;

    auto load = [&](int workers, TrackStore& store, RaceDefinition& r) {
        r = race;
        CapturingMessageSink sink;
        const TrackLoadResult res = loadTracks(settings, r, store, sink, {}, workers);
        EXPECT_TRUE(res.ok) << res.message;
        EXPECT_TRUE(sink.messages.empty());
        deriveKinematics(store, workers);
    };
    TrackStore oneStore, twoStore, chosenStore;
    RaceDefinition oneRace, twoRace, chosenRace;
    load(1, oneStore, oneRace);
    load(2, twoStore, twoRace);
    load(0, chosenStore, chosenRace);
    fs::remove_all(app);

    ASSERT_GE(sampleCount(oneStore), kSamplesWorthASecondThread);
    for (int b = 1; b <= boats; ++b) ASSERT_GT(oneStore.TrkCount(b), 30000) << b;
    expectSameStore(oneStore, twoStore);
    expectSameStore(oneStore, chosenStore);
    for (const RaceDefinition* r : {&twoRace, &chosenRace}) {
        EXPECT_EQ(r->FirstFix, oneRace.FirstFix);
        EXPECT_EQ(r->LastFix, oneRace.LastFix);
        EXPECT_EQ(r->RaceStart, oneRace.RaceStart);
        EXPECT_EQ(r->RaceEnd, oneRace.RaceEnd);
    }
    EXPECT_EQ(formatRaceTime(oneRace.FirstFix),
              "2005/08/11 09:55:00");  // the first line read, kept or not
    EXPECT_EQ(formatRaceTime(oneRace.LastFix), "2005/08/11 18:48:19");
}
