// Runs every coach's analysis of a race: wind in force, manoeuvres, start, legs and gaps.
#include "analysis/coach.h"

#include "analysis/legstats.h"
#include "analysis/startanalysis.h"
#include "track/kinematics.h"
#include "util/parallel.h"

namespace brisko {

const char* legTypeName(LegType t) {
    switch (t) {
        case LegType::Upwind:
            return "upwind";
        case LegType::Downwind:
            return "downwind";
        case LegType::Reach:
            break;
    }
    return "reach";
}

CoachAnalysis analyseRace(const RaceDefinition& race, const TrackStore& store,
                          const RoundingResults& roundings, const WindStore& wind) {
    CoachAnalysis a;
    a.wind = windInForce(race, store, wind);
    const int boats = store.boatCount();
    const size_t n = static_cast<size_t>(boats) + 1;
    a.starts.resize(n);
    a.manoeuvres.resize(n);
    a.legs.resize(n);
    // Boats are independent: with many samples two threads take them by turns.
    long samples = 0;
    for (int b = 1; b <= boats; ++b) samples += store.TrkCount(b);
    const int workers = samples >= kSamplesWorthASecondThread ? workersFor(boats, 2) : 1;
    forEachInParallel(1, boats + 1, workers, [&](int, int b) {
        a.manoeuvres[static_cast<size_t>(b)] = findManoeuvres(store, b, a.wind);
    });

    if (const auto line = startGeometry(race, store, roundings, a.wind)) {
        a.startLine = analyseStartLine(*line, a.wind);
        for (int b = 1; b <= boats; ++b) a.starts[b] = analyseBoatStart(*line, store, roundings, b);
    }
    for (int b = 1; b <= boats; ++b)
        a.legs[b] = analyseLegs(store, roundings, a.wind, b, a.manoeuvres[b]);
    a.gaps = analyseGaps(store, roundings, a.wind, boats);
    return a;
}

}  // namespace brisko
