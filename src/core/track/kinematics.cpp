// Segment distances, speeds and courses on the local plane of the race area.
#include "track/kinematics.h"

#include <atomic>
#include <cmath>
#include <thread>

namespace brisko {

namespace {

constexpr double kPi = 3.14159265358979323846;
// The reference speed runs to half of the race less this many seconds.
constexpr double kRefSpeedMargin = 120;

bool usable(double v) { return std::isfinite(v) && v > 0; }

}  // namespace

double segmentCourse(double dLat, double dEast) {
    double c;
    if (dLat == 0) {
        c = dEast >= 0 ? 90 : 270;
    } else {
        c = std::atan(dEast / dLat) * 180 / kPi;
        if (c < 0) c += 360;
        if (dLat < 0) c += 180;
        if (c < 0) c += 360;
    }
    if (c >= 360) c -= 360;
    return c;
}

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
        course[k] = segmentCourse(dLat, dEast);
        const double dt = sec[k + 1] - sec[k];
        speed[k] = dt > 0 ? d / dt * kSecondsPerHour : 0;
    }
    speed[n] = 0;
    course[n] = 0;
}

// Below this many samples in all a second thread costs more than it saves.
constexpr long kSamplesWorthASecondThread = 100000;

}  // namespace

void deriveKinematics(TrackStore& store) {
    const double lonFactor = store.LonFactor;
    const double nmPerMinute = store.MPerMinLat / kMetresPerNauticalMile;
    const int boats = store.boatCount();
    long samples = 0;
    for (int b = 1; b <= boats; ++b) samples += store.boats[b].count();
    // Boats are independent: with many samples two threads take them by turns.
    std::atomic<int> next{1};
    auto work = [&] {
        for (int b = next++; b <= boats; b = next++)
            deriveBoat(store.boats[b], lonFactor, nmPerMinute);
    };
    std::thread helper;
    if (samples >= kSamplesWorthASecondThread && boats > 1 &&
        std::thread::hardware_concurrency() > 1)
        helper = std::thread(work);
    work();
    if (helper.joinable()) helper.join();
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
