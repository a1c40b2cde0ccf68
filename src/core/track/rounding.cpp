// Mark rounding detection: start and finish line crossings, mark roundings by the side the boat
// passes, closest-approach fallbacks, the leaders, and the distance sailed to each rounding.
#include "track/rounding.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "track/kinematics.h"
#include "util/angles.h"

namespace brisko {

namespace {

// A line is watched only while the boat is this close to its first end (minutes of latitude).
constexpr double kLineWatchRadius = 0.3;
// Mark circles: roundings are looked for within 200 m, the second chance within 100 m.
constexpr double kMarkRadius = 200.0 / kMetresPerNauticalMile;
constexpr double kSecondChanceRadius = 100.0 / kMetresPerNauticalMile;
// The start line is looked for from two minutes before the gun to six minutes after it.
constexpr double kStartWindowFrom = -120;
constexpr double kStartWindowTo = 360;
// A change of side nearer than this to the far ray is not a rounding (degrees).
constexpr double kCrossingAngleLimit = 150;
constexpr double kFallbackStartDistance = 5000;
constexpr double kSecondChanceStartDistance = 1000;

struct PlanePoint {
    double lat = 0, lon = 0;
};

// What the scans need to know of one boat's track, worked out once per boat.
struct BoatScan {
    explicit BoatScan(const BoatTrack& t) : track(t), n(t.count()) {
        for (int k = 1; k <= n; ++k) {
            first = std::min(first, t.TrkSec[k]);
            last = std::max(last, t.TrkSec[k]);
            if (k > 1 && !(t.TrkSec[k - 1] < t.TrkSec[k])) rising = false;
        }
    }
    const BoatTrack& track;
    int n;
    double first = std::numeric_limits<double>::infinity();
    double last = -std::numeric_limits<double>::infinity();
    bool rising = true;  // times strictly rising, as in every well-formed file
};

// Walks one boat's track for rising seconds. The segment search goes on from where the previous
// second left it, so a scan over a window is linear in the samples.
class TrackCursor {
public:
    explicit TrackCursor(const BoatScan& b) : b_(b), t_(b.track) {}

    // Narrows [from, to] to the whole seconds at which a position can exist, kept on the grid
    // of `from`, and places the search at `from`; false when nothing is left.
    bool clip(double& from, double& to) {
        if (b_.n < 2 || !std::isfinite(from) || std::isnan(to)) return false;
        if (from < b_.first) from += std::ceil(b_.first - from);
        to = std::min(to, b_.last);
        if (b_.rising) {
            // Where a search from the first sample would arrive, found by halving.
            auto begin = t_.TrkSec.begin() + 1, end = begin + b_.n;
            int k = static_cast<int>(std::upper_bound(begin, end, from) - begin);
            k_ = std::clamp(k, 1, b_.n - 1);
        }
        return from <= to;
    }

    // Finds the segment k..k+1 with TrkSec(k) <= s < TrkSec(k+1); false when the boat has no
    // position at s.
    bool seek(double s) {
        while (k_ + 1 < b_.n && t_.TrkSec[k_ + 1] <= s) ++k_;
        return t_.TrkSec[k_] <= s && s < t_.TrkSec[k_ + 1];
    }

