// Loading speed: 50 boats of 20,000 fixes each (about 50 MB of track files), loaded into the
// track store and through the kinematics, against the time mawk takes to count the same
// files' track lines (the floor for any reader of them). Reports MB/s, fixes/s and peak memory.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "app/messages.h"
#include "race/racedefinition.h"
#include "track/kinematics.h"
#include "track/trackloader.h"
#include "util/fileutil.h"

using namespace brisko;

namespace {

constexpr int kBoats = 50;
constexpr int kFixesPerBoat = 20000;

// The generated application folder, made once and removed at exit.
struct Fixture {
    std::string app;
    double bytes = 0;

    Fixture() {
        char tmpl[] = "/tmp/bench_loading_XXXXXX";
        app = ::mkdtemp(tmpl);
        const std::string gps = app + "/GPSDAT";
        std::system(("mkdir -p '" + gps + "'").c_str());
        for (int b = 1; b <= kBoats; ++b) {
            const std::string path = gps + "/boat" + std::to_string(b) + ".trk";
            std::FILE* f = std::fopen(path.c_str(), "wb");
            std::fputs("H  SOFTWARE NAME & VERSION\r\nU  LAT LON DM\r\n", f);
            // Each boat sails a slow circle a second per fix from 00:30:00 UTC.
            for (int i = 0; i < kFixesPerBoat; ++i) {
                const double a = (i + 100 * b) * 0.002;
                const double lat = 2115 + 0.5 * std::sin(a) + 0.001 * b;
                const double lon = 8368 + 0.6 * std::cos(a);
                const int s = 30 * 60 + i;
                std::fprintf(f, "T  N%02d%08.5f E%03d%08.5f 11-AUG-05 %02d:%02d:%02d %05d\r\n",
                             static_cast<int>(lat / 60), std::fmod(lat, 60.0),
                             static_cast<int>(lon / 60), std::fmod(lon, 60.0), s / 3600,
                             s / 60 % 60, s % 60, 3);
            }
            bytes += static_cast<double>(std::ftell(f));
            std::fclose(f);
        }
    }
    ~Fixture() { std::system(("rm -rf '" + app + "'").c_str()); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

double peakMegabytes() {
    struct rusage u {};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;  // ru_maxrss is in kilobytes
}

// Loads all boats; with `kinematics`, derives speeds and courses as the race opening does.
void loadAll(benchmark::State& state, bool kinematics) {
    Fixture& fx = fixture();
    AppSettings settings;
    settings.AppPath = fx.app;
    CapturingMessageSink sink;
    long fixes = 0;
    for (auto _ : state) {
        RaceDefinition race;
        race.TimeDiff = 9;
        race.BoatCount = kBoats;
        for (int b = 1; b <= kBoats; ++b)
            race.Boats[b].GpsFile = "boat" + std::to_string(b) + ".trk";
        TrackStore store;
        if (!loadTracks(settings, race, store, sink).ok) state.SkipWithError("load failed");
        if (kinematics) deriveKinematics(store);
        for (int b = 1; b <= kBoats; ++b) fixes += store.TrkCount(b);
        benchmark::DoNotOptimize(store.TrkSpeed(1, 2));
    }
    state.SetBytesProcessed(static_cast<int64_t>(fx.bytes) * state.iterations());
    state.SetItemsProcessed(fixes);
    state.counters["MB"] = fx.bytes / 1e6;
    state.counters["peak_MB"] = peakMegabytes();
}
void BM_LoadTracksAndKinematics(benchmark::State& state) { loadAll(state, true); }
void BM_LoadTracksOnly(benchmark::State& state) { loadAll(state, false); }
BENCHMARK(BM_LoadTracksOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_LoadTracksAndKinematics)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The floor: mawk counting the track lines of the same files.
void BM_MawkCountFloor(benchmark::State& state) {
    Fixture& fx = fixture();
    const std::string cmd =
        "mawk '/^T/ {n++} END {print n}' '" + fx.app + "'/GPSDAT/*.trk > /dev/null";
    // mawk runs in a child process: its processor time is measured from the children's usage,
    // which is what to compare with the loader's processor time on a busy machine.
    auto childSeconds = [] {
        struct rusage u {};
        ::getrusage(RUSAGE_CHILDREN, &u);
        return u.ru_utime.tv_sec + u.ru_stime.tv_sec +
               (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    const double before = childSeconds();
    for (auto _ : state) {
        if (std::system(cmd.c_str()) != 0) state.SkipWithError("mawk failed");
    }
    state.counters["child_cpu_ms"] = (childSeconds() - before) * 1000 / state.iterations();
    state.SetBytesProcessed(static_cast<int64_t>(fx.bytes) * state.iterations());
    state.SetItemsProcessed(static_cast<int64_t>(kBoats) * kFixesPerBoat * state.iterations());
}
BENCHMARK(BM_MawkCountFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
