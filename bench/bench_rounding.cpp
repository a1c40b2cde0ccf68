// Speed of the mark-rounding detection and leg distances: 50 boats sailing a 20-entry course
// (start, nine laps round two marks, finish) for two hours with one fix a second; and the
// whole opening of the demo race, roundings included.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "race/racedefinition.h"
#include "app/messages.h"
#include "session/openrace.h"
#include "track/kinematics.h"
#include "track/rounding.h"

using namespace brisko;

namespace {

constexpr double kLat0 = 2100, kLon0 = 8100, kLonFactor = 0.82;
constexpr int kBoats = 50;
constexpr double kRaceSeconds = 7200;
constexpr double kLegLength = 1500;  // metres between the leeward and the windward mark
constexpr double kMarkRadius = 100;  // metres the boats keep from the marks

struct Pt {
    double n, e;
};

void arc(std::vector<Pt>& pts, Pt c, double r, double from, double to) {
    for (int i = 0; i <= 36; ++i) {
        double th = (from + (to - from) * i / 36) * std::numbers::pi / 180;
        pts.push_back({c.n + r * std::cos(th), c.e + r * std::sin(th)});
    }
}

// Samples a polyline sailed at `speed` m/s, one fix a second from t0 up to tEnd.
void sail(BoatTrack& track, const std::vector<Pt>& pts, double t0, double tEnd, double speed) {
    size_t i = 0;
    double segStart = t0;
    for (double s = t0; s <= tEnd; s += 1) {
        while (i + 1 < pts.size()) {
            double len = std::hypot(pts[i + 1].n - pts[i].n, pts[i + 1].e - pts[i].e);
            if (segStart + len / speed > s || i + 2 == pts.size()) break;
            segStart += len / speed;
            ++i;
        }
        const Pt &a = pts[i], &z = pts[std::min(i + 1, pts.size() - 1)];
        double len = std::hypot(z.n - a.n, z.e - a.e);
        double f = len > 0 ? (s - segStart) * speed / len : 0;
        double n = a.n + f * (z.n - a.n), e = a.e + f * (z.e - a.e);
        track.append(kLat0 + n / 1852, kLon0 + e / 1852 / kLonFactor, s);
    }
}

struct BenchRace {
    RaceDefinition def;
    TrackStore store;

    BenchRace() {
        auto at = [](double n, double e) {
            return std::pair{kLat0 + n / 1852, kLon0 + e / 1852 / kLonFactor};
        };
        def.BoatCount = kBoats;
        def.RaceSeconds = kRaceSeconds;
        def.RaceSecondsPlus = kRaceSeconds + 180 + 60;
        def.MarkCount = 2;
        std::tie(def.Marks[1].MarkLat, def.Marks[1].MarkLon) = at(0, 0);
        std::tie(def.Marks[2].MarkLat, def.Marks[2].MarkLon) = at(kLegLength, 0);
        def.LineCount = 2;
        std::tie(def.Lines[1].LineLat1, def.Lines[1].LineLon1) = at(-150, 0);
        std::tie(def.Lines[1].LineLat2, def.Lines[1].LineLon2) = at(-150, 300);
        std::tie(def.Lines[2].LineLat1, def.Lines[2].LineLon1) = at(kLegLength + 150, 0);
        std::tie(def.Lines[2].LineLat2, def.Lines[2].LineLon2) = at(kLegLength + 150, 300);
        def.CourseCount = 20;
        def.Course[1] = "L1";
        for (int t = 2; t <= 19; ++t) def.Course[t] = t % 2 ? "MK1" : "MK2";
        def.Course[20] = "L2";

        // Nine laps anticlockwise round both marks, then up through the finish.
        std::vector<Pt> laps;
        for (int lap = 0; lap < 9; ++lap) {
            arc(laps, {kLegLength, 0}, kMarkRadius, 90, -90);
            arc(laps, {0, 0}, kMarkRadius, 270, 90);
        }
        laps.push_back({kLegLength + 1000, kMarkRadius});

        store.reset(kBoats);
        store.LonFactor = kLonFactor;
        store.MPerMinLat = 1852;
        store.DegRad = std::numbers::pi / 180;
        for (int b = 1; b <= kBoats; ++b) {
            // From 4.9 to 5.2 m/s: the whole fleet finishes within the race. Each boat is
            // placed to cross the start line a few seconds after the gun.
            double speed = 4.9 + 0.006 * b;
            std::vector<Pt> pts{{-150 - speed * (210 + 2 + b % 7), kMarkRadius}};
            pts.insert(pts.end(), laps.begin(), laps.end());
            sail(store.boats[b], pts, -210, kRaceSeconds, speed);
        }
        deriveKinematics(store);
    }
};

const BenchRace& benchRace() {
    static const BenchRace race;
    return race;
}

void BM_RoundingsAndLegDistances(benchmark::State& state) {
    const BenchRace& race = benchRace();
    RoundingResults r;
    for (auto _ : state) {
        computeRoundings(race.def, race.store, r);
        computeLegDistances(race.def, race.store, r);
        benchmark::DoNotOptimize(r);
    }
    int found = 0;
    for (int b = 1; b <= kBoats; ++b)
        for (int t = 1; t <= r.entryCount; ++t) found += r.RoundTime(t, b) != 0;
    state.counters["roundings_found"] = found;
    state.counters["finish_lead"] = r.LeadTime(20);
}
BENCHMARK(BM_RoundingsAndLegDistances)->Unit(benchmark::kMillisecond);

// The demo race opened as the race screen opens it: race file, tracks, wind, kinematics,
// roundings and leg distances.
void BM_OpenDemoRace(benchmark::State& state) {
    AppSettings settings;
    settings.AppPath = BRISKO_SOURCE_DIR "/demo";
    settings.Lang = 1;
    settings.EditionMode = 1;  // never writes the race file back
    RaceDefinition race;
    RaceData data;
    for (auto _ : state) {
        CapturingMessageSink sink;
        race = RaceDefinition{};
        race.RaceFileName = "enoshima_0607.txt";
        if (!openRace(settings, race, data, sink).ok) {
            state.SkipWithError("the demo race does not open");
            break;
        }
        benchmark::DoNotOptimize(data);
    }
    state.counters["boats"] = data.tracks.boatCount();
    state.counters["finish_lead"] = data.roundings.LeadTime(data.roundings.entryCount);
}
BENCHMARK(BM_OpenDemoRace)->Unit(benchmark::kMillisecond);

// The roundings alone on the demo race.
void BM_DemoRoundings(benchmark::State& state) {
    AppSettings settings;
    settings.AppPath = BRISKO_SOURCE_DIR "/demo";
    settings.Lang = 1;
    settings.EditionMode = 1;
    RaceDefinition race;
    race.RaceFileName = "enoshima_0607.txt";
    RaceData data;
    CapturingMessageSink sink;
    if (!openRace(settings, race, data, sink).ok) {
        state.SkipWithError("the demo race does not open");
        return;
    }
    RoundingResults r;
    for (auto _ : state) {
        computeRoundings(race, data.tracks, r);
        computeLegDistances(race, data.tracks, r);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_DemoRoundings)->Unit(benchmark::kMillisecond);

}  // namespace
