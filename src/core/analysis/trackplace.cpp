// A boat's place at a race second and the race area's plane in metres.
#include "analysis/trackplace.h"

#include <algorithm>

#include "util/angles.h"
#include "util/units.h"

namespace brisko {

PlaneVec bearingVector(double degrees) {
    const double r = degrees * kDegToRad;
    return {std::cos(r), std::sin(r)};
}

RacePlane::RacePlane(const TrackStore& store, double originLat, double originLon)
    : lat0_(originLat),
      lon0_(originLon),
      metresPerMinute_(store.MPerMinLat > 0 && std::isfinite(store.MPerMinLat)
                           ? store.MPerMinLat
                           : kMetresPerNauticalMile),
      lonFactor_(std::isfinite(store.LonFactor) ? store.LonFactor : 1) {}

namespace {

BoatPlace between(const BoatTrack& t, int k, double s) {
    const double f = (s - t.TrkSec[k]) / (t.TrkSec[k + 1] - t.TrkSec[k]);
    return {t.TrkLat[k] + f * (t.TrkLat[k + 1] - t.TrkLat[k]),
            t.TrkLon[k] + f * (t.TrkLon[k + 1] - t.TrkLon[k]), t.TrkSpeed[k]};
}

BoatPlace lastFix(const BoatTrack& t, int n) {
    BoatPlace p{t.TrkLat[n], t.TrkLon[n], std::nullopt};
    if (n >= 2) p.speed = t.TrkSpeed[n - 1];
    return p;
}

}  // namespace

std::optional<BoatPlace> boatPlaceAt(const TrackStore& store, int b, double s) {
    const int n = store.TrkCount(b);
    if (n == 0 || !std::isfinite(s)) return std::nullopt;
    const BoatTrack& t = store.boats[b];
    // Logs hold rising seconds: the segment is found by halving. A log whose times do not rise
    // is searched from its first fix instead.
    const auto first = t.TrkSec.begin() + 1;
    const int k = static_cast<int>(std::upper_bound(first, first + n, s) - first);  // fixes <= s
    if (k >= 1 && k < n && t.TrkSec[k] <= s && s < t.TrkSec[k + 1]) return between(t, k, s);
    if (k == n && t.TrkSec[n] == s) return lastFix(t, n);
    for (int j = 1; j < n; ++j)
        if (t.TrkSec[j] <= s && s < t.TrkSec[j + 1]) return between(t, j, s);
    if (t.TrkSec[n] == s) return lastFix(t, n);
    return std::nullopt;
}

std::optional<double> knotsOver(double metres, double seconds) {
    if (!(seconds > 0) || !std::isfinite(metres)) return std::nullopt;
    return metres / kMetresPerNauticalMile / seconds * kSecondsPerHour;
}

}  // namespace brisko
