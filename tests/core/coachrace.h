// A race laid out in metres for the coach's analyses: tracks from timed key points, marks and
// lines by metres north and east of a point near 35 N, rounding results set by hand or found by
// the rounding detection, and a wind that holds one direction.
#pragma once

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "analysis/coach.h"
#include "race/racedefinition.h"
#include "track/kinematics.h"
#include "track/rounding.h"
#include "util/angles.h"

namespace brisko::test {

constexpr double kLat0 = 2100, kLon0 = 8100, kLonFactor = 0.82;
inline double latOf(double north) { return kLat0 + north / 1852; }
inline double lonOf(double east) { return kLon0 + east / 1852 / kLonFactor; }

// Metres per second for a speed in knots.
inline double mps(double knots) { return knots * 1852 / 3600; }

struct Key {
    double t, n, e;  // race seconds, metres north, metres east
};

// One fix per whole second from the first key to the last, linear between keys.
inline void addTrack(TrackStore& st, int b, const std::vector<Key>& keys) {
    size_t i = 0;
    for (double s = std::ceil(keys.front().t); s <= keys.back().t; s += 1) {
        while (i + 2 < keys.size() && keys[i + 1].t <= s) ++i;
        const Key &a = keys[i], &z = keys[i + 1];
        const double f = z.t > a.t ? (s - a.t) / (z.t - a.t) : 0;
        st.boats[b].append(latOf(a.n + f * (z.n - a.n)), lonOf(a.e + f * (z.e - a.e)), s);
    }
}

// A straight run from (n, e) at second t0 on a bearing at a speed in knots until second t1.
inline std::vector<Key> straightRun(double t0, double n, double e, double bearing, double knots,
                                    double t1) {
    const double d = mps(knots) * (t1 - t0), r = bearing * kDegToRad;
    return {{t0, n, e}, {t1, n + d * std::cos(r), e + d * std::sin(r)}};
}

// A wind from one direction for the whole race.
inline WindInForce steadyWind(double dir) {
    WindInForce w;
    w.meanDir = dir;
    return w;
}

struct CoachRace {
    RaceDefinition def;
    TrackStore st;
    RoundingResults r;

    explicit CoachRace(int boats) {
        def.BoatCount = boats;
        def.RaceSeconds = 3600;
        def.RaceSecondsPlus = 3600 + 180 + 60;
        st.reset(boats);
        st.LonFactor = kLonFactor;
        st.MPerMinLat = 1852;
        st.DegRad = std::numbers::pi / 180;
        r.clear();
        r.boatCount = boats;
    }
    void mark(int i, double n, double e) {
        def.MarkCount = std::max(def.MarkCount, i);
        def.Marks[i] = {latOf(n), lonOf(e)};
    }
    void line(int i, double n1, double e1, double n2, double e2) {
        def.LineCount = std::max(def.LineCount, i);
        def.Lines[i] = {latOf(n1), lonOf(e1), latOf(n2), lonOf(e2)};
    }
    void course(const std::vector<std::string>& entries) {
        def.CourseCount = static_cast<int>(entries.size());
        for (size_t i = 0; i < entries.size(); ++i) def.Course[i + 1] = entries[i];
    }
    void track(int b, const std::vector<Key>& keys) { addTrack(st, b, keys); }

    // Course points set by hand, with the bearings between them, for rounding times set by hand.
    void points(const std::vector<std::pair<double, double>>& ne) {
        r.entryCount = static_cast<int>(ne.size());
        for (int k = 1; k <= r.entryCount; ++k) {
            r.PointLat[k] = latOf(ne[k - 1].first);
            r.PointLon[k] = lonOf(ne[k - 1].second);
            r.pointKnown[k] = true;
        }
        for (int k = 1; k < r.entryCount; ++k)
            r.LegCourse[k] =
                bearingDegrees(ne[k].first - ne[k - 1].first, ne[k].second - ne[k - 1].second);
    }
    void times(int b, const std::vector<double>& perEntry) {
        for (size_t k = 0; k < perEntry.size(); ++k)
            r.setRoundTime(static_cast<int>(k) + 1, b, perEntry[k]);
    }

    // Kinematics only, for rounding times set by hand.
    void derive() { deriveKinematics(st); }
    // Kinematics and the rounding detection.
    void run() {
        deriveKinematics(st);
        computeRoundings(def, st, r);
        computeLegDistances(def, st, r);
    }
};

}  // namespace brisko::test
