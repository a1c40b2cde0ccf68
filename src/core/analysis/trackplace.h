// A boat's place at any race second and the flat plane of the race area in metres: what the
// start, leg and gap analyses measure distances, windward progress and line positions on.
#pragma once

#include <cmath>
#include <optional>

#include "track/trackstore.h"

namespace brisko {

// Metres north and east on the race area's plane.
struct PlaneVec {
    double n = 0, e = 0;
};
inline PlaneVec operator-(PlaneVec a, PlaneVec b) { return {a.n - b.n, a.e - b.e}; }
inline PlaneVec operator+(PlaneVec a, PlaneVec b) { return {a.n + b.n, a.e + b.e}; }
inline PlaneVec operator*(double f, PlaneVec a) { return {f * a.n, f * a.e}; }
inline double dot(PlaneVec a, PlaneVec b) { return a.n * b.n + a.e * b.e; }
inline double length(PlaneVec a) { return std::hypot(a.n, a.e); }
// The unit step along a bearing (degrees true, clockwise from north).
PlaneVec bearingVector(double degrees);

// The race area flattened round an origin, as the kinematics flatten it: a minute of latitude
// is MPerMinLat metres and a minute of longitude LonFactor of that. A store without its metric
// factor counts a minute of latitude as a nautical mile.
class RacePlane {
public:
    RacePlane(const TrackStore& store, double originLat, double originLon);
    // The point at lat, lon (minutes of arc) in metres from the origin.
    PlaneVec at(double lat, double lon) const {
        return {(lat - lat0_) * metresPerMinute_, (lon - lon0_) * lonFactor_ * metresPerMinute_};
    }

private:
    double lat0_, lon0_, metresPerMinute_, lonFactor_;
};

// Where a boat was at one race second.
struct BoatPlace {
    double lat = 0, lon = 0;      // minutes of arc, linear between the fixes around the second
    std::optional<double> speed;  // knots, the speed of the segment holding the second
};

// Boat b's place at race second s: between the fix at or before s and the next one. Empty when
// no fix lies at s or on both sides of it (before the log begins, after it ends, no such boat).
// At the last fix itself the speed is that of the segment before it.
std::optional<BoatPlace> boatPlaceAt(const TrackStore& store, int b, double s);

// Knots for metres covered in seconds; empty when the time is not positive.
std::optional<double> knotsOver(double metres, double seconds);

}  // namespace brisko
