// Speed of the coach's analyses (wind in force, manoeuvres, start, legs and gaps) on 50 boats
// sailing two hours with one fix a second: five laps of a windward-leeward course, each beat
// sailed in boards 45 degrees off the wind with a tack at every corner, with a wind file and
// without one (the wind then comes from the fleet's tacks and gybes, or the race file).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "analysis/coach.h"
#include "race/racedefinition.h"
#include "track/kinematics.h"
#include "track/rounding.h"
#include "track/windfile.h"

using namespace brisko;

namespace {

constexpr double kLat0 = 2100, kLon0 = 8100, kLonFactor = 0.82;
constexpr int kBoats = 50;
constexpr int kLaps = 5;
constexpr double kFirstFix = -200, kRaceSeconds = 7200;
constexpr double kBeat = 1200;      // metres from the leeward to the windward mark
constexpr double kMarkRadius = 80;  // metres the boats keep from the marks

struct Pt {
    double n, e;
};

void arc(std::vector<Pt>& pts, Pt c, double r, double from, double to) {
    for (int i = 1; i <= 18; ++i) {
        const double th = (from + (to - from) * i / 18) * std::numbers::pi / 180;
        pts.push_back({c.n + r * std::cos(th), c.e + r * std::sin(th)});
    }
}

// Boards 45 degrees either side of a northerly from `from` up to the windward mark's east
// side, each `width` metres either side of the rhumb line: a tack at every corner.
void beat(std::vector<Pt>& pts, Pt from, double width) {
    Pt p = from;
    bool toPort = true;  // first board to the north-west
    for (;;) {
        const double e = toPort ? -width : width;
        const double n = p.n + std::abs(p.e - e);
        if (n > kBeat - 2 * width) break;
        p = {n, e};
        pts.push_back(p);
        toPort = !toPort;
    }
    pts.push_back({kBeat, kMarkRadius});
}

// One fix a second from kFirstFix to the end of the race along a polyline sailed at `speed`
// metres a second; a boat at the end of its course stays there.
void sail(BoatTrack& track, const std::vector<Pt>& pts, double speed) {
    size_t i = 0;
    double segStart = kFirstFix;
    for (double s = kFirstFix; s <= kRaceSeconds; s += 1) {
        while (i + 1 < pts.size()) {
            const double len = std::hypot(pts[i + 1].n - pts[i].n, pts[i + 1].e - pts[i].e);
            if (segStart + len / speed > s) break;
            segStart += len / speed;
            ++i;
        }
        Pt at = pts[i];
        if (i + 1 < pts.size()) {
            const Pt& z = pts[i + 1];
            const double len = std::hypot(z.n - at.n, z.e - at.e);
            const double f = len > 0 ? (s - segStart) * speed / len : 0;
            at = {at.n + f * (z.n - at.n), at.e + f * (z.e - at.e)};
        }
        track.append(kLat0 + at.n / 1852, kLon0 + at.e / 1852 / kLonFactor, s);
    }
}

struct BenchRace {
    RaceDefinition def;
    TrackStore store;
    RoundingResults roundings;
    WindStore wind;

