// Logs of today's devices: one GPX file of a million track points (about 100 MB) loaded into
// the track store, beside gpsbabel reading and writing the same file when it is installed; and
// a million NMEA RMC sentences against the same million fixes as track lines. Reports points/s
// and the process's peak memory (the GPX load runs first, so its figure is its own).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "app/messages.h"
#include "race/racedefinition.h"
#include "track/trackloader.h"

using namespace brisko;

namespace {

constexpr int kPoints = 1000000;

double peakMegabytes() {
    struct rusage u {};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;  // ru_maxrss is in kilobytes
}

// A boat sailing a slow circle off Valencia, one fix a second from 2025-06-01 10:00:00 UTC.
void position(int i, double& lat, double& lon, int& day, int& secondOfDay) {
    const double a = i * 0.002;
    lat = 39.40 + 0.008 * std::sin(a);
    lon = -0.32 + 0.010 * std::cos(a);
    const int t = 10 * 3600 + i;
    day = 1 + t / 86400;
    secondOfDay = t % 86400;
}

// The generated application folder with one file of each kind, made once and removed at exit.
struct Fixture {
    std::string app;
    double gpxBytes = 0, nmeaBytes = 0, trkBytes = 0;
    bool nmeaMade = false;

    Fixture() {
        char tmpl[] = "/tmp/bench_gpxnmea_XXXXXX";
        app = ::mkdtemp(tmpl);
        std::system(("mkdir -p '" + app + "/GPSDAT'").c_str());
        std::FILE* f = std::fopen((app + "/GPSDAT/big.gpx").c_str(), "wb");
        std::fputs(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx creator=\"bench\" version=\"1.1\" "
            "xmlns=\"http://www.topografix.com/GPX/1/1\">\n  <trk>\n    <name>Vela</name>\n"
            "    <trkseg>\n",
            f);
        for (int i = 0; i < kPoints; ++i) {
            double lat, lon;
            int day, s;
            position(i, lat, lon, day, s);
            std::fprintf(f,
                         "      <trkpt lat=\"%.9f\" lon=\"%.9f\">\n        <ele>2.4</ele>\n"
                         "        <time>2025-06-%02dT%02d:%02d:%02d.000Z</time>\n      </trkpt>\n",
                         lat, lon, day, s / 3600, s / 60 % 60, s % 60);
        }
        std::fputs("    </trkseg>\n  </trk>\n</gpx>\n", f);
        gpxBytes = static_cast<double>(std::ftell(f));
        std::fclose(f);
    }
    // The NMEA log and the track file of the same fixes, made when first needed.
    void makeLines() {
        if (nmeaMade) return;
        nmeaMade = true;
        std::FILE* n = std::fopen((app + "/GPSDAT/big.nmea").c_str(), "wb");
        std::FILE* t = std::fopen((app + "/GPSDAT/big.trk").c_str(), "wb");
        std::fputs("H  SOFTWARE NAME & VERSION\r\nU  LAT LON DM\r\n", t);
        for (int i = 0; i < kPoints; ++i) {
            double lat, lon;
            int day, s;
            position(i, lat, lon, day, s);
            const double alat = std::fabs(lat), alon = std::fabs(lon);
            const int dlat = static_cast<int>(alat), dlon = static_cast<int>(alon);
            char body[128];
            std::snprintf(body, sizeof body,
                          "GPRMC,%02d%02d%02d.00,A,%02d%07.4f,N,%03d%07.4f,W,5.2,87.1,%02d0625,,,A",
                          s / 3600, s / 60 % 60, s % 60, dlat, (alat - dlat) * 60, dlon,
                          (alon - dlon) * 60, day);
            unsigned char sum = 0;
            for (const char* c = body; *c; ++c) sum ^= static_cast<unsigned char>(*c);
            std::fprintf(n, "$%s*%02X\r\n", body, sum);
            std::fprintf(t, "T  N%02d%08.5f W%03d%08.5f %02d-JUN-25 %02d:%02d:%02d 00002\r\n", dlat,
                         (alat - dlat) * 60, dlon, (alon - dlon) * 60, day, s / 3600, s / 60 % 60,
                         s % 60);
        }
        nmeaBytes = static_cast<double>(std::ftell(n));
        trkBytes = static_cast<double>(std::ftell(t));
        std::fclose(n);
        std::fclose(t);
    }
    ~Fixture() { std::system(("rm -rf '" + app + "'").c_str()); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Loads one boat's file as a single-boat race: every fix is kept.
void loadOne(benchmark::State& state, const std::string& file, double bytes) {
    AppSettings settings;
    settings.AppPath = fixture().app;
    CapturingMessageSink sink;
    long fixes = 0;
    for (auto _ : state) {
        RaceDefinition race;
        race.TimeDiff = 2;
        race.BoatCount = 1;
        race.Boats[1].GpsFile = file;
        TrackStore store;
        if (!loadTracks(settings, race, store, sink).ok) state.SkipWithError("load failed");
        if (store.TrkCount(1) != kPoints) state.SkipWithError("not every point was kept");
        fixes += store.TrkCount(1);
        benchmark::DoNotOptimize(store.TrkLat(1, kPoints));
    }
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
    state.SetItemsProcessed(fixes);
    state.counters["MB"] = bytes / 1e6;
    state.counters["peak_MB"] = peakMegabytes();
}

void BM_GpxMillionPoints(benchmark::State& state) { loadOne(state, "big.gpx", fixture().gpxBytes); }
BENCHMARK(BM_GpxMillionPoints)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// gpsbabel reading the same GPX file and writing it as CSV to nowhere.
void BM_GpsbabelSameGpx(benchmark::State& state) {
    if (std::system("command -v gpsbabel > /dev/null 2>&1") != 0) {
        state.SkipWithError("gpsbabel is not installed; its side is skipped");
        return;
    }
    const std::string cmd =
        "gpsbabel -i gpx -f '" + fixture().app + "/GPSDAT/big.gpx' -o unicsv -F /dev/null";
    // gpsbabel runs in a child process: its processor time is taken from the children's usage,
    // to compare with the loader's processor time on a busy machine.
    auto childSeconds = [] {
        struct rusage u {};
        ::getrusage(RUSAGE_CHILDREN, &u);
        return u.ru_utime.tv_sec + u.ru_stime.tv_sec +
               (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    const double before = childSeconds();
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0) state.SkipWithError("gpsbabel failed");
    state.counters["child_cpu_ms"] = (childSeconds() - before) * 1000 / state.iterations();
    state.SetBytesProcessed(static_cast<int64_t>(fixture().gpxBytes) * state.iterations());
    state.SetItemsProcessed(static_cast<int64_t>(kPoints) * state.iterations());
}
BENCHMARK(BM_GpsbabelSameGpx)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_NmeaMillionRmc(benchmark::State& state) {
    fixture().makeLines();
    loadOne(state, "big.nmea", fixture().nmeaBytes);
}
BENCHMARK(BM_NmeaMillionRmc)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_TrackFileMillionLines(benchmark::State& state) {
    fixture().makeLines();
    loadOne(state, "big.trk", fixture().trkBytes);
}
BENCHMARK(BM_TrackFileMillionLines)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
