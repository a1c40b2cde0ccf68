// Segment distances, speeds and courses on the local plane of the race area.
#include "track/kinematics.h"

#include <cmath>

#include "util/angles.h"
#include "util/parallel.h"

namespace brisko {

namespace {

// The reference speed runs to half of the race less this many seconds.
constexpr double kRefSpeedMargin = 120;

bool usable(double v) { return std::isfinite(v) && v > 0; }

}  // namespace

namespace {

// One boat's distances, speeds and courses.
void deriveBoat(BoatTrack& t, double lonFactor, double nmPerMinute) {
    const int n = t.count();
    if (n < 1) return;
    double* lat = t.TrkLat.data();
    double* lon = t.TrkLon.data();
    double* sec = t.TrkSec.data();
    double* dist = t.TrkDist.data();
    double* speed = t.TrkSpeed.data();
    double* course = t.TrkCourse.data();
    double total = 0;
    dist[1] = 0;
    for (int k = 1; k < n; ++k) {
        const double dLat = lat[k + 1] - lat[k];
        const double dEast = lonFactor * (lon[k + 1] - lon[k]);
        const double d = std::sqrt(dLat * dLat + dEast * dEast) * nmPerMinute;
        total += d;
        dist[k + 1] = total;
        course[k] = bearingDegrees(dLat, dEast);
        const double dt = sec[k + 1] - sec[k];
        speed[k] = dt > 0 ? d / dt * kSecondsPerHour : 0;
    }
    speed[n] = 0;
    course[n] = 0;
}

}  // namespace

void deriveKinematics(TrackStore& store, int workers) {
    const double lonFactor = store.LonFactor;
    const double nmPerMinute = store.MPerMinLat / kMetresPerNauticalMile;
    const int boats = store.boatCount();
    long samples = 0;
    for (int b = 1; b <= boats; ++b) samples += store.boats[b].count();
    // Boats are independent: with many samples two threads take them by turns.
    if (workers <= 0) workers = samples >= kSamplesWorthASecondThread ? workersFor(boats, 2) : 1;
    forEachInParallel(1, boats + 1, workers,
                      [&](int, int b) { deriveBoat(store.boats[b], lonFactor, nmPerMinute); });
}

double referenceSpeed(const TrackStore& store, double raceSeconds) {
    const int n = store.TrkCount(1);
    const double half = (raceSeconds - kRefSpeedMargin) / 2;
    if (n >= 2 && half > 0) {
        // The segment in which a given second falls: TrkSec(k) <= s < TrkSec(k + 1).
        auto segmentAt = [&](double s) {
            for (int k = 1; k < n; ++k)
                if (store.TrkSec(1, k) <= s && s < store.TrkSec(1, k + 1)) return k;
            return 0;
        };
        const int kStart = segmentAt(0);
        const int kMid = segmentAt(half);
        if (kStart > 0 && kMid > 0) {
            const double v =
                (store.TrkDist(1, kMid) - store.TrkDist(1, kStart)) / half * kSecondsPerHour;
            if (usable(v)) return v;
        }
    }
    if (n >= 2) {
        const double dt = store.TrkSec(1, n) - store.TrkSec(1, 1);
        const double v = dt > 0 ? store.TrkDist(1, n) / dt * kSecondsPerHour : 0;
        if (usable(v)) return v;
    }
    return kFallbackRefSpeed;
}

double speedBarScale(double refSpeed) {
    if (!usable(refSpeed)) refSpeed = kFallbackRefSpeed;
    return kSpeedBarPixels / (kSpeedBarRefFactor * refSpeed);
}

}  // namespace brisko
