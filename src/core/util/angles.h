// Angles and bearings: degrees and radians, bearings of a step on the local plane, and the
// reduction of angles and angle differences. Shared by the tracks, the rounding scans and drawing.
#pragma once

#include <cmath>
#include <numbers>

namespace brisko {

constexpr double kPi = std::numbers::pi;
// Radians per degree.
constexpr double kDegToRad = kPi / 180.0;

// Bearing in degrees 0..<360 (clockwise from north) of a north step dN and an east step dE in
// the same unit: 90 for no movement or a due-east step, 270 due west.
inline double bearingDegrees(double dN, double dE) {
    if (dN == 0) return dE >= 0 ? 90 : 270;
    double c = std::atan(dE / dN) / kDegToRad;
    if (dN < 0) c += 180;
    if (c < 0) c += 360;  // atan keeps c above -90, so once is enough
    if (c >= 360) c -= 360;
    return c;
}

// Reduces an angle difference to (-180, 180] (also for several turns; NaN and infinities give 0).
inline double reduceAngle180(double degrees) {
    if (!std::isfinite(degrees)) return 0;
    double a = std::fmod(degrees, 360.0);
    if (a > 180) a -= 360;
    if (a <= -180) a += 360;
    return a;
}

// Brings an angle into [0, 360) (NaN and infinities give 0).
inline double normalizeAngle360(double degrees) {
    if (!std::isfinite(degrees)) return 0;
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360;
    if (a >= 360) a -= 360;
    return a;
}

// The difference of two bearings (each 0..360) brought into [-180, 180] by adding or
// subtracting 360 once. Unlike reduceAngle180, -180 stays -180: the mark rounding scans tell a
// turn to one side from a turn to the other by that sign.
inline double foldBearingDifference(double a) {
    if (a < -180) a += 360;
    if (a > 180) a -= 360;
    return a;
}

}  // namespace brisko
