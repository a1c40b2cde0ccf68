// Turns of a boat's course over ground between steady courses, on a one-second grid of its
// track: one smoothing pass, then short searches around each stretch of turning.
#include "analysis/courseturns.h"

#include <algorithm>
#include <cmath>

#include "util/angles.h"
#include "util/units.h"

namespace brisko {

namespace {

constexpr double kDegreesPerRadian = 1 / kDegToRad;
constexpr double kKnotsPerMetreSecond =
    static_cast<double>(kSecondsPerHour) / kMetresPerNauticalMile;
// A velocity made good at entry below this (knots) gives no loss in seconds: the boat was
// making no way along the turn's bisector, so seconds would be meaningless or endless.
constexpr double kLeastVmgForSeconds = 0.1;
// The entry and exit positions are the mean of the grid points up to this many seconds either
// side of them.
constexpr double kTurnPositionSeconds = 2;

// Grid points in a number of seconds.
int gridPoints(double seconds) {
    return std::max(1, static_cast<int>(std::lround(seconds / kTurnGridStep)));
}

// One stretch of a boat's track on the grid.
struct Stretch {
    double t0 = 0;                   // race seconds of grid point 0
    double lat0 = 0, lon0 = 0;       // minutes of arc of the stretch's first fix
    double mLat = 1, mLon = 1;       // metres per minute of latitude and of longitude
    std::vector<double> x, y;        // metres east and north of the stretch's first fix
    std::vector<double> speed;       // knots, smoothed
    std::vector<double> course;      // degrees, smoothed and unwrapped: no jump at north
    std::vector<double> rate;        // degrees a second, positive to starboard
    std::vector<double> sumX, sumY;  // running sums of x and y for the smoothing windows