    // Position at s on the segment found by the last successful seek; s may lie beyond the
    // segment's end, which extends the segment in a straight line.
    PlanePoint at(double s) const {
        double t0 = t_.TrkSec[k_], t1 = t_.TrkSec[k_ + 1];
        double f = (s - t0) / (t1 - t0);
        return {t_.TrkLat[k_] + f * (t_.TrkLat[k_ + 1] - t_.TrkLat[k_]),
                t_.TrkLon[k_] + f * (t_.TrkLon[k_ + 1] - t_.TrkLon[k_])};
    }

private:
    const BoatScan& b_;
    const BoatTrack& t_;
    int k_ = 1;
};

// North and (scaled) east differences on the local plane, minutes of latitude.
struct Offset {
    double dN, dE;
    double length() const { return std::sqrt(dN * dN + dE * dE); }
};

Offset offset(const PlanePoint& from, const PlanePoint& to, double lonFactor) {
    return {to.lat - from.lat, lonFactor * (to.lon - from.lon)};
}

// Fills the points, LegCourse and RoundDir of the entries taking part.
void courseGeometry(const RaceDefinition& def, const TrackStore& store, RoundingResults& r) {
    r.entryCount = std::clamp(def.CourseCount, 0, kMaxRoundingEntries);
    const int n = r.entryCount;
    for (int t = 1; t <= n; ++t) {
        CourseTarget target = resolveCourseEntry(def.Course[t]);
        r.pointKnown[t] = false;
        r.PointLat[t] = r.PointLon[t] = 0;
        if (target.isLine) {
            if (target.number >= 1 && target.number <= std::min(def.LineCount, kMaxLines) &&
                def.Lines[target.number].PositionKnown) {
                r.PointLat[t] = def.Lines[target.number].LineLat1;
                r.PointLon[t] = def.Lines[target.number].LineLon1;
                r.pointKnown[t] = true;
            }
        } else if (target.number >= 1 && target.number <= std::min(def.MarkCount, kMaxMarks) &&
                   def.Marks[target.number].PositionKnown) {
            r.PointLat[t] = def.Marks[target.number].MarkLat;
            r.PointLon[t] = def.Marks[target.number].MarkLon;
            r.pointKnown[t] = true;
        }
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    r.LegCourse.fill(0);
    for (int t = 1; t < n; ++t) {
        if (!r.pointKnown[t] || !r.pointKnown[t + 1]) {
            r.LegCourse[t] = nan;
            continue;
        }
        Offset o = offset({r.PointLat[t], r.PointLon[t]}, {r.PointLat[t + 1], r.PointLon[t + 1]},
                          store.LonFactor);
        r.LegCourse[t] = bearingDegrees(o.dN, o.dE);
    }
    // A course entry naming a missing mark or line is left out of the turn at its neighbours:
    // each known inner point turns from the nearest known point before it to the nearest known
    // point after it, so that it is still watched on the side boats actually pass it. Without
    // a known point on either side it keeps the north of the course's ends.
    r.RoundDir.fill(0);
    auto bearingBetween = [&](int from, int to) {
        Offset o = offset({r.PointLat[from], r.PointLon[from]}, {r.PointLat[to], r.PointLon[to]},
                          store.LonFactor);
        return bearingDegrees(o.dN, o.dE);
    };
    for (int t = 2; t < n; ++t) {
        if (!r.pointKnown[t]) continue;
        int before = t - 1, after = t + 1;
        while (before >= 1 && !r.pointKnown[before]) --before;
        while (after <= n && !r.pointKnown[after]) ++after;
        if (before < 1 || after > n) continue;
        const double legIn = bearingBetween(before, t), legOut = bearingBetween(t, after);
        double back = legIn + 180;
        if (back > 360) back -= 360;
        double diff = foldBearingDifference(legOut - back);
        double dir = back + diff / 2 + 180;  // opposite to the inside of the turn
        if (dir > 360) dir -= 360;
        r.RoundDir[t] = dir;
    }
}

// First (or, with keepLast, last) second of the window at which the boat crosses the line
// A-B between that second and the next one, while within the watch radius of A.
bool findLineCrossing(const BoatScan& track, const LineEntry& line, double lonFactor, double from,
                      double to, bool keepLast, double& found) {
    TrackCursor cur(track);
    if (!cur.clip(from, to)) return false;
    const PlanePoint a{line.LineLat1, line.LineLon1};
    Offset ab = offset(a, {line.LineLat2, line.LineLon2}, lonFactor);
    const double len = ab.length();
    const double beta = bearingDegrees(ab.dN, ab.dE) * kDegToRad;
    const double cb = std::cos(beta), sb = std::sin(beta);
    bool any = false;
    for (double s = from; s <= to; s += 1) {
        if (!cur.seek(s)) continue;
        Offset p0 = offset(a, cur.at(s), lonFactor);
        if (!(p0.length() < kLineWatchRadius)) continue;
        Offset p1 = offset(a, cur.at(s + 1), lonFactor);
        // Rotated so that the line runs along the positive y axis from 0 to len.
        double x0 = p0.dE * cb - p0.dN * sb, y0 = p0.dN * cb + p0.dE * sb;
        double x1 = p1.dE * cb - p1.dN * sb, y1 = p1.dN * cb + p1.dE * sb;
        if (x0 * x1 > 0 || x0 == x1) continue;
        double y = y0 - x0 * (y1 - y0) / (x1 - x0);
        if (y < 0 || y > len) continue;
        found = s;
        any = true;
        if (!keepLast) break;
    }
    return any;
}

// The second at which the boat's bearing from the mark passes the rounding direction, while
// the boat is inside the mark circle. With freshVisit, a visit to the circle that is under way
// when the window opens is left out.
bool findMarkCrossing(const BoatScan& track, const PlanePoint& mark, double roundDir,
                      double lonFactor, double from, double to, bool freshVisit, double& found) {
    TrackCursor cur(track);
    if (!cur.clip(from, to)) return false;
    bool havePrevious = false;
    double previous = 0;
    for (double s = from; s <= to; s += 1) {
        if (!cur.seek(s)) continue;
        Offset o = offset(mark, cur.at(s), lonFactor);
        if (!(o.length() < kMarkRadius)) {
            freshVisit = false;
            continue;
        }
        if (freshVisit) continue;
        double rel = foldBearingDifference(bearingDegrees(o.dN, o.dE) - roundDir);
        if (std::abs(rel) < kCrossingAngleLimit && havePrevious && rel * previous <= 0) {
            found = s;
            return true;
        }
        previous = rel;
        havePrevious = true;
    }
    return false;
}

// Inside the mark circle, the first second at which the boat is no closer than before: it has
// begun to move away. For entries after the first, not before `notBefore`; freshVisit as above.
bool findClosestApproach(const BoatScan& track, const PlanePoint& mark, double lonFactor,
                         double from, double to, double notBefore, bool freshVisit, double& found) {
    TrackCursor cur(track);
    if (!cur.clip(from, to)) return false;
    double smallest = kFallbackStartDistance;
    for (double s = from; s <= to; s += 1) {
        if (!cur.seek(s)) continue;
        double d = offset(mark, cur.at(s), lonFactor).length();
        if (!(d < kMarkRadius)) {
            freshVisit = false;
            continue;
        }
        if (freshVisit) continue;
        if (d < smallest) {
            smallest = d;
        } else if (s > notBefore) {
            found = s;
            return true;
        }
    }
    return false;
}

// The second of the closest approach within the small circle, if the boat came that close.
bool findNearestPass(const BoatScan& track, const PlanePoint& mark, double lonFactor, double from,
                     double to, double& found) {
    TrackCursor cur(track);
    if (!cur.clip(from, to)) return false;
    double closest = kSecondChanceStartDistance;
    bool any = false;
    for (double s = from; s <= to; s += 1) {
        if (!cur.seek(s)) continue;
        double d = offset(mark, cur.at(s), lonFactor).length();
        if (d < kSecondChanceRadius && d < closest) {
            closest = d;
            found = s;
            any = true;
        }
    }
    return any;
}

}  // namespace

double RoundingResults::RoundTime(int entry, int boat) const {
    return inRange(entry, boat) ? roundTime_[entry][boat] : 0;
}

double RoundingResults::LeadTime(int entry) const {
    return (entry >= 1 && entry <= kMaxRoundingEntries) ? leadTime_[entry] : kNoLeadTime;
}

double RoundingResults::LegDist(int entry, int boat) const {
    return inRange(entry, boat) ? legDist_[entry][boat] : 0;
}

void RoundingResults::setRoundTime(int entry, int boat, double sec) {
    if (inRange(entry, boat)) roundTime_[entry][boat] = sec;
}

void RoundingResults::setLeadTime(int entry, double sec) {
    if (entry >= 1 && entry <= kMaxRoundingEntries) leadTime_[entry] = sec;
}

void RoundingResults::setLegDist(int entry, int boat, double nm) {
    if (inRange(entry, boat)) legDist_[entry][boat] = nm;
}

void RoundingResults::clear() { *this = RoundingResults{}; }

void computeRoundings(const RaceDefinition& def, const TrackStore& store, RoundingResults& r) {
    r.clear();
    courseGeometry(def, store, r);
    const int n = r.entryCount;
    r.boatCount = std::clamp(std::min(def.BoatCount, store.boatCount()), 0, kMaxBoats);
    const double lf = store.LonFactor;

    for (int b = 1; b <= r.boatCount; ++b) {
        const BoatScan track(store.boats[b]);
        // Where the window of entry t > 1 opens: at the previous entry's time. When the boat
        // missed that entry, at its latest rounding found before it (not before the gun), so
        // that a later visit to a mark is never credited with an earlier one.
        auto windowOpen = [&](int t) {
            if (r.RoundTime(t - 1, b) != 0) return r.RoundTime(t - 1, b);
            for (int p = t - 2; p >= 1; --p)
                if (r.RoundTime(p, b) != 0) return std::max(0.0, r.RoundTime(p, b));
            return 0.0;
        };
        // Detection, entry by entry.
        for (int t = 1; t <= n; ++t) {
            if (!r.pointKnown[t]) continue;
            const double from = t == 1 ? kStartWindowFrom : windowOpen(t);
            const double to = t == 1 ? kStartWindowTo : def.RaceSecondsPlus;
            const CourseTarget target = resolveCourseEntry(def.Course[t]);
            // After a missed entry the window may open with the boat still at an earlier
            // course point, on the passing already counted there: only a new one counts.
            const bool afterMiss = t > 1 && r.RoundTime(t - 1, b) == 0 && from > 0;
            double found = 0;
            bool hit = false;
            if (target.isLine) {
                // The start keeps its last crossing (a boat back over the line after an early
                // start); later lines keep their first.
                hit = findLineCrossing(track, def.Lines[target.number], lf,
                                       afterMiss ? from + 1 : from, to, t == 1, found);
            } else {
                const PlanePoint mark{r.PointLat[t], r.PointLon[t]};
                hit = findMarkCrossing(track, mark, r.RoundDir[t], lf, from, to, afterMiss, found);
                if (!hit) {
                    const double notBefore =
                        t == 1 ? -std::numeric_limits<double>::infinity() : from + 1;
                    hit =
                        findClosestApproach(track, mark, lf, from, to, notBefore, afterMiss, found);
                }
            }
            if (hit) r.setRoundTime(t, b, found);
        }
        // Second chance for marks still without a time, between the neighbouring roundings.
        for (int t = 1; t < n; ++t) {
            if (r.RoundTime(t, b) != 0 || !r.pointKnown[t]) continue;
            if (resolveCourseEntry(def.Course[t]).isLine) continue;
            const double from = t == 1 ? kStartWindowFrom : windowOpen(t) + 1;
            const double to = t == 1 ? r.RoundTime(t + 1, b) : r.RoundTime(t + 1, b) - 1;
            double found = 0;
            if (findNearestPass(track, {r.PointLat[t], r.PointLon[t]}, lf, from, to, found))
                r.setRoundTime(t, b, found);
        }
    }

    // Leaders: the first boat past each entry, later than the leader at the entry before.
    for (int t = 1; t <= n; ++t) {
        double lead = kNoLeadTime;
        bool any = false;
        for (int b = 1; b <= r.boatCount; ++b) {
            double rt = r.RoundTime(t, b);
            if (rt <= 0 || (t > 1 && rt <= r.LeadTime(t - 1))) continue;
            if (!any || rt < lead) lead = rt;
            any = true;
        }
        r.setLeadTime(t, lead);
    }
}

namespace {

// The distance sailed at s along one boat's track; see distanceSailedAt.
double distanceAt(const BoatScan& b, double s) {
    const BoatTrack& t = b.track;
    if (b.n == 0) return 0;
    int k = 1;
    if (b.rising && b.n > 1) {
        auto begin = t.TrkSec.begin() + 1, end = begin + b.n;
        k = std::clamp(static_cast<int>(std::upper_bound(begin, end, s) - begin), 1, b.n - 1);
    }
    for (; k < b.n; ++k) {
        if (t.TrkSec[k] <= s && s < t.TrkSec[k + 1]) {
            double f = (s - t.TrkSec[k]) / (t.TrkSec[k + 1] - t.TrkSec[k]);
            return t.TrkDist[k] + f * (t.TrkDist[k + 1] - t.TrkDist[k]);
        }
        if (b.rising) break;
    }
    // Outside the track: the nearer end's value.
    return s < t.TrkSec[1] ? t.TrkDist[1] : t.TrkDist[b.n];
}

}  // namespace

double distanceSailedAt(const TrackStore& store, int b, double s) {
    if (store.TrkCount(b) == 0) return 0;
    return distanceAt(BoatScan(store.boats[b]), s);
}

void computeLegDistances(const RaceDefinition& def, const TrackStore& store, RoundingResults& r) {
    for (int b = 1; b <= r.boatCount; ++b) {
        if (store.TrkCount(b) == 0) {
            for (int t = 1; t <= r.entryCount; ++t) r.setLegDist(t, b, 0);
            continue;
        }
        const BoatScan scan(store.boats[b]);
        const double d0 = distanceAt(scan, 0);
        for (int t = 1; t <= r.entryCount; ++t) {
            const double d = distanceAt(scan, r.RoundTime(t, b));
            r.setLegDist(t, b, std::floor(1000 * (d - d0) + 0.5) / 1000);
        }
    }
}

std::vector<double> legCourses(const RaceDefinition& def, const TrackStore& store) {
    RoundingResults r;
    courseGeometry(def, store, r);
    std::vector<double> out;
    for (int t = 1; t < r.entryCount; ++t) out.push_back(r.LegCourse[t]);
    return out;
}

}  // namespace brisko
