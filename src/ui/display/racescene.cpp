// The race scene's helpers (see racescene.h).
#include "ui/display/racescene.h"

#include "track/rounding.h"

namespace brisko {

WindSamples RaceScene::windSamplesOf(const WindStore& store) {
    auto part = [&](const std::vector<double>& v) {
        const size_t n = std::min(v.size(), static_cast<size_t>(std::max(0, store.WindCount)) + 1);
        return std::span<const double>(v.data(), n);
    };
    return {part(store.WindSec), part(store.WindSpeed), part(store.WindDir)};
}

void RaceScene::attachCoast(const CoastLine& coastLine) {
    const size_t n = std::min({coastLine.CoastLat.size(), coastLine.CoastLon.size(),
                               static_cast<size_t>(std::max(0, coastLine.CoastCount)) + 1});
    coast.lat = std::span<const double>(coastLine.CoastLat.data(), n);
    coast.lon = std::span<const double>(coastLine.CoastLon.data(), n);
    coast.count = n > 0 ? static_cast<int>(n) - 1 : 0;
}

void RaceScene::attach(const RaceDefinition& def, const AppSettings& app, const RaceData& data,
                       const CoastLine& coastLine) {
    race = &def;
    settings = &app;
    tracks = &data.tracks;
    wind = windSamplesOf(data.wind);
    windShown = data.WindShown;
    SpeedBarScale = data.SpeedBarScale;
    attachCoast(coastLine);
    const RoundingResults* r = &data.roundings;
    roundTime = [r](int entry, int boat) { return r->RoundTime(entry, boat); };
    leadTime = [r](int entry) { return r->LeadTime(entry); };
}

FinishInputs RaceScene::finishInputs() const {
    FinishInputs in;
    if (!race) return in;
    // Only the first entries of a long course take part in the roundings: the last of those
    // is the finish the list waits for.
    in.courseCount = std::clamp(race->CourseCount, 0, kMaxRoundingEntries);
    if (in.courseCount == 0) return in;
    if (leadTime) in.leadFinish = leadTime(in.courseCount);
    if (roundTime)
        for (int k = 1; k <= std::min(race->BoatCount, kMaxBoats); ++k)
            in.finishTime[k] = roundTime(in.courseCount, k);
    return in;
}

}  // namespace brisko