    int size() const { return static_cast<int>(x.size()); }
    double timeAt(int i) const { return t0 + i * kTurnGridStep; }
};

// Fills the grid points of fixes k0..k1 (times never decreasing, no gap over kTurnMostGap):
// the position at each grid time, between two fixes on the straight line joining them.
void sampleStretch(const BoatTrack& t, int k0, int k1, double mLat, double mLon, Stretch& s) {
    s.t0 = t.TrkSec[k0];
    const double span = t.TrkSec[k1] - s.t0;
    const int m = static_cast<int>(std::floor(span / kTurnGridStep + 1e-9)) + 1;
    for (auto* v : {&s.x, &s.y}) v->resize(static_cast<size_t>(m));
    s.lat0 = t.TrkLat[k0];
    s.lon0 = t.TrkLon[k0];
    s.mLat = mLat;
    s.mLon = mLon;
    int j = k0;
    for (int i = 0; i < m; ++i) {
        const double g = s.timeAt(i);
        while (j < k1 && t.TrkSec[j + 1] <= g) ++j;
        double la = t.TrkLat[j], lo = t.TrkLon[j];
        if (j < k1 && t.TrkSec[j] < g) {
            const double f = (g - t.TrkSec[j]) / (t.TrkSec[j + 1] - t.TrkSec[j]);
            la += f * (t.TrkLat[j + 1] - la);
            lo += f * (t.TrkLon[j + 1] - lo);
        }
        s.x[i] = (lo - s.lon0) * mLon;
        s.y[i] = (la - s.lat0) * mLat;
    }
}

// The angle in degrees from the direction of (ax, ay) to that of (bx, by), x east and y north,
// positive clockwise. Between smoothed velocities a second apart it is small, where a short
// series of the arctangent is as good as the full one and several times quicker; the course is
// the sum of these angles from its first bearing.
double turnBetween(double ax, double ay, double bx, double by) {
    const double cross = bx * ay - by * ax, dot = ax * bx + ay * by;
    if (dot > 0 && std::fabs(cross) <= 0.25 * dot) {
        // Within 14 degrees: the series' next term is under 0.0001 degrees.
        const double x = cross / dot, x2 = x * x;
        return x * (1 - x2 * (1.0 / 3 - x2 * (1.0 / 5 - x2 * (1.0 / 7)))) * kDegreesPerRadian;
    }
    return std::atan2(cross, dot) * kDegreesPerRadian;
}

// Speed, unwrapped course and rate of turn at every grid point: the velocity between the mean
// position of the smoothing window before a point and that of the window after it.
void smoothStretch(Stretch& s) {
    const int m = s.size();
    const int w = gridPoints(kTurnSmoothingSeconds);
    s.sumX.assign(static_cast<size_t>(m) + 1, 0);
    s.sumY.assign(static_cast<size_t>(m) + 1, 0);
    for (int i = 0; i < m; ++i) {
        s.sumX[i + 1] = s.sumX[i] + s.x[i];
        s.sumY[i + 1] = s.sumY[i] + s.y[i];
    }
    s.speed.assign(static_cast<size_t>(m), 0);
    s.course.assign(static_cast<size_t>(m), 0);
    s.rate.assign(static_cast<size_t>(m), 0);
    // Mean over w + 1 points each side, w grid steps apart.
    const double whole = 1.0 / ((w + 1) * w * kTurnGridStep);
    bool haveCourse = false;
    double lastX = 0, lastY = 0;  // the last velocity with a course
    for (int i = 0; i < m; ++i) {
        const int b0 = std::max(0, i - w), f1 = std::min(m - 1, i + w);
        double vx = 0, vy = 0;
        bool moving = false;
        if (f1 > b0) {
            if (i - b0 == w && f1 - i == w) {
                // Whole windows (all but the ends of a stretch): one factor for both.
                vx = ((s.sumX[f1 + 1] - s.sumX[i]) - (s.sumX[i + 1] - s.sumX[b0])) * whole;
                vy = ((s.sumY[f1 + 1] - s.sumY[i]) - (s.sumY[i + 1] - s.sumY[b0])) * whole;
            } else {
                const double nb = i + 1 - b0, nf = f1 + 1 - i;
                const double dt = (f1 - b0) * 0.5 * kTurnGridStep;
                vx = ((s.sumX[f1 + 1] - s.sumX[i]) / nf - (s.sumX[i + 1] - s.sumX[b0]) / nb) / dt;
                vy = ((s.sumY[f1 + 1] - s.sumY[i]) / nf - (s.sumY[i + 1] - s.sumY[b0]) / nb) / dt;
            }
            s.speed[i] = std::sqrt(vx * vx + vy * vy) * kKnotsPerMetreSecond;
            if (std::isfinite(s.speed[i]) && s.speed[i] >= kTurnLeastSpeed) {
                moving = true;
            } else if (!std::isfinite(s.speed[i])) {
                s.speed[i] = 0;
            }
        }
        if (moving && !haveCourse) {
            // The points before the boat first moved take its first course.
            const double c = bearingDegrees(vy, vx);
            for (int k = 0; k <= i; ++k) s.course[k] = c;
            haveCourse = true;
        } else if (moving) {
            s.course[i] = s.course[i - 1] + turnBetween(lastX, lastY, vx, vy);
        } else if (i > 0) {
            s.course[i] = s.course[i - 1];
        }
        if (moving) {
            lastX = vx;
            lastY = vy;
        }
    }
    for (int i = 0; i < m; ++i) {
        const int a = std::max(0, i - 1), b = std::min(m - 1, i + 1);
        s.rate[i] = b > a ? (s.course[b] - s.course[a]) / ((b - a) * kTurnGridStep) : 0;
    }
}

// The spread of the course over grid points a..b.
double courseSpread(const Stretch& s, int a, int b) {
    double lo = s.course[a], hi = s.course[a];
    for (int i = a + 1; i <= b; ++i) {
        lo = std::min(lo, s.course[i]);
        hi = std::max(hi, s.course[i]);
    }
    return hi - lo;
}

// The mean of values a..b.
double meanOf(const std::vector<double>& v, int a, int b) {
    double sum = 0;
    for (int i = a; i <= b; ++i) sum += v[static_cast<size_t>(i)];
    return sum / (b - a + 1);
}

// A turn on the grid: its entry and exit points, and the earliest point of the course that led
// to it (the exit of the turn before, or the start of the stretch).
struct GridTurn {
    int from = 0, entry = 0, exit = 0;
    int to = 0;  // the last point of the course after it (the next turning, or the end)
    bool confident = true;
};

// Looks for the turns of one stretch.
class TurnSearch {
public:
    explicit TurnSearch(const Stretch& s) : s_(s) {}

    // Whether turning from grid point a to b may be a turn: most stretches of turning on a
    // straight line are GPS noise, and the course changes little across them.
    bool mayTurn(int a, int b) const {
        const int m = s_.size();
        const double rough = s_.course[std::min(m - 1, b + 1)] - s_.course[std::max(0, a - 1)];
        return std::fabs(rough) >= kLeastTurn / 2;
    }

