// Boat kinematics: distance sailed, speed and course over ground of every segment between two
// samples, and the reference speed that scales the speed bars. Run once per race opening.
#pragma once

#include "track/trackstore.h"
#include "util/units.h"

namespace brisko {

// The reference speed when boat 1's track gives none.
constexpr double kFallbackRefSpeed = 5;
// The speed bars are this many pixels long at 1.6 times the reference speed.
constexpr double kSpeedBarPixels = 70;
constexpr double kSpeedBarRefFactor = 1.6;

// Fills TrkDist (from sample 2 on; 0 at sample 1), TrkSpeed and TrkCourse (up to the sample
// before the last; 0 at the last) of every boat from its positions and times, on the local
// plane given by the store's LonFactor and MPerMinLat. Raw segment values: no smoothing.
// The course of a segment is bearingDegrees of its north and east steps. Boats are derived on
// `workers` threads; 0 chooses: two from kSamplesWorthASecondThread samples on, else one. The
// numbers are the same whatever the count.
void deriveKinematics(TrackStore& store, int workers = 0);

// Below this many samples in all a second thread costs more than it saves.
constexpr long kSamplesWorthASecondThread = 100000;

// Boat 1's average speed in knots from the segment holding the start gun to the segment holding
// half of the race less two minutes. When that cannot be formed (no such segments, a race of
// 120 s or less, no distance) boat 1's mean speed over its whole track, else 5 knots: always a
// positive, finite value.
double referenceSpeed(const TrackStore& store, double raceSeconds);

// Pixels per knot of the speed bars for a reference speed.
double speedBarScale(double refSpeed);

}  // namespace brisko
