// The race scene's helpers (see racescene.h).
#include "ui/display/racescene.h"

#include "race/racesession.h"

namespace brisko {

CoastPoints RaceScene::coastOf(const CoastLine& coastLine) {
    CoastPoints c;
    const size_t n = std::min({coastLine.CoastLat.size(), coastLine.CoastLon.size(),
                               static_cast<size_t>(std::max(0, coastLine.CoastCount)) + 1});
    c.lat = std::span<const double>(coastLine.CoastLat.data(), n);
    c.lon = std::span<const double>(coastLine.CoastLon.data(), n);
    c.count = n > 0 ? static_cast<int>(n) - 1 : 0;
    return c;
}

void RaceScene::attach(const RaceSession& session) {
    race = &session.race();
    settings = &session.settings();
    tracks = &session.tracks();
    roundings = &session.data().roundings;
    coast = coastOf(session.coast());
    windShown = session.data().WindShown;
    clock = &session.clock();
    frame = &session.frame();
    windNow = &session.windNow();
    SpeedBarScale = session.data().SpeedBarScale;
}

FinishInputs RaceScene::finishInputs() const {
    if (!race || !roundings) return {};
    return finishInputsOf(*race, *roundings);
}

}  // namespace brisko