    // A stretch of turning from grid point a to b with the given sign (+1 starboard); the next
    // such stretch starts at `next` (past the end of the stretch when there is none).
    void turning(int a, int b, int sign, int next) {
        const int m = s_.size();
        const int floor = turns_.empty() ? 0 : turns_.back().exit;
        if (!turns_.empty() && b <= floor) return;  // inside the last turn already
        a = std::max(a, floor);

        GridTurn t;
        t.from = floor;
        t.to = std::min(m - 1, std::max(b, next));
        // Entry: the last point before the turning with a steady course behind it, or the end
        // of the last turn.
        const int lo = std::max(floor, a - limit_);
        t.entry = -1;
        for (int i = a; i >= lo; --i)
            if ((!turns_.empty() && i == floor) || steadyBehind(i)) {
                t.entry = i;
                break;
            }
        if (t.entry < 0) {
            t.entry = lo;
            t.confident = false;
        } else {
            // Where the speed starts to drop: back along the same course while it was higher.
            const double c = s_.course[t.entry];
            while (t.entry > lo && s_.speed[t.entry - 1] > s_.speed[t.entry] &&
                   std::fabs(s_.course[t.entry - 1] - c) <= kSteadyTolerance)
                --t.entry;
        }
        // Exit: the first point after the turning with a steady course ahead of it. When the
        // next turn starts first (a tacking duel), the calmest moment between the two.
        const int hi = std::min({m - 1, b + limit_, std::max(b, next)});
        t.exit = -1;
        for (int i = std::max(b, t.entry); i <= hi; ++i)
            if (steadyAhead(i)) {
                t.exit = i;
                break;
            }
        if (t.exit < 0 && hi == next) {
            t.exit = b;
            for (int i = b; i <= next; ++i)
                if (std::fabs(s_.rate[i]) < std::fabs(s_.rate[t.exit])) t.exit = i;
            t.confident = false;  // never steady: where it ended is a guess
        } else if (t.exit < 0) {
            t.exit = hi;
            t.confident = false;
        }
        const double turn = courseOut(t) - courseIn(t);
        if (std::fabs(turn) < kLeastTurn || (turn > 0) != (sign > 0)) return;
        // Turns of the same direction seconds apart are one.
        if (!turns_.empty()) {
            GridTurn& last = turns_.back();
            const double lastTurn = courseOut(last) - courseIn(last);
            if ((lastTurn > 0) == (turn > 0) && t.entry - last.exit <= merge_) {
                last.exit = t.exit;
                last.to = t.to;
                last.confident = last.confident && t.confident;
                return;
            }
        }
        turns_.push_back(t);
    }

    // The steady course before the entry and after the exit, unwrapped.
    double courseIn(const GridTurn& t) const {
        return meanOf(s_.course, std::max(t.from, t.entry - steady_), t.entry);
    }
    double courseOut(const GridTurn& t) const {
        return meanOf(s_.course, t.exit, std::min(t.to, t.exit + steady_));
    }

    const std::vector<GridTurn>& turns() const { return turns_; }

private:
    bool steadyBehind(int i) const {
        return i - steady_ >= 0 && courseSpread(s_, i - steady_, i) <= kSteadyTolerance;
    }
    bool steadyAhead(int i) const {
        return i + steady_ < s_.size() && courseSpread(s_, i, i + steady_) <= kSteadyTolerance;
    }

