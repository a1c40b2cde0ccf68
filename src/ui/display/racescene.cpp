// The race scene's helpers (see racescene.h).
#include "ui/display/racescene.h"

#include "session/racesession.h"

namespace brisko {

CoastPoints RaceScene::coastOf(const CoastLine& coastLine) {
    CoastPoints c;
    const size_t n = std::min({coastLine.CoastLat.size(), coastLine.CoastLon.size(),
                               static_cast<size_t>(std::max(0, coastLine.CoastCount)) + 1});
    c.lat = std::span<const double>(coastLine.CoastLat.data(), n);
    c.lon = std::span<const double>(coastLine.CoastLon.data(), n);
    if (coastLine.CoastStart.size() >= n)
        c.start = std::span<const char>(coastLine.CoastStart.data(), n);
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

FleetBox RaceScene::racingFleetBox() const {
    FleetBox box;
    if (!tracks) return box;
    const FinishInputs fin = finishInputs();
    const int boats = std::min(tracks->boatCount(), kMaxBoats);
    bool anyFinished = false;
    for (int k = 1; k <= boats; ++k) anyFinished = anyFinished || fin.finishTime[k] > 0;
    double south = 1e9, north = -1e9, west = 1e9, east = -1e9;
    for (int k = 1; k <= boats; ++k) {
        if (anyFinished && !(fin.finishTime[k] > 0)) {
            box.everyBoat = false;
            continue;
        }
        for (int i = 1; i <= tracks->TrkCount(k); ++i) {
            south = std::min(south, tracks->TrkLat(k, i));
            north = std::max(north, tracks->TrkLat(k, i));
            west = std::min(west, tracks->TrkLon(k, i));
            east = std::max(east, tracks->TrkLon(k, i));
        }
    }
    box.valid = north >= south && east >= west;
    if (box.valid) box.south = south, box.north = north, box.west = west, box.east = east;
    return box;
}

}  // namespace brisko