    BenchRace() {
        auto at = [](double n, double e) {
            return std::pair{kLat0 + n / 1852, kLon0 + e / 1852 / kLonFactor};
        };
        def.BoatCount = kBoats;
        def.RaceSeconds = kRaceSeconds;
        def.RaceSecondsPlus = kRaceSeconds + 180 + 60;
        def.MeanWindDir = 0;
        def.MarkCount = 2;
        std::tie(def.Marks[1].MarkLat, def.Marks[1].MarkLon) = at(kBeat, 0);
        std::tie(def.Marks[2].MarkLat, def.Marks[2].MarkLon) = at(0, 0);
        def.LineCount = 2;
        std::tie(def.Lines[1].LineLat1, def.Lines[1].LineLon1) = at(-150, -150);
        std::tie(def.Lines[1].LineLat2, def.Lines[1].LineLon2) = at(-140, 150);
        std::tie(def.Lines[2].LineLat1, def.Lines[2].LineLon1) = at(kBeat + 150, 0);
        std::tie(def.Lines[2].LineLat2, def.Lines[2].LineLon2) = at(kBeat + 150, 300);
        // Start, five beats and four runs, finish beyond the windward mark.
        def.Course[1] = "L1";
        int k = 1;
        for (int lap = 1; lap <= kLaps; ++lap) {
            def.Course[++k] = "MK1";
            if (lap < kLaps) def.Course[++k] = "MK2";
        }
        def.Course[++k] = "L2";
        def.CourseCount = k;

        store.reset(kBoats);
        store.LonFactor = kLonFactor;
        store.MPerMinLat = 1852;
        store.DegRad = std::numbers::pi / 180;
        for (int b = 1; b <= kBoats; ++b) {
            // From 2.5 to 2.8 m/s, each boat across the line a few seconds after the gun,
            // with boards from 100 to 200 m wide.
            const double speed = 2.5 + 0.006 * b;
            const double late = 2 + b % 7, east = -100 + 4 * b, width = 100 + 2 * b;
            std::vector<Pt> pts{{-145 - speed * (late - kFirstFix), east}, {-100, east}};
            for (int lap = 1; lap <= kLaps; ++lap) {
                beat(pts, pts.back(), width);
                if (lap == kLaps) break;
                arc(pts, {kBeat, 0}, kMarkRadius, 90, -90);  // over the top, to port
                pts.push_back({0, -kMarkRadius});            // the run
                arc(pts, {0, 0}, kMarkRadius, 270, 90);      // round the bottom, to port
            }
            pts.push_back({kBeat + 400, kMarkRadius});  // up through the finish
            sail(store.boats[b], pts, speed);
        }
        deriveKinematics(store);
        computeRoundings(def, store, roundings);
        computeLegDistances(def, store, roundings);
        // A wind veering and backing ten degrees about north every twenty minutes.
        for (double s = -600; s <= kRaceSeconds; s += 60)
            wind.append(s, 10, 10 * std::sin(s / 1200 * std::numbers::pi));
    }
};

const BenchRace& benchRace() {
    static const BenchRace race;
    return race;
}

void countResults(benchmark::State& state, const CoachAnalysis& a) {
    int legs = 0, gaps = 0, manoeuvres = 0;
    for (int b = 1; b <= kBoats; ++b) {
        legs += static_cast<int>(std::count_if(a.legs[b].begin(), a.legs[b].end(),
                                               [](const auto& l) { return l.has_value(); }));
        gaps += static_cast<int>(std::count_if(a.gaps[b].begin(), a.gaps[b].end(),
                                               [](const auto& g) { return g.has_value(); }));
        manoeuvres += static_cast<int>(a.manoeuvres[b].size());
    }
    state.counters["legs"] = legs;
    state.counters["gaps"] = gaps;
    state.counters["manoeuvres"] = manoeuvres;
    state.counters["fixes"] = static_cast<double>(kBoats) * benchRace().store.TrkCount(1);
}

// The whole analysis with the wind from a wind file.
void BM_AnalyseRaceWindFile(benchmark::State& state) {
    const BenchRace& race = benchRace();
    CoachAnalysis a;
    for (auto _ : state) {
        a = analyseRace(race.def, race.store, race.roundings, race.wind);
        benchmark::DoNotOptimize(a);
    }
    countResults(state, a);
}
BENCHMARK(BM_AnalyseRaceWindFile)->Unit(benchmark::kMillisecond);

// The whole analysis without a wind file.
void BM_AnalyseRaceNoWindFile(benchmark::State& state) {
    const BenchRace& race = benchRace();
    const WindStore none;
    CoachAnalysis a;
    for (auto _ : state) {
        a = analyseRace(race.def, race.store, race.roundings, none);
        benchmark::DoNotOptimize(a);
    }
    countResults(state, a);
}
BENCHMARK(BM_AnalyseRaceNoWindFile)->Unit(benchmark::kMillisecond);

}  // namespace
