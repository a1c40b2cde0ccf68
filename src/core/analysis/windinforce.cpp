// The wind in force: the wind file's samples made true, or the estimate from the fleet's tacks
// and gybes: each one's bisector of its steady courses, reversed for a gybe, combined over the
// fleet in a sliding median.
#include <algorithm>
#include <cmath>

#include "analysis/coach.h"
#include "analysis/courseturns.h"
#include "track/kinematics.h"
#include "util/angles.h"
#include "util/parallel.h"

namespace brisko {

namespace {

// The fleet's wind estimates are combined over this many seconds around each moment: long
// enough to hold several tacks of several boats, short enough to follow a shift.
constexpr double kEstimateWindow = 300;
// The first look, which only tells the turns worth keeping from the rest, takes this many
// seconds around each moment: before the start boats turn every way, and a few turns at marks
// must not outvote the tacks of the beat next to them.
constexpr double kFirstLookWindow = 900;
// The estimate is given every this many seconds: shifts last minutes, and brisko-analyse prints
// every sample.
constexpr double kEstimateStep = 30;
// A window with fewer estimates than this gives the race file's mean wind: one or two turns
// may be a rounding or a boat off on its own.
constexpr int kLeastEstimates = 3;
// Only turns up to this many degrees tell the wind: a tack or gybe turns well under it, while a
// bear-away round a mark into a gybe, or a tack run on into a bear-away, turns more and not
// about the wind's eye or dead downwind.
constexpr double kMostTurnForWind = 130;
// Once estimated, a turn whose wind lies further than this from the estimate is a change of
// course at a mark, no tack or gybe, and is left out of the second estimate. Tacks between
// steady close-hauled courses give the wind within some 15 degrees.
constexpr double kMostOffEstimate = 30;
// At most this many samples, whatever the span of the tracks' times.
constexpr int kMostEstimateSamples = 20000;

struct Bisector {
    double sec = 0;
    double dir = 0;  // degrees: the wind's eye of a tack, dead downwind of a gybe
};

double angleBetween(double a, double b) { return std::fabs(reduceAngle180(a - b)); }

// The wind a turn's bisector gives: the bisector itself when the turn was a tack, reversed when
// it was a gybe; a tack when the bisector lies nearer the expected wind than its reverse.
double windOfBisector(double bisector, double expected) {
    return angleBetween(bisector, expected) <= angleBetween(bisector + 180, expected)
               ? normalizeAngle360(bisector)
               : normalizeAngle360(bisector + 180);
}

// Courses within this many degrees of an end of the wind axis count as sailed toward that end
// when the fleet's speeds tell which end the wind comes from.
constexpr double kAxisEndSector = 60;
// Segments slower than this (knots) are boats lying still or drifting: their course says nothing.
constexpr double kSlowestSpeedForAxis = 0.5;

// The wind's end of the axis the turns' bisectors lie on, for a race without a race file, whose
// mean wind direction is no more than a default. The axis is the mean of the doubled bisector
// angles (a tack's bisector and a gybe's lie on the same axis, half a turn apart). Sailing boats
// go slower toward the wind than away from it, so the end whose courses were sailed slower is
// where the wind comes from. Without courses toward both ends the prior stays.
double windEndBySpeed(const TrackStore& store, const std::vector<Bisector>& bisectors,
                      double prior) {
    double e = 0, n = 0;
    for (const Bisector& b : bisectors) {
        e += std::sin(2 * b.dir * kDegToRad);
        n += std::cos(2 * b.dir * kDegToRad);
    }
    if (e == 0 && n == 0) return prior;
    const double axis = normalizeAngle360(std::atan2(e, n) / kDegToRad / 2);
    double speedTo[2] = {0, 0};
    long count[2] = {0, 0};
    for (int b = 1; b <= store.boatCount(); ++b)
        for (int k = 1; k < store.TrkCount(b); ++k) {
            const double v = store.TrkSpeed(b, k);
            if (!(v >= kSlowestSpeedForAxis) || !std::isfinite(v)) continue;
            const double off = angleBetween(store.TrkCourse(b, k), axis);
            const int end = off <= kAxisEndSector ? 0 : off >= 180 - kAxisEndSector ? 1 : -1;
            if (end < 0) continue;
            speedTo[end] += v;
            ++count[end];
        }
    if (count[0] == 0 || count[1] == 0) return prior;
    const bool towardAxisSlower = speedTo[0] / count[0] <= speedTo[1] / count[1];
    return towardAxisSlower ? axis : normalizeAngle360(axis + 180);
}

// The median of the winds i0..i1 - 1: the median of their differences from their mean
// direction. `east` and `north` hold each wind's unit vector; `dirs` is room to work in.
double circularMedian(const std::vector<Bisector>& winds, const std::vector<double>& east,
                      const std::vector<double>& north, size_t i0, size_t i1,
                      std::vector<double>& dirs) {
    double e = 0, n = 0;
    for (size_t i = i0; i < i1; ++i) {
        e += east[i];
        n += north[i];
    }
    const double centre = std::hypot(e, n) > 1e-9 ? bearingDegrees(n, e) : winds[i0].dir;
    dirs.clear();
    for (size_t i = i0; i < i1; ++i) dirs.push_back(foldBearingDifference(winds[i].dir - centre));
    const size_t mid = dirs.size() / 2;
    std::nth_element(dirs.begin(), dirs.begin() + static_cast<long>(mid), dirs.end());
    double median = dirs[mid];
    if (dirs.size() % 2 == 0)
        median =
            (median + *std::max_element(dirs.begin(), dirs.begin() + static_cast<long>(mid))) / 2;
    return normalizeAngle360(centre + median);
}

// Winds in time order (directions in [0, 360)), combined over `window` seconds every
// kEstimateStep from `from` to `to`; false when no window held kLeastEstimates.
bool slidingMedian(const std::vector<Bisector>& winds, double from, double to, double window,
                   double fallback, std::vector<WindSample>& samples) {
    samples.clear();
    std::vector<double> east, north, dirs;
    for (const Bisector& w : winds) {
        east.push_back(std::sin(w.dir * kDegToRad));
        north.push_back(std::cos(w.dir * kDegToRad));
    }
    double step = kEstimateStep;
    if ((to - from) / step >= kMostEstimateSamples) step = (to - from) / (kMostEstimateSamples - 1);
    const int count = static_cast<int>(std::floor((to - from) / step + 1e-9)) + 1;
    bool enough = false;
    size_t lo = 0, hi = 0;
    for (int j = 0; j < count; ++j) {
        const double sec = from + j * step;
        while (lo < winds.size() && winds[lo].sec < sec - window / 2) ++lo;
        while (hi < winds.size() && winds[hi].sec <= sec + window / 2) ++hi;
        double dir = fallback;
        if (hi >= lo + kLeastEstimates) {
            dir = circularMedian(winds, east, north, lo, hi, dirs);
            enough = true;
        }
        samples.push_back({sec, dir});
    }
    return enough;
}

}  // namespace

const char* windSourceName(WindSource s) {
    switch (s) {
        case WindSource::File:
            return "file";
        case WindSource::Estimated:
            return "estimated";
        case WindSource::RaceFile:
            break;
    }
    return "race file";
}

double WindInForce::dirAt(double sec) const {
    if (samples.empty()) return normalizeAngle360(meanDir);
    if (!(sec > samples.front().sec)) return samples.front().dir;  // NaN too
    if (sec >= samples.back().sec) return samples.back().dir;
    const auto it = std::lower_bound(samples.begin(), samples.end(), sec,
                                     [](const WindSample& w, double s) { return w.sec < s; });
    if (it == samples.begin() || it == samples.end()) return samples.back().dir;  // out of order
    const WindSample& a = *(it - 1);
    const WindSample& b = *it;
    if (b.sec <= a.sec) return b.dir;
    const double f = (sec - a.sec) / (b.sec - a.sec);
    return normalizeAngle360(a.dir + f * reduceAngle180(b.dir - a.dir));
}

WindInForce windFromFile(const RaceDefinition& race, const WindStore& wind) {
    WindInForce w;
    w.meanDir = normalizeAngle360(race.MeanWindDir);
    const int count = std::min<int>({wind.WindCount, static_cast<int>(wind.WindSec.size()) - 1,
                                     static_cast<int>(wind.WindDir.size()) - 1});
    for (int i = 1; i <= count; ++i)
        w.samples.push_back(
            {wind.WindSec[i], normalizeAngle360(wind.WindDir[i] + race.MagneticVariation)});
    w.source = w.samples.empty() ? WindSource::RaceFile : WindSource::File;
    return w;
}

WindInForce windInForce(const RaceDefinition& race, const TrackStore& store,
                        const WindStore& wind) {
    WindInForce w = windFromFile(race, wind);
    if (w.source == WindSource::File) return w;

    // Every turn that can tell the wind: of a tack's or gybe's size, between steady courses.
    // Boats are independent: with many samples two threads take them by turns.
    const int boats = store.boatCount();
    long samples = 0;
    for (int b = 1; b <= boats; ++b) samples += store.TrkCount(b);
    std::vector<std::vector<CourseTurn>> turns(static_cast<size_t>(boats) + 1);
    const int workers = samples >= kSamplesWorthASecondThread ? workersFor(boats, 2) : 1;
    forEachInParallel(1, boats + 1, workers, [&](int, int b) {
        turns[static_cast<size_t>(b)] = findCourseTurns(store, b);
    });
    std::vector<Bisector> bisectors;
    for (const auto& boat : turns)
        for (const CourseTurn& t : boat)
            if (t.confident && std::fabs(t.turn) <= kMostTurnForWind)
                bisectors.push_back({t.time, turnBisector(t)});
    if (bisectors.empty()) return w;
    std::sort(bisectors.begin(), bisectors.end(),
              [](const Bisector& a, const Bisector& b) { return a.sec < b.sec; });
    const double from = std::floor(bisectors.front().sec / kEstimateStep) * kEstimateStep;
    const double to = std::ceil(bisectors.back().sec / kEstimateStep) * kEstimateStep;

    // Tacks told from gybes by the race file's mean wind first (by the fleet's speeds when there
    // is no race file), then by that first estimate.
    const double prior =
        race.RaceFileName.empty() ? windEndBySpeed(store, bisectors, w.meanDir) : w.meanDir;
    std::vector<Bisector> winds;
    for (const Bisector& b : bisectors) winds.push_back({b.sec, windOfBisector(b.dir, prior)});
    WindInForce first = w;
    if (!slidingMedian(winds, from, to, kFirstLookWindow, prior, first.samples)) return w;
    first.source = WindSource::Estimated;

    winds.clear();
    for (const Bisector& b : bisectors) {
        const double expected = first.dirAt(b.sec);
        const double dir = windOfBisector(b.dir, expected);
        if (angleBetween(dir, expected) <= kMostOffEstimate) winds.push_back({b.sec, dir});
    }
    WindInForce second = first;
    if (!slidingMedian(winds, from, to, kEstimateWindow, prior, second.samples)) return first;
    return second;
}

}  // namespace brisko