    const Stretch& s_;
    const int steady_ = gridPoints(kSteadySeconds);
    const int limit_ = gridPoints(kTurnSearchLimit);
    const int merge_ = gridPoints(kTurnMergeGap);
    std::vector<GridTurn> turns_;
};

// What a turn found on the grid was: times, courses, speeds and the loss.
CourseTurn describe(const Stretch& s, const TurnSearch& search, const GridTurn& g) {
    CourseTurn t;
    const double cin = search.courseIn(g), cout = search.courseOut(g);
    t.turn = cout - cin;
    t.courseIn = normalizeAngle360(cin);
    t.courseOut = normalizeAngle360(cout);
    t.entryTime = s.timeAt(g.entry);
    t.exitTime = s.timeAt(g.exit);
    t.confident = g.confident;
    // The moment of fastest turning in the direction of the turn.
    const double sign = t.turn >= 0 ? 1 : -1;
    int peak = g.entry;
    for (int i = g.entry; i <= g.exit; ++i)
        if (sign * s.rate[i] > sign * s.rate[peak]) peak = i;
    t.time = s.timeAt(peak);
    t.lat = s.lat0 + s.y[peak] / s.mLat;
    t.lon = s.lon0 + s.x[peak] / s.mLon;
    // The speed at entry is that of the steady course leading to it: the speed at the single
    // point where it starts to drop would be that of a wave or of GPS noise.
    t.speedIn = meanOf(s.speed, std::max(g.from, g.entry - gridPoints(kSteadySeconds)), g.entry);
    t.speedOut = s.speed[g.exit];
    t.speedMin = *std::min_element(s.speed.begin() + g.entry, s.speed.begin() + g.exit + 1);

    // Where the boat would be had it sailed on at its entry speed and course, against where it
    // is, measured along the bisector of its courses: the way it wanted to go. Positions are
    // the mean of a few seconds either side of entry and exit, both on a steady course, so
    // that the mean lies where the boat was at that moment with the GPS noise averaged down.
    const int n = s.size(), p = gridPoints(kTurnPositionSeconds);
    const int pe = std::min({p, g.entry - g.from, n - 1 - g.entry});
    const int px = std::min({p, g.exit - g.entry, n - 1 - g.exit});
    const int e0 = g.entry - pe, e1 = g.entry + pe, x0 = g.exit - px, x1 = g.exit + px;
    const double v = t.speedIn / kKnotsPerMetreSecond;
    const double dt = t.exitTime - t.entryTime;
    const double qx = meanOf(s.x, e0, e1) + v * dt * std::sin(cin * kDegToRad);
    const double qy = meanOf(s.y, e0, e1) + v * dt * std::cos(cin * kDegToRad);
    const double ex = meanOf(s.x, x0, x1), ey = meanOf(s.y, x0, x1);
    const double bisector = turnBisector(t) * kDegToRad;
    const double loss = (qx - ex) * std::sin(bisector) + (qy - ey) * std::cos(bisector);
    if (std::isfinite(loss)) t.lossM = loss;
    const double vmg = v * std::cos(cin * kDegToRad - bisector);
    if (t.lossM && std::isfinite(vmg) && vmg * kKnotsPerMetreSecond >= kLeastVmgForSeconds) {
        const double seconds = loss / vmg;
        if (std::isfinite(seconds)) t.lossS = seconds;
    }
    return t;
}

void findInStretch(Stretch& s, std::vector<CourseTurn>& out) {
    smoothStretch(s);
    TurnSearch search(s);
    const int m = s.size();
    const int merge = gridPoints(kTurnMergeGap);
    // Stretches of turning, those of one direction seconds apart taken together, and of them
    // those across which the course changes enough to be a turn.
    struct Turning {
        int a, b, sign;
    };
    std::vector<Turning> turnings;
    for (int i = 0; i < m; ++i) {
        const double r = s.rate[i];
        if (std::fabs(r) < kTurningRate) continue;
        const int sign = r > 0 ? 1 : -1;
        if (!turnings.empty() && turnings.back().sign == sign && i - turnings.back().b <= merge)
            turnings.back().b = i;
        else
            turnings.push_back({i, i, sign});
    }
    std::erase_if(turnings, [&](const Turning& t) { return !search.mayTurn(t.a, t.b); });
    for (size_t k = 0; k < turnings.size(); ++k)
        search.turning(turnings[k].a, turnings[k].b, turnings[k].sign,
                       k + 1 < turnings.size() ? turnings[k + 1].a : m);
    for (const GridTurn& g : search.turns()) out.push_back(describe(s, search, g));
}

bool finiteFix(const BoatTrack& t, int k) {
    return std::isfinite(t.TrkLat[k]) && std::isfinite(t.TrkLon[k]) && std::isfinite(t.TrkSec[k]);
}

}  // namespace

double turnBisector(const CourseTurn& t) {
    return normalizeAngle360(t.courseIn + reduceAngle180(t.courseOut - t.courseIn) / 2);
}

std::vector<CourseTurn> findCourseTurns(const TrackStore& store, int boat) {
    std::vector<CourseTurn> out;
    if (boat < 1 || boat > store.boatCount()) return out;
    const BoatTrack& t = store.boats[boat];
    const int n =
        static_cast<int>(std::min({t.TrkLat.size(), t.TrkLon.size(), t.TrkSec.size()})) - 1;
    if (n < 2) return out;
    const double mLat = std::isfinite(store.MPerMinLat) && store.MPerMinLat > 0
                            ? store.MPerMinLat
                            : kMetresPerNauticalMile;
    const double mLon =
        std::isfinite(store.MPerMinLon) && store.MPerMinLon > 0
            ? store.MPerMinLon
            : mLat * (std::isfinite(store.LonFactor) && store.LonFactor > 0 ? store.LonFactor : 1);
    Stretch s;
    for (int k = 1; k <= n;) {
        if (!finiteFix(t, k)) {
            ++k;
            continue;
        }
        int k1 = k;
        while (k1 < n && finiteFix(t, k1 + 1)) {
            const double dt = t.TrkSec[k1 + 1] - t.TrkSec[k1];
            if (!(dt >= 0 && dt <= kTurnMostGap)) break;
            ++k1;
        }
        if (t.TrkSec[k1] > t.TrkSec[k]) {
            sampleStretch(t, k, k1, mLat, mLon, s);
            findInStretch(s, out);
        }
        k = k1 + 1;
    }
    return out;
}

}  // namespace brisko
