// The track store's growth and reset.
#include "track/trackstore.h"

#include <cstddef>

namespace brisko {

void BoatTrack::clear() {
    for (auto* v : {&TrkLat, &TrkLon, &TrkSec, &TrkDist, &TrkSpeed, &TrkCourse}) v->clear();
}

void BoatTrack::reserve(int samples) {
    for (auto* v : {&TrkLat, &TrkLon, &TrkSec, &TrkDist, &TrkSpeed, &TrkCourse})
        v->reserve(static_cast<size_t>(samples) + 1);
}

void BoatTrack::append(double lat, double lon, double sec) {
    if (TrkLat.empty())
        for (auto* v : {&TrkLat, &TrkLon, &TrkSec, &TrkDist, &TrkSpeed, &TrkCourse})
            v->push_back(0.0);
    TrkLat.push_back(lat);
    TrkLon.push_back(lon);
    TrkSec.push_back(sec);
    TrkDist.push_back(0.0);
    TrkSpeed.push_back(0.0);
    TrkCourse.push_back(0.0);
}

void TrackStore::reset(int boatCount) {
    boats.assign(static_cast<size_t>(boatCount < 0 ? 0 : boatCount) + 1, BoatTrack{});
    TrkCapacity = 100;
    LatMax = -200000;
    LatMin = 200000;
    LonMax = -200000;
    LonMin = 200000;
    CenterLat = CenterLon = HomeLat = HomeLon = 0;
    LonFactor = 1;
    TrackSpan = 0.1;
    InitScale = 10;
}

}  // namespace brisko
