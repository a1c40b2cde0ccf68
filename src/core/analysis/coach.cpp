// Runs every coach's analysis of a race: wind in force, manoeuvres, start, legs and gaps.
#include "analysis/coach.h"

namespace brisko {

const char* legTypeName(LegType t) {
    switch (t) {
        case LegType::Upwind: return "upwind";
        case LegType::Downwind: return "downwind";
        case LegType::Reach: break;
    }
    return "reach";
}

CoachAnalysis analyseRace(const RaceDefinition& race, const TrackStore& store,
                          const RoundingResults& roundings, const WindStore& wind) {
    (void)roundings;  // placeholder until the start, leg and gap analyses land
    CoachAnalysis a;
    a.wind = windInForce(race, store, wind);
    const size_t n = static_cast<size_t>(store.boatCount()) + 1;
    a.starts.resize(n);
    a.manoeuvres.resize(n);
    a.legs.resize(n);
    a.gaps.resize(n);
    for (int b = 1; b <= store.boatCount(); ++b) a.manoeuvres[b] = findManoeuvres(store, b, a.wind);
    return a;
}

}  // namespace brisko
